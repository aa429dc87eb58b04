#pragma once
// Where the running program lives and where its shipped data files are. Data files (error
// table, default libraries, the sample log) are found from the executable's own directory,
// never from the current directory, so a viewer started from anywhere still finds them.

#include <string>

namespace cindral {

// Directory of the running executable, with a trailing '/'.
std::string ExecutableDirectory();

// The folder holding the shipped data files, with a trailing '/'. Looked for in this order,
// the first folder holding the error table (Tables/Quen.Err) wins:
//   1. ExecutableDirectory() itself (the build tree, or a program copied with its data);
//   2. the installed data folder, reached from the executable's directory the way the
//      install rules place it (bin/ -> ../share/cindral/ for a GNU layout);
// and when neither holds it, ExecutableDirectory(), so a missing file is reported by the
// name it has in the build tree.
std::string DataDirectory();

// Overrides ExecutableDirectory() (tests); an empty string clears the override.
void SetExecutableDirectoryForTesting(const std::string& directory);

}  // namespace cindral
