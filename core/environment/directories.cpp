#include "core/environment/directories.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "core/environment/program_paths.h"

namespace cindral {
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

std::optional<ProgramLocation>& Location() {
    static std::optional<ProgramLocation> location;
    return location;
}

const ProgramLocation& Current() {
    if (!Location()) {
        std::string dir = ExecutableDirectory();
        Location() = ProgramLocation{dir, ChooseUserDirectory(dir), kViewerBaseName};
    }
    return *Location();
}

}  // namespace

const char* const kViewerBaseName = "cindral";

ProgramLocation LocateProgram(const std::string& program_path) {
    std::filesystem::path path(program_path);
    std::string dir = path.has_parent_path() ? WithSlash(path.parent_path().string()) : "./";
    return {dir, ChooseUserDirectory(dir), path.stem().string()};
}

// The per-user configuration folder for the viewer; empty when there is no home.
static std::string ConfigFolder() {
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        config = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        config = std::string(home) + "/.config";
    } else {
        return {};
    }
    return WithSlash(config) + "cindral/";
}

std::string ChooseUserDirectory(const std::string& program_directory) {
    std::string program = WithSlash(program_directory);
    if (CanCreateFileIn(program)) return program;
    std::string dir = ConfigFolder();
    if (dir.empty()) return program;  // nowhere better; saving will report the failure
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return dir;
}

std::string FindViewerSettingsFile(const std::string& program_directory) {
    std::string name = std::string(kViewerBaseName) + ".Cn2";
    std::string beside = WithSlash(program_directory) + name;
    std::string config = ConfigFolder();
    std::error_code ignored;
    if (std::filesystem::exists(beside, ignored)) return beside;
    if (!config.empty() && std::filesystem::exists(config + name, ignored)) return config + name;
    bool writable = ::access(WithSlash(program_directory).c_str(), W_OK) == 0;
    return writable || config.empty() ? beside : config + name;
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
    Location() = ProgramLocation{WithSlash(location.program_directory),
                                 WithSlash(location.user_directory), location.exe_base_name};
}

std::string SettingsFilePath() {
    return UserDirectory() + ExeBaseName() + ".Cn2";
}
std::string OptionsFilePath() {
    return UserDirectory() + ExeBaseName() + ".CN1";
}
std::string ExecutionLogPath() {
    return UserDirectory() + ExeBaseName() + ".LOG";
}

}  // namespace cindral
