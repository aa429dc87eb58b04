#include "render/pictures/picture_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>

#include "core/base/errors.h"
#include "core/environment/directories.h"
#include "core/format/byte_codec.h"
#include "render/pictures/bmp_decoder.h"
#include "render/pictures/picture_error.h"

namespace cindral {
namespace {

std::mutex directory_mutex;
std::string directory_override;

// Past this many taken names something is wrong with the folder; give up rather than spin.
constexpr int kMaxTempNumber = 1000000;

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

}  // namespace

std::string PictureTempDirectory() {
    {
        std::lock_guard<std::mutex> lock(directory_mutex);
        if (!directory_override.empty()) return directory_override;
    }
    const std::string& user = UserDirectory();
    if (!user.empty()) return WithSlash(user);
    return WithSlash(QStandardPaths::writableLocation(QStandardPaths::TempLocation).toStdString());
}

void SetPictureTempDirectory(const std::string& directory) {
    std::lock_guard<std::mutex> lock(directory_mutex);
    directory_override = directory.empty() ? std::string() : WithSlash(directory);
}

std::string MakeTempFileName(const std::string& prefix) {
    return MakeTempFileName(prefix, PictureTempDirectory());
}

std::string MakeTempFileName(const std::string& prefix, const std::string& directory) {
    const std::string stem = WithSlash(directory) + prefix.substr(0, 4);
    for (int n = 1; n <= kMaxTempNumber; ++n) {
        std::string name = stem + std::to_string(n) + ".tmp";
        // O_EXCL makes the check and the creation one step, so two viewers (or threads)
        // racing for the same number cannot both get it, and O_NOFOLLOW refuses a planted
        // link.
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) {
            throw IoError(
                "Cannot create a temporary picture file " + name + ": " + std::strerror(errno),
                errno);
        }
    }
    throw IoError("No free temporary picture file name for " + stem + "*.tmp", EEXIST);
}

TempFileRemover::~TempFileRemover() {
    if (!path_.empty()) ::unlink(path_.c_str());
}

int64_t ReadBitmapSize(const std::string& file_name, int& width, int& height) {
    const std::vector<uint8_t> bytes = ReadFileBytes(file_name);
    const Size size = BmpFileSize(bytes.data(), bytes.size());
    width = size.cx;
    height = size.cy;
    return static_cast<int64_t>(bytes.size());
}

uint16_t HeaderChecksum(const uint8_t* header) {
    uint16_t sum = 0;
    for (size_t i = 0; i < 10; ++i) sum ^= uint16_t(header[2 * i] | (header[2 * i + 1] << 8));
    return sum;
}

void AddPlaceableHeader(std::vector<uint8_t>& stream, uint32_t size, int16_t left, int16_t top,
                        int16_t right, int16_t bottom, int units_per_inch) {
    if (stream.size() < 18) throw PictureError("metafile: the data holds no metafile header");
    // The metafile header counts its size in 16-bit words; callers pass bytes.
    const uint32_t words = size / 2 + (size & 1);
    for (int i = 0; i < 4; ++i) stream[6 + i] = static_cast<uint8_t>(words >> (8 * i));

    ByteWriter header;
    header.U32(kPlaceableKey);
    header.U16(0);
    header.I16(left);
    header.I16(top);
    header.I16(right);
    header.I16(bottom);
    header.U16(static_cast<uint16_t>(units_per_inch));
    header.U32(0);
    header.U16(HeaderChecksum(header.bytes().data()));
    stream.insert(stream.begin(), header.bytes().begin(), header.bytes().end());
}

}  // namespace cindral
