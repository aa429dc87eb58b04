#include "render/canvas/trace_canvas.h"

#include <gtest/gtest.h>

#include "render/renderers/draw_hsv.h"
#include "render/renderers/stroke_line.h"

namespace cindral {
namespace {

TEST(TraceCanvas, ShapesAndStateOneLinePerCall) {
    TraceCanvas canvas;
    canvas.SelectPen({PenStyle::Dash, 0, RgbColor(255, 0, 0)});
    canvas.SelectBrush({BrushStyle::Hatched, RgbColor(0, 0, 255), HatchStyle::Cross, nullptr});
    canvas.SetBackgroundMode(BackgroundMode::Transparent);
    canvas.MoveTo(120, 300);
    canvas.LineTo(120, 344);
    canvas.Polyline({{0, 0}, {10, -5}});
    canvas.Rectangle({1, 2, 30, 40});
    canvas.Arc({0, 0, 20, 20}, {20, 10}, {10, 0});
    canvas.SelectClipRegion(Region::FromRect({0, 0, 10, 10})
                                .Combined(Region::FromRect({0, 10, 5, 20}), CombineMode::Or));
    canvas.SelectNoClip();
    canvas.SetTextAlign(text_align::kRight | text_align::kBaseline);
    canvas.TextOut(5, 6, "A \"q\"\xE9");
    const Rect box{0, 0, 9, 9};
    canvas.ExtTextOut(1, 2, text_out::kOpaque, &box, "ab", {7, 8});
    canvas.SetPixel(-3, 4, 0x00123456);
    EXPECT_EQ(canvas.Text(),
              "SelectPen dash width=0 color=0x000000FF cap=round\n"
              "SelectBrush hatch=4 color=0x00FF0000\n"
              "SetBkMode transparent\n"
              "MoveTo 120,300\n"
              "LineTo 120,344\n"
              "Polyline 2 0,0 10,-5\n"
              "Rectangle 1,2,30,40\n"
              "Arc 0,0,20,20 20,10 10,0\n"
              "SelectClipRgn 2 0,0,10,10 0,10,5,20\n"
              "SelectClipRgn none\n"
              "SetTextAlign 26\n"
              "ExtTextOut 5,6 options=0 \"A \\x22q\\x22\\xE9\"\n"
              "ExtTextOut 1,2 options=2 rect=0,0,9,9 \"ab\" dx=7,8\n"
              "SetPixel -3,4 0x00123456\n");
    EXPECT_EQ(canvas.current_position(), (Point{120, 344}));
}

TEST(TraceCanvas, DashedStrokeGolden) {
    // A 1-pixel dash-dot stroke of 12 pixels: 9 on, gap, a dot at 10, gap.
    TraceCanvas canvas;
    int phase = 0;
    StrokeLine(0, 0, 12, 0, 1, RgbColor(0, 128, 0), kLineDashDot, canvas, phase);
    std::string expected =
        "SelectBrush solid color=0x00008000\n"
        "SelectPen null width=0 color=0x00000000 cap=round\n";
    for (int x = 0; x <= 8; ++x) expected += "SetPixel " + std::to_string(x) + ",0 0x00008000\n";
    expected += "SetPixel 10,0 0x00008000\n";
    expected += "SelectPen dashdot width=0 color=0x00000000 cap=round\n";
    EXPECT_EQ(canvas.Text(), expected);
    EXPECT_EQ(phase, 12);
}

TEST(TraceCanvas, GradientColumnsGolden) {
    TraceCanvas canvas;
    TDrawHSV hsv(canvas, RgbColor(255, 0, 0), RgbColor(255, 255, 0), 2, true);
    hsv.FillColumns({4, 10, 6, 20});
    EXPECT_EQ(canvas.Text(),
              "SelectPen solid width=0 color=0x000000FF cap=round\n"
              "MoveTo 4,10\n"
              "LineTo 4,20\n"
              "SelectPen solid width=0 color=0x000080FF cap=round\n"
              "MoveTo 5,10\n"
              "LineTo 5,20\n"
              "SelectPen solid width=0 color=0x0000FFFF cap=round\n"
              "MoveTo 6,10\n"
              "LineTo 6,20\n");
}

TEST(TraceCanvas, FixedTextMetricsFollowTheHeightSignRule) {
    TraceCanvas canvas;
    Font font;
    font.height = -14;  // em height
    canvas.SelectFont(font);
    TextMetrics m = canvas.GetTextMetrics();
    EXPECT_EQ(m.height, 16);
    EXPECT_EQ(m.internal_leading, 2);
    EXPECT_EQ(canvas.GetTextExtent("ab c"), (Size{7 + 7 + 3 + 7, 16}));
    font.height = 16;  // cell height
    canvas.SelectFont(font);
    m = canvas.GetTextMetrics();
    EXPECT_EQ(m.height, 16);
    EXPECT_EQ(m.ascent + m.descent, 16);
    EXPECT_EQ(canvas.GetCharWidths(31, 33), (std::vector<int>{7, 3, 7}));
}

}  // namespace
}  // namespace cindral
