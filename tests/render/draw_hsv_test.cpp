#include "render/renderers/draw_hsv.h"

#include <gtest/gtest.h>

#include <QImage>

#include "render/canvas/qt_canvas.h"
#include "render/canvas/trace_canvas.h"
#include "render/canvas_test_support.h"

namespace cindral {
namespace {

using testing::PixelAt;
using testing::WhiteImage;

struct HsvRow {
    Color rgb;
    Hsv hsv;
};

class HsvConversion : public ::testing::TestWithParam<HsvRow> {};

TEST_P(HsvConversion, RgbToHsvAndBack) {
    EXPECT_EQ(RGBToHSV(GetParam().rgb), GetParam().hsv);
    const Hsv h = GetParam().hsv;
    EXPECT_EQ(HSVToRGB(h.hue, h.saturation, h.value), GetParam().rgb);
}

INSTANTIATE_TEST_SUITE_P(KnownPoints, HsvConversion,
                         ::testing::Values(HsvRow{RgbColor(255, 0, 0), {0, 255, 255}},
                                           HsvRow{RgbColor(0, 255, 0), {120, 255, 255}},
                                           HsvRow{RgbColor(0, 0, 255), {240, 255, 255}},
                                           HsvRow{RgbColor(255, 255, 0), {60, 255, 255}},
                                           HsvRow{RgbColor(255, 0, 255), {300, 255, 255}},
                                           HsvRow{RgbColor(128, 128, 128), {0, 0, 128}},
                                           HsvRow{RgbColor(0, 0, 0), {0, 0, 0}},
                                           HsvRow{RgbColor(255, 255, 255), {0, 0, 255}}));

TEST(HsvConversion, NegativeHueIsBlackAndLargeHueWraps) {
    EXPECT_EQ(HSVToRGB(-10, 255, 255), kBlack);
    EXPECT_EQ(HSVToRGB(360, 255, 255), RgbColor(255, 0, 0));
    // Sector 0 with f = 30: t = V - V*S*30/15300 = 255 - 127 = 128.
    EXPECT_EQ(HSVToRGB(30, 255, 255), RgbColor(255, 128, 0));
}

TEST(TDrawHSV, SaturationPassesTheMiddleHalfway) {
    // Red at saturation 200 down to saturation 100 over 100 pixels.
    const Color start = HSVToRGB(0, 200, 255);
    const Color end = HSVToRGB(0, 100, 255);
    TraceCanvas canvas;
    TDrawHSV hsv(canvas, start, end, 100, true);
    const Rect rect{10, 0, 110, 50};
    EXPECT_EQ(hsv.ColumnColor(rect, 10), start);
    EXPECT_EQ(hsv.ColumnColor(rect, 60), HSVToRGB(0, 150, 255));
    EXPECT_EQ(hsv.ColumnColor(rect, 110), end);
    // From the right edge the ends swap.
    TDrawHSV reversed(canvas, start, end, 100, false);
    EXPECT_EQ(reversed.ColumnColor(rect, 110), start);
    EXPECT_EQ(reversed.ColumnColor(rect, 10), end);
}

TEST(TDrawHSV, HueRunsLinearlyWithoutWrapping) {
    // Red (0) to blue (240) passes green (120), not magenta.
    TraceCanvas canvas;
    TDrawHSV hsv(canvas, RgbColor(255, 0, 0), RgbColor(0, 0, 255), 240, true);
    EXPECT_EQ(hsv.ColumnColor({0, 0, 240, 1}, 120), RgbColor(0, 255, 0));
}

TEST(TDrawHSV, FillColumnsDrawsOneLinePerColumnLeavingOutTheBottomRow) {
    QImage image = WhiteImage(20, 20);
    {
        QtCanvas canvas(&image);
        TDrawHSV hsv(canvas, RgbColor(255, 0, 0), RgbColor(0, 0, 255), 10, true);
        hsv.FillColumns({5, 2, 15, 12});
    }
    EXPECT_EQ(PixelAt(image, 5, 2), RgbColor(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 15, 11), RgbColor(0, 0, 255));
    EXPECT_EQ(PixelAt(image, 10, 5), RgbColor(0, 255, 0));
    EXPECT_EQ(PixelAt(image, 10, 12), kWhite);
    EXPECT_EQ(PixelAt(image, 16, 5), kWhite);
}

TEST(TDrawHSV, FillPolygonKeepsInsideThePolygonAndLeavesNoClip) {
    QImage image = WhiteImage(30, 30);
    {
        QtCanvas canvas(&image);
        canvas.SelectClipRect({0, 0, 5, 5});  // replaced by the polygon
        TDrawHSV hsv(canvas, RgbColor(0, 0, 0), RgbColor(0, 0, 0), 20, true);
        hsv.FillPolygon({{5, 5}, {25, 5}, {5, 25}}, {0, 0, 29, 29});
        EXPECT_FALSE(canvas.clip().has_value());
    }
    EXPECT_EQ(PixelAt(image, 6, 6), kBlack);
    EXPECT_EQ(PixelAt(image, 22, 22), kWhite);
    EXPECT_EQ(PixelAt(image, 2, 2), kWhite);
}

}  // namespace
}  // namespace cindral
