#include "core/format/gdx_reader.h"

#include <algorithm>
#include <cstring>

#include "core/base/errors.h"
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

int64_t GdxReader::Position() const {
    return image_ ? position_ : file_.Position();
}

int64_t GdxReader::Remaining() const {
    if (!image_) return file_.Remaining();
    return position_ < image_size_ ? image_size_ - position_ : 0;
}

void GdxReader::Read(void* destination, size_t count) {
    if (count == 0) return;  // an empty picture or text has no storage to copy into
    if (!image_) {
        file_.ReadBlock(destination, count);
        return;
    }
    std::memcpy(destination, image_ + position_, count);
    position_ += static_cast<int64_t>(count);
}

void GdxReader::MoveTo(int64_t position) {
    if (image_)
        position_ = position;
    else
        file_.Seek(position);
}

std::string GdxReader::ReadText(size_t length) {
    std::string text(length, '\0');
    Read(text.data(), length);
    text.resize(std::strlen(text.c_str()));
    return text;
}

bool GdxReader::ReadFrame(Frame& frame) {
    frame.offset = Position();
    int64_t left = Remaining();
    if (left == 0) return false;
    if (left < 4) {
        throw IoError(Quoted(file_.FileName) + ": the file ends inside a record frame at byte " +
                          std::to_string(frame.offset) + " (" + Bytes(left) +
                          " left, a frame needs 4).",
                      0);
    }
    uint8_t bytes[4];
    Read(bytes, sizeof bytes);
    frame.code = static_cast<int16_t>(bytes[0] | (bytes[1] << 8));
    frame.length = static_cast<uint16_t>(bytes[2] | (bytes[3] << 8));
    return true;
}

ByteReader GdxReader::ReadPayload(const Frame& frame, size_t size) {
    int64_t left = Remaining();
    if (static_cast<int64_t>(size) > left) {
        Fail(frame, "is cut short: its payload needs " + Bytes(static_cast<int64_t>(size)) +
                        " but the file ends after " + Bytes(left) + ".");
    }
    if (image_) {
        const uint8_t* at = image_ + position_;
        position_ += static_cast<int64_t>(size);
        return ByteReader(at, size);
    }
    payload_.resize(size);
    Read(payload_.data(), size);
    return ByteReader(payload_);
}

void GdxReader::SkipPayload(const Frame& frame, size_t size) {
    int64_t left = Remaining();
    if (static_cast<int64_t>(size) > left) {
        Fail(frame, "has a length of " + Bytes(static_cast<int64_t>(size)) +
                        " that runs past the end of the file (" + Bytes(left) + " left).");
    }
    MoveTo(Position() + static_cast<int64_t>(size));
}

template <bool kDecode>
void GdxReader::ReadPointList(std::vector<PointRecord>& points) {
    Frame frame{};
    while (ReadFrame(frame)) {
        if (frame.code == kEndOfListCode) {
            SkipPayload(frame, frame.length);
            break;
        }
        if (frame.code != kPointCode) {
            // Another record ends the list; it is read as the next command.
            MoveTo(frame.offset);
            break;
        }
        if (frame.length < PointRecord::kSize) {
            Fail(frame, "is a point of " + Bytes(frame.length) + "; a point needs " +
                            Bytes(PointRecord::kSize) + ".");
        }
        ByteReader in = ReadPayload(frame, PointRecord::kSize);
        SkipPayload(frame, frame.length - PointRecord::kSize);
        if constexpr (kDecode) {
            PointRecord& point = points.emplace_back();
            point.x = in.F64();
            point.y = in.F64();
        }
    }
}

template <bool kDecode>
void GdxReader::ReadSegmentList(std::vector<DrawLineRecord>& segments) {
    Frame frame{};
    while (ReadFrame(frame)) {
        if (frame.code == kEndOfListCode) {
            SkipPayload(frame, frame.length);
            break;
        }
        if (frame.code != kSegmentCode) {
            MoveTo(frame.offset);
            break;
        }
        ByteReader in = ReadPayload(frame, DrawLineRecord::kSize);
        if constexpr (kDecode) {
            segments.push_back(std::get<DrawLineRecord>(DecodeCommand(kSegmentCode, in)));
        }
    }
}

template <bool kDecode>
void GdxReader::ReadTextSubBlock(const Frame& owner, std::string& text) {
    if (Remaining() < 4) {
        Fail(owner,
             "is cut short: the file ends before its text (" + Bytes(Remaining()) + " left).");
    }
    uint8_t head[4];  // the sub-block's own code carries no meaning; then the length
    Read(head, sizeof head);
    const uint16_t length = static_cast<uint16_t>(head[2] | (head[3] << 8));
    if (length > Remaining()) {
        Fail(owner, "has a text of " + Bytes(length) + " that runs past the end of the file (" +
                        Bytes(Remaining()) + " left).");
    }
    if constexpr (kDecode) {
        text = ReadText(length);
    } else {
        MoveTo(Position() + length);
    }
}

template <bool kDecode>
void GdxReader::ReadBoxText(const Frame& owner, int32_t text_length, std::string& text) {
    if (text_length <= 0) return;
    Frame frame{};
    if (!ReadFrame(frame)) {
        Fail(owner, "announces a text of " + Bytes(text_length) +
                        " but the file ends before its text record.");
    }
    if (frame.length > Remaining()) {
        Fail(frame, "(the text of the box at byte " + std::to_string(owner.offset) +
                        ") has a length of " + Bytes(frame.length) +
                        " that runs past the end of the file (" + Bytes(Remaining()) + " left).");
    }
    if constexpr (kDecode) {
        text = ReadText(frame.length);
    } else {
        MoveTo(Position() + frame.length);
    }
}

