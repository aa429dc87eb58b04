#pragma once
// A library file opened read-only and read by record with positioned reads. Nothing is
// buffered, so every load sees the bytes the file holds at that moment.

#include <cstddef>
#include <cstdint>
#include <string>

namespace cindral {

class LibraryFile {
  public:
    // Opens an existing regular file read-only; a failure raises IoError naming the file.
    explicit LibraryFile(std::string path);
    ~LibraryFile();
    LibraryFile(const LibraryFile&) = delete;
    LibraryFile& operator=(const LibraryFile&) = delete;

    // Whole records of `record_size` bytes the file holds now.
    int64_t RecordCount(size_t record_size) const;
    // Reads record `number` into `out` (record_size bytes); a short or failed read raises
    // IoError naming the file and the byte offset.
    void ReadRecord(int64_t number, size_t record_size, uint8_t* out) const;

  private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace cindral
