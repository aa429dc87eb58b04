// Wrapped text layout against hand-worked layouts. The trace canvas gives a fixed font: at
// 16 points and 72 pixels per inch every character advances 8 pixels, a blank 4, and a line
// is 2341/2048 x 16 = 18.2890625 pixels high.
#include "render/text/text_format.h"

#include <gtest/gtest.h>

#include <QImage>

#include "render/canvas/qt_canvas.h"
#include "render/canvas/trace_canvas.h"
#include "render/canvas_test_support.h"
#include "render/text/line_breaker.h"

namespace cindral {
namespace {

constexpr double kLine = 2341.0 * 16 / 2048;

struct Drawn {
    int x, y;
    std::string text;
    std::string dx;
};

// The text lines a layout drew, with their positions.
std::vector<Drawn> DrawnLines(const TraceCanvas& canvas) {
    std::vector<Drawn> out;
    for (const std::string& line : canvas.lines()) {
        if (line.rfind("ExtTextOut ", 0) != 0) continue;
        Drawn d;
        const size_t comma = line.find(',');
        d.x = std::stoi(line.substr(11, comma - 11));
        d.y = std::stoi(line.substr(comma + 1));
        const size_t open = line.find('"');
        const size_t close = line.rfind('"');
        d.text = line.substr(open + 1, close - open - 1);
        const size_t dx = line.find(" dx=");
        if (dx != std::string::npos) d.dx = line.substr(dx + 4);
        out.push_back(d);
    }
    return out;
}

std::vector<Drawn> Layout(const std::string& text, Rect rect, int flags, int ppi = 72,
                          double points = 16) {
    TraceCanvas canvas;
    TTextFormat format(canvas, canvas.font(), points, ppi, 0, 0, 0, 0);
    format.FormatText(text, rect, flags | text_format::kWordBreak);
    return DrawnLines(canvas);
}

struct LayoutRow {
    const char* name;
    std::string text;
    int width;
    std::vector<std::pair<std::string, int>> lines;  // text and top row
};

class WrappedLayout : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(WrappedLayout, BreaksAsWorkedOutByHand) {
    const LayoutRow& row = GetParam();
    const std::vector<Drawn> drawn = Layout(row.text, {0, 0, row.width, 1000}, 0);
    ASSERT_EQ(drawn.size(), row.lines.size());
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].text, row.lines[i].first) << "line " << i;
        EXPECT_EQ(drawn[i].y, row.lines[i].second) << "line " << i;
        EXPECT_EQ(drawn[i].x, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrappedLayout,
    ::testing::Values(
        // "aaa bbb" is 56 wide; with "ccc" 80.
        LayoutRow{"TwoLines", "aaa bbb ccc", 60, {{"aaa bbb", 0}, {"ccc", 18}}},
        // Exactly full (within the tolerance) counts as full.
        LayoutRow{"ExactFit", "aaa bbb", 56, {{"aaa bbb", 0}}},
        LayoutRow{"LongWordOverflows", "abcdefghij", 40, {{"abcdefghij", 0}}},
        LayoutRow{"LongWordOwnLine",
                  "ab abcdefghij cd",
                  40,
                  {{"ab", 0}, {"abcdefghij", 18}, {" cd", 37}}},
        // "ab well-" is 60: the hyphen stays at the end of the first line.
        LayoutRow{"HyphenBreak", "ab well-known", 60, {{"ab well-", 0}, {"known", 18}}},
        // Blanks left at a break start the next line and are drawn; trailing ones are not.
        LayoutRow{"LeadingBlanksKept", "aaa   bbb", 30, {{"aaa", 0}, {"  bbb", 18}}},
        LayoutRow{"TrailingBlanksTrimmed", "aaa   ", 100, {{"aaa", 0}}},
        // An empty line between two CR LF pairs takes a line and draws nothing.
        LayoutRow{"EmptyLine", "aa\r\n\r\nbb", 100, {{"aa", 0}, {"bb", 37}}},
        LayoutRow{"CrLfBreaks", "aa\r\nbb cc", 100, {{"aa", 0}, {"bb cc", 18}}},
        // A break takes the carriage return and the next character, whatever it is.
        LayoutRow{"BareCarriageReturnTakesTheNextCharacter",
                  "aa\rXbb",
                  100,
                  {{"aa\\x0DX", 0}, {"bb", 18}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextFormat, NothingForEmptyText) {
    TraceCanvas canvas;
    TTextFormat format(canvas, canvas.font(), 16, 72, 0, 0, 0, 0);
    Rect rect{1, 2, 3, 4};
    format.FormatText("", rect, text_format::kCalcRect);
    EXPECT_EQ(rect, (Rect{1, 2, 3, 4}));
    EXPECT_TRUE(DrawnLines(canvas).empty());
}

TEST(TextFormat, MeasuresWithTheAdvanceTable) {
    TraceCanvas canvas;
    TTextFormat format(canvas, canvas.font(), 16, 72, 0, 0, 0, 0);
    double w = -1, h = -1;
    format.MeasureText("ab c\r\n", w, h);
    EXPECT_DOUBLE_EQ(w, 8 + 8 + 4 + 8);  // control codes add nothing
    EXPECT_DOUBLE_EQ(h, kLine);
    format.MeasureText("", w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST(TextFormat, LinesBelowTheBottomAreLeftOutUnlessNoClip) {
    const Rect box{0, 0, 30, 40};  // room for two whole lines
    EXPECT_EQ(Layout("aaa bbb ccc", box, 0).size(), 2u);
    EXPECT_EQ(Layout("aaa bbb ccc", box, text_format::kNoClip).size(), 3u);
}

TEST(TextFormat, CalcRectDrawsNothingAndReturnsTheNeededHeight) {
    TraceCanvas canvas;
    TTextFormat format(canvas, canvas.font(), 16, 72, 0.25, 0.25, 0.5, 1);  // 18, 18, 36, 72
    Rect rect{0, 100, 66, 110};                                             // inset width 30
    format.FormatText("aaa bbb ccc", rect, text_format::kCalcRect | text_format::kWordBreak);
    EXPECT_TRUE(DrawnLines(canvas).empty());
    EXPECT_EQ(format.LineCount(), 3);
    // Inset top 136, three lines: ceil(136 + 3 x 18.289) + 72.
    EXPECT_EQ(rect, (Rect{0, 100, 66, 191 + 72}));
}

TEST(TextFormat, AlignmentPicksTheReferenceColumn) {
    struct Row {
        int flags;
        int x;
        unsigned align;
    };
    for (const Row& row : {Row{0, 10, text_align::kLeft}, Row{text_format::kRight, 91, 2},
                           Row{text_format::kCenter, 50, 6},
                           Row{text_format::kCenter | text_format::kRight, 50, 6}}) {
        TraceCanvas canvas;
        TTextFormat format(canvas, canvas.font(), 16, 72, 0, 0, 0, 0);
        Rect rect{10, 0, 91, 100};
        format.FormatText("ab", rect, row.flags);
        const std::vector<Drawn> drawn = DrawnLines(canvas);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].x, row.x) << row.flags;
        EXPECT_EQ(canvas.text_align(), row.align) << row.flags;
    }
}

TEST(TextFormat, AdvancesRoundTheRunningSum) {
    // 10 points at 96 pixels per inch: every character advances 6.667 pixels.
    const std::vector<Drawn> drawn = Layout("aaaa", {0, 0, 1000, 100}, 0, 96, 10);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].dx, "7,6,7,7");
}

TEST(TextFormat, DrawsALineOfAnyLength) {
    const std::string text(1000, 'x');
    const std::vector<Drawn> drawn = Layout(text, {0, 0, 100000, 100}, 0);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].text.size(), 1000u);
    EXPECT_EQ(std::count(drawn[0].dx.begin(), drawn[0].dx.end(), ','), 999);
}

