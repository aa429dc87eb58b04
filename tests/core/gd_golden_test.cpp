// Golden traces: small logs made with the writer are played into the trace target and the
// calls compared with tests/core/golden/<case>.trace, grouped by routine.

#include <gtest/gtest.h>

#include <functional>

#include "gd_test_support.h"

namespace cindral {
namespace {

using testing::ExpectGolden;
using testing::PlayFixture;
using testing::TestHeader;
using testing::TraceLines;

struct GoldenCase {
    const char* name;
    std::function<void(GdxWriter&)> write;
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, PlaysAsCommitted) {
    PlayFixture f;
    GdxWriter writer(TestHeader());
    GetParam().write(writer);
    writer.Save(f.Log());
    ExpectGolden(GetParam().name, TraceLines(f, f.Log()));
}

std::string CaseName(const ::testing::TestParamInfo<GoldenCase>& info) {
    return info.param.name;
}

AxisFrameRecord Frame(double minX, double maxX, double minY, double maxY) {
    AxisFrameRecord r;
    r.x1 = 10;
    r.y1 = -100;
    r.x2 = 60;
    r.y2 = -50;
    r.DataMinX = minX;
    r.DataMaxX = maxX;
    r.DataMinY = minY;
    r.DataMaxY = maxY;
    r.AutoTicks = 1;
    return r;
}

// Figure routines of the interpreter.
const GoldenCase kFigures[] = {
    {"box_outline",
     [](GdxWriter& w) {
         w.Write(BoxOutlineRecord{1, 2, 5, 7});
     }},
    {"radial_lines",
     [](GdxWriter& w) {
         for (double angle : {0.0, 90.0, 225.0}) w.Write(RadialLineRecord{0, 0, 10, angle});
     }},
    {"pie_outline",
     [](GdxWriter& w) {
         w.Write(PieOutlineRecord{5, 5, 2, 80, 95});
     }},
    {"grid_steps",
     [](GdxWriter& w) {
         w.Write(GridRecord{0, 0, 3, 2.5, 1, 1});
     }},
    {"grid_limit_below_origin",
     [](GdxWriter& w) {
         w.Write(GridRecord{5, 5, 0, 0, 1, 1});
     }},
    {"grid_zero_steps",
     [](GdxWriter& w) {
         w.Write(GridRecord{0, 0, 3, 3, 0, -1});
     }},
    {"dip_symbol_flat",
     [](GdxWriter& w) {
         w.Write(DipSymbolRecord{50, -20, 30, 0.05});
     }},
    {"dip_symbol_labels",
     [](GdxWriter& w) {
         w.Write(DipSymbolRecord{50, -20, 30, 0.5});
         w.Write(SymbolSizeRecord{0.05});
         w.Write(DipSymbolRecord{50, -40, 270, 45});
     }},
    {"axis_frame_auto", [](GdxWriter& w) { w.Write(Frame(0, 100, 0, 1000)); }},
    {"axis_frame_centred",
     [](GdxWriter& w) {
         AxisFrameRecord r = Frame(0, 2, 1500, 2500);
         r.CenteredLabels = 1;
         w.Write(r);
     }},
    {"axis_frame_manual_ticks",
     [](GdxWriter& w) {
         AxisFrameRecord r = Frame(0, 10, 0, 10);
         r.AutoTicks = 0;
         r.TickX = 5;
         r.TickY = 0;  // no step: the automatic one is used
         w.Write(r);
     }},
    {"axis_frame_empty_range", [](GdxWriter& w) { w.Write(Frame(5, 5, 0, 10)); }},
};

INSTANTIATE_TEST_SUITE_P(Figures, Golden, ::testing::ValuesIn(kFigures), CaseName);

// The default primitives that reduce to lines.
const GoldenCase kDefaults[] = {
    {"arc_across_north",
     [](GdxWriter& w) {
         w.Write(DrawArcRecord{0, 0, 10, 350, 10});
     }},
    {"arc_start_after_end",
     [](GdxWriter& w) {
         w.Write(DrawArcRecord{0, 0, 10, 40, 20});
     }},
    {"polyline",
     [](GdxWriter& w) {
         GdxCommand c{DrawPolylineRecord()};
         c.points = {{0, 0}, {1, 2}, {3, 2}};
         w.Write(c);
     }},
    {"symbol",
     [](GdxWriter& w) {
         w.Write(DrawSymbolRecord{5, 5, 0, 'A', 2, 3, 0});
     }},
    {"symbol_signed_strokes",
     [](GdxWriter& w) {
         w.Write(DrawSymbolRecord{0, 0, 0, 200, 1, 1, 0});
     }},
    {"stroke_text_raised_lowered",
     [](GdxWriter& w) {
         DrawStrokeTextRecord t;
         t.x = 10;
         t.y = 20;
         t.charWidth = 5;
         t.charHeight = 13;
         t.angle = 90;
         t.text = "A`2 |B";
         w.Write(t);
     }},
    {"stroke_text_upward",
     [](GdxWriter& w) {
         DrawStrokeTextRecord t;
         t.charWidth = 5;
         t.charHeight = 13;
         t.angle = 0;
         t.text = "AB";
         w.Write(t);
     }},
    {"pattern_box_clipped",
     [](GdxWriter& w) {
         w.Write(PatternFillBoxRecord{0, 0, 15, 12, 1, 1, 1, 1});
     }},
    {"pattern_box_reversed_corners",
     [](GdxWriter& w) {
         w.Write(PatternFillBoxRecord{8, 8, 0, 0, 2, 1, 1, 0});
     }},
    {"pattern_box_outside_library",
     [](GdxWriter& w) {
         w.Write(PatternFillBoxRecord{0, 0, 5, 5, 251, 1, 1, 1});
     }},
    {"pattern_box_cell_without_width",
     [](GdxWriter& w) {
         w.Write(PatternFillBoxRecord{0, 0, 5, 5, 3, 1, 1, 1});
     }},
    {"polyfill_triangle",
     [](GdxWriter& w) {
         GdxCommand c{PolyFillRecord{1, 1, 1, 1}};
         c.points = {{0, 0}, {20, 0}, {0, 20}};
         w.Write(c);
     }},
};

INSTANTIATE_TEST_SUITE_P(Defaults, Golden, ::testing::ValuesIn(kDefaults), CaseName);

// Every other command reaches its primitive with its fields, once.
const GoldenCase kPassThrough[] = {
    {"every_command",
     [](GdxWriter& w) {
         w.Write(SetColorRecord{0x0000FF});
         w.Write(SetLineStyleRecord{2});
         w.Write(SetLineWidthRecord{3});
         w.Write(DrawRectangleRecord{1, 2, 3, 4});
         w.Write(DrawNoteRecord{1, 2, "note"});
         DrawFontTextRecord font;
         font.x = 1;
         font.height = 12;
         font.angle = 45;
         font.text = "font \"text\"";
         w.Write(font);
         SetFontRecord sf;
         sf.fontName = "Arial";
         sf.size = 10;
         w.Write(sf);
         SetFontColoredRecord sfc;
         sfc.fontName = "Times New Roman";
         sfc.size = 12;
         sfc.style = 1;
         sfc.color = 0x123456;
         w.Write(sfc);
         GdxCommand wrapped{DrawWrappedTextRecord{1, 2, 3, 4, 0, 1, 0}};
         wrapped.text = "wrapped";
         w.Write(wrapped);
         w.Write(DrawBoxRecord{1, 2, 3, 4, 2, 0xFF00, 0});
         DrawPictureFileRecord pf;
         pf.fileName = "logo.bmp";
         pf.border = 1;
         w.Write(pf);
         w.Write(DrawRegionLineRecord{1, 0.5, 3, 0.5, 1});
         DrawLabelRecord label;
         label.text = "label";
         label.region = 2;
         w.Write(label);
         GdxCommand picture{DrawPictureRecord{1, 2, 3, 4, 0, 1, 3}};
         picture.data = {'B', 'M', 1, 2};
         w.Write(picture);
         DrawScaledSymbolRecord scaled;
         scaled.symbol = 7;
         scaled.size = 0.25;
         w.Write(scaled);
         w.Write(RegionPatternFillBoxRecord{1, 2, 3, 4, 5, 1, 1, 1, 3});
         DrawRotatedTextRecord rotated;
         rotated.text = "rotated";
         w.Write(rotated);
         RegionPatternFillBoxColoredRecord rc;
         rc.region = 1;
         w.Write(rc);
         w.Write(PatternFillBoxColoredRecord());
         w.Write(FillBoxRecord{1, 2, 3, 4, 0xFFFFFF, 3});
         GdxCommand stream{DrawPictureStreamRecord{1, 2, 3, 4, 1}};
         stream.data = {1, 2, 3};
         w.Write(stream);
         GdxCommand pair{FillPolygonPairRecord()};
         pair.points = {{0, 0}, {1, 1}, {2, 0}};
         pair.points2 = {{5, 5}};
         w.Write(pair);
         DrawTextRecord text;
         text.text = "tab\there";
         w.Write(text);
         GdxCommand colored{PolyFillColoredRecord()};
         colored.points = {{0, 0}, {1, 1}};
         w.Write(colored);
         GdxCommand styled{DrawStyledPolylineRecord{2, 0xFF, 1}};
         styled.segments = {DrawLineRecord{0, 0, 0, 1, 1, 0}};
         w.Write(styled);
         w.Write(DrawVerticalRuleRecord{42});
         DrawLongLabelRecord longLabel;
         longLabel.text = std::string(100, 'L');
         w.Write(longLabel);
         GdxCommand box{DrawTextBoxRecord()};
         box.text = "box text";
         w.Write(box);
         w.Write(GdxCommand(DrawTextBoxRecord()));  // no text record follows
         GdxCommand formatted{DrawFormattedTextRecord()};
         formatted.text = "formatted";
         w.Write(formatted);
         DrawFittedTextRecord fitted;
         fitted.text = "fitted";
         w.Write(fitted);
         w.Write(GradientFillBoxRecord{0xFF, 0xFF0000, 1, 2, 3, 4, 5, 1});
         GdxCommand gradient{GradientPolyFillRecord()};
         gradient.points = {{0, 0}, {1, 0}, {1, 1}};
         w.Write(gradient);
         w.Write(SymbolSizeRecord{0.02});  // no call
         w.Write(PointRecord{1, 1});       // a stray point: no call
         w.Write(EndOfListRecord());       // a stray terminator: no call
         w.WriteRecord(4242, {1, 2, 3});   // unknown: skipped
         w.Write(DrawLineRecord{1, 2, 0, 3, 4, 0});
     }},
};

INSTANTIATE_TEST_SUITE_P(PassThrough, Golden, ::testing::ValuesIn(kPassThrough), CaseName);

}  // namespace
}  // namespace cindral
