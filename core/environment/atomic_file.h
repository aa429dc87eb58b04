#pragma once
// Replacing a small file without ever leaving it half written: the new bytes go to a
// temporary file in the same folder, are flushed to disk and renamed over the old file.

#include <cstdint>
#include <string>
#include <vector>

namespace cindral {

// Raises IoError ("Unable to write " + path + ": " + reason); the old file is then intact.
void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace cindral
