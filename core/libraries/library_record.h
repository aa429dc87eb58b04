#pragma once
// The fixed records of the pattern and symbol libraries. Both files are bare arrays of these
// records, addressed by number; the line coordinates are signed bytes in library units.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace cindral {

// One line of a pattern cell or a symbol; both ends equal make a dot.
struct LibraryStroke {
    int8_t x1 = 0;
    int8_t y1 = 0;
    int8_t x2 = 0;
    int8_t y2 = 0;
};

// A record has room for this many lines; a larger stored count is held to it on reading.
constexpr int kLibraryStrokeCapacity = 50;

using LibraryStrokes = std::array<LibraryStroke, kLibraryStrokeCapacity>;

struct PatternRecord {
    static constexpr size_t kSize = 206;
    uint16_t SegmentCount = 0;
    uint16_t CellWidth = 0;
    uint16_t CellHeight = 0;
    LibraryStrokes Segments{};
};

struct SymbolRecord {
    static constexpr size_t kSize = 202;
    uint16_t StrokeCount = 0;
    LibraryStrokes Strokes{};
};

std::vector<uint8_t> EncodePatternRecord(const PatternRecord& record);
// `bytes` holds exactly PatternRecord::kSize bytes.
PatternRecord DecodePatternRecord(const uint8_t* bytes);

std::vector<uint8_t> EncodeSymbolRecord(const SymbolRecord& record);
// `bytes` holds exactly SymbolRecord::kSize bytes.
SymbolRecord DecodeSymbolRecord(const uint8_t* bytes);

}  // namespace cindral
