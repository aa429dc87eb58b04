#include "core/libraries/library_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/base/errors.h"
#include "core/format/file_object.h"

namespace cindral {
namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what, int code) {
    std::string message = Quoted(path) + ": " + what;
    if (code != 0) message += " (" + std::string(std::strerror(code)) + ")";
    throw IoError(message, code);
}

}  // namespace

LibraryFile::LibraryFile(std::string path) : path_(std::move(path)) {
    // O_NONBLOCK keeps a FIFO from hanging the open; only regular files are accepted.
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) Fail(path_, "cannot open the file for reading", errno);
    struct stat info {};
    bool examined = ::fstat(fd_, &info) == 0;
    if (!examined || !S_ISREG(info.st_mode)) {
        int code = examined ? 0 : errno;
        ::close(fd_);
        fd_ = -1;
        if (!examined) Fail(path_, "cannot examine the file", code);
        Fail(path_, S_ISDIR(info.st_mode) ? "is a folder, not a file" : "is not a regular file", 0);
    }
}

LibraryFile::~LibraryFile() {
    if (fd_ >= 0) ::close(fd_);
}

int64_t LibraryFile::RecordCount(size_t record_size) const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) Fail(path_, "cannot examine the file", errno);
    return static_cast<int64_t>(info.st_size) / static_cast<int64_t>(record_size);
}

void LibraryFile::ReadRecord(int64_t number, size_t record_size, uint8_t* out) const {
    int64_t at = number * static_cast<int64_t>(record_size);
    size_t got = 0;
    while (got < record_size) {
        ssize_t n = ::pread(fd_, out + got, record_size - got, static_cast<off_t>(at + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail(path_, "cannot read at byte " + std::to_string(at), errno);
        if (n == 0) {
            Fail(path_,
                 "read beyond the end of the file at byte " + std::to_string(at) + " (" +
                     std::to_string(record_size) + " bytes wanted, " + std::to_string(got) +
                     " present)",
                 0);
        }
        got += static_cast<size_t>(n);
    }
}

}  // namespace cindral
