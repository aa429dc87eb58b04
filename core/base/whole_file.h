#pragma once
// Reading and writing a file as one block of bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace cindral {

// Writes `bytes` to `path` in place, replacing its contents; IoError (with the system's
// reason) when the file cannot be created or the disk fills. For files of our own making
// (temporary pictures, test fixtures); a file under a name the user chose is written with
// WriteFileAtomically.
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// The whole file; IoError when it cannot be opened or read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

}  // namespace cindral
