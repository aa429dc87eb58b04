#pragma once
// What a new document takes from the settings: the two library files to open and the
// custom page length an older header gets. The viewer and the CLI both come through here,
// so a log opens with the same libraries in either.

#include <string>

#include "core/environment/settings.h"

namespace cindral {

struct DocumentSettings {
    std::string pattern_file;
    std::string symbol_file;
    double default_page_length = 100.0;  // depth units per custom page
};

// The libraries named in `settings` (the program's own copy in `data_directory`, see
// DataDirectory(), when a named file is missing), unless an override names a file, which is
// then used as it is.
DocumentSettings DocumentSettingsFrom(const Settings& settings, const std::string& data_directory,
                                      const std::string& pattern_override = "",
                                      const std::string& symbol_override = "");

}  // namespace cindral
