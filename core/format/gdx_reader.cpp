#include "core/format/gdx_reader.h"

#include <cstring>

#include "core/environment/errors.h"
#include "core/format/file_object.h"

namespace cindral {
namespace {

constexpr int16_t kPointCode = PointRecord::kCode;
constexpr int16_t kEndOfListCode = EndOfListRecord::kCode;
constexpr int16_t kSegmentCode = DrawLineRecord::kCode;

std::string Bytes(int64_t n) {
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

}  // namespace

void GdxReader::Fail(const Frame& frame, const std::string& what) const {
    throw IoError(Quoted(file_.FileName) + ": record code " + std::to_string(frame.code) +
                      " at byte " + std::to_string(frame.offset) + " " + what,
                  0);
}

bool GdxReader::ReadFrame(Frame& frame) {
    frame.offset = file_.Position();
    int64_t left = file_.Remaining();
    if (left == 0) return false;
    if (left < 4) {
        throw IoError(Quoted(file_.FileName) + ": the file ends inside a record frame at byte " +
                          std::to_string(frame.offset) + " (" + Bytes(left) +
                          " left, a frame needs 4).",
                      0);
    }
    uint8_t bytes[4];
    file_.ReadBlock(bytes, sizeof bytes);
    frame.code = static_cast<int16_t>(bytes[0] | (bytes[1] << 8));
    frame.length = static_cast<uint16_t>(bytes[2] | (bytes[3] << 8));
    return true;
}

void GdxReader::ReadPayload(const Frame& frame, size_t size, std::vector<uint8_t>& payload) {
    int64_t left = file_.Remaining();
    if (static_cast<int64_t>(size) > left) {
        Fail(frame, "is cut short: its payload needs " + Bytes(static_cast<int64_t>(size)) +
                        " but the file ends after " + Bytes(left) + ".");
    }
    payload.resize(size);
    file_.ReadBlock(payload.data(), size);
}

void GdxReader::SkipPayload(const Frame& frame, size_t size) {
    int64_t left = file_.Remaining();
    if (static_cast<int64_t>(size) > left) {
        Fail(frame, "has a length of " + Bytes(static_cast<int64_t>(size)) +
                        " that runs past the end of the file (" + Bytes(left) + " left).");
    }
    file_.Seek(file_.Position() + static_cast<int64_t>(size));
}

std::vector<PointRecord> GdxReader::ReadPointList() {
    std::vector<PointRecord> points;
    Frame frame{};
    while (ReadFrame(frame)) {
        if (frame.code == kEndOfListCode) {
            SkipPayload(frame, frame.length);
            break;
        }
        if (frame.code != kPointCode) {
            // Another record ends the list; it is read as the next command.
            file_.Seek(frame.offset);
            break;
        }
        if (frame.length < PointRecord::kSize) {
            Fail(frame, "is a point of " + Bytes(frame.length) + "; a point needs " +
                            Bytes(PointRecord::kSize) + ".");
        }
        ReadPayload(frame, PointRecord::kSize, payload_);
        SkipPayload(frame, frame.length - PointRecord::kSize);
        ByteReader in(payload_);
        points.push_back(std::get<PointRecord>(DecodeCommand(kPointCode, in)));
    }
    return points;
}

std::vector<DrawLineRecord> GdxReader::ReadSegmentList() {
    std::vector<DrawLineRecord> segments;
    Frame frame{};
    while (ReadFrame(frame)) {
        if (frame.code == kEndOfListCode) {
            SkipPayload(frame, frame.length);
            break;
        }
        if (frame.code != kSegmentCode) {
            file_.Seek(frame.offset);
            break;
        }
        ReadPayload(frame, DrawLineRecord::kSize, payload_);
        ByteReader in(payload_);
        segments.push_back(std::get<DrawLineRecord>(DecodeCommand(kSegmentCode, in)));
    }
    return segments;
}

std::string GdxReader::ReadTextSubBlock(const Frame& owner) {
    if (file_.Remaining() < 4) {
        Fail(owner, "is cut short: the file ends before its text (" + Bytes(file_.Remaining()) +
                        " left).");
    }
    file_.ReadShort();  // the sub-block's own code carries no meaning
    uint16_t length = static_cast<uint16_t>(file_.ReadShort());
    if (length > file_.Remaining()) {
        Fail(owner, "has a text of " + Bytes(length) + " that runs past the end of the file (" +
                        Bytes(file_.Remaining()) + " left).");
    }
    std::string text(length, '\0');
    file_.ReadBlock(text.data(), length);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string GdxReader::ReadBoxText(const Frame& owner, int32_t text_length) {
    if (text_length <= 0) return {};
    Frame frame{};
    if (!ReadFrame(frame)) {
        Fail(owner, "announces a text of " + Bytes(text_length) +
                        " but the file ends before its text record.");
    }
    if (frame.length > file_.Remaining()) {
        Fail(frame, "(the text of the box at byte " + std::to_string(owner.offset) +
                        ") has a length of " + Bytes(frame.length) +
                        " that runs past the end of the file (" + Bytes(file_.Remaining()) +
                        " left).");
    }
    std::string text(frame.length, '\0');
    file_.ReadBlock(text.data(), frame.length);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::vector<uint8_t> GdxReader::ReadPictureSubBlock(const Frame& owner) {
    if (file_.Remaining() < 6) {
        Fail(owner, "is cut short: the file ends before its picture data (" +
                        Bytes(file_.Remaining()) + " left).");
    }
    file_.ReadShort();  // written as 0, not checked
    int32_t count = file_.ReadLong();
    if (count < 0 || count > file_.Remaining()) {
        Fail(owner, "has picture data of " + Bytes(count) + ", more than the rest of the file (" +
                        Bytes(file_.Remaining()) + ").");
    }
    return file_.ReadToMemoryBlock(count);
}

bool GdxReader::Next(GdxCommand& command) {
    Frame frame{};
    if (!ReadFrame(frame)) return false;
    // Cleared in place: the lists keep their storage from one command to the next.
    command.points.clear();
    command.points2.clear();
    command.segments.clear();
    command.text.clear();
    command.data.clear();
    command.offset = frame.offset;
    command.code = frame.code;
    command.length = frame.length;
    const CommandInfo* info = FindCommand(frame.code);
    if (!info) {
        // 1022 outside a box, late header codes and every other code: skipped by length. A
        // length that runs past the end only ends the file; nothing of the record is read.
        file_.SkipBytes(frame.length);
        command.record = UnknownRecord{frame.code, frame.length};
        return true;
    }
    if (frame.code == DrawTextBoxRecord::kCode) {
        // The box is the one command read by its own length; bytes beyond the known layout
        // are skipped, never read into the record.
        if (frame.length < info->size) {
            Fail(frame, "is " + Bytes(frame.length) + " long; a text box needs " +
                            Bytes(info->size) + ".");
        }
        ReadPayload(frame, info->size, payload_);
        SkipPayload(frame, frame.length - info->size);
    } else {
        ReadPayload(frame, info->size, payload_);
    }
    ByteReader in(payload_);
    DecodeCommandInto(frame.code, in, command.record);
    switch (info->follower) {
        case Follower::None:
            break;
        case Follower::PointList:
            command.points = ReadPointList();
            break;
        case Follower::TwoPointLists:
            command.points = ReadPointList();
            command.points2 = ReadPointList();
            break;
        case Follower::SegmentList:
            command.segments = ReadSegmentList();
            break;
        case Follower::TextSubBlock:
            command.text = ReadTextSubBlock(frame);
            break;
        case Follower::TextRecord:
            command.text =
                ReadBoxText(frame, std::get<DrawTextBoxRecord>(command.record).TextLength);
            break;
        case Follower::PictureSubBlock:
            command.data = ReadPictureSubBlock(frame);
            break;
    }
    return true;
}

GdxSummary SummarizeFile(const std::string& path, double default_units_per_page) {
    file_object file;
    file.FileName = path;
    file.OpenRead();
    GdxSummary summary;
    summary.header = ReadHeader(file, default_units_per_page);
    GdxReader reader(file);
    GdxCommand command;
    while (reader.Next(command)) {
        ++summary.commands;
        ++summary.codes[command.code];
    }
    file.Close();
    return summary;
}

}  // namespace cindral
