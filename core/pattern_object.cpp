#include "core/pattern_object.h"

#include <sys/stat.h>

#include <cerrno>

#include "core/errors.h"

namespace cindral {

pattern_object::pattern_object(const std::string& fileName) : path_(fileName) {
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        throw CindralError("Error 1034, Loading Pattern File " + Quoted(fileName));
    }
    file_.FileName = fileName;
    file_.OpenRead();
}

void pattern_object::Load(int32_t number) {
    if (number < 0 || number > kLastPattern) return;
    uint8_t bytes[PatternRecord::kSize];
    try {
        file_.Seek(static_cast<int64_t>(number) * static_cast<int64_t>(PatternRecord::kSize));
        file_.ReadBlock(bytes, sizeof bytes);
    } catch (const IoError& e) {
        throw IoError(std::string(e.what()) + ", Loading Pattern " + std::to_string(number),
                      e.code());
    }
    current_ = DecodePatternRecord(bytes);
}

}  // namespace cindral
