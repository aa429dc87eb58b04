#include "core/format/gdx_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "core/base/errors.h"
#include "core/format/file_object.h"
#include "core/format/gdx_writer.h"
#include "gdx_fixtures.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

GdxHeader PageHeader() {
    return testing::LetterPageHeader(-1000, -1200);
}

std::vector<uint8_t> Payload(const CommandRecord& record) {
    ByteWriter out;
    EncodeCommand(record, out);
    return out.Take();
}

std::vector<GdxCommand> ReadAll(const std::string& path, GdxHeader* header = nullptr) {
    file_object file;
    file.FileName = path;
    file.OpenRead();
    GdxHeader h = ReadHeader(file);
    if (header) *header = h;
    GdxReader reader(file);
    std::vector<GdxCommand> commands;
    GdxCommand c;
    while (reader.Next(c)) commands.push_back(c);
    file.Close();
    return commands;
}

// A command of every code, with whatever follows it.
std::vector<GdxCommand> EveryCommand() {
    std::vector<GdxCommand> out;
    for (const CommandInfo& row : CommandTable()) {
        if (row.code == PointRecord::kCode || row.code == EndOfListRecord::kCode) continue;
        std::vector<uint8_t> zeros(row.size, 0);
        ByteReader in(zeros);
        GdxCommand c(DecodeCommand(row.code, in));
        std::visit(
            [&](auto& r) {
                if constexpr (!std::is_same_v<std::decay_t<decltype(r)>, UnknownRecord>) {
                    int n = row.code;
                    struct Fill {
                        int& n;
                        void operator()(const char*, double& v) { v = (n++ % 97) * 0.5; }
                        void operator()(const char*, int32_t& v) { v = n++; }
                        void operator()(const char*, int16_t& v) {
                            v = static_cast<int16_t>(n++ % 300);
                        }
                        void operator()(const char*, uint8_t& v) {
                            v = static_cast<uint8_t>(n++ % 7);
                        }
                        void Text(const char*, std::string& s, size_t) {
                            s = "t" + std::to_string(n++);
                        }
                    } fill{n};
                    r.Fields(fill);
                }
            },
            c.record);
        switch (row.follower) {
            case Follower::PointList:
                c.points = {{1, 2}, {3, 4}, {5, 6}};
                break;
            case Follower::TwoPointLists:
                c.points = {{0, 0}, {1, 1}, {2, 0}};
                c.points2 = {{7, 7}};
                break;
            case Follower::SegmentList: {
                DrawLineRecord s;
                s.x1 = 1;
                s.y1 = 2;
                s.x2 = 3;
                s.y2 = 4;
                c.segments = {s, s};
                break;
            }
            case Follower::TextSubBlock:
                c.text = "wrapped text of " + std::to_string(row.code);
                break;
            case Follower::TextRecord:
                c.text = "box text";
                break;
            case Follower::PictureSubBlock:
                c.data = {'B', 'M', 0, 1, 2, 3};
                break;
            case Follower::None:
                break;
        }
        out.push_back(c);
    }
    return out;
}

TEST(GdxWriterReader, EveryCommandRoundTripsWithWhatFollowsIt) {
    TempDir dir;
    GdxWriter writer(PageHeader());
    std::vector<GdxCommand> written = EveryCommand();
    for (const GdxCommand& c : written) writer.Write(c);
    writer.Save(dir.File("all.gdx"));

    std::vector<GdxCommand> read = ReadAll(dir.File("all.gdx"));
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        const GdxCommand& a = written[i];
        const GdxCommand& b = read[i];
        SCOPED_TRACE("code " + std::to_string(CodeOf(a.record)));
        EXPECT_EQ(b.code, CodeOf(a.record));
        EXPECT_EQ(b.length, FindCommand(b.code)->size);
        CommandRecord expected = a.record;
        if (auto* box = std::get_if<DrawTextBoxRecord>(&expected)) {
            box->TextLength = static_cast<int32_t>(a.text.size());
        }
        EXPECT_EQ(Payload(b.record), Payload(expected));
        ASSERT_EQ(b.points.size(), a.points.size());
        for (size_t k = 0; k < a.points.size(); ++k) {
            EXPECT_EQ(b.points[k].x, a.points[k].x);
            EXPECT_EQ(b.points[k].y, a.points[k].y);
        }
        EXPECT_EQ(b.points2.size(), a.points2.size());
        ASSERT_EQ(b.segments.size(), a.segments.size());
        for (size_t k = 0; k < a.segments.size(); ++k) {
            EXPECT_EQ(Payload(b.segments[k]), Payload(a.segments[k]));
        }
        EXPECT_EQ(b.text, a.text);
        EXPECT_EQ(b.data, a.data);
    }
}

