#include "core/environment/whole_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/environment/errors.h"
#include "core/format/file_object.h"

namespace cindral {

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    file_object file;
    file.FileName = path;
    file.OpenWrite();
    file.WriteBlock(bytes.data(), bytes.size());
    file.Close();
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
