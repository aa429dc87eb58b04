#pragma once
// Builds compiled logs: the header record, then command records with their point lists,
// segment lists, texts and picture bytes. Every x a command places widens MinX/MaxX.
// Used by the tests and the sample generator; the viewer itself never writes a log.

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/whole_file.h"
#include "core/format/byte_codec.h"
#include "core/format/gdx_header.h"
#include "core/format/gdx_reader.h"

namespace cindral {

class GdxWriter {
  public:
    // header.version chooses the header layout (301 or 300).
    explicit GdxWriter(const GdxHeader& header = GdxHeader());

    GdxHeader& header() { return header_; }

    // Appends a command and what follows it: points (13, 14, 209, 1026), both point lists
    // (207), segments (210), text (26, 1023; 1021 gets TextLength and a 1022 record from it)
    // or picture bytes (103, 206). An UnknownRecord is written with `length` zero bytes.
    void Write(const GdxCommand& command);
    void Write(const CommandRecord& record) { Write(GdxCommand(record)); }

    // A raw record, for codes outside the table and for hand-made test files.
    void WriteRecord(int16_t code, const std::vector<uint8_t>& payload);
    void WriteRawBytes(const std::vector<uint8_t>& bytes);

    // Widens MinX/MaxX with one x value.
    void Widen(double x);

    // The whole file: the header with the widened range, then every record.
    std::vector<uint8_t> Bytes() const;
    // Writes Bytes() to `path` (created or truncated).
    void Save(const std::string& path) const;

  private:
    void WritePointList(const std::vector<PointRecord>& points);
    void WriteFrame(int16_t code, size_t length);

    GdxHeader header_;
    ByteWriter body_;
};

}  // namespace cindral
