#include "core/environment/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/environment/errors.h"

namespace cindral {
namespace {

[[noreturn]] void Fail(const std::string& path, int code) {
    throw IoError("Unable to write " + path + ": " + std::strerror(code), code);
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::path target(path);
    std::string dir = target.has_parent_path() ? target.parent_path().string() : ".";
    std::string temp = dir + "/." + target.filename().string() + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) Fail(path, errno);
    auto abandon = [&](int code) {
        ::close(fd);
        ::unlink(temp.c_str());
        Fail(path, code);
    };
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) abandon(n < 0 ? errno : EIO);
        done += static_cast<size_t>(n);
    }
    // mkstemp makes the file private; these are ordinary user files.
    ::fchmod(fd, 0644);
    if (::fsync(fd) != 0) abandon(errno);
    if (::close(fd) != 0) {
        int code = errno;
        ::unlink(temp.c_str());
        Fail(path, code);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int code = errno;
        ::unlink(temp.c_str());
        Fail(path, code);
    }
    // The rename survives a crash only once the folder itself is on disk.
    int dir_fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd >= 0) {
        ::fsync(dir_fd);
        ::close(dir_fd);
    }
}

}  // namespace cindral