TEST(GdxWriter, WritesFollowersByteForByte) {
    GdxWriter writer(PageHeader());
    GdxCommand polyline{DrawPolylineRecord()};
    polyline.points = {{1.0, 2.0}};
    writer.Write(polyline);
    GdxCommand box{DrawTextBoxRecord()};
    box.text = "Hi";
    writer.Write(box);
    GdxCommand note{DrawWrappedTextRecord()};
    note.text = "ab";
    writer.Write(note);
    std::vector<uint8_t> bytes = writer.Bytes();
    std::vector<uint8_t> body(bytes.begin() + 4 + kHeaderLength, bytes.end());

    ByteWriter expected;
    expected.I16(14), expected.U16(8), expected.Zeros(8);
    expected.I16(12), expected.U16(16), expected.F64(1.0), expected.F64(2.0);
    expected.I16(7), expected.U16(1), expected.U8(0);
    DrawTextBoxRecord header_of_box;
    header_of_box.TextLength = 2;
    expected.I16(1021), expected.U16(87);
    EncodeCommand(header_of_box, expected);
    expected.I16(1022), expected.U16(3), expected.Bytes("Hi", 3);
    expected.I16(26), expected.U16(38);
    EncodeCommand(DrawWrappedTextRecord(), expected);
    expected.I16(0), expected.U16(3), expected.Bytes("ab", 3);
    EXPECT_EQ(body, expected.bytes());
}

TEST(GdxWriter, WidensTheHorizontalRangeWithEveryX) {
    GdxWriter writer(PageHeader());
    DrawLineRecord line;
    line.x1 = 30;
    line.x2 = 10;
    writer.Write(line);
    EXPECT_EQ(writer.header().MinX, 10);  // the first values set both ends
    EXPECT_EQ(writer.header().MaxX, 30);
    GdxCommand polyline{DrawPolylineRecord()};
    polyline.points = {{-5, 0}, {50, 1}};
    writer.Write(polyline);
    DrawCircleRecord circle;
    circle.cx = 70;
    writer.Write(circle);
    SetColorRecord color;  // places nothing
    color.color = 999;
    writer.Write(color);
    EXPECT_EQ(writer.header().MinX, -5);
    EXPECT_EQ(writer.header().MaxX, 70);

    std::vector<uint8_t> bytes = writer.Bytes();
    ByteReader in(bytes);
    in.Skip(4);
    EXPECT_EQ(in.F64(), -5);
    EXPECT_EQ(in.F64(), 70);
}

// What the format allows and the reader must take: unknown and stray records, a wide box,
// point lists ended by another command or by the end of the file.
std::vector<uint8_t> TolerantFile() {
    GdxWriter writer(PageHeader());
    writer.Write(SetColorRecord());
    writer.WriteRecord(4242, {1, 2, 3, 4, 5});   // unknown: skipped by its length
    writer.WriteRecord(kBoxTextCode, {'x', 0});  // a 1022 outside a box is unknown too
    writer.WriteRecord(kHeaderCode, std::vector<uint8_t>(114));  // header codes only lead
    writer.Write(GdxCommand(DrawTextBoxRecord()));               // empty text: no 1022 follows
    writer.Write(SetLineWidthRecord());
    // A box record longer than its layout: the extra bytes are skipped, not read into it.
    DrawTextBoxRecord wide;
    wide.TextLength = 0;
    wide.fontSize = 12;
    std::vector<uint8_t> payload = Payload(wide);
    payload.resize(payload.size() + 9, 0xEE);
    writer.WriteRecord(1021, payload);
    // A point list ended by another command: that command is read next.
    writer.WriteRecord(14, std::vector<uint8_t>(8));
    writer.WriteRecord(12, Payload(PointRecord{}));
    writer.Write(SetLineStyleRecord());
    // A point list that runs to the end of the file simply ends there.
    writer.WriteRecord(13, Payload(PolyFillRecord()));
    PointRecord p;
    p.x = 4;
    writer.WriteRecord(12, Payload(p));
    return writer.Bytes();
}

