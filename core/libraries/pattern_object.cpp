#include "core/libraries/pattern_object.h"

#include <sys/stat.h>

#include <cerrno>

#include "core/base/errors.h"
#include "core/format/file_object.h"

namespace cindral {

namespace {

// The missing-file message comes before any attempt to open, as users know it.
const std::string& RequireExisting(const std::string& fileName) {
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        throw CindralError("Error 1034, Loading Pattern File " + Quoted(fileName));
    }
    return fileName;
}

}  // namespace

pattern_object::pattern_object(const std::string& fileName)
    : file_(RequireExisting(fileName)), path_(fileName) {}

void pattern_object::Load(int32_t number) {
    if (number < 0 || number > kLastPattern) return;
    uint8_t bytes[PatternRecord::kSize];
    try {
        file_.ReadRecord(number, sizeof bytes, bytes);
    } catch (const IoError& e) {
        throw IoError(std::string(e.what()) + ", Loading Pattern " + std::to_string(number),
                      e.code());
    }
    current_ = DecodePatternRecord(bytes);
}

}  // namespace cindral
