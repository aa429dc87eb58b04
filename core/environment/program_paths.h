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
//   2. the installed data folder, InstalledDataDirectory(ExecutableDirectory());
// and when neither holds it, ExecutableDirectory(), so a missing file is reported by the
// name it has in the build tree.
std::string DataDirectory();

// The same order for a program in `program_directory`.
std::string DataDirectoryFor(const std::string& program_directory);

// Where the install rules put the data files, reached from the binaries' folder by the
// install layout's relative path (bin/ -> ../share/cindral/ for the usual GNU layout).
std::string InstalledDataDirectory(const std::string& program_directory);

// True when a program in `program_directory` takes its data files from the installed data
// folder: an installed program, which keeps its user files out of its own folder even when
// it could write there (run by root).
bool IsInstalledProgram(const std::string& program_directory);

// Overrides ExecutableDirectory() (tests); an empty string clears the override.
void SetExecutableDirectoryForTesting(const std::string& directory);

}  // namespace cindral
