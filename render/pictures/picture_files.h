#pragma once
// The file side of embedded pictures: unique temporary files, the size of a bitmap file,
// and the placeable header that makes bare metafile bits loadable.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/base/whole_file.h"
namespace cindral {

// Folder for temporary picture files, with a trailing '/': the user directory unless set
// otherwise (tests).
std::string PictureTempDirectory();
void SetPictureTempDirectory(const std::string& directory);

// Creates a new, empty temporary file named the folder + the first four characters of
// `prefix` + n + ".tmp", with the smallest n from 1 up that names no existing file, and
// returns its name. The file is created exclusively (never through an existing name or
// link), so concurrent viewers never share one. Raises IoError when none can be created.
std::string MakeTempFileName(const std::string& prefix);
std::string MakeTempFileName(const std::string& prefix, const std::string& directory);

// Removes a file when the scope ends, whatever happens in between.
class TempFileRemover {
  public:
    explicit TempFileRemover(std::string path) : path_(std::move(path)) {}
    ~TempFileRemover();
    TempFileRemover(const TempFileRemover&) = delete;
    TempFileRemover& operator=(const TempFileRemover&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Width and height of the bitmap in a bitmap file; returns the file's size in bytes. A file
// that cannot be read raises IoError, one that is not a bitmap PictureError.
int64_t ReadBitmapSize(const std::string& file_name, int& width, int& height);

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableHeaderSize = 22;

// Exclusive-or of the ten 16-bit words of the first 20 header bytes.
uint16_t HeaderChecksum(const uint8_t* header);

// Turns the bare metafile in `stream` into a placeable one with the bounding box
// (left, top, right, bottom) at `units_per_inch`. The metafile header's size field is set
// from `size`, the data's length in bytes. PictureError when `stream` holds no metafile
// header.
void AddPlaceableHeader(std::vector<uint8_t>& stream, uint32_t size, int16_t left, int16_t top,
                        int16_t right, int16_t bottom, int units_per_inch);

}  // namespace cindral
