#pragma once
// Test helpers: a private temporary folder removed afterwards, whole-file reads, and
// read-only files that stay read-only even for root.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace cindral::testing {

inline void SetImmutable(const std::string& path, bool on) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
}

class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "cindral-test-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
        path_ = name.data();
    }
    ~TempDir() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(path_, ignored)) {
            SetImmutable(entry.path().string(), false);
        }
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Makes `path` unwritable; root needs the immutable flag as well. True when a write attempt
// now fails.
inline bool MakeReadOnly(const std::string& path) {
    ::chmod(path.c_str(), 0444);
    if (::geteuid() == 0) SetImmutable(path, true);
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    return true;
}

inline std::string SourceDir() {
    const char* dir = std::getenv("CINDRAL_SOURCE_DIR");
    return dir ? dir : ".";
}

inline std::string BinDir() {
    const char* dir = std::getenv("CINDRAL_BIN_DIR");
    return dir ? dir : "bin";
}

}  // namespace cindral::testing
