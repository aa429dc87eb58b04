// Writes the bundled sample log: a three-track borehole log from 1000 to 1600 ft with header
// and footer bands, a depth track, lithology pattern boxes, gamma-ray and resistivity curves,
// annotations, symbols and a small embedded logo. The output is the same on every run.
//
// usage: cindral_sample_generator OUT.gdx

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "core/format/gdx_writer.h"

namespace cindral {
namespace {

// Log layout: x in hundredths of an inch, y = -depth in feet at 20 ft per inch.
constexpr double kTop = 1000, kBase = 1600;
constexpr double kLithLeft = 30, kLithRight = 180;
constexpr double kDepthLeft = 180, kDepthRight = 260;
constexpr double kGrLeft = 260, kGrRight = 480;
constexpr double kResLeft = 480, kResRight = 800;

constexpr int32_t Rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

double Y(double depth) {
    return -depth;
}

// Pattern numbers of the default library's lithologies.
constexpr int kSandstone = 41, kSiltstone = 66, kShale = 71, kLimestone = 91, kDolomite = 116,
              kCoal = 146, kConglomerate = 156;
constexpr int kLegendPatterns[] = {kSandstone, kShale, kLimestone, kDolomite};
// Symbol numbers of the default library.
constexpr int16_t kOilShowFair = 271, kNorthArrow = 145;

void Font(GdxWriter& w, const char* name, int size, uint8_t style) {
    SetFontRecord font;
    font.fontName = name;
    font.size = size;
    font.style = style;
    w.Write(font);
}

// A small deterministic generator so every build writes the same bytes.
class Noise {
  public:
    double Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    double Between(double lo, double hi) { return lo + (hi - lo) * Next(); }

