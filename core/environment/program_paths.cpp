#include "core/environment/program_paths.h"

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <vector>

// CMake passes the path of the install layout it was configured with; this is the usual one.
#ifndef CINDRAL_DATA_FROM_BINARY
#define CINDRAL_DATA_FROM_BINARY "../share/cindral"
#endif

namespace cindral {
namespace {
std::string g_override;

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

bool HoldsErrorTable(const std::string& dir) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(dir + "Tables/Quen.Err", ignored);
}

}  // namespace

std::string ExecutableDirectory() {
    if (!g_override.empty()) return g_override;
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return "./";
    std::string path(buffer.data(), static_cast<size_t>(n));
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string InstalledDataDirectory(const std::string& program_directory) {
    // The executable's path is already resolved (/proc/self/exe), so removing the ".."
    // lexically cannot step through a symbolic link to the wrong folder.
    return WithSlash(
        (std::filesystem::path(WithSlash(program_directory)) / CINDRAL_DATA_FROM_BINARY)
            .lexically_normal()
            .string());
}

std::string DataDirectoryFor(const std::string& program_directory) {
    std::string beside = WithSlash(program_directory);
    if (HoldsErrorTable(beside)) return beside;
    std::string installed = InstalledDataDirectory(beside);
    if (HoldsErrorTable(installed)) return installed;
    return beside;
}

std::string DataDirectory() {
    return DataDirectoryFor(ExecutableDirectory());
}

bool IsInstalledProgram(const std::string& program_directory) {
    return DataDirectoryFor(program_directory) != WithSlash(program_directory);
}

void SetExecutableDirectoryForTesting(const std::string& directory) {
    g_override = directory;
    if (!g_override.empty() && g_override.back() != '/') g_override += '/';
}

}  // namespace cindral
