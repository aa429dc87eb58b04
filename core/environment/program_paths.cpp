#include "core/environment/program_paths.h"

#include <unistd.h>

#include <climits>
#include <vector>

namespace cindral {
namespace {
std::string g_override;
}

std::string ExecutableDirectory() {
    if (!g_override.empty()) return g_override;
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return "./";
    std::string path(buffer.data(), static_cast<size_t>(n));
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

void SetExecutableDirectoryForTesting(const std::string& directory) {
    g_override = directory;
    if (!g_override.empty() && g_override.back() != '/') g_override += '/';
}

}  // namespace cindral
