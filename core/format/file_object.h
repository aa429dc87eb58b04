#pragma once
// The binary record file under every document: a file opened by name and read or written as
// a stream of little-endian items and records. Every failure raises IoError naming the file.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/base/errors.h"
#include "core/format/file_image.h"

namespace cindral {

class file_object {
  public:
    file_object();
    virtual ~file_object();
    file_object(const file_object&) = delete;
    file_object& operator=(const file_object&) = delete;

    // Creates the file, truncating an existing one.
    virtual void OpenWrite();
    virtual void WriteShort(int16_t value);
    // Reads `count` bytes into a new block; a count beyond the rest of the file is refused
    // before anything is allocated.
    virtual std::vector<uint8_t> ReadToMemoryBlock(int32_t count);
    virtual int16_t ReadShort();
    virtual int32_t ReadLong();
    // Advances by up to `count` bytes, stopping quietly at the end of the file.
    virtual void SkipBytes(uint16_t count);
    // Opens an existing file for reading only, so read-only logs open too. With a memory
    // image set, opens the image instead and no system call is made.
    virtual void OpenRead();
    // Makes every later OpenRead read these bytes instead of the file on disk: the log's
    // pages then come from what was read once, whatever happens to the file meanwhile.
    // Writing still goes to the file. nullptr goes back to reading the file.
    void UseMemoryImage(std::shared_ptr<const FileBytes> bytes);
    const std::shared_ptr<const FileBytes>& MemoryImage() const { return image_; }
    // The memory image while the file is open on it (readers walk it in place), else nullptr.
    const FileBytes* OpenImage() const { return image_open_ ? image_.get() : nullptr; }
    virtual void Close();

    // Opens an existing file for reading and writing; used only to write a header back.
    // A file that cannot be written raises IoError and is left untouched.
    void OpenUpdate();

    void ReadBlock(void* destination, size_t count);
    std::vector<uint8_t> ReadToStream(int32_t count);
    // Writes code, length and `length` bytes. A short write raises IoError with
    // "Not enough disk space." so no further record lands behind a truncated one.
    void WriteRecord(int16_t code, const void* data, uint16_t length);
    void WriteBlock(const void* data, size_t count);

    int64_t Position() const;
    void Seek(int64_t position);
    bool Eof() const { return Position() >= FileSize; }
    int64_t Remaining() const;

    const int16_t LongSize = 4;
    const int16_t DoubleSize = 8;
    const int16_t ShortSize = 2;
    std::string FileName;
    bool IsOpen = false;
    // Size in bytes when opened for reading; grows with every write.
    int64_t FileSize = 0;

  private:
    void Open(int flags, const char* mode, const char* purpose);
    void RequireOpen(const char* operation) const;
    [[noreturn]] void Fail(const std::string& what, int code) const;
    std::FILE* handle_ = nullptr;
    std::shared_ptr<const FileBytes> image_;
    // Open on the memory image, and the read position in it.
    bool image_open_ = false;
    int64_t image_position_ = 0;
};

}  // namespace cindral
