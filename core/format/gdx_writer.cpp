#include "core/format/gdx_writer.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#include "core/format/file_object.h"

namespace cindral {
namespace {

// Feeds every horizontal position a record places to the range.
struct XCollector {
    GdxWriter& writer;
    void operator()(const char* name, double v) {
        if (std::strcmp(name, "x") == 0 || std::strcmp(name, "x1") == 0 ||
            std::strcmp(name, "x2") == 0 || std::strcmp(name, "cx") == 0) {
            writer.Widen(v);
        }
    }
    template <class T>
    void operator()(const char*, T) {}
    void Text(const char*, const std::string&, size_t) {}
};

}  // namespace

GdxWriter::GdxWriter(const GdxHeader& header) : header_(header) {}

void GdxWriter::Widen(double x) {
    if (x < header_.MinX) header_.MinX = x;
    if (x > header_.MaxX) header_.MaxX = x;
}

void GdxWriter::WriteFrame(int16_t code, size_t length) {
    if (length > std::numeric_limits<uint16_t>::max()) {
        throw std::length_error("record code " + std::to_string(code) + " of " +
                                std::to_string(length) + " bytes does not fit a record");
    }
    body_.I16(code);
    body_.U16(static_cast<uint16_t>(length));
}

void GdxWriter::WriteRecord(int16_t code, const std::vector<uint8_t>& payload) {
    WriteFrame(code, payload.size());
    body_.Bytes(payload.data(), payload.size());
}

void GdxWriter::WriteRawBytes(const std::vector<uint8_t>& bytes) {
    body_.Bytes(bytes.data(), bytes.size());
}

void GdxWriter::WritePointList(const std::vector<PointRecord>& points) {
    for (const PointRecord& p : points) {
        Widen(p.x);
        WriteFrame(PointRecord::kCode, PointRecord::kSize);
        body_.F64(p.x);
        body_.F64(p.y);
    }
    WriteFrame(EndOfListRecord::kCode, EndOfListRecord::kSize);
    body_.U8(0);
}

void GdxWriter::Write(const GdxCommand& command) {
    CommandRecord record = command.record;
    if (auto* unknown = std::get_if<UnknownRecord>(&record)) {
        WriteRecord(unknown->code, std::vector<uint8_t>(unknown->length, 0));
        return;
    }
    if (auto* box = std::get_if<DrawTextBoxRecord>(&record)) {
        if (command.text.size() + 1 > std::numeric_limits<uint16_t>::max()) {
            throw std::length_error("text box text too long for its record");
        }
        box->TextLength = static_cast<int32_t>(command.text.size());
    }
    std::visit(
        [&](auto& r) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(r)>, UnknownRecord>) {
                XCollector collector{*this};
                r.Fields(collector);
            }
        },
        record);
    int16_t code = CodeOf(record);
    const CommandInfo* info = FindCommand(code);
    WriteFrame(code, info->size);
    EncodeCommand(record, body_);
    switch (info->follower) {
        case Follower::None:
            break;
        case Follower::PointList:
            WritePointList(command.points);
            break;
        case Follower::TwoPointLists:
            WritePointList(command.points);
            WritePointList(command.points2);
            break;
        case Follower::SegmentList:
            for (const DrawLineRecord& s : command.segments) {
                Widen(s.x1);
                Widen(s.x2);
                WriteFrame(DrawLineRecord::kCode, DrawLineRecord::kSize);
                EncodeCommand(s, body_);
            }
            WriteFrame(EndOfListRecord::kCode, EndOfListRecord::kSize);
            body_.U8(0);
            break;
        case Follower::TextSubBlock:
            WriteFrame(0, command.text.size() + 1);
            body_.Bytes(command.text.data(), command.text.size());
            body_.U8(0);
            break;
        case Follower::TextRecord:
            if (!command.text.empty()) {
                WriteFrame(kBoxTextCode, command.text.size() + 1);
                body_.Bytes(command.text.data(), command.text.size());
                body_.U8(0);
            }
            break;
        case Follower::PictureSubBlock:
            if (command.data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
                throw std::length_error("picture too large for its sub-block");
            }
            body_.I16(0);
            body_.I32(static_cast<int32_t>(command.data.size()));
            body_.Bytes(command.data.data(), command.data.size());
            break;
    }
}

std::vector<uint8_t> GdxWriter::Bytes() const {
    ByteWriter out;
    EncodeHeaderRecord(header_, out);
    out.Bytes(body_.bytes().data(), body_.size());
    return out.Take();
}

void GdxWriter::Save(const std::string& path) const {
    WriteFileBytes(path, Bytes());
}

}  // namespace cindral