  private:
    uint64_t state_ = 0x5EED1234ABCDULL;
};

struct Bed {
    double top, base;
    int pattern;
    double shale;  // 0 clean sand .. 1 shale
    double resistivity;
};

std::vector<Bed> MakeBeds(Noise& noise) {
    std::vector<Bed> beds;
    double depth = kTop;
    int index = 0;
    while (depth < kBase) {
        double thickness = noise.Between(6, 38);
        double base = std::fmin(depth + thickness, kBase);
        double shale = noise.Next();
        double resistivity = shale > 0.6 ? noise.Between(1, 6) : noise.Between(8, 400);
        int pattern = shale > 0.6 ? kShale : shale > 0.4 ? kSiltstone : kSandstone;
        if (shale <= 0.4 && index % 4 == 3) pattern = kLimestone;
        if (shale <= 0.4 && index % 7 == 6) pattern = kDolomite;
        if (index % 11 == 10) {
            pattern = kCoal;
            base = std::fmin(depth + 3, kBase);
        }
        beds.push_back({depth, base, pattern, shale, resistivity});
        ++index;
        depth = base;
    }
    return beds;
}

const Bed& BedAt(const std::vector<Bed>& beds, double depth) {
    for (const Bed& b : beds) {
        if (depth < b.base) return b;
    }
    return beds.back();
}

double GammaX(double api) {
    return kGrLeft + (kGrRight - kGrLeft) * std::fmin(api, 150) / 150;
}
double ResistivityX(double ohm) {
    double decades = std::log10(std::fmax(ohm, 0.2) / 0.2);  // 0.2 .. 2000: four decades
    return kResLeft + (kResRight - kResLeft) * std::fmin(decades, 4) / 4;
}

std::vector<uint8_t> LogoBitmap() {
    // A 16 x 8 24-bit bitmap file: a blue band over an orange one.
    const int width = 16, height = 8, row = width * 3;
    ByteWriter out;
    out.U8('B');
    out.U8('M');
    out.U32(54 + row * height);
    out.U32(0);
    out.U32(54);
    out.U32(40);
    out.I32(width);
    out.I32(height);
    out.U16(1);
    out.U16(24);
    out.U32(0);
    out.U32(row * height);
    out.I32(3780);
    out.I32(3780);
    out.U32(0);
    out.U32(0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool upper = y >= height / 2;
            out.U8(upper ? 200 : 30);  // blue
            out.U8(upper ? 90 : 140);  // green
            out.U8(upper ? 20 : 240);  // red
        }
    }
    return out.Take();
}

void HeaderBands(GdxWriter& w) {
    FillBoxRecord panel;
    panel.x1 = kLithLeft;
    panel.x2 = kResRight;
    panel.y1 = 0.15;
    panel.y2 = 1.45;
    panel.color = Rgb(235, 240, 245);
    panel.region = 1;
    w.Write(panel);

    Font(w, "Arial", 14, 1);
    DrawLongLabelRecord title;
    title.x = kLithLeft + 10;
    title.y = 0.25;
    title.size = 16;
    title.text = "Cindral Sample Well 7-12  -  Composite Log";
    title.region = 1;
    w.Write(title);

    const char* lines[] = {"Operator: Northfield Drilling Ltd.", "Field: Glenmore East",
                           "Location: Sec. 7, Twp. 12, Rge. 4", "Ground elevation: 350 ft",
                           "Depth scale: 1 in = 20 ft"};
    Font(w, "Arial", 9, 0);
    for (int i = 0; i < 5; ++i) {
        DrawLabelRecord label;
        label.x = kLithLeft + 10;
        label.y = 0.6 + i * 0.16;
        label.size = 9;
        label.text = lines[i];
        label.region = 1;
        w.Write(label);
    }

    GdxCommand remarks{DrawTextBoxRecord()};
    auto& box = std::get<DrawTextBoxRecord>(remarks.record);
    box.x1 = 420;
    box.x2 = 640;
    box.y1 = 0.55;
    box.y2 = 1.35;
    box.region = 1;
    box.border = 1;
    box.fill = 1;
    box.fillColor = Rgb(255, 255, 230);
    box.fontSize = 8;
    box.marginLeft = box.marginRight = 0.05;
    box.marginTop = box.marginBottom = 0.04;
    remarks.text =
        "Remarks: sample log for testing the viewer. Lithology from cuttings, curves "
        "synthetic. Not for operational use.";
    w.Write(remarks);

    GdxCommand logo{DrawPictureRecord()};
    auto& picture = std::get<DrawPictureRecord>(logo.record);
    picture.x1 = 680;
    picture.x2 = 790;
    picture.y1 = 0.3;
    picture.y2 = 0.85;
    picture.isBitmap = 1;
    picture.region = 1;
    logo.data = LogoBitmap();
    w.Write(logo);

    DrawScaledSymbolRecord north;
    north.x = 735;
    north.y = 1.15;
    north.symbol = kNorthArrow;
    north.size = 0.25;
    north.region = 1;
    w.Write(north);

    // Legend of the lithologies of the log.
    for (int i = 0; i < 4; ++i) {
        RegionPatternFillBoxRecord legend;
        legend.x1 = 660 + i * 35;
        legend.x2 = legend.x1 + 28;
        legend.y1 = 1.2;
        legend.y2 = 1.4;
        legend.pattern = kLegendPatterns[i];
        legend.outline = 1;
        legend.region = 1;
        w.Write(legend);
    }
    RegionPatternFillBoxColoredRecord colored;
    colored.x1 = 420;
    colored.x2 = 460;
    colored.y1 = 1.38;
    colored.y2 = 1.44;
    colored.pattern = kSandstone;
    colored.backColor = Rgb(255, 240, 180);
    colored.lineColor = Rgb(120, 80, 0);
    colored.outline = 1;
    colored.region = 1;
    w.Write(colored);

    // Track headings on the first page (region 1) and on the following pages (region 2).
    struct Heading {
        double x;
        const char* text;
    };
    const Heading headings[] = {{kLithLeft + 5, "Lithology"},
                                {kDepthLeft + 5, "Depth (ft)"},
                                {kGrLeft + 5, "Gamma Ray  0 - 150 API"},
                                {kResLeft + 5, "Resistivity  0.2 - 2000 ohm.m"}};
    for (uint8_t region : {1, 2}) {
        Font(w, "Arial", 8, 1);
        double top = region == 1 ? 1.55 : 0.1;
        DrawRegionLineRecord rule;
        rule.x1 = kLithLeft;
        rule.x2 = kResRight;
        rule.y1 = rule.y2 = top - 0.05;
        rule.region = region;
        w.Write(rule);
        for (const Heading& h : headings) {
            DrawLabelRecord label;
            label.x = h.x;
            label.y = top;
            label.size = 8;
            label.text = h.text;
            label.region = region;
            w.Write(label);
        }
        if (region == 2) {
            Font(w, "Arial", 7, 2);
            DrawLabelRecord again;
            again.x = kResRight - 160;
            again.y = 0.35;
            again.size = 7;
            again.text = "Sample Well 7-12 (continued)";
            again.region = 2;
            w.Write(again);
        }
    }

    // Footer on every page.
    DrawRegionLineRecord footer_rule;
    footer_rule.x1 = kLithLeft;
    footer_rule.x2 = kResRight;
    footer_rule.y1 = footer_rule.y2 = 0.05;
    footer_rule.region = 3;
    w.Write(footer_rule);
    Font(w, "Arial", 7, 0);
    DrawLabelRecord footer;
    footer.x = kLithLeft;
    footer.y = 0.12;
    footer.size = 7;
    footer.text = "Cindral sample log - synthetic data";
    footer.region = 3;
    w.Write(footer);
    GdxCommand stamp{DrawPictureStreamRecord()};
    auto& s = std::get<DrawPictureStreamRecord>(stamp.record);
    s.x1 = 760;
    s.x2 = 800;
    s.y1 = 0.08;
    s.y2 = 0.3;
    s.region = 3;
    stamp.data = LogoBitmap();
    w.Write(stamp);
}

void TrackFrame(GdxWriter& w) {
    SetColorRecord black;
    w.Write(black);
    SetLineWidthRecord width;
    w.Write(width);
    for (double x : {kLithLeft, kLithRight, kDepthRight, kGrRight, kResRight}) {
        DrawVerticalRuleRecord rule;
        rule.x = x;
        w.Write(rule);
    }
    // Gamma-ray grid: five divisions across, a line every 10 ft.
    SetColorRecord grey;
    grey.color = Rgb(190, 190, 190);
    w.Write(grey);
    GridRecord grid;
    grid.x1 = kGrLeft;
    grid.y1 = Y(kBase);
    grid.x2 = kGrRight;
    grid.y2 = Y(kTop);
    grid.stepX = (kGrRight - kGrLeft) / 5;
    grid.stepY = 10;
    w.Write(grid);
    // Resistivity grid: logarithmic verticals.
    for (double decade = 0.2; decade <= 2000 * 1.001; decade *= 10) {
        for (int m = 1; m < 10; ++m) {
            double ohm = decade * m;
            if (ohm > 2000 * 1.001) break;
            DrawLineRecord line;
            line.x1 = line.x2 = ResistivityX(ohm);
            line.y1 = Y(kTop);
            line.y2 = Y(kBase);
            w.Write(line);
        }
    }
    w.Write(black);
}

void DepthTrack(GdxWriter& w) {
    for (int depth = static_cast<int>(kTop); depth <= kBase; depth += 2) {
        double length = depth % 10 == 0 ? 14 : 6;
        for (auto [from, sign] : {std::pair{kDepthLeft, 1.0}, std::pair{kDepthRight, -1.0}}) {
            DrawLineRecord tick;
            tick.x1 = from;
            tick.x2 = from + sign * length;
            tick.y1 = tick.y2 = Y(depth);
            w.Write(tick);
        }
        if (depth % 50 == 0) {
            DrawTextRecord number;
            number.x = (kDepthLeft + kDepthRight) / 2;
            number.y = Y(depth);
            number.align = 6 | 24;  // centred on its baseline
            number.text = std::to_string(depth);
            w.Write(number);
        }
    }
}

void Lithology(GdxWriter& w, const std::vector<Bed>& beds, Noise& noise) {
    for (const Bed& b : beds) {
        if (b.pattern == kSandstone || b.pattern == kShale) {
            PatternFillBoxColoredRecord box;
            box.x1 = kLithLeft;
            box.x2 = kLithRight;
            box.y1 = Y(b.base);
            box.y2 = Y(b.top);
            box.pattern = b.pattern;
            box.backColor = b.shale > 0.6 ? Rgb(200, 210, 190) : Rgb(255, 235, 160);
            box.lineColor = Rgb(60, 60, 60);
            box.outline = 1;
            w.Write(box);
        } else {
            PatternFillBoxRecord box;
            box.x1 = kLithLeft;
            box.x2 = kLithRight;
            box.y1 = Y(b.base);
            box.y2 = Y(b.top);
            box.pattern = b.pattern;
            box.outline = 1;
            w.Write(box);
        }
        if (b.shale < 0.25) {
            DrawSymbolRecord show;  // an oil show in the cleanest sands
            show.x = kLithRight - 20;
            show.y = Y((b.top + b.base) / 2);
            show.symbol = kOilShowFair;
            show.xScale = show.yScale = 0.16;
            w.Write(show);
        }
    }
    // A conglomerate lens as a polygon; the viewer fills it with the current colour.
    w.Write(SetColorRecord{Rgb(190, 150, 100)});
    GdxCommand lens{PolyFillRecord()};
    auto& fill = std::get<PolyFillRecord>(lens.record);
    fill.pattern = kConglomerate;
    fill.outline = 1;
    for (int i = 0; i <= 12; ++i) {
        double a = i * M_PI / 6;
        lens.points.push_back(
            {105 + 45 * std::cos(a), Y(1312 + 5 * std::sin(a) + noise.Between(-0.5, 0.5))});
    }
    w.Write(lens);
    w.Write(SetColorRecord{Rgb(0, 0, 0)});
    // A core interval marked with a box and a rotated label.
    DrawBoxRecord core;
    core.x1 = kLithLeft + 4;
    core.x2 = kLithLeft + 16;
    core.y1 = Y(1436);
    core.y2 = Y(1404);
    core.fillKind = 4;
    core.color = Rgb(0, 0, 0);
    w.Write(core);
    DrawRotatedTextRecord core_label;
    core_label.x1 = kLithLeft + 4;
    core_label.x2 = kLithLeft + 16;
    core_label.y1 = Y(1436);
    core_label.y2 = Y(1404);
    core_label.arrows = 1;
    core_label.text = "Core 1";
    w.Write(core_label);
}

std::vector<PointRecord> Curve(const std::vector<Bed>& beds, Noise& noise, bool gamma,
                               double shift) {
    std::vector<PointRecord> points;
    for (double depth = kTop; depth <= kBase; depth += 0.5) {
        const Bed& b = BedAt(beds, depth);
        double wiggle = std::sin(depth * 0.9) * 3 + noise.Between(-4, 4);
        double x = gamma ? GammaX(20 + 110 * b.shale + wiggle)
                         : ResistivityX(b.resistivity * shift * std::exp(wiggle * 0.03));
        points.push_back({x, Y(depth)});
    }
    return points;
}

void Curves(GdxWriter& w, const std::vector<Bed>& beds, Noise& noise) {
    std::vector<PointRecord> gamma = Curve(beds, noise, true, 1);
    // Sand shading: a colour ramp between the track's left edge and the curve, 1000-1100 ft.
    GdxCommand shade{GradientPolyFillRecord()};
    auto& ramp = std::get<GradientPolyFillRecord>(shade.record);
    ramp.startColor = Rgb(255, 230, 120);
    ramp.endColor = Rgb(120, 160, 60);
    ramp.rampX1 = kGrLeft;
    ramp.rampX2 = kGrRight;
    shade.points.push_back({kGrLeft, Y(kTop)});
    for (const PointRecord& p : gamma) {
        if (-p.y <= 1100) shade.points.push_back(p);
    }
    shade.points.push_back({kGrLeft, Y(1100)});
    w.Write(shade);
    // Shale shading below 1100 ft where the curve passes 90 API.
    GdxCommand shale{PolyFillColoredRecord()};
    auto& grey = std::get<PolyFillColoredRecord>(shale.record);
    grey.color = Rgb(170, 190, 160);
    shale.points = {{GammaX(90), Y(1480)},
                    {GammaX(150), Y(1480)},
                    {GammaX(150), Y(1520)},
                    {GammaX(90), Y(1520)}};
    w.Write(shale);

    SetColorRecord green;
    green.color = Rgb(0, 140, 0);
    w.Write(green);
    SetLineWidthRecord two;
    two.width = 2;
    w.Write(two);
    GdxCommand gr{DrawPolylineRecord()};
    gr.points = gamma;
    w.Write(gr);

    // Bit size as a styled line of its own.
    GdxCommand bit{DrawStyledPolylineRecord()};
    auto& pen = std::get<DrawStyledPolylineRecord>(bit.record);
    pen.width = 1;
    pen.color = Rgb(120, 0, 120);
    pen.style = 3;
    for (double depth = kTop; depth < kBase; depth += 100) {
        DrawLineRecord s;
        s.x1 = s.x2 = GammaX(100);
        s.y1 = Y(depth);
        s.y2 = Y(depth + 100);
        bit.segments.push_back(s);
    }
    w.Write(bit);

    std::vector<PointRecord> deep = Curve(beds, noise, false, 1.0);
    std::vector<PointRecord> shallow = Curve(beds, noise, false, 0.45);
    // Invasion profile: the two resistivity curves as a polygon pair, 1200-1260 ft.
    GdxCommand pair{FillPolygonPairRecord()};
    auto& fills = std::get<FillPolygonPairRecord>(pair.record);
    fills.lineStyle1 = fills.lineStyle2 = 5;
    fills.fillColor1 = Rgb(255, 200, 200);
    fills.fillColor2 = Rgb(200, 200, 255);
    fills.fillStyle1 = 0;
    fills.fillStyle2 = 0;
    fills.overlapColor = Rgb(220, 180, 255);
    for (const auto* curve : {&deep, &shallow}) {
        auto& polygon = curve == &deep ? pair.points : pair.points2;
        polygon.push_back({kResLeft, Y(1200)});
        for (const PointRecord& p : *curve) {
            if (-p.y >= 1200 && -p.y <= 1260) polygon.push_back(p);
        }
        polygon.push_back({kResLeft, Y(1260)});
    }
    w.Write(pair);

    SetColorRecord red;
    red.color = Rgb(200, 0, 0);
    w.Write(red);
    GdxCommand deep_line{DrawPolylineRecord()};
    deep_line.points = deep;
    w.Write(deep_line);
    SetColorRecord blue;
    blue.color = Rgb(0, 0, 200);
    w.Write(blue);
    SetLineWidthRecord one;
    w.Write(one);
    SetLineStyleRecord dashed;
    dashed.style = 1;
    w.Write(dashed);
    GdxCommand shallow_line{DrawPolylineRecord()};
    shallow_line.points = shallow;
    w.Write(shallow_line);
    SetLineStyleRecord solid;
    w.Write(solid);
    SetColorRecord black;
    w.Write(black);
}

void Annotations(GdxWriter& w) {
    Font(w, "Arial", 8, 0);
    const std::pair<double, const char*> tops[] = {
        {1085, "Top Glenmore Sandstone"}, {1240, "Top Ardley Shale"}, {1452, "Top Basal Quartz"}};
    SetLineStyleRecord dashed;
    dashed.style = 2;
    w.Write(dashed);
    for (const auto& [depth, name] : tops) {
        DrawLineRecord line;
        line.x1 = kLithLeft;
        line.x2 = kResRight;
        line.y1 = line.y2 = Y(depth);
        w.Write(line);
        DrawFontTextRecord text;
        text.x = kResLeft + 8;
        text.y = Y(depth) + 1.5;
        text.height = 0.1;
        text.sizeMode = 3;
        text.text = name;
        w.Write(text);
    }
    SetLineStyleRecord solid;
    w.Write(solid);

    SetFontColoredRecord brown;
    brown.fontName = "Times New Roman";
    brown.size = 9;
    brown.style = 2;
    brown.color = Rgb(120, 60, 0);
    w.Write(brown);
    DrawFittedTextRecord fitted;
    fitted.x = kGrLeft + 10;
    fitted.y = Y(1005);
    fitted.text = "GR log run 1, 2024-03-18";
    fitted.keepInside = 1;
    w.Write(fitted);

    GdxCommand comment{DrawWrappedTextRecord()};
    auto& c = std::get<DrawWrappedTextRecord>(comment.record);
    c.x1 = kResLeft + 150;
    c.x2 = kResRight - 10;
    c.y1 = Y(1350);
    c.y2 = Y(1320);
    comment.text =
        "Lost circulation at 1327 ft; 40 bbl of mud lost before the zone was sealed with "
        "LCM.\r\n";
    w.Write(comment);

    GdxCommand formatted{DrawFormattedTextRecord()};
    auto& f = std::get<DrawFormattedTextRecord>(formatted.record);
    f.x1 = kResLeft + 150;
    f.x2 = kResRight - 10;
    f.y1 = Y(1530);
    f.y2 = Y(1560);
    f.fontSize = 8;
    f.sideMargin = 0.05;
    formatted.text = "Drill stem test 1: 1540-1555 ft.\r\nRecovered 120 ft of gas-cut mud.\r\n";
    w.Write(formatted);

    DrawNoteRecord note;
    note.x = kGrLeft + 20;
    note.y = Y(1590);
    note.text = "TD 1600 ft";
    w.Write(note);

    DrawStrokeTextRecord stroke;
    stroke.x = kDepthLeft + 12;
    stroke.y = Y(1598);
    stroke.charWidth = 6;
    stroke.charHeight = 1.5;
    stroke.angle = 90;
    stroke.text = "TD";
    w.Write(stroke);

    // Dip symbols from a dipmeter run, with their size set first.
    SymbolSizeRecord size;
    size.SymbolSizeFactor = 0.015;
    w.Write(size);
    for (int i = 0; i < 12; ++i) {
        DipSymbolRecord dip;
        dip.x = kResRight - 40;
        dip.y = Y(1030 + i * 45);
        dip.azimuth = std::fmod(35 + i * 27, 360);
        dip.dip = i == 5 ? 0.05 : 2 + i * 1.5;
        w.Write(dip);
    }

    // A gas-show rose: circle, arc, pie and radial line.
    DrawCircleRecord circle;
    circle.cx = kResLeft + 60;
    circle.cy = Y(1545);
    circle.radius = 18;
    w.Write(circle);
    DrawArcRecord arc;
    arc.cx = circle.cx;
    arc.cy = circle.cy;
    arc.radius = 24;
    arc.startAngle = 300;
    arc.endAngle = 420;
    w.Write(arc);
    PieOutlineRecord pie;
    pie.cx = circle.cx;
    pie.cy = circle.cy;
    pie.radius = 14;
    pie.startAngle = 20;
    pie.endAngle = 75;
    w.Write(pie);
    RadialLineRecord radial;
    radial.cx = circle.cx;
    radial.cy = circle.cy;
    radial.length = 18;
    radial.angle = 200;
    w.Write(radial);

    // Sample interval boxes and a pressure plot.
    BoxOutlineRecord sample;
    sample.x1 = kGrLeft + 150;
    sample.x2 = kGrRight - 5;
    sample.y1 = Y(1380);
    sample.y2 = Y(1370);
    w.Write(sample);
    DrawRectangleRecord rectangle;
    rectangle.x1 = kGrLeft + 150;
    rectangle.x2 = kGrRight - 5;
    rectangle.y1 = Y(1420);
    rectangle.y2 = Y(1410);
    w.Write(rectangle);
    AxisFrameRecord plot;
    plot.x1 = kResLeft + 30;
    plot.x2 = kResLeft + 140;
    plot.y1 = Y(1505);
    plot.y2 = Y(1465);
    plot.DataMinX = 0;
    plot.DataMaxX = 100;
    plot.DataMinY = 500;
    plot.DataMaxY = 700;
    plot.AutoTicks = 1;
    w.Write(plot);

    // Porosity zone shaded with a ramp across the lithology column.
    GradientFillBoxRecord zone;
    zone.startColor = Rgb(255, 255, 255);
    zone.endColor = Rgb(80, 160, 255);
    zone.x1 = kDepthRight;
    zone.x2 = kDepthRight + 30;
    zone.y1 = Y(1470);
    zone.y2 = Y(1452);
    zone.fillX = 30;
    w.Write(zone);
}

}  // namespace
}  // namespace cindral

int main(int argc, char** argv) {
    using namespace cindral;
    if (argc != 2) {
        std::fprintf(stderr, "usage: cindral_sample_generator OUT.gdx\n");
        return 2;
    }
    try {
        GdxHeader header;
        header.TopDepth = Y(kTop);
        header.BottomDepth = Y(kBase);
        header.FirstHeaderHeight = 2.0;
        header.NextHeaderHeight = 0.6;
        header.FooterHeight = 0.4;
        header.BandGap = 0.1;
        header.RepeatBands = 1;
        header.PageHeight = 11;
        header.PageWidth = 8.5;
        header.XUnitsPerInch = 100;
        header.DepthUnitsPerInch = 20;
        header.ElevationDatum = 350;
        GdxWriter writer(header);
        Noise noise;
        std::vector<Bed> beds = MakeBeds(noise);
        HeaderBands(writer);
        TrackFrame(writer);
        Lithology(writer, beds, noise);
        DepthTrack(writer);
        Curves(writer, beds, noise);
        Annotations(writer);
        writer.Save(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
