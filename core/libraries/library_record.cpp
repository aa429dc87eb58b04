#include "core/libraries/library_record.h"

#include <algorithm>

#include "core/format/byte_codec.h"

namespace cindral {
namespace {

void WriteStrokes(ByteWriter& out, const LibraryStrokes& strokes) {
    for (const LibraryStroke& s : strokes) {
        for (int8_t v : {s.x1, s.y1, s.x2, s.y2}) out.U8(static_cast<uint8_t>(v));
    }
}

LibraryStrokes ReadStrokes(ByteReader& in) {
    LibraryStrokes strokes{};
    for (LibraryStroke& s : strokes) {
        s.x1 = static_cast<int8_t>(in.U8());
        s.y1 = static_cast<int8_t>(in.U8());
        s.x2 = static_cast<int8_t>(in.U8());
        s.y2 = static_cast<int8_t>(in.U8());
    }
    return strokes;
}

// A count beyond the record's room would make readers walk past it; hold it to the room.
uint16_t HeldCount(uint16_t count) {
    return std::min<uint16_t>(count, kLibraryStrokeCapacity);
}

}  // namespace

std::vector<uint8_t> EncodePatternRecord(const PatternRecord& record) {
    ByteWriter out;
    out.U16(record.SegmentCount);
    out.U16(record.CellWidth);
    out.U16(record.CellHeight);
    WriteStrokes(out, record.Segments);
    return out.Take();
}

PatternRecord DecodePatternRecord(const uint8_t* bytes) {
    ByteReader in(bytes, PatternRecord::kSize);
    PatternRecord record;
    record.SegmentCount = HeldCount(in.U16());
    record.CellWidth = in.U16();
    record.CellHeight = in.U16();
    record.Segments = ReadStrokes(in);
    return record;
}

std::vector<uint8_t> EncodeSymbolRecord(const SymbolRecord& record) {
    ByteWriter out;
    out.U16(record.StrokeCount);
    WriteStrokes(out, record.Strokes);
    return out.Take();
}

SymbolRecord DecodeSymbolRecord(const uint8_t* bytes) {
    ByteReader in(bytes, SymbolRecord::kSize);
    SymbolRecord record;
    record.StrokeCount = HeldCount(in.U16());
    record.Strokes = ReadStrokes(in);
    return record;
}

}  // namespace cindral
