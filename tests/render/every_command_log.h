#pragma once
// A generated log that uses every command code, repeated down the log, with the region
// commands in every band: the input of the tests that draw one log two ways and compare.

#include <string>
#include <vector>

#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"

namespace cindral {

// A 2 x 2 bitmap of 24 bits, for the picture commands.
inline std::vector<uint8_t> SmallBitmap() {
    ByteWriter b;
    b.U8('B');
    b.U8('M');
    b.U32(54 + 16);
    b.U32(0);
    b.U32(54);
    b.U32(40);
    b.U32(2);
    b.U32(2);
    b.U16(1);
    b.U16(24);
    b.U32(0);
    b.U32(16);
    b.U32(2835);
    b.U32(2835);
    b.U32(0);
    b.U32(0);
    for (int row = 0; row < 2; ++row) {
        for (int px = 0; px < 2; ++px) {
            b.U8(static_cast<uint8_t>(40 + 100 * px));
            b.U8(static_cast<uint8_t>(200 - 80 * row));
            b.U8(90);
        }
        b.U16(0);  // rows end on 4 bytes
    }
    return b.Take();
}

// The commands every band of the generated logs holds: a filled box, a label and a picture.
inline FillBoxRecord BandFill(uint8_t region) {
    FillBoxRecord fill;
    fill.x1 = 500;
    fill.x2 = 600;
    fill.y1 = 0.05;
    fill.y2 = 0.25;
    fill.color = 0x80C0FF;
    fill.region = region;
    return fill;
}

inline DrawLabelRecord BandLabel(uint8_t region) {
    DrawLabelRecord label;
    label.x = 60;
    label.y = 0.15;
    label.text = "Band " + std::to_string(region);
    label.region = region;
    return label;
}

inline GdxCommand BandPicture(uint8_t region, const std::vector<uint8_t>& bitmap) {
    GdxCommand picture(DrawPictureRecord{});
    auto& p = std::get<DrawPictureRecord>(picture.record);
    p.x1 = 240;
    p.x2 = 280;
    p.y1 = 0.05;
    p.y2 = 0.3;
    p.isBitmap = 1;
    p.region = region;
    picture.data = bitmap;
    return picture;
}

inline std::vector<PointRecord> Zigzag(double x, double top, double depth, int n) {
    std::vector<PointRecord> points;
    for (int i = 0; i <= n; ++i) points.push_back({x + 30 * (i % 2), top - depth * i / n});
    return points;
}

// Every command code, repeated down the log every `step` units, with the region commands
// placed in each band; `span` below 1 leaves the rest of each step blank; `pattern_pen` is
// the line width of the coloured pattern fills.
inline void WriteEveryCommand(GdxWriter& w, const std::string& picture_file, double step,
                              double span = 1.0, int pattern_pen = 2) {
    const GdxHeader& h = w.header();
    const std::vector<uint8_t> bitmap = SmallBitmap();
    SetFontRecord font;
    font.fontName = "Arial";
    font.size = 9;
    w.Write(font);
    for (uint8_t region = 1; region <= 3; ++region) {
        w.Write(DrawRegionLineRecord{40, 0.2, 700, 0.3, region});
        w.Write(BandFill(region));
        w.Write(BandLabel(region));
        RegionPatternFillBoxColoredRecord box;
        box.x1 = 300;
        box.x2 = 420;
        box.y1 = 0.05;
        box.y2 = 0.3;
        box.pattern = 12;
        box.lineColor = 0x006000;
        box.outline = 1;
        box.region = region;
        w.Write(box);
        DrawScaledSymbolRecord symbol;
        symbol.x = 450;
        symbol.y = 0.2;
        symbol.symbol = 40;
        symbol.size = 0.2;
        symbol.region = region;
        w.Write(symbol);
        GdxCommand textbox(DrawTextBoxRecord{});
        auto& t = std::get<DrawTextBoxRecord>(textbox.record);
        t.region = region;
        t.x1 = 620;
        t.x2 = 790;
        t.y1 = 0.02;
        t.y2 = 0.35;
        t.border = 1;
        textbox.text = "Text box in band " + std::to_string(region);
        w.Write(textbox);
        w.Write(BandPicture(region, bitmap));
    }
    w.Write(DrawVerticalRuleRecord{230});
    int n = 0;
    for (double d = h.TopDepth; d > h.BottomDepth; d -= step, ++n) {
        // Each repeat draws in the first `size` units of its step.
        const double size = step * span;
        const double e = d - size;
        w.Write(SetColorRecord{static_cast<int32_t>(0x202020 + 0x301000 * (n % 5))});
        w.Write(SetLineStyleRecord{static_cast<uint8_t>(n % 5)});
        w.Write(SetLineWidthRecord{1 + n % 3});
        w.Write(DrawLineRecord{40, d, 0, 220, e, 0});
        w.Write(DrawRectangleRecord{45, d - 2, 90, e + 2});
        w.Write(DrawArcRecord{150, d - size / 2, size / 3, 30, 300});
        w.Write(DrawCircleRecord{190, d - size / 2, size / 4});
        w.Write(PieOutlineRecord{120, d - size / 2, size / 4, 90, 200});
        w.Write(RadialLineRecord{120, d - size / 2, size / 3, 135});
        w.Write(BoxOutlineRecord{250, d - 1, 290, e + 1});
        w.Write(GridRecord{300, d - 1, 380, e + 1, 20, size / 4});
        w.Write(DipSymbolRecord{400, d - size / 3, 45, double(n % 2) * 30});
        w.Write(SymbolSizeRecord{0.01 + 0.005 * (n % 3)});
        PatternFillBoxRecord pattern;
        pattern.x1 = 420;
        pattern.x2 = 480;
        pattern.y1 = d;
        pattern.y2 = e;
        pattern.pattern = 1 + n % 200;
        pattern.outline = 1;
        w.Write(pattern);
        PatternFillBoxColoredRecord colored;
        colored.x1 = 480;
        colored.x2 = 520;
        colored.y1 = d;
        colored.y2 = e;
        colored.pattern = 3 + n % 150;
        colored.lineWidth = pattern_pen;
        colored.backColor = 0xE0F0FF;
        colored.lineColor = 0x400000;
        colored.outline = 1;
        w.Write(colored);
        DrawBoxRecord box;
        box.x1 = 520;
        box.x2 = 540;
        box.y1 = d;
        box.y2 = e;
        box.fillKind = static_cast<uint8_t>(n % 8);
        box.color = 0x0000C0;
        w.Write(box);
        GradientFillBoxRecord ramp;
        ramp.x1 = 540;
        ramp.x2 = 560;
        ramp.y1 = d;
        ramp.y2 = e;
        ramp.fillX = 560;
        w.Write(ramp);
        GdxCommand polyline(DrawPolylineRecord{});
        polyline.points = Zigzag(560, d, size, 6);
        w.Write(polyline);
        GdxCommand polyfill(PolyFillRecord{});
        std::get<PolyFillRecord>(polyfill.record).pattern = 20 + n % 30;
        polyfill.points = Zigzag(600, d, size, 4);
        w.Write(polyfill);
        GdxCommand polycolored(PolyFillColoredRecord{});
        std::get<PolyFillColoredRecord>(polycolored.record).pattern = 30;
        std::get<PolyFillColoredRecord>(polycolored.record).color = 0x008080;
        polycolored.points = Zigzag(640, d, size, 5);
        w.Write(polycolored);
        GdxCommand gradient(GradientPolyFillRecord{});
        std::get<GradientPolyFillRecord>(gradient.record).rampX1 = 660;
        std::get<GradientPolyFillRecord>(gradient.record).rampX2 = 700;
        gradient.points = {{660, d}, {700, d - size / 3}, {690, e}, {660, e}};
        w.Write(gradient);
        GdxCommand pair(FillPolygonPairRecord{});
        auto& fp = std::get<FillPolygonPairRecord>(pair.record);
        fp.fillColor1 = 0xFFC0C0;
        fp.fillColor2 = 0xC0C0FF;
        fp.overlapColor = 0x808080;
        pair.points = {{700, d}, {760, d}, {760, e}, {700, e}};
        pair.points2 = {{730, d - size / 4}, {790, d - size / 4}, {790, e}, {730, e}};
        w.Write(pair);
        GdxCommand styled(DrawStyledPolylineRecord{});
        std::get<DrawStyledPolylineRecord>(styled.record).width = 3;
        std::get<DrawStyledPolylineRecord>(styled.record).color = 0x00A000;
        styled.segments = {{200, d, 0, 260, d - size / 2, 0}, {260, d - size / 2, 0, 210, e, 0}};
        w.Write(styled);

        if (n % 2 == 0) {
            SetFontColoredRecord colored_font;
            colored_font.fontName = n % 4 ? "Times New Roman" : "Courier New";
            colored_font.size = 8 + n % 5;
            colored_font.color = 0x000080;
            w.Write(colored_font);
        }
        DrawTextRecord text;
        text.x = 60;
        text.y = d - size / 4;
        text.vertical = static_cast<uint8_t>(n % 3 == 0);
        text.text = "Depth " + std::to_string(static_cast<int>(d));
        w.Write(text);
        DrawFittedTextRecord fitted;
        fitted.x = 100;
        fitted.y = d - size / 2;
        fitted.rotation = static_cast<uint8_t>(n % 2);
        fitted.text = "fitted";
        w.Write(fitted);
        DrawFontTextRecord fonttext;
        fonttext.x = 330;
        fonttext.y = d - size / 2;
        fonttext.height = 10;
        fonttext.angle = n % 2 ? 0 : 450;
        fonttext.sizeMode = static_cast<uint8_t>(n % 4);
        fonttext.text = "font";
        w.Write(fonttext);
        DrawStrokeTextRecord stroke;
        stroke.x = 350;
        stroke.y = d - size / 3;
        stroke.charWidth = 4;
        stroke.charHeight = 6;
        stroke.angle = n % 2 ? 90 : 0;
        stroke.text = "ABC";
        w.Write(stroke);
        w.Write(DrawNoteRecord{360, d - size / 2, "note"});
        DrawSymbolRecord symbol;
        symbol.x = 380;
        symbol.y = d - size / 2;
        symbol.symbol = static_cast<int16_t>(1 + n % 200);
        symbol.xScale = 0.15;
        w.Write(symbol);
        DrawRotatedTextRecord rotated;
        rotated.x1 = 620;
        rotated.x2 = 660;
        rotated.y1 = d;
        rotated.y2 = e;
        rotated.arrows = static_cast<uint8_t>(n % 2);
        rotated.text = "rotated text";
        w.Write(rotated);
        GdxCommand wrapped(DrawWrappedTextRecord{});
        auto& wr = std::get<DrawWrappedTextRecord>(wrapped.record);
        wr.x1 = 250;
        wr.x2 = 330;
        wr.y1 = d;
        wr.y2 = e;
        wr.narrowMargin = static_cast<uint8_t>(n % 2);
        wrapped.text = "Sandstone, fine grained,\rwell sorted,\rcalcite cement\r";
        w.Write(wrapped);
        GdxCommand formatted(DrawFormattedTextRecord{});
        auto& fo = std::get<DrawFormattedTextRecord>(formatted.record);
        fo.x1 = 700;
        fo.x2 = 790;
        fo.y1 = d;
        fo.y2 = d - size / 3;
        fo.fontSize = 8;
        fo.layoutFlags = n % 3 == 0 ? 0x0100 : 0;  // some run on below their box
        formatted.text =
            "Formatted description of the interval, long enough to wrap "
            "over several lines and past the bottom of its box.";
        w.Write(formatted);
        if (n % 3 == 0) {
            DrawPictureFileRecord file;
            file.x1 = 560;
            file.x2 = 600;
            file.y1 = d;
            file.y2 = d - size / 2;
            file.fileName = picture_file;
            file.stretch = 1;
            w.Write(file);
            GdxCommand stream(DrawPictureStreamRecord{});
            auto& st = std::get<DrawPictureStreamRecord>(stream.record);
            st.x1 = 600;
            st.x2 = 640;
            st.y1 = 0.05;
            st.y2 = 0.25;
            st.region = static_cast<uint8_t>(1 + n % 3);
            stream.data = bitmap;
            w.Write(stream);
        }
        if (n % 7 == 0) {
            AxisFrameRecord axis;
            axis.x1 = 420;
            axis.x2 = 600;
            axis.y1 = d;
            axis.y2 = e;
            axis.DataMinX = 0;
            axis.DataMaxX = 150;
            axis.DataMinY = 0;
            axis.DataMaxY = 10;
            axis.AutoTicks = 1;
            w.Write(axis);
        }
        w.Write(UnknownRecord{777, 6});
    }
}

// The page layout the generated log is drawn in: a first header, a footer, 15 pages.
inline GdxHeader BaseHeader() {
    GdxHeader h;
    h.TopDepth = 5000;
    h.BottomDepth = 4400;
    h.PageHeight = 6;
    h.PageWidth = 8.5;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 40;
    h.FirstHeaderHeight = 1;
    h.NextHeaderHeight = -1;
    h.FooterHeight = 0.5;
    h.BandGap = 0.1;
    return h;
}

}  // namespace cindral