TEST(TextFormat, EveryLineTakesAtLeastOneCharacter) {
    // No width at all: each word still gets a line and the layout ends.
    EXPECT_EQ(Layout("a b c", {0, 0, 0, 1000}, 0).size(), 3u);
    EXPECT_EQ(Layout("a    ", {0, 0, -50, 1000}, text_format::kNoClip).size(), 1u);
}

TEST(LineBreaker, BreakPoints) {
    TLineBreaker breaker("ab c-d");
    EXPECT_FALSE(breaker.IsBreakPoint(1));  // never before the first character
    EXPECT_FALSE(breaker.IsBreakPoint(2));
    EXPECT_TRUE(breaker.IsBreakPoint(3));   // at a blank
    EXPECT_TRUE(breaker.IsBreakPoint(4));   // after a blank
    EXPECT_FALSE(breaker.IsBreakPoint(5));  // before the hyphen
    EXPECT_TRUE(breaker.IsBreakPoint(6));   // after the hyphen
    EXPECT_FALSE(breaker.IsBreakPoint(7));  // past the end
}

struct BandRow {
    const char* name;
    int band_top, band_bottom;
    std::vector<std::pair<std::string, int>> lines;
};

class BandLayout : public ::testing::TestWithParam<BandRow> {};

TEST_P(BandLayout, MovesTheBlockSoNoLineIsCut) {
    const BandRow& row = GetParam();
    TraceCanvas canvas;
    TTextFormat format(canvas, canvas.font(), 16, 72, 0, 0, 0, 0);
    Rect rect{0, 0, 100, 1000};
    format.FormatTextInBand("aa\r\nbb\r\ncc", rect, text_format::kWordBreak, row.band_top,
                            row.band_bottom);
    const std::vector<Drawn> drawn = DrawnLines(canvas);
    ASSERT_EQ(drawn.size(), row.lines.size());
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].text, row.lines[i].first) << i;
        EXPECT_EQ(drawn[i].y, row.lines[i].second) << i;
    }
}