TEST(GdxReader, AcceptsWhatTheFormatAllows) {
    TempDir dir;
    WriteFileBytes(dir.File("ok.gdx"), TolerantFile());

    std::vector<GdxCommand> read = ReadAll(dir.File("ok.gdx"));
    std::vector<int> codes;
    for (const auto& c : read) codes.push_back(c.code);
    EXPECT_EQ(codes, (std::vector<int>{4, 4242, 1022, 301, 1021, 23, 1021, 14, 19, 13}));
    EXPECT_TRUE(std::holds_alternative<UnknownRecord>(read[1].record));
    EXPECT_TRUE(std::holds_alternative<UnknownRecord>(read[2].record));
    EXPECT_EQ(read[4].text, "");
    EXPECT_EQ(std::get<DrawTextBoxRecord>(read[6].record).fontSize, 12);
    EXPECT_EQ(read[7].points.size(), 1u);
    ASSERT_EQ(read[9].points.size(), 1u);
    EXPECT_EQ(read[9].points[0].x, 4);

    GdxSummary summary = SummarizeFile(dir.File("ok.gdx"));
    EXPECT_EQ(summary.commands, 10);
    EXPECT_EQ(summary.codes[1021], 2);
    EXPECT_EQ(summary.codes.count(12), 0u);  // points belong to their command
}

// An unknown code is skipped by its length, and skipping stops quietly at the end of the
// file: a trailing record whose length runs past the end is no error, wherever it ends.
TEST(GdxReader, AnUnknownRecordRunningPastTheEndEndsTheFileQuietly) {
    TempDir dir;
    for (const std::vector<uint8_t>& tail : {std::vector<uint8_t>{0x09, 0x03, 0xF4, 0x01, 1, 2},
                                             std::vector<uint8_t>{0x09, 0x03, 0xFF, 0xFF},
                                             std::vector<uint8_t>{0xFE, 0x03, 0x10, 0x00, 'a'}}) {
        GdxWriter writer(PageHeader());
        writer.Write(SetColorRecord());
        writer.WriteRawBytes(tail);
        writer.Save(dir.File("tail.gdx"));
        std::vector<GdxCommand> read = ReadAll(dir.File("tail.gdx"));
        ASSERT_EQ(read.size(), 2u) << int(tail[0]);
        EXPECT_EQ(read[0].code, 4);
        EXPECT_TRUE(std::holds_alternative<UnknownRecord>(read[1].record));
        EXPECT_EQ(SummarizeFile(dir.File("tail.gdx")).commands, 2);
    }
}

TEST(GdxReader, AFileWithOnlyAHeaderHasNoCommands) {
    TempDir dir;
    GdxWriter(PageHeader()).Save(dir.File("empty.gdx"));
    EXPECT_TRUE(ReadAll(dir.File("empty.gdx")).empty());
}

struct MalformedFile {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* message;
};

