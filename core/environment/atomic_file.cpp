#include "core/environment/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/environment/errors.h"
#include "core/environment/file_operations.h"

namespace cindral {
namespace {

namespace ops = file_operations;

std::string Folder(const std::string& path) {
    std::filesystem::path p(path);
    return p.has_parent_path() ? p.parent_path().string() : ".";
}

}  // namespace

AtomicFile::AtomicFile(std::string path, mode_t mode) : path_(std::move(path)) {
    const std::string folder = Folder(path_);
    temp_ = folder + "/." + std::filesystem::path(path_).filename().string() + ".XXXXXX";
    fd_ = ops::CreateTemporary(temp_.data());
    if (fd_ < 0) {
        const int code = errno;
        throw IoError("Cannot create a file in " + folder + ": " + std::strerror(code), code);
    }
    ::fchmod(fd_, mode & 07777);
}

AtomicFile::~AtomicFile() {
    if (committed_) return;
    if (fd_ >= 0) ::close(fd_);
    ::unlink(temp_.c_str());
}

void AtomicFile::Abandon(const std::string& what, int code) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
    committed_ = true;  // nothing left for the destructor
    throw IoError(what + " " + path_ + ": " + std::strerror(code), code);
}

void AtomicFile::Write(const void* data, size_t size) {
    const auto* at = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ops::Write(fd_, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Abandon("Cannot write", n < 0 ? errno : ENOSPC);
        at += n;
        size -= static_cast<size_t>(n);
    }
}

void AtomicFile::Commit() {
    if (ops::Sync(fd_) != 0) Abandon("Cannot write", errno);
    const int closed = ops::Close(fd_);
    fd_ = -1;
    if (closed != 0) Abandon("Cannot write", errno);
    if (ops::Rename(temp_.c_str(), path_.c_str()) != 0) Abandon("Cannot replace", errno);
    committed_ = true;
    // The rename survives a crash only once the folder itself is on disk.
    const int dir_fd = ::open(Folder(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd >= 0) {
        ::fsync(dir_fd);
        ::close(dir_fd);
    }
}

std::string ReserveTemporaryBeside(const std::string& path) {
    const std::string folder = Folder(path);
    std::string temp = folder + "/." + std::filesystem::path(path).filename().string() + ".XXXXXX";
    const int fd = ops::CreateTemporary(temp.data());
    if (fd < 0) {
        const int code = errno;
        throw IoError("Cannot create a file in " + folder + ": " + std::strerror(code), code);
    }
    ::close(fd);
    return temp;
}

void PutInPlace(const std::string& temporary, const std::string& path, mode_t mode) {
    auto fail = [&](const std::string& what, int code) {
        ::unlink(temporary.c_str());
        throw IoError(what + " " + path + ": " + std::strerror(code), code);
    };
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail("Cannot write", errno);
    ::fchmod(fd, mode & 07777);
    if (ops::Sync(fd) != 0) {
        const int code = errno;
        ::close(fd);
        fail("Cannot write", code);
    }
    if (ops::Close(fd) != 0) fail("Cannot write", errno);
    if (ops::Rename(temporary.c_str(), path.c_str()) != 0) fail("Cannot replace", errno);
    const int dir_fd = ::open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd >= 0) {
        ::fsync(dir_fd);
        ::close(dir_fd);
    }
}

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    // A file that is replaced keeps its permissions.
    struct stat info {};
    AtomicFile file(path, ::stat(path.c_str(), &info) == 0 ? info.st_mode : 0644);
    file.Write(bytes.data(), bytes.size());
    file.Commit();
}

}  // namespace cindral
