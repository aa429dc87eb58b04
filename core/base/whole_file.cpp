#include "core/base/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/base/errors.h"
#include "core/base/file_operations.h"

namespace cindral {

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int code = errno;
        throw IoError(
            Quoted(path) + ": cannot open the file for writing (" + std::strerror(code) + ")",
            code);
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = file_operations::Write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int code = n < 0 ? errno : ENOSPC;
            ::close(fd);
            if (code == ENOSPC || code == EDQUOT || code == EFBIG) {
                throw IoError("Not enough disk space. (" + Quoted(path) + " at byte " +
                                  std::to_string(done) + ")",
                              code);
            }
            throw IoError(Quoted(path) + ": cannot write at byte " + std::to_string(done) + " (" +
                              std::strerror(code) + ")",
                          code);
        }
        done += static_cast<size_t>(n);
    }
    if (file_operations::Close(fd) != 0) {
        const int code = errno;
        throw IoError(Quoted(path) + ": cannot write (" + std::strerror(code) + ")", code);
    }
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw IoError("Cannot open " + path + ": " + std::strerror(errno), errno);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (in.bad()) throw IoError("Cannot read " + path, errno);
    return bytes;
}

}  // namespace cindral
