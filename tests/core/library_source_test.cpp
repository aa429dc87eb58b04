// The text sources of the libraries and their compilation into library files.

#include "core/libraries/library_source.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/base/errors.h"
#include "core/libraries/library_record.h"

namespace cindral {
namespace {

LibrarySource Parse(const std::string& text, LibraryKind kind) {
    std::istringstream in(text);
    return ParseLibrarySource(in, kind, "src.txt");
}

TEST(LibrarySource, ReadsEntriesLinesPolylinesAndDots) {
    LibrarySource s = Parse(
        "# a comment\n"
        "pattern 3 cell 20 10 Sandstone, fine  \n"
        "  line 0 0 20 0   # trailing comment\n"
        "  poly 0 0 5 5 10 0\r\n"
        "\n"
        "  dot -128 127\n"
        "pattern 1 cell 4 4 Hatch\n",
        LibraryKind::Pattern);
    ASSERT_EQ(s.entries.size(), 2u);
    const LibrarySourceEntry& e = s.entries[0];
    EXPECT_EQ(e.number, 3);
    EXPECT_EQ(e.name, "Sandstone, fine");
    EXPECT_EQ(e.cellWidth, 20);
    EXPECT_EQ(e.cellHeight, 10);
    ASSERT_EQ(e.strokes.size(), 4u);
    EXPECT_EQ(e.strokes[1].x2, 5);
    EXPECT_EQ(e.strokes[2].x1, 5);
    EXPECT_EQ(e.strokes[2].y2, 0);
    EXPECT_EQ(e.strokes[3].x1, -128);
    EXPECT_EQ(e.strokes[3].y2, 127);
    EXPECT_TRUE(s.entries[1].strokes.empty());
}

TEST(LibrarySource, FaultsNameTheLine) {
    struct Row {
        const char* text;
        LibraryKind kind;
        const char* message;
    } rows[] = {
        {"symbol 1 A\nline 0 0 1\n", LibraryKind::Symbol, "src.txt:2: line takes X1 Y1 X2 Y2"},
        {"symbol 1 A\nline 0 0 1 128\n", LibraryKind::Symbol,
         "src.txt:2: coordinate 128 beyond -128..127"},
        {"symbol 1 A\nsymbol 1 B\n", LibraryKind::Symbol, "src.txt:2: record 1 given twice"},
        {"line 0 0 1 1\n", LibraryKind::Symbol, "src.txt:1: \"line\" before the first entry"},
        {"symbol 1\n", LibraryKind::Symbol, "src.txt:1: missing name"},
        {"symbol x A\n", LibraryKind::Symbol, "src.txt:1: record number \"x\" is not a number"},
        {"symbol -1 A\n", LibraryKind::Symbol, "src.txt:1: negative record number"},
        {"pattern 1 A\n", LibraryKind::Pattern, "src.txt:1: expected \"cell WIDTH HEIGHT\""},
        {"pattern 1 cell 0 4 A\n", LibraryKind::Pattern, "src.txt:1: cell size must be positive"},
        {"pattern 1 cell 4 4 A\n", LibraryKind::Symbol,
         "src.txt:1: \"pattern\" entry in a symbol source"},
        {"symbol 1 A\nbox 0 0\n", LibraryKind::Symbol, "src.txt:2: unknown instruction \"box\""},
        {"symbol 1 A\npoly 0 0 1\n", LibraryKind::Symbol,
         "src.txt:2: poly takes two or more X Y points"},
        {"symbol 1 A\ndot 1 2 3\n", LibraryKind::Symbol, "src.txt:2: dot takes X Y"},
    };
    for (const Row& row : rows) {
        try {
            Parse(row.text, row.kind);
            ADD_FAILURE() << "accepted: " << row.text;
        } catch (const CindralError& e) {
            EXPECT_STREQ(e.what(), row.message);
        }
    }
}

TEST(LibrarySource, RefusesMoreLinesThanARecordHolds) {
    std::string fifty = "symbol 2 Fifty\n";
    for (int i = 0; i < 50; ++i) fifty += "line 0 0 1 1\n";
    EXPECT_EQ(Parse(fifty, LibraryKind::Symbol).entries[0].strokes.size(), 50u);
    // A polyline counts each of its segments.
    EXPECT_THROW(Parse(fifty + "poly 0 0 1 1\n", LibraryKind::Symbol), CindralError);
    EXPECT_THROW(Parse(
                     "symbol 2 P\npoly" + std::string(52, ' ') +
                         [] {
                             std::string p;
                             for (int i = 0; i < 52; ++i) p += " 1 1";
                             return p;
                         }() +
                         "\n",
                     LibraryKind::Symbol),
                 CindralError);
}

TEST(LibrarySource, CompilesEntriesIntoTheirRecordsAndLeavesTheRestEmpty) {
    LibrarySource s =
        Parse("pattern 2 cell 20 10 A\nline 1 2 3 4\ndot -1 -1\n", LibraryKind::Pattern);
    std::vector<uint8_t> file = CompileLibrary(s, 4);
    ASSERT_EQ(file.size(), 4u * 206u);
    PatternRecord r = DecodePatternRecord(file.data() + 2 * 206);
    EXPECT_EQ(r.SegmentCount, 2);
    EXPECT_EQ(r.CellWidth, 20);
    EXPECT_EQ(r.CellHeight, 10);
    EXPECT_EQ(r.Segments[0].y2, 4);
    EXPECT_EQ(r.Segments[1].x1, -1);
    for (int n : {0, 1, 3}) EXPECT_EQ(DecodePatternRecord(file.data() + n * 206).SegmentCount, 0);

    LibrarySource sym = Parse("symbol 3 A\nline 0 0 2 12\n", LibraryKind::Symbol);
    std::vector<uint8_t> symbols = CompileLibrary(sym, 4);
    ASSERT_EQ(symbols.size(), 4u * 202u);
    EXPECT_EQ(DecodeSymbolRecord(symbols.data() + 3 * 202).Strokes[0].y2, 12);
    EXPECT_THROW(CompileLibrary(sym, 3), CindralError);
}

}  // namespace
}  // namespace cindral