std::vector<MalformedFile> MalformedFiles() {
    auto header_only = [](auto change) {
        GdxWriter w(PageHeader());
        change(w.header());
        return w.Bytes();
    };
    auto with_body = [](auto write) {
        GdxWriter w(PageHeader());
        write(w);
        return w.Bytes();
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    return std::vector<MalformedFile>{
        {"empty file", {}, "the file is empty"},
        {"one byte", {0x2D}, "only 1 byte long"},
        {"three bytes", {0x2D, 0x01, 0x72}, "only 3 bytes long"},
        {"first code 9", testing::RawRecordStart(9, 114, 114),
         "can't read GDX files created by older versions"},
        {"unknown first code", testing::RawRecordStart(4660, 114, 114),
         "begins with record code 4660"},
        {"header longer than 114", testing::RawRecordStart(301, 120, 120),
         "is 120 bytes long; this header version has 114"},
        {"old header of 114", testing::RawRecordStart(300, 114, 114),
         "is 114 bytes long; this header version has 105"},
        {"truncated header", testing::RawRecordStart(301, 114, 50),
         "ends inside its header record (50 of 114"},
        {"truncated command", with_body([&](GdxWriter& w) {
             w.WriteRawBytes({10, 0, 48, 0, 1, 2, 3});
         }),
         "record code 10 at byte 118 is cut short"},
        {"end of list past the end", with_body([](GdxWriter& w) {
             w.WriteRecord(14, std::vector<uint8_t>(8));
             w.WriteRawBytes({7, 0, 0xF4, 0x01, 1, 2});
         }),
         "record code 7 at byte 130 has a length of 500 bytes that runs past the end"},
        {"frame cut short", with_body([](GdxWriter& w) {
             w.WriteRawBytes({4, 0, 4});
         }),
         "ends inside a record frame at byte 118"},
        {"picture larger than the file", with_body([](GdxWriter& w) {
             w.WriteRecord(103, Payload(DrawPictureRecord()));
             w.WriteRawBytes({0, 0, 0x00, 0xCA, 0x9A, 0x3B, 1, 2, 3});
         }),
         "picture data of 1000000000 bytes, more than the rest of the file"},
        {"negative picture size", with_body([](GdxWriter& w) {
             w.WriteRecord(206, Payload(DrawPictureStreamRecord()));
             w.WriteRawBytes({0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
         }),
         "picture data of -1 bytes"},
        {"text sub-block past the end", with_body([](GdxWriter& w) {
             w.WriteRecord(26, Payload(DrawWrappedTextRecord()));
             w.WriteRawBytes({0, 0, 0x88, 0x13, 'a', 0});
         }),
         "has a text of 5000 bytes that runs past the end"},
        {"box text past the end", with_body([](GdxWriter& w) {
             DrawTextBoxRecord box;
             box.TextLength = 10;
             w.WriteRecord(1021, Payload(box));
             w.WriteRawBytes({0xFE, 0x03, 0xF4, 0x01, 'a'});
         }),
         "record code 1022 at byte 209 (the text of the box at byte 118) has a length of 500"},
        {"box text missing", with_body([](GdxWriter& w) {
             DrawTextBoxRecord box;
             box.TextLength = 10;
             w.WriteRecord(1021, Payload(box));
         }),
         "announces a text of 10 bytes but the file ends"},
        {"short text box",
         with_body([](GdxWriter& w) { w.WriteRecord(1021, std::vector<uint8_t>(50)); }),
         "is 50 bytes long; a text box needs 87"},
        {"short point", with_body([](GdxWriter& w) {
             w.WriteRecord(14, std::vector<uint8_t>(8));
             w.WriteRecord(12, std::vector<uint8_t>(8));
         }),
         "record code 12 at byte 130 is a point of 8 bytes"},
        {"zero page height", header_only([](GdxHeader& h) { h.PageHeight = 0; }),
         "PageHeight is 0; it must be greater than 0"},
        {"negative page width", header_only([](GdxHeader& h) { h.PageWidth = -8.5; }),
         "PageWidth is -8.5"},
        {"NaN units", header_only([&](GdxHeader& h) { h.XUnitsPerInch = nan; }),
         "XUnitsPerInch is not a number"},
        {"infinite depth units", header_only([&](GdxHeader& h) { h.DepthUnitsPerInch = inf; }),
         "DepthUnitsPerInch is infinite"},
        {"zero depth units", header_only([](GdxHeader& h) { h.DepthUnitsPerInch = 0; }),
         "DepthUnitsPerInch is 0"},
        {"NaN depth", header_only([&](GdxHeader& h) { h.TopDepth = nan; }),
         "TopDepth is not a number"},
    };
}

// Every malformed file is refused with a message naming it and what is wrong; the file is
// never written to.
TEST(GdxReader, RefusesMalformedFilesClearly) {
    const std::vector<MalformedFile> rows = MalformedFiles();
    TempDir dir;
    for (const MalformedFile& row : rows) {
        SCOPED_TRACE(row.name);
        std::string path = dir.File("bad.gdx");
        WriteFileBytes(path, row.bytes);
        ::chmod(path.c_str(), 0444);  // reading must not need write access either
        struct stat before {};
        ::stat(path.c_str(), &before);
        try {
            SummarizeFile(path);
            ADD_FAILURE() << "accepted";
        } catch (const IoError& e) {
            std::string message = e.what();
            EXPECT_NE(message.find(path), std::string::npos) << message;
            EXPECT_NE(message.find(row.message), std::string::npos) << message;
        }
        struct stat after {};
        ::stat(path.c_str(), &after);
        EXPECT_EQ(ReadFileBytes(path), row.bytes);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        ::chmod(path.c_str(), 0644);
    }
}

// How one walk of a file ended: the offset and code of every command, or the refusal.
std::string WalkOutcome(const std::string& path, bool in_memory, bool decode) {
    std::string out;
    try {
        file_object file;
        file.FileName = path;
        if (in_memory) {
            const std::vector<uint8_t> bytes = ReadFileBytes(path);
            file.UseMemoryImage(std::make_shared<const FileBytes>(bytes.begin(), bytes.end()));
        }
        file.OpenRead();
        ReadHeader(file);
        GdxReader reader(file);
        GdxCommand command;
        int64_t offset = 0;
        int16_t code = 0;
        while (decode ? reader.Next(command) : reader.Skip(offset, code)) {
            if (decode) {
                offset = command.offset;
                code = command.code;
            }
            out += std::to_string(offset) + ":" + std::to_string(code) + " ";
        }
        if (!in_memory || decode) return out;
        // Counting takes its own way over the bytes: it must count what the walk found.
        file.Seek(0);
        ReadHeader(file);
        GdxSummary summary;
        GdxReader(file).CountCommands(summary);
        int64_t counted = 0;
        for (const auto& [c, n] : summary.codes) counted += n;
        return out + "counted " + std::to_string(summary.commands) + "/" + std::to_string(counted);
    } catch (const IoError& e) {
        return out + "refused: " + e.what();
    }
}

// Opening a log steps over its records without decoding them, from the bytes in memory;
// drawing reads them from the file or from memory. Every way must find the same commands and
// refuse the same files with the same message.
TEST(GdxReader, SkippingAndReadingAgreeOnEveryFile) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    for (MalformedFile& row : MalformedFiles()) files.emplace_back(row.name, std::move(row.bytes));
    files.emplace_back("tolerant", TolerantFile());
    GdxWriter every(PageHeader());
    for (const GdxCommand& c : EveryCommand()) every.Write(c);
    files.emplace_back("every command", every.Bytes());
    TempDir dir;
    const std::string path = dir.File("walk.gdx");
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        WriteFileBytes(path, bytes);
        const std::string read = WalkOutcome(path, false, true);
        EXPECT_EQ(WalkOutcome(path, true, true), read);
        EXPECT_EQ(WalkOutcome(path, false, false), read);
        const std::string skipped = WalkOutcome(path, true, false);
        EXPECT_EQ(skipped.substr(0, read.size()), read);
        if (read.find("refused") == std::string::npos) {
            const size_t n = size_t(std::count(read.begin(), read.end(), ' '));
            EXPECT_EQ(skipped.substr(read.size()),
                      "counted " + std::to_string(n) + "/" + std::to_string(n));
        }
    }
}

}  // namespace
}  // namespace cindral
