#pragma once
// Where the program keeps its files. The program directory holds the shipped data files;
// the user directory holds the settings, options and execution log files. The user
// directory is the program directory when that is writable, else a folder of the user's
// configuration directory, so an installed (read-only) program still keeps its settings.

#include <string>

namespace cindral {

// The viewer's base name; the CLI reads the viewer's settings file under this name.
extern const char* const kViewerBaseName;

struct ProgramLocation {
    std::string program_directory;  // with a trailing '/'
    std::string user_directory;     // with a trailing '/'
    std::string exe_base_name;      // file name without directory and extension
};

// The location of the program file at `program_path`: its directory, the user directory
// chosen for it and its base name.
ProgramLocation LocateProgram(const std::string& program_path);

// The program directory when a file can be created in it, else the per-user configuration
// folder ($XDG_CONFIG_HOME or ~/.config, then "cindral/"), created when missing.
std::string ChooseUserDirectory(const std::string& program_directory);

// The process-wide values fixed at start-up. Until SetProgramLocation runs they describe
// the running executable under the viewer's base name.
const std::string& ProgramDirectory();
const std::string& UserDirectory();
const std::string& ExeBaseName();
void SetProgramLocation(const ProgramLocation& location);

// The viewer's settings file for a program in `program_directory`, found without creating
// anything: the one that exists (program directory first), else where the viewer would
// create it.
std::string FindViewerSettingsFile(const std::string& program_directory);

// UserDirectory() + ExeBaseName() + ".Cn2", ".CN1", ".LOG".
std::string SettingsFilePath();
std::string OptionsFilePath();
std::string ExecutionLogPath();

}  // namespace cindral
