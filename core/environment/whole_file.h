#pragma once
// Reading and writing a file as one block of bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace cindral {

// Writes `bytes` to `path`, replacing its contents; IoError (with the system's reason) when
// the file cannot be created or the disk fills.
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// The whole file; IoError when it cannot be opened or read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

}  // namespace cindral
