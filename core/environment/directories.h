#pragma once
// Where the program keeps its files. The user directory holds the settings and options
// files, the log directory the execution log. Both are the program directory when a file
// can be created there and the program is not installed (a build tree, a program unpacked
// into a folder of the user's), else the user's XDG configuration and state folders, so an
// installed or read-only program keeps its files where a desktop program does and never
// fails for its read-only folder. The shipped data files are found by DataDirectory()
// (program_paths.h), which also tells an installed program apart.

#include <string>

namespace cindral {

// The viewer's base name; the CLI reads the viewer's settings file under this name.
extern const char* const kViewerBaseName;

struct ProgramLocation {
    std::string program_directory;  // with a trailing '/'
    std::string user_directory;     // with a trailing '/'
    std::string exe_base_name;      // file name without directory and extension
    std::string log_directory;      // with a trailing '/'; empty: the user directory
};

// The location of the program file at `program_path`: its directory, the user and log
// directories chosen for it and its base name.
ProgramLocation LocateProgram(const std::string& program_path);

// The program directory when a file can be created in it and it is not an installed
// program's (IsInstalledProgram), else the per-user configuration folder ($XDG_CONFIG_HOME
// or ~/.config, then "cindral/"), created when missing. Without a home the program
// directory (saving then reports the failure).
std::string ChooseUserDirectory(const std::string& program_directory);

// The same for the execution log, with the per-user state folder ($XDG_STATE_HOME or
// ~/.local/state, then "cindral/"); the configuration folder when the state folder cannot be
// created.
std::string ChooseLogDirectory(const std::string& program_directory);

// The process-wide values fixed at start-up. Until SetProgramLocation runs they describe
// the running executable under the viewer's base name.
const std::string& ProgramDirectory();
const std::string& UserDirectory();
const std::string& ExeBaseName();
void SetProgramLocation(const ProgramLocation& location);

// The viewer's settings file and execution log for a program in `program_directory`, by the
// rules above but named without creating anything (the CLI reports them and writes nothing).
std::string FindViewerSettingsFile(const std::string& program_directory);
std::string FindViewerLogFile(const std::string& program_directory);

// UserDirectory() + ExeBaseName() + ".Cn2", ".CN1"; the log directory + ExeBaseName() +
// ".LOG".
std::string SettingsFilePath();
std::string OptionsFilePath();
std::string ExecutionLogPath();

}  // namespace cindral
