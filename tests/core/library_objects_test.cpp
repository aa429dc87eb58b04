// The pattern and symbol library files: record layouts, loading, limits and messages.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/base/errors.h"
#include "core/format/byte_codec.h"
#include "core/format/file_object.h"
#include "core/format/gdx_writer.h"
#include "core/libraries/library_record.h"
#include "core/libraries/pattern_object.h"
#include "core/libraries/symbol_object.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::MakeReadOnly;
using testing::TempDir;

TEST(LibraryRecord, PatternRecordLayoutByteForByte) {
    PatternRecord r;
    r.SegmentCount = 0x0102;
    r.CellWidth = 0x0304;
    r.CellHeight = 0xFFFE;
    r.Segments[0] = {-128, 127, -1, 5};
    r.Segments[49] = {1, 2, 3, 4};
    std::vector<uint8_t> bytes = EncodePatternRecord(r);
    ASSERT_EQ(bytes.size(), 206u);
    std::vector<uint8_t> head(bytes.begin(), bytes.begin() + 10);
    EXPECT_EQ(head,
              (std::vector<uint8_t>{0x02, 0x01, 0x04, 0x03, 0xFE, 0xFF, 0x80, 0x7F, 0xFF, 0x05}));
    std::vector<uint8_t> tail(bytes.end() - 4, bytes.end());
    EXPECT_EQ(tail, (std::vector<uint8_t>{1, 2, 3, 4}));
    for (size_t i = 10; i < 202; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(LibraryRecord, SymbolRecordLayoutByteForByte) {
    SymbolRecord r;
    r.StrokeCount = 3;
    r.Strokes[0] = {-128, 127, 0, 0};
    r.Strokes[49] = {-2, -3, 4, 5};
    std::vector<uint8_t> bytes = EncodeSymbolRecord(r);
    ASSERT_EQ(bytes.size(), 202u);
    std::vector<uint8_t> head(bytes.begin(), bytes.begin() + 6);
    EXPECT_EQ(head, (std::vector<uint8_t>{3, 0, 0x80, 0x7F, 0, 0}));
    std::vector<uint8_t> tail(bytes.end() - 4, bytes.end());
    EXPECT_EQ(tail, (std::vector<uint8_t>{0xFE, 0xFD, 4, 5}));
}

TEST(LibraryRecord, DecodingReadsSignedCoordinatesAndHoldsCountsToTheRecord) {
    std::vector<uint8_t> pattern(206, 0);
    pattern[0] = 0xFF;  // 65535 segments claimed
    pattern[1] = 0xFF;
    pattern[2] = 12;
    pattern[4] = 7;
    pattern[6] = 0x80;
    pattern[7] = 0x7F;
    PatternRecord p = DecodePatternRecord(pattern.data());
    EXPECT_EQ(p.SegmentCount, 50);
    EXPECT_EQ(p.CellWidth, 12);
    EXPECT_EQ(p.CellHeight, 7);
    EXPECT_EQ(p.Segments[0].x1, -128);
    EXPECT_EQ(p.Segments[0].y1, 127);

    std::vector<uint8_t> symbol(202, 0);
    symbol[0] = 51;
    symbol[2] = 0x80;
    symbol[3] = 0x7F;
    SymbolRecord s = DecodeSymbolRecord(symbol.data());
    EXPECT_EQ(s.StrokeCount, 50);
    EXPECT_EQ(s.Strokes[0].x1, -128);
    EXPECT_EQ(s.Strokes[0].y1, 127);
    // Exactly 50 stays 50, below stays as stored.
    symbol[0] = 50;
    EXPECT_EQ(DecodeSymbolRecord(symbol.data()).StrokeCount, 50);
    symbol[0] = 7;
    EXPECT_EQ(DecodeSymbolRecord(symbol.data()).StrokeCount, 7);
}

// A pattern file of `records` records; record n has n segments (up to 50), cell n x n + 1 and
// first segment (n, -n, 0, 1).
std::vector<uint8_t> NumberedPatterns(int records) {
    std::vector<uint8_t> file;
    for (int n = 0; n < records; ++n) {
        PatternRecord r;
        r.SegmentCount = static_cast<uint16_t>(n > 50 ? 50 : n);
        r.CellWidth = static_cast<uint16_t>(n);
        r.CellHeight = static_cast<uint16_t>(n + 1);
        r.Segments[0] = {static_cast<int8_t>(n % 128), static_cast<int8_t>(-(n % 128)), 0, 1};
        auto bytes = EncodePatternRecord(r);
        file.insert(file.end(), bytes.begin(), bytes.end());
    }
    return file;
}

std::vector<uint8_t> NumberedSymbols(int records) {
    std::vector<uint8_t> file;
    for (int n = 0; n < records; ++n) {
        SymbolRecord r;
        r.StrokeCount = static_cast<uint16_t>(n % 51);
        r.Strokes[0] = {static_cast<int8_t>(n % 128), 0, 0, 0};
        auto bytes = EncodeSymbolRecord(r);
        file.insert(file.end(), bytes.begin(), bytes.end());
    }
    return file;
}

struct LoadCase {
    const char* name;
    int records;              // records in the file
    std::vector<int> loads;   // loaded in turn; the last decides
    int expected_cell_width;  // of the current record afterwards (-1: stays empty)
    const char* error;        // message of the last load, or nullptr
};

class PatternLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(PatternLoad, LeavesTheExpectedRecordCurrent) {
    const LoadCase& c = GetParam();
    TempDir dir;
    std::string path = dir.File("p.pat");
    WriteFileBytes(path, NumberedPatterns(c.records));
    pattern_object patterns(path);
    for (size_t i = 0; i + 1 < c.loads.size(); ++i) patterns.Load(c.loads[i]);
    if (c.loads.empty()) {
    } else if (c.error) {
        try {
            patterns.Load(c.loads.back());
            ADD_FAILURE() << "accepted";
        } catch (const IoError& e) {
            std::string message = e.what();
            EXPECT_NE(message.find(Quoted(path)), std::string::npos) << message;
            std::string ending = c.error;
            ASSERT_GE(message.size(), ending.size());
            EXPECT_EQ(message.substr(message.size() - ending.size()), ending) << message;
        }
    } else {
        patterns.Load(c.loads.back());
    }
    if (c.expected_cell_width < 0) {
        EXPECT_EQ(patterns.SegmentCount(), 0);
        EXPECT_EQ(patterns.CellWidth(), 0);
        EXPECT_EQ(patterns.CellHeight(), 0);
    } else {
        int n = c.expected_cell_width;
        EXPECT_EQ(patterns.CellWidth(), n);
        EXPECT_EQ(patterns.CellHeight(), n + 1);
        EXPECT_EQ(patterns.SegmentCount(), n > 50 ? 50 : n);
        if (n > 0) {
            EXPECT_EQ(patterns.Segment(0).y1, -(n % 128));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternLoad,
    ::testing::Values(LoadCase{"nothing_loaded_yet", 251, {}, -1, nullptr},
                      LoadCase{"first", 251, {0, 1}, 1, nullptr},
                      LoadCase{"last", 251, {250}, 250, nullptr},
                      LoadCase{"above_250_keeps_the_previous", 251, {7, 251}, 7, nullptr},
                      LoadCase{"negative_keeps_the_previous", 251, {7, -1}, 7, nullptr},
                      LoadCase{"out_of_range_before_any_load", 251, {300}, -1, nullptr},
                      LoadCase{"zero_segments_load", 251, {9, 0}, 0, nullptr},
                      LoadCase{"beyond_a_short_file", 10, {3, 10}, 3, ", Loading Pattern 10"},
                      LoadCase{"empty_file", 0, {0}, -1, ", Loading Pattern 0"}),
    [](const auto& info) { return std::string(info.param.name); });

class SymbolLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(SymbolLoad, LeavesTheExpectedRecordCurrent) {
    const LoadCase& c = GetParam();
    TempDir dir;
    std::string path = dir.File("s.sym");
    WriteFileBytes(path, NumberedSymbols(c.records));
    symbol_object symbols(path);
    for (size_t i = 0; i + 1 < c.loads.size(); ++i) symbols.Load(c.loads[i]);
    if (c.error) {
        try {
            symbols.Load(c.loads.back());
            ADD_FAILURE() << "accepted";
        } catch (const CindralError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    } else {
        symbols.Load(c.loads.back());
    }
    if (c.expected_cell_width < 0) {
        EXPECT_EQ(symbols.StrokeCount(), 0);
    } else {
        EXPECT_EQ(symbols.StrokeCount(), c.expected_cell_width % 51);
        EXPECT_EQ(symbols.Stroke(0).x1, c.expected_cell_width % 128);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SymbolLoad,
    ::testing::Values(LoadCase{"last_record", 100, {99}, 99, nullptr},
                      LoadCase{"at_the_end", 100, {5, 100}, 5, "Error 1037, Loading Symbol = 100"},
                      LoadCase{"above_325_does_nothing", 100, {5, 326}, 5, nullptr},
                      LoadCase{"negative_does_nothing", 100, {5, -3}, 5, nullptr},
                      LoadCase{"full_library_last", 326, {325}, 325, nullptr},
                      LoadCase{"empty_file", 0, {0}, -1, "Error 1037, Loading Symbol = 0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PatternLibrary, AMissingFileFailsWithThe1034Message) {
    TempDir dir;
    for (const std::string& path :
         {dir.File("none.pat"), dir.File("no/such/dir.pat"), std::string()}) {
        try {
            pattern_object patterns(path);
            ADD_FAILURE() << "accepted " << path;
        } catch (const IoError& e) {
            ADD_FAILURE() << "an input/output error instead: " << e.what();
        } catch (const CindralError& e) {
            EXPECT_EQ(std::string(e.what()), "Error 1034, Loading Pattern File \"" + path + "\"");
        }
    }
}

TEST(PatternLibrary, AFolderIsAnInputOutputError) {
    TempDir dir;
    EXPECT_THROW(pattern_object patterns(dir.path()), IoError);
}

TEST(SymbolLibrary, AMissingFileIsAnInputOutputErrorNamingIt) {
    TempDir dir;
    try {
        symbol_object symbols(dir.File("none.sym"));
        ADD_FAILURE() << "accepted";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.File("none.sym")), std::string::npos);
    }
}

TEST(SymbolLibrary, ATornLastRecordIsBeyondTheEnd) {
    TempDir dir;
    std::vector<uint8_t> file = NumberedSymbols(3);
    file.resize(file.size() + 201, 1);
    WriteFileBytes(dir.File("s.sym"), file);
    symbol_object symbols(dir.File("s.sym"));
    symbols.Load(2);
    EXPECT_THROW(symbols.Load(3), CindralError);
    EXPECT_EQ(symbols.Stroke(0).x1, 2);
}

TEST(Libraries, ReadOnlyFilesOpenAndLoad) {
    TempDir dir;
    WriteFileBytes(dir.File("p.pat"), NumberedPatterns(251));
    WriteFileBytes(dir.File("s.sym"), NumberedSymbols(326));
    if (!MakeReadOnly(dir.File("p.pat")) || !MakeReadOnly(dir.File("s.sym"))) {
        GTEST_SKIP() << "files cannot be made read-only here";
    }
    pattern_object patterns(dir.File("p.pat"));
    symbol_object symbols(dir.File("s.sym"));
    patterns.Load(42);
    symbols.Load(42);
    EXPECT_EQ(patterns.CellWidth(), 42);
    EXPECT_EQ(symbols.StrokeCount(), 42);
}

TEST(Libraries, EveryLoadReadsTheFileAgain) {
    TempDir dir;
    std::string pat = dir.File("p.pat"), sym = dir.File("s.sym");
    WriteFileBytes(pat, NumberedPatterns(251));
    WriteFileBytes(sym, NumberedSymbols(326));
    pattern_object patterns(pat);
    symbol_object symbols(sym);
    patterns.Load(5);
    symbols.Load(5);
    // Rewrite record 5 in place; the open files see the new bytes on the next load.
    std::fstream p(pat, std::ios::in | std::ios::out | std::ios::binary);
    p.seekp(5 * 206 + 2);
    p.put(char(99));
    p.close();
    std::fstream s(sym, std::ios::in | std::ios::out | std::ios::binary);
    s.seekp(5 * 202);
    s.put(char(9));
    s.close();
    patterns.Load(5);
    symbols.Load(5);
    EXPECT_EQ(patterns.CellWidth(), 99);
    EXPECT_EQ(symbols.StrokeCount(), 9);
}

}  // namespace
}  // namespace cindral
