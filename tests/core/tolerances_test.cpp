// What the reader and the settings accept at their edges, not only what they refuse: records
// longer or shorter than their layout where the format allows it, and settings values at
// the boundary of their valid range, which must be kept as they are.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/base/errors.h"
#include "core/environment/settings.h"
#include "core/format/byte_codec.h"
#include "core/format/file_object.h"
#include "core/format/gdx_writer.h"
#include "gd_test_support.h"

namespace cindral {
namespace {

std::vector<uint8_t> Payload(const CommandRecord& record, size_t extra = 0) {
    ByteWriter out;
    EncodeCommand(record, out);
    std::vector<uint8_t> bytes = out.Take();
    for (size_t i = 0; i < extra; ++i) bytes.push_back(static_cast<uint8_t>(0xA0 + i));
    return bytes;
}

std::vector<uint8_t> Point(double x, double y, size_t extra) {
    return Payload(PointRecord{x, y}, extra);
}

// What a walk of the file yields: each command's code, its first point and its text.
struct Walked {
    int16_t code;
    double first_x;
    std::string text;
};

std::vector<Walked> Walk(const std::vector<uint8_t>& bytes, const testing::TempDir& dir) {
    const std::string path = dir.File("t.gdx");
    WriteFileBytes(path, bytes);
    file_object file;
    file.FileName = path;
    file.OpenRead();
    ReadHeader(file);
    GdxReader reader(file);
    GdxCommand c;
    std::vector<Walked> out;
    while (reader.Next(c)) {
        out.push_back({c.code, c.points.empty() ? -1 : c.points.front().x, c.text});
    }
    return out;
}

struct Tolerance {
    const char* name;
    std::function<void(GdxWriter&)> write;
    std::vector<Walked> expected;
};

const Tolerance kTolerances[] = {
    {"AZeroLengthRecordOfAnUnknownCodeEndsTheFile",
     [](GdxWriter& w) {
         w.Write(SetColorRecord{255});
         w.WriteRecord(999, {});
     },
     {{4, -1, ""}, {999, -1, ""}}},
    {"AnOversizedPointIsReadAsItsSixteenBytesAndTheRestSkipped",
     [](GdxWriter& w) {
         w.WriteRecord(PolyFillRecord::kCode, Payload(PolyFillRecord{}));
         w.WriteRecord(PointRecord::kCode, Point(12.5, -3, 9));
         w.WriteRecord(PointRecord::kCode, Point(40, -8, 0));
         w.WriteRecord(EndOfListRecord::kCode, {});
         w.Write(SetColorRecord{1});
     },
     {{13, 12.5, ""}, {4, -1, ""}}},
    {"APointListEndsAtAnotherCodeWhichIsReadNext",
     [](GdxWriter& w) {
         w.WriteRecord(DrawPolylineRecord::kCode, Payload(DrawPolylineRecord{}));
         w.WriteRecord(PointRecord::kCode, Point(7, -1, 0));
         w.Write(SetColorRecord{2});
     },
     {{14, 7, ""}, {4, -1, ""}}},
    {"APointListEndsAtTheEndOfTheFile",
     [](GdxWriter& w) {
         w.WriteRecord(DrawPolylineRecord::kCode, Payload(DrawPolylineRecord{}));
         w.WriteRecord(PointRecord::kCode, Point(3, -1, 0));
     },
     {{14, 3, ""}}},
    {"ATextBoxLongerThanItsLayoutSkipsTheExtraBytes",
     [](GdxWriter& w) {
         DrawTextBoxRecord box;
         box.TextLength = 3;
         w.WriteRecord(DrawTextBoxRecord::kCode, Payload(box, 13));
         w.WriteRecord(kBoxTextCode, {'A', 'b', 'c', 0});
         w.Write(SetColorRecord{3});
     },
     {{1021, -1, "Abc"}, {4, -1, ""}}},
    {"AKnownCommandWhoseLengthDisagreesIsReadByItsLayout",
     [](GdxWriter& w) {
         ByteWriter frame;
         frame.I16(SetColorRecord::kCode);
         frame.U16(0);
         w.WriteRawBytes(frame.Take());
         w.WriteRawBytes(Payload(SetColorRecord{5}));
         w.WriteRecord(999, {});
     },
     {{4, -1, ""}, {999, -1, ""}}},
};

class ReaderTolerance : public ::testing::TestWithParam<Tolerance> {};

TEST_P(ReaderTolerance, IsReadAsTheFormatAllows) {
    testing::TempDir dir;
    GdxWriter w(testing::TestHeader());
    GetParam().write(w);
    const std::vector<Walked> walked = Walk(w.Bytes(), dir);
    ASSERT_EQ(walked.size(), GetParam().expected.size());
    for (size_t i = 0; i < walked.size(); ++i) {
        EXPECT_EQ(walked[i].code, GetParam().expected[i].code) << i;
        EXPECT_EQ(walked[i].first_x, GetParam().expected[i].first_x) << i;
        EXPECT_EQ(walked[i].text, GetParam().expected[i].text) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Records, ReaderTolerance, ::testing::ValuesIn(kTolerances),
                         [](const auto& info) { return std::string(info.param.name); });

// Sub-blocks sized exactly to the rest of the file are read; one byte more is refused with a
// message that names the record's code and offset, never read past the end.
TEST(SubBlockBoundaries, ExactlyTheRestIsReadOneMoreIsRefusedByTheRecord) {
    struct Row {
        const char* name;
        int16_t code;
        std::vector<uint8_t> payload;
        int32_t extra;  // claimed beyond the bytes present
        const char* refusal;
    };
    auto picture = [](int32_t extra) {
        ByteWriter sub;
        sub.I16(0);
        sub.I32(4 + extra);
        for (uint8_t b : {1, 2, 3, 4}) sub.U8(b);
        return sub.Take();
    };
    auto text = [](int32_t extra) {
        ByteWriter sub;
        sub.I16(0);
        sub.U16(static_cast<uint16_t>(3 + extra));
        for (uint8_t c : {'a', 'b', '\0'}) sub.U8(c);
        return sub.Take();
    };
    for (int32_t extra : {0, 1}) {
        const Row rows[] = {
            {"picture", DrawPictureRecord::kCode, picture(extra), extra, "has picture data of"},
            {"text", DrawWrappedTextRecord::kCode, text(extra), extra, "has a text of"},
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(::testing::Message() << row.name << " +" << extra);
            testing::TempDir dir;
            GdxWriter w(testing::TestHeader());
            const CommandInfo* info = FindCommand(row.code);
            ASSERT_NE(info, nullptr);
            w.WriteRecord(row.code, std::vector<uint8_t>(info->size, 0));
            w.WriteRawBytes(row.payload);
            if (row.extra == 0) {
                const std::vector<Walked> walked = Walk(w.Bytes(), dir);
                ASSERT_EQ(walked.size(), 1u);
                EXPECT_EQ(walked[0].code, row.code);
                continue;
            }
            try {
                Walk(w.Bytes(), dir);
                ADD_FAILURE() << "read past the end of the file";
            } catch (const IoError& e) {
                const std::string message = e.what();
                EXPECT_NE(message.find("record code " + std::to_string(row.code) + " at byte "),
                          std::string::npos)
                    << message;
                EXPECT_NE(message.find(row.refusal), std::string::npos) << message;
            }
        }
    }
}

// A text box one byte shorter than its layout is refused; at its layout it is read.
TEST(SubBlockBoundaries, ATextBoxOneByteShortIsRefused) {
    for (int shortfall : {0, 1}) {
        SCOPED_TRACE(shortfall);
        testing::TempDir dir;
        GdxWriter w(testing::TestHeader());
        std::vector<uint8_t> payload = Payload(DrawTextBoxRecord{});
        payload.resize(payload.size() - static_cast<size_t>(shortfall));
        w.WriteRecord(DrawTextBoxRecord::kCode, payload);
        w.Write(SetColorRecord{7});
        if (shortfall == 0) {
            EXPECT_EQ(Walk(w.Bytes(), dir).size(), 2u);
        } else {
            EXPECT_THROW(Walk(w.Bytes(), dir), IoError);
        }
    }
}

// Each value at the edge of its valid range is kept through a repair and a save and load;
// just outside it the field gets its default.
TEST(SettingsBoundaries, ValuesAtTheEdgeAreKeptAndJustOutsideAreDefaulted) {
    SettingsEnvironment env;
    env.program_directory = "/nonexistent/";
    env.user_directory = "/nonexistent/";
    env.exe_base_name = "cindral";
    const Settings defaults = DefaultSettings(env);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        const char* name;
        std::function<void(Settings&, double)> set;
        std::function<double(const Settings&)> get;
        double edge;     // valid, kept
        double outside;  // invalid, defaulted
    };
    const Row rows[] = {
        {"RepeatedHeaderGap", [](Settings& s, double v) { s.RepeatedHeaderGap = v; },
         [](const Settings& s) { return s.RepeatedHeaderGap; }, 0.0, -0.001},
        {"RepeatedHeaderGapNaN", [](Settings& s, double v) { s.RepeatedHeaderGap = v; },
         [](const Settings& s) { return s.RepeatedHeaderGap; }, 1e-9, nan},
        {"ExportQualityLow", [](Settings& s, double v) { s.ExportQuality = int(v); },
         [](const Settings& s) { return s.ExportQuality; }, 1, 0},
        {"ExportQualityHigh", [](Settings& s, double v) { s.ExportQuality = int(v); },
         [](const Settings& s) { return s.ExportQuality; }, 100, 101},
        {"ExportPixelsPerInch", [](Settings& s, double v) { s.ExportPixelsPerInch = int(v); },
         [](const Settings& s) { return s.ExportPixelsPerInch; }, 1, 0},
        {"UnitsPerPage", [](Settings& s, double v) { s.UnitsPerPage = v; },
         [](const Settings& s) { return s.UnitsPerPage; }, 1e-6, 0},
        {"DepthUnitsPerInch", [](Settings& s, double v) { s.DepthUnitsPerInch = v; },
         [](const Settings& s) { return s.DepthUnitsPerInch; }, 1e-6, -1},
    };
    // The problems the defaults themselves have here (library files that do not exist).
    Settings plain = defaults;
    const size_t baseline = RepairSettings(plain, env).size();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Settings kept = defaults;
        row.set(kept, row.edge);
        EXPECT_EQ(RepairSettings(kept, env).size(), baseline);
        EXPECT_EQ(row.get(kept), row.edge);
        EXPECT_EQ(row.get(DecodeSettings(EncodeSettings(kept))), row.edge);
        Settings repaired = defaults;
        row.set(repaired, row.outside);
        EXPECT_EQ(RepairSettings(repaired, env).size(), baseline + 1);
        EXPECT_EQ(row.get(repaired), row.get(defaults));
    }
}

}  // namespace
}  // namespace cindral
