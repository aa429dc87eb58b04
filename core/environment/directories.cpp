#include "core/environment/directories.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "core/environment/program_paths.h"

namespace cindral {

const char* const kViewerBaseName = "cindral";

namespace {

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

// access(W_OK) is not enough: a read-only mount or an immutable folder still answers yes
// for root, so try to create a file.
bool CanCreateFileIn(const std::string& dir) {
    std::string probe = dir + ".cindral-write-probe-XXXXXX";
    int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// $VARIABLE/cindral/ when the variable holds an absolute path (a relative one is ignored, as
// the XDG rules say), else $HOME/<under_home>/cindral/; empty when there is no home either.
std::string XdgFolder(const char* variable, const char* under_home) {
    std::string base;
    if (const char* xdg = std::getenv(variable); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = WithSlash(home) + under_home;
    } else {
        return {};
    }
    return WithSlash(base) + "cindral/";
}

bool MakeFolder(const std::string& dir) {
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return std::filesystem::is_directory(dir, ignored);
}

struct UserFolders {
    std::string settings;
    std::string log;
};

// One rule for the viewer, which creates the per-user folders, and for the CLI, which only
// names them (it writes nothing, so it asks access() instead of creating a probe file). An
// installed program never writes into its own folder (/usr/bin is writable for root).
UserFolders ChooseUserFolders(const std::string& program_directory, bool create) {
    std::string program = WithSlash(program_directory);
    bool beside = !IsInstalledProgram(program) &&
                  (create ? CanCreateFileIn(program) : ::access(program.c_str(), W_OK | X_OK) == 0);
    if (beside) return {program, program};
    UserFolders folders{XdgFolder("XDG_CONFIG_HOME", ".config"),
                        XdgFolder("XDG_STATE_HOME", ".local/state")};
    if (folders.settings.empty()) return {program, program};  // saving will report it
    if (create) {
        MakeFolder(folders.settings);
        // A home whose state folder cannot be made still has its configuration folder.
        if (!MakeFolder(folders.log)) folders.log = folders.settings;
    }
    return folders;
}

std::optional<ProgramLocation>& Location() {
    static std::optional<ProgramLocation> location;
    return location;
}

const ProgramLocation& Current() {
    if (!Location()) {
        std::string dir = ExecutableDirectory();
        UserFolders folders = ChooseUserFolders(dir, true);
        Location() = ProgramLocation{dir, folders.settings, kViewerBaseName, folders.log};
    }
    return *Location();
}

}  // namespace

ProgramLocation LocateProgram(const std::string& program_path) {
    std::filesystem::path path(program_path);
    std::string dir = path.has_parent_path() ? WithSlash(path.parent_path().string()) : "./";
    UserFolders folders = ChooseUserFolders(dir, true);
    return {dir, folders.settings, path.stem().string(), folders.log};
}

std::string ChooseUserDirectory(const std::string& program_directory) {
    return ChooseUserFolders(program_directory, true).settings;
}

std::string ChooseLogDirectory(const std::string& program_directory) {
    return ChooseUserFolders(program_directory, true).log;
}

std::string FindViewerSettingsFile(const std::string& program_directory) {
    return ChooseUserFolders(program_directory, false).settings + kViewerBaseName + ".Cn2";
}

std::string FindViewerLogFile(const std::string& program_directory) {
    return ChooseUserFolders(program_directory, false).log + kViewerBaseName + ".LOG";
}

const std::string& ProgramDirectory() {
    return Current().program_directory;
}
const std::string& UserDirectory() {
    return Current().user_directory;
}
const std::string& ExeBaseName() {
    return Current().exe_base_name;
}

void SetProgramLocation(const ProgramLocation& location) {
    std::string user = WithSlash(location.user_directory);
    std::string log = location.log_directory.empty() ? user : WithSlash(location.log_directory);
    Location() =
        ProgramLocation{WithSlash(location.program_directory), user, location.exe_base_name, log};
}

std::string SettingsFilePath() {
    return UserDirectory() + ExeBaseName() + ".Cn2";
}
std::string OptionsFilePath() {
    return UserDirectory() + ExeBaseName() + ".CN1";
}
std::string ExecutionLogPath() {
    return Current().log_directory + ExeBaseName() + ".LOG";
}

}  // namespace cindral
