#pragma once
// Walks the command records of a compiled log, one command at a time, with the point lists,
// segment lists, texts and picture bytes that belong to it. Nothing is allocated from a size
// field before it is checked against the rest of the file.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/format/gdx_commands.h"
#include "core/format/gdx_header.h"

namespace cindral {

class file_object;

// One command as read from the file, or as handed to the writer.
struct GdxCommand {
    GdxCommand() = default;
    explicit GdxCommand(CommandRecord r) : record(std::move(r)) {}

    int64_t offset = 0;  // byte offset of the record in the file
    int16_t code = 0;
    uint16_t length = 0;  // the record's own length field
    CommandRecord record;
    std::vector<PointRecord> points;       // the point list, the first one for 207
    std::vector<PointRecord> points2;      // the second point list of 207
    std::vector<DrawLineRecord> segments;  // the segment list of 210
    std::string text;                      // text of 26, 1023 and 1021, up to its NUL
    std::vector<uint8_t> data;             // picture bytes of 103 and 206
};

class GdxReader {
  public:
    // `file` is open for reading and positioned at the first command (after ReadHeader).
    explicit GdxReader(file_object& file) : file_(file) {}

    // Reads the next command; false at the end of the file. A malformed record raises
    // IoError naming the file, the record's code and its byte offset.
    bool Next(GdxCommand& command);

  private:
    struct Frame {
        int64_t offset;
        int16_t code;
        uint16_t length;
    };
    bool ReadFrame(Frame& frame);
    [[noreturn]] void Fail(const Frame& frame, const std::string& what) const;
    void ReadPayload(const Frame& frame, size_t size, std::vector<uint8_t>& payload);
    void SkipPayload(const Frame& frame, size_t size);
    std::vector<PointRecord> ReadPointList();
    std::vector<DrawLineRecord> ReadSegmentList();
    std::string ReadTextSubBlock(const Frame& owner);
    std::string ReadBoxText(const Frame& owner, int32_t text_length);
    std::vector<uint8_t> ReadPictureSubBlock(const Frame& owner);

    file_object& file_;
    std::vector<uint8_t> payload_;
};

// What `cindral-cli info` reports: the header, the number of command records (records that
// belong to a command are not counted) and how often each code occurs among them.
struct GdxSummary {
    GdxHeader header;
    int64_t commands = 0;
    std::map<int, int64_t> codes;
};

GdxSummary SummarizeFile(const std::string& path,
                         double default_units_per_page = kDefaultPageLength);

}  // namespace cindral
