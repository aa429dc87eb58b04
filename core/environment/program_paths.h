#pragma once
// Where the running program lives. Data files (error table, default libraries) are found
// beside the executable, never in the current directory, so a viewer started from anywhere
// still finds them.

#include <string>

namespace cindral {

// Directory of the running executable, with a trailing '/'.
std::string ExecutableDirectory();

// Overrides ExecutableDirectory() (tests); an empty string clears the override.
void SetExecutableDirectoryForTesting(const std::string& directory);

}  // namespace cindral
