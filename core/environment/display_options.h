#pragma once
// The options file (ExeBaseName + ".CN1"): a 100-byte record of display switches. The viewer
// reads two flags; the rest belongs to other programs of the family and is kept as it is.

#include <cstdint>
#include <string>
#include <vector>

namespace cindral {

constexpr size_t kDisplayOptionsSize = 100;

struct DisplayOptions {
    bool BetaOptions = false;             // cleared from the about box
    bool DiagnosticStatusLayout = false;  // full-height status window with the free memory
    std::vector<uint8_t> Record = std::vector<uint8_t>(kDisplayOptionsSize, 0);
};

DisplayOptions DefaultDisplayOptions();
std::vector<uint8_t> EncodeDisplayOptions(const DisplayOptions& options);
// Exactly kDisplayOptionsSize bytes; raises CindralError on another size.
DisplayOptions DecodeDisplayOptions(const std::vector<uint8_t>& bytes);

// Reads the options file; a missing file or one of the wrong size gets the defaults, which
// are written back (a failure to write is logged; the defaults are used all the same).
DisplayOptions LoadDisplayOptions(const std::string& path);
// Raises IoError; the previous file stays intact on failure.
void SaveDisplayOptions(const DisplayOptions& options, const std::string& path);

}  // namespace cindral
