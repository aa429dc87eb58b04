// The pattern and symbol libraries compiled at build time and placed beside the binaries.

#include <gtest/gtest.h>

#include <string>

#include "core/libraries/pattern_object.h"
#include "core/libraries/symbol_object.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::BinDir;
using testing::ReadFileBytes;

std::string Installed(const std::string& name) {
    return BinDir() + "/" + name;
}

TEST(DefaultLibraries, HaveExactlyTheirRecordCounts) {
    EXPECT_EQ(ReadFileBytes(Installed("QuenUtil.Pat")).size(), 251u * 206u);
    EXPECT_EQ(ReadFileBytes(Installed("QuenUtil.Sym")).size(), 326u * 202u);
}

// The stroke font's glyphs stay on the character grid: 5 points across (0..4), up to 12 above
// the baseline and at most 4 below it for descenders. Every printable character but the
// blank has strokes.
TEST(DefaultLibraries, EveryFontGlyphStaysOnItsGrid) {
    symbol_object font(Installed("QuenUtil.Sym"));
    for (int c = 32; c <= 126; ++c) {
        font.Load(c);
        if (c == ' ') {
            EXPECT_EQ(font.StrokeCount(), 0);
            continue;
        }
        EXPECT_GT(font.StrokeCount(), 0) << "character " << c;
        for (int i = 0; i < font.StrokeCount(); ++i) {
            const LibraryStroke& s = font.Stroke(i);
            for (int x : {s.x1, s.x2}) EXPECT_TRUE(x >= 0 && x <= 4) << char(c) << " x " << x;
            for (int y : {s.y1, s.y2}) EXPECT_TRUE(y >= -4 && y <= 12) << char(c) << " y " << y;
            EXPECT_FALSE(s.x1 == s.x2 && s.y1 == s.y2) << char(c) << ": a dot draws nothing";
        }
    }
}

TEST(DefaultLibraries, DigitsAndCapitalsSpanTheFullHeightFromTheBaseline) {
    symbol_object font(Installed("QuenUtil.Sym"));
    for (char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
        font.Load(c);
        int low = 99, high = -99;
        for (int i = 0; i < font.StrokeCount(); ++i) {
            const LibraryStroke& s = font.Stroke(i);
            low = std::min({low, int(s.y1), int(s.y2)});
            high = std::max({high, int(s.y1), int(s.y2)});
        }
        // Q's tail may dip below the baseline.
        if (c != 'Q') {
            EXPECT_EQ(low, 0) << c;
        }
        EXPECT_EQ(high, 12) << c;
    }
}

TEST(DefaultLibraries, SymbolsFitAroundTheirAnchor) {
    symbol_object symbols(Installed("QuenUtil.Sym"));
    int drawn = 0;
    for (int n = 0; n <= 325; ++n) {
        if (n >= 32 && n <= 126) continue;
        symbols.Load(n);
        if (symbols.StrokeCount() > 0) ++drawn;
        for (int i = 0; i < symbols.StrokeCount(); ++i) {
            const LibraryStroke& s = symbols.Stroke(i);
            for (int v : {s.x1, s.y1, s.x2, s.y2}) {
                EXPECT_TRUE(v >= -5 && v <= 5) << "symbol " << n << " coordinate " << v;
            }
        }
    }
    EXPECT_GT(drawn, 150);
}

TEST(DefaultLibraries, PatternsHaveCellsThatTile) {
    pattern_object patterns(Installed("QuenUtil.Pat"));
    patterns.Load(0);
    EXPECT_EQ(patterns.SegmentCount(), 0);
    int drawn = 0;
    for (int n = 1; n <= 250; ++n) {
        patterns.Load(n);
        if (patterns.SegmentCount() == 0) continue;
        ++drawn;
        EXPECT_GT(patterns.CellWidth(), 0) << "pattern " << n;
        EXPECT_GT(patterns.CellHeight(), 0) << "pattern " << n;
    }
    EXPECT_GT(drawn, 200);
}

}  // namespace
}  // namespace cindral
