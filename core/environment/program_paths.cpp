#include "core/environment/program_paths.h"

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <vector>

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

std::string DataDirectory() {
    std::string beside = ExecutableDirectory();
    if (HoldsErrorTable(beside)) return beside;
    // The executable's path is already resolved (/proc/self/exe), so removing the ".."
    // lexically cannot step through a symbolic link to the wrong folder.
    std::string installed = WithSlash(
        (std::filesystem::path(beside) / CINDRAL_DATA_FROM_BINARY).lexically_normal().string());
    if (HoldsErrorTable(installed)) return installed;
    return beside;
}

void SetExecutableDirectoryForTesting(const std::string& directory) {
    g_override = WithSlash(directory);
    if (directory.empty()) g_override.clear();
}

}  // namespace cindral
