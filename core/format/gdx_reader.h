#pragma once
// Walks the command records of a compiled log, one command at a time, with the point lists,
// segment lists, texts and picture bytes that belong to it. Nothing is allocated from a size
// field before it is checked against the rest of the file.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/format/file_object.h"
#include "core/format/gdx_commands.h"
#include "core/format/gdx_header.h"

namespace cindral {

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

// What `cindral-cli info` reports: the header, the number of command records (records that
// belong to a command are not counted) and how often each code occurs among them.
struct GdxSummary {
    GdxHeader header;
    int64_t commands = 0;
    std::map<int, int64_t> codes;
};

class GdxReader {
  public:
    // `file` is open for reading and positioned at the first command (after ReadHeader).
    // When it is open on a memory image the reader walks the image in place.
    explicit GdxReader(file_object& file) : file_(file) {}

    // Reads the next command; false at the end of the file. A malformed record raises
    // IoError naming the file, the record's code and its byte offset.
    bool Next(GdxCommand& command);
    // Steps over the next command with every check Next makes (its frame, length, point and
    // segment lists, text and picture counts) but decodes none of its fields: opening a log
    // refuses what reading it would refuse, at a fraction of the cost. false at the end.
    bool Skip(int64_t& offset, int16_t& code);
    // Skips every command to the end of the file, counting them into `summary` (its
    // `commands` and `codes`).
    void CountCommands(GdxSummary& summary);
    // Offers the records from the file's memory image in place, one after another, to
    // `take(offset, code, info, payload)` while it accepts them: a record is offered only when
    // its code is in the command table and its payload (the table's size) lies within the
    // file. Stops at the first record not taken, the file positioned at it for Next or Skip,
    // which then say what is wrong with it, if anything. Does nothing without an image.
    template <class Take>
    void TakeInPlace(Take&& take);

  private:
    struct Frame {
        int64_t offset;
        int16_t code;
        uint16_t length;
    };
    template <bool kDecode>
    bool Walk(GdxCommand& command);
    bool ReadFrame(Frame& frame);
    [[noreturn]] void Fail(const Frame& frame, const std::string& what) const;
    // The payload of `size` bytes, in place in the image or read into payload_.
    ByteReader ReadPayload(const Frame& frame, size_t size);
    void SkipPayload(const Frame& frame, size_t size);
    template <bool kDecode>
    void ReadPointList(std::vector<PointRecord>& points);
    template <bool kDecode>
    void ReadSegmentList(std::vector<DrawLineRecord>& segments);
    template <bool kDecode>
    void ReadTextSubBlock(const Frame& owner, std::string& text);
    template <bool kDecode>
    void ReadBoxText(const Frame& owner, int32_t text_length, std::string& text);
    template <bool kDecode>
    void ReadPictureSubBlock(const Frame& owner, std::vector<uint8_t>& data);

    // The read position: in the image while a command is walked (and handed back to the
    // file after it), else the file's own.
    int64_t Position() const;
    int64_t Remaining() const;
    void Read(void* destination, size_t count);  // count checked against Remaining()
    void MoveTo(int64_t position);
    std::string ReadText(size_t length);

    file_object& file_;
    const uint8_t* image_ = nullptr;  // the open memory image, or nullptr
    int64_t image_size_ = 0;
    int64_t position_ = 0;  // in the image
    std::vector<uint8_t> payload_;
    GdxCommand skipped_;  // what Skip reads the few fields it needs into
};

template <class Take>
void GdxReader::TakeInPlace(Take&& take) {
    const FileBytes* image = file_.OpenImage();
    if (!image) return;
    const uint8_t* bytes = image->data();
    const int64_t size = static_cast<int64_t>(image->size());
    int64_t at = file_.Position();
    while (size - at >= 4) {
        const int16_t code = static_cast<int16_t>(bytes[at] | (bytes[at + 1] << 8));
        const CommandInfo* info = FindCommand(code);
        if (!info || info->size > size - at - 4 || !take(at, code, *info, bytes + at + 4)) break;
        at += 4 + info->size;
    }
    file_.Seek(at);
}

GdxSummary SummarizeFile(const std::string& path,
                         double default_units_per_page = kDefaultPageLength);

}  // namespace cindral
