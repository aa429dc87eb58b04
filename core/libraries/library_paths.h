#pragma once
// Choosing which pattern or symbol library file to open. The settings name a library (often
// in the user's directory); when that file is not there, the copy of the same name installed
// beside the program is used, so a fresh user account still draws its patterns.

#include <string>

namespace cindral {

struct ResolvedLibrary {
    // The file to open.
    std::string path;
    // True when the configured file was missing and the program's copy was chosen.
    bool from_program_directory = false;
};

// `program_directory` may end in '/' or not. When neither the configured file nor the
// program's copy exists, the configured path is returned unchanged so the open reports the
// file the user named. A configured path that is a folder counts as missing.
ResolvedLibrary ResolveLibraryPath(const std::string& configured_path,
                                   const std::string& program_directory);

}  // namespace cindral