// Line tops 0, 18.29, 36.58; half a line is 9.14.
INSTANTIATE_TEST_SUITE_P(
    Bands, BandLayout,
    ::testing::Values(
        BandRow{"Inside", 0, 1000, {{"aa", 0}, {"bb", 18}, {"cc", 37}}},
        BandRow{"CutAtTopMovesDown", 5, 1000, {{"aa", 5}, {"bb", 23}, {"cc", 42}}},
        BandRow{"MostlyAboveTopIsDropped", 10, 1000, {{"bb", 18}, {"cc", 37}}},
        BandRow{"SlightlyOverBottomMovesUp", 0, 30, {{"bb", 12}, {"cc", 30}}},
        BandRow{"MostlyBelowBottomMovesDown", 0, 25, {{"aa", 7}, {"bb", 25}, {"cc", 43}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogicalFontHeight, PointsToPixels) {
    TraceCanvas canvas;
    EXPECT_EQ(LogicalFontHeight(canvas, 10, 96, 1), 13);
    EXPECT_EQ(LogicalFontHeight(canvas, 8, 96, 1), 10);
    EXPECT_EQ(LogicalFontHeight(canvas, 12, 600, 1), 100);
    EXPECT_EQ(LogicalFontHeight(canvas, -10, 96, 1), 13);
    EXPECT_EQ(LogicalFontHeight(canvas, 10, 96, 2), 6);
    EXPECT_EQ(LogicalFontHeight(canvas, 10, 96, 0), 13);
}

TEST(TextFormat, BreaksTheSameOnScreenAndPaper) {
    // The advance table comes from the design size, so the same text breaks into the same
    // lines at any resolution.
    const std::string text =
        "Fine to medium grained sandstone, well sorted, with thin shale laminae and "
        "scattered calcite cement.";
    std::vector<std::vector<std::string>> layouts;
    for (int ppi : {96, 300, 600}) {
        QImage image = testing::WhiteImage(10, 10);
        QtCanvas canvas(&image);
        Font font;
        font.face = "Arial";
        font.height = -LogicalFontHeight(canvas, 10, ppi, 1);
        canvas.SelectFont(font);
        TTextFormat format(canvas, font, 10, ppi, 0, 0, 0, 0);
        TLineBreaker breaker(text);
        std::vector<std::string> lines;
        int start = 0, end = 0;
        while (breaker.NextLine(format, end, start, 2 * ppi)) {
            lines.push_back(text.substr(size_t(start) - 1, size_t(end - start)));
        }
        layouts.push_back(lines);
    }
    EXPECT_GT(layouts[0].size(), 1u);
    EXPECT_EQ(layouts[0], layouts[1]);
    EXPECT_EQ(layouts[0], layouts[2]);
}

}  // namespace
}  // namespace cindral
