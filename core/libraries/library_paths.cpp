#include "core/libraries/library_paths.h"

#include <sys/stat.h>

namespace cindral {
namespace {

bool IsUsableFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ResolvedLibrary ResolveLibraryPath(const std::string& configured_path,
                                   const std::string& program_directory) {
    if (IsUsableFile(configured_path)) return {configured_path, false};
    std::string name = BaseName(configured_path);
    if (name.empty() || program_directory.empty()) return {configured_path, false};
    std::string copy = program_directory;
    if (copy.back() != '/') copy += '/';
    copy += name;
    if (IsUsableFile(copy)) return {copy, true};
    return {configured_path, false};
}

}  // namespace cindral
