#include "render/renderers/stroke_line.h"

#include <gtest/gtest.h>

#include <QImage>
#include <climits>
#include <string>

#include "render/canvas/qt_canvas.h"
#include "render/canvas/trace_canvas.h"
#include "render/canvas_test_support.h"

namespace cindral {
namespace {

using testing::PixelAt;
using testing::WhiteImage;

// Row 5 of a horizontal stroke from x = 0 as a string: '#' painted, '.' not.
std::string Row(const QImage& image, int y, int width) {
    std::string s;
    for (int x = 0; x < width; ++x) s += PixelAt(image, x, y) == kWhite ? '.' : '#';
    return s;
}

struct PatternRow {
    uint8_t style;
    std::string expected;  // 24 pixels of a 1-pixel line starting at phase 0
};

class OnePixelPatterns : public ::testing::TestWithParam<PatternRow> {};

TEST_P(OnePixelPatterns, MatchTheHandWorkedRuns) {
    QImage image = WhiteImage(30, 10);
    int phase = 0;
    {
        QtCanvas canvas(&image);
        StrokeLine(0, 5, 24, 5, 1, kBlack, GetParam().style, canvas, phase);
        EXPECT_EQ(static_cast<int>(canvas.pen().style), GetParam().style);
    }
    EXPECT_EQ(Row(image, 5, 25), GetParam().expected);
    // A solid line is one GDI line and leaves the phase alone.
    EXPECT_EQ(phase, GetParam().style == kLineSolid ? 0 : 24);
}

INSTANTIATE_TEST_SUITE_P(Styles, OnePixelPatterns,
                         ::testing::Values(PatternRow{kLineSolid, "########################."},
                                           PatternRow{kLineDash, "#######.....#######......"},
                                           PatternRow{kLineDot, "#.#.#.#.#.#.#.#.#.#.#.#.."},
                                           PatternRow{kLineDashDot, "#########.#.#########.#.."},
                                           PatternRow{kLineDashDotDot,
                                                      "#######.#.#.#######.#.#.."}));

TEST(StrokeLine, DashPhaseRunsOnAcrossSegments) {
    // Two segments drawn with one phase look like one line of the same length.
    QImage joined = WhiteImage(40, 10), whole = WhiteImage(40, 10);
    int phase = 0;
    {
        QtCanvas canvas(&joined);
        StrokeLine(0, 5, 10, 5, 1, kBlack, kLineDash, canvas, phase);
        EXPECT_EQ(phase, 10);
        StrokeLine(10, 5, 36, 5, 1, kBlack, kLineDash, canvas, phase);
        EXPECT_EQ(phase, 36);
    }
    int other = 0;
    {
        QtCanvas canvas(&whole);
        StrokeLine(0, 5, 36, 5, 1, kBlack, kLineDash, canvas, other);
    }
    EXPECT_EQ(Row(joined, 5, 40), Row(whole, 5, 40));
    EXPECT_EQ(Row(joined, 5, 40), "#######.....#######.....#######.........");
}

TEST(StrokeLine, TwoPixelDotsAreSquaresEveryFourPixels) {
    QImage image = WhiteImage(30, 10);
    int phase = 0;
    {
        QtCanvas canvas(&image);
        StrokeLine(0, 4, 24, 4, 2, kBlack, kLineDot, canvas, phase);
    }
    // The end pixel (24) is not visited.
    EXPECT_EQ(Row(image, 4, 30), "##..##..##..##..##..##........");
    EXPECT_EQ(Row(image, 5, 30), "##..##..##..##..##..##........");
    EXPECT_EQ(Row(image, 3, 30), std::string(30, '.'));
}

TEST(StrokeLine, FivePixelDashStampsDiscs) {
    // Width 5: period 60, dash on for r <= 30; each stamp is a disc 5 pixels across.
    QImage image = WhiteImage(90, 20);
    int phase = 0;
    {
        QtCanvas canvas(&image);
        StrokeLine(5, 10, 85, 10, 5, kBlack, kLineDash, canvas, phase);
    }
    EXPECT_EQ(phase, 80);
    // Centres 5..35 are on, 36..64 off, 65..84 on. Each stamp is the pen-less ellipse
    // (x-3, y-3, x+3, y+3): 5 pixels from x-3 to x+1, the same rows around y.
    for (int x = 2; x <= 36; ++x) EXPECT_EQ(PixelAt(image, x, 10), kBlack) << x;
    for (int x = 37; x <= 61; ++x) EXPECT_EQ(PixelAt(image, x, 10), kWhite) << x;
    for (int x = 62; x <= 85; ++x) EXPECT_EQ(PixelAt(image, x, 10), kBlack) << x;
    EXPECT_EQ(PixelAt(image, 86, 10), kWhite);
    for (int y = 7; y <= 11; ++y) EXPECT_EQ(PixelAt(image, 20, y), kBlack) << y;
    EXPECT_EQ(PixelAt(image, 20, 6), kWhite);
    EXPECT_EQ(PixelAt(image, 20, 12), kWhite);
}

TEST(StrokeLine, ThirtyPixelDashDotDotMarks) {
    // Period 360: the dash runs to 180, dots at 240 and 300. Traced to see the stamps.
    TraceCanvas canvas({96, 96, 4000, 400, false});
    int phase = 0;
    StrokeLine(0, 200, 360, 200, 30, kBlack, kLineDashDotDot, canvas, phase);
    int ellipses = 0;
    std::vector<std::string> centres;
    for (const std::string& line : canvas.lines()) {
        if (line.rfind("Ellipse ", 0) == 0) ++ellipses;
    }
    EXPECT_EQ(ellipses, 181 + 2);
    const auto& lines = canvas.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Ellipse 225,185,256,216"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Ellipse 285,185,316,216"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Ellipse 165,185,196,216"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "Ellipse 166,185,197,216"), lines.end());
}

TEST(StrokeLine, ClearAndUnknownStylesDrawNothingAndKeepThePhase) {
    for (uint8_t style : {uint8_t(5), uint8_t(9)}) {
        TraceCanvas canvas;
        int phase = 17;
        StrokeLine(0, 0, 50, 0, 1, kBlack, style, canvas, phase);
        EXPECT_EQ(phase, 17);
        for (const std::string& line : canvas.lines()) {
            EXPECT_EQ(line.find("SetPixel"), std::string::npos);
            EXPECT_EQ(line.find("LineTo"), std::string::npos);
        }
    }
}

TEST(StrokeLine, VerticalSegmentsAreCutToTheVisibleRows) {
    TraceCanvas canvas({96, 96, 100, 100, false});
    canvas.SelectClipRect({0, 0, 100, 60});
    int phase = 0;
    StrokeLine(10, -500, 10, 1000000, 1, kBlack, kLineSolid, canvas, phase);
    const auto& lines = canvas.lines();
    EXPECT_EQ(lines[lines.size() - 2], "MoveTo 10,0");
    EXPECT_EQ(lines.back(), "LineTo 10,60");
}

TEST(StrokeLine, HugePatternedSegmentsOnlyVisitVisiblePixels) {
    // A dotted diagonal across the whole int range: the same pixels as a walk from the
    // start, without walking four billion of them.
    QImage image = WhiteImage(40, 40);
    int phase = 0;
    {
        QtCanvas canvas(&image);
        StrokeLine(INT_MIN + 1, INT_MIN + 1, INT_MAX, INT_MAX, 1, kBlack, kLineDot, canvas, phase);
    }
    // Pixel (k, k) is step k - (INT_MIN + 1) = k + 2^31 - 1 from the start: odd k is on.
    for (int k = 0; k < 40; ++k) EXPECT_EQ(PixelAt(image, k, k) == kBlack, k % 2 == 1) << k;
}

}  // namespace
}  // namespace cindral
