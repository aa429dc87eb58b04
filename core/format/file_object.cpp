#include "core/format/file_object.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/base/errors.h"

namespace cindral {

file_object::file_object() = default;

file_object::~file_object() {
    // A destructor cannot report; callers that write close explicitly and see the error.
    if (handle_) std::fclose(handle_);
}

void file_object::Fail(const std::string& what, int code) const {
    std::string message = Quoted(FileName) + ": " + what;
    if (code != 0) message += " (" + std::string(std::strerror(code)) + ")";
    throw IoError(message, code);
}

void file_object::RequireOpen(const char* operation) const {
    if (!handle_ && !image_open_)
        Fail(std::string("cannot ") + operation + ": the file is not open", 0);
}

void file_object::Open(int flags, const char* mode, const char* purpose) {
    Close();
    // O_NONBLOCK keeps a FIFO from hanging the open; only regular files are accepted.
    int fd = ::open(FileName.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) Fail(std::string("cannot open the file ") + purpose, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        int code = errno;
        ::close(fd);
        Fail("cannot examine the file", code);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        Fail(S_ISDIR(info.st_mode) ? "is a folder, not a file" : "is not a regular file", 0);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    handle_ = ::fdopen(fd, mode);
    if (!handle_) {
        int code = errno;
        ::close(fd);
        Fail(std::string("cannot open the file ") + purpose, code);
    }
    FileSize = static_cast<int64_t>(info.st_size);
    IsOpen = true;
}

void file_object::OpenWrite() {
    Open(O_WRONLY | O_CREAT | O_TRUNC, "wb", "for writing");
    // Unbuffered, so a full disk shows at the record that did not fit.
    std::setvbuf(handle_, nullptr, _IONBF, 0);
    FileSize = 0;
}

void file_object::OpenRead() {
    if (!image_) {
        Open(O_RDONLY, "rb", "for reading");
        return;
    }
    Close();
    image_open_ = true;
    image_position_ = 0;
    FileSize = static_cast<int64_t>(image_->size());
    IsOpen = true;
}

void file_object::UseMemoryImage(std::shared_ptr<const FileBytes> bytes) {
    Close();
    image_ = std::move(bytes);
}

void file_object::OpenUpdate() {
    Open(O_RDWR, "r+b", "for writing");
    std::setvbuf(handle_, nullptr, _IONBF, 0);
}

void file_object::Close() {
    if (image_open_) {
        image_open_ = false;
        IsOpen = false;
        return;
    }
    if (!handle_) return;
    std::FILE* h = handle_;
    handle_ = nullptr;
    IsOpen = false;
    if (std::fclose(h) != 0) Fail("cannot close the file", errno);
}

int64_t file_object::Position() const {
    RequireOpen("tell the position");
    if (image_open_) return image_position_;
    off_t p = ::ftello(handle_);
    if (p < 0) Fail("cannot tell the position in the file", errno);
    return static_cast<int64_t>(p);
}

int64_t file_object::Remaining() const {
    int64_t rest = FileSize - Position();
    return rest > 0 ? rest : 0;
}

void file_object::Seek(int64_t position) {
    RequireOpen("seek");
    if (image_open_) {
        if (position < 0) Fail("cannot move to byte " + std::to_string(position), EINVAL);
        image_position_ = position;
        return;
    }
    if (position < 0 || ::fseeko(handle_, static_cast<off_t>(position), SEEK_SET) != 0) {
        Fail("cannot move to byte " + std::to_string(position), errno);
    }
}

void file_object::ReadBlock(void* destination, size_t count) {
    RequireOpen("read");
    if (count == 0) return;
    int64_t at = Position();
    if (image_open_) {
        const int64_t size = static_cast<int64_t>(image_->size());
        const size_t got =
            at >= size ? 0 : static_cast<size_t>(std::min<int64_t>(size - at, int64_t(count)));
        if (got > 0) std::memcpy(destination, image_->data() + at, got);
        image_position_ = at + static_cast<int64_t>(got);
        if (got != count) {
            Fail("read beyond the end of the file at byte " + std::to_string(at) + " (" +
                     std::to_string(count) + " bytes wanted, " + std::to_string(got) + " present)",
                 0);
        }
        return;
    }
    size_t got = std::fread(destination, 1, count, handle_);
    if (got != count) {
        if (std::ferror(handle_)) Fail("cannot read at byte " + std::to_string(at), errno);
        Fail("read beyond the end of the file at byte " + std::to_string(at) + " (" +
                 std::to_string(count) + " bytes wanted, " + std::to_string(got) + " present)",
             0);
    }
}

int16_t file_object::ReadShort() {
    uint8_t b[2];
    ReadBlock(b, sizeof b);
    return static_cast<int16_t>(b[0] | (b[1] << 8));
}

int32_t file_object::ReadLong() {
    uint8_t b[4];
    ReadBlock(b, sizeof b);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) |
                                (static_cast<uint32_t>(b[3]) << 24));
}

void file_object::SkipBytes(uint16_t count) {
    int64_t step = count < Remaining() ? count : Remaining();
    if (step > 0) Seek(Position() + step);
}

std::vector<uint8_t> file_object::ReadToMemoryBlock(int32_t count) {
    RequireOpen("read");
    if (count < 0 || count > Remaining()) {
        Fail("a block of " + std::to_string(count) + " bytes at byte " +
                 std::to_string(Position()) + " runs past the end of the file (" +
                 std::to_string(Remaining()) + " bytes left)",
             0);
    }
    std::vector<uint8_t> block(static_cast<size_t>(count));
    ReadBlock(block.data(), block.size());
    return block;
}

std::vector<uint8_t> file_object::ReadToStream(int32_t count) {
    return ReadToMemoryBlock(count);
}

void file_object::WriteBlock(const void* data, size_t count) {
    RequireOpen("write");
    if (image_open_) Fail("cannot write: the file is open on its memory image", EBADF);
    if (count == 0) return;
    int64_t at = Position();
    size_t put = std::fwrite(data, 1, count, handle_);
    if (put != count || std::fflush(handle_) != 0) {
        int code = errno;
        if (code == ENOSPC || code == EDQUOT || code == EFBIG || code == 0) {
            throw IoError("Not enough disk space. (" + Quoted(FileName) + " at byte " +
                              std::to_string(at) + ")",
                          code);
        }
        Fail("cannot write at byte " + std::to_string(at), code);
    }
    int64_t end = at + static_cast<int64_t>(count);
    if (end > FileSize) FileSize = end;
}

void file_object::WriteShort(int16_t value) {
    uint8_t b[2] = {static_cast<uint8_t>(value & 0xFF),
                    static_cast<uint8_t>((static_cast<uint16_t>(value) >> 8) & 0xFF)};
    WriteBlock(b, sizeof b);
}

void file_object::WriteRecord(int16_t code, const void* data, uint16_t length) {
    // One write for the whole record, so a full disk never leaves half a frame behind
    // without an error.
    std::vector<uint8_t> record(4 + static_cast<size_t>(length));
    record[0] = static_cast<uint8_t>(code & 0xFF);
    record[1] = static_cast<uint8_t>((static_cast<uint16_t>(code) >> 8) & 0xFF);
    record[2] = static_cast<uint8_t>(length & 0xFF);
    record[3] = static_cast<uint8_t>(length >> 8);
    if (length > 0) std::memcpy(record.data() + 4, data, length);
    WriteBlock(record.data(), record.size());
}

}  // namespace cindral