template <bool kDecode>
void GdxReader::ReadPictureSubBlock(const Frame& owner, std::vector<uint8_t>& data) {
    if (Remaining() < 6) {
        Fail(owner, "is cut short: the file ends before its picture data (" + Bytes(Remaining()) +
                        " left).");
    }
    uint8_t head[6];  // a code written as 0 and not checked, then the byte count
    Read(head, sizeof head);
    ByteReader count_reader(head + 2, 4);
    const int32_t count = count_reader.I32();
    if (count < 0 || count > Remaining()) {
        Fail(owner, "has picture data of " + Bytes(count) + ", more than the rest of the file (" +
                        Bytes(Remaining()) + ").");
    }
    if constexpr (kDecode) {
        data.resize(static_cast<size_t>(count));
        Read(data.data(), data.size());
    } else {
        MoveTo(Position() + count);
    }
}

template <bool kDecode>
bool GdxReader::Walk(GdxCommand& command) {
    image_ = nullptr;
    if (const FileBytes* image = file_.OpenImage()) {
        image_ = image->data();
        image_size_ = static_cast<int64_t>(image->size());
        position_ = file_.Position();
    }
    const bool more = [&] {
        Frame frame{};
        if (!ReadFrame(frame)) return false;
        if constexpr (kDecode) {
            // Cleared in place: the lists keep their storage from one command to the next.
            command.points.clear();
            command.points2.clear();
            command.segments.clear();
            command.text.clear();
            command.data.clear();
        }
        command.offset = frame.offset;
        command.code = frame.code;
        command.length = frame.length;
        const CommandInfo* info = FindCommand(frame.code);
        if (!info) {
            // 1022 outside a box, late header codes and every other code: skipped by length.
            // A length that runs past the end only ends the file; nothing of it is read.
            MoveTo(Position() + std::min<int64_t>(frame.length, Remaining()));
            if constexpr (kDecode) command.record = UnknownRecord{frame.code, frame.length};
            return true;
        }
        // The box is the one command read by its own length; bytes beyond the known layout
        // are skipped, never read into the record.
        const bool box = frame.code == DrawTextBoxRecord::kCode;
        if (box && frame.length < info->size) {
            Fail(frame, "is " + Bytes(frame.length) + " long; a text box needs " +
                            Bytes(info->size) + ".");
        }
        ByteReader in = ReadPayload(frame, info->size);
        if (box) SkipPayload(frame, frame.length - info->size);
        // Skipping decodes only the box, whose text length says whether a text record
        // follows.
        if (kDecode || info->follower == Follower::TextRecord) {
            DecodeCommandInto(frame.code, in, command.record);
        }
        switch (info->follower) {
            case Follower::None:
                break;
            case Follower::PointList:
                ReadPointList<kDecode>(command.points);
                break;
            case Follower::TwoPointLists:
                ReadPointList<kDecode>(command.points);
                ReadPointList<kDecode>(command.points2);
                break;
            case Follower::SegmentList:
                ReadSegmentList<kDecode>(command.segments);
                break;
            case Follower::TextSubBlock:
                ReadTextSubBlock<kDecode>(frame, command.text);
                break;
            case Follower::TextRecord:
                ReadBoxText<kDecode>(frame, std::get<DrawTextBoxRecord>(command.record).TextLength,
                                     command.text);
                break;
            case Follower::PictureSubBlock:
                ReadPictureSubBlock<kDecode>(frame, command.data);
                break;
        }
        return true;
    }();
    if (image_) file_.Seek(position_);
    return more;
}

bool GdxReader::Next(GdxCommand& command) {
    return Walk<true>(command);
}

bool GdxReader::Skip(int64_t& offset, int16_t& code) {
    if (!Walk<false>(skipped_)) return false;
    offset = skipped_.offset;
    code = skipped_.code;
    return true;
}

void GdxReader::CountCommands(GdxSummary& summary) {
    // Codes of the command table are counted in a flat table, the odd others in the map.
    std::vector<int64_t> known(size_t(CommandTable().back().code) + 1, 0);
    auto count = [&](int16_t code) {
        ++summary.commands;
        if (code >= 0 && size_t(code) < known.size())
            ++known[size_t(code)];
        else
            ++summary.codes[code];
    };
    int64_t offset = 0;
    int16_t code = 0;
    while (true) {
        // Most records are a command with nothing after it: counted right here. Everything
        // else, and every refusal, takes Skip's way.
        TakeInPlace([&](int64_t, int16_t in_place, const CommandInfo& info, const uint8_t*) {
            if (info.follower != Follower::None || in_place == DrawTextBoxRecord::kCode)
                return false;
            count(in_place);
            return true;
        });
        if (!Skip(offset, code)) break;
        count(code);
    }
    for (size_t c = 0; c < known.size(); ++c) {
        if (known[c] > 0) summary.codes[int(c)] += known[c];
    }
}

GdxSummary SummarizeFile(const std::string& path, double default_units_per_page) {
    file_object file;
    file.FileName = path;
    file.OpenRead();
    GdxSummary summary;
    summary.header = ReadHeader(file, default_units_per_page);
    GdxReader reader(file);
    reader.CountCommands(summary);
    file.Close();
    return summary;
}

}  // namespace cindral
