#include "render/renderers/logmf_object.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/libraries/pattern_object.h"
#include "core/pages/page_layout.h"
#include "render/canvas/emf_writer.h"
#include "render/canvas/fill_brushes.h"
#include "render/canvas/mul_div.h"
#include "render/canvas/svg_writer.h"
#include "render/canvas/wmf_writer.h"
#include "render/renderers/draw_hsv.h"
#include "render/renderers/pattern_tiling.h"
#include "render/renderers/polygon_pair.h"
#include "render/renderers/stroke_line.h"

namespace cindral {
namespace {

// Rows and columns of an EMF or SVG are kept inside this bound: far beyond any log, and
// small enough that sums of two coordinates cannot overflow.
constexpr double kWideLimit = 1 << 30;

int RoundToInt(double v) {
    if (!(v == v)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(v, -kWideLimit, kWideLimit)));
}

Color AsColor(int32_t c) {
    return static_cast<Color>(c) & 0xFFFFFF;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::optional<MetafileFormat> MetafileFormatOf(const std::string& file_name) {
    const size_t dot = file_name.find_last_of('.');
    const size_t slash = file_name.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    const std::string ext = Lower(file_name.substr(dot));
    if (ext == ".wmf") return MetafileFormat::Wmf;
    if (ext == ".emf") return MetafileFormat::Emf;
    if (ext == ".svg") return MetafileFormat::Svg;
    return {};
}

logmf_object::logmf_object(std::string pattern_file_name, std::string symbol_file_name,
                           double default_page_length)
    : gd_object(std::move(pattern_file_name), std::move(symbol_file_name), default_page_length) {}

logmf_object::~logmf_object() = default;

MetafileCanvas& logmf_object::Target() const {
    if (!canvas_) throw CindralError("The metafile drawing has not been started.");
    return *canvas_;
}

int logmf_object::ToUnitsX(double x) const {
    const double v = std::trunc(x * x_scale_);
    if (!(v == v)) return 0;
    const double limit = format_ == MetafileFormat::Wmf ? 32767.0 : kWideLimit;
    return static_cast<int>(std::clamp(v, -limit - 1, limit));
}

int logmf_object::ToUnitsY(double depth) const {
    const double v = std::nearbyint((TopDepth - depth) * depth_scale_ + data_top_px_);
    if (!(v == v)) return 0;
    // A WMF holds 16-bit rows; the export refuses logs taller than that, so only stray
    // points far outside the log are held here. EMF and SVG keep their rows.
    const double limit = format_ == MetafileFormat::Wmf ? 32767.0 : kWideLimit;
    return static_cast<int>(std::clamp(v, -limit - 1, limit));
}

std::optional<int> logmf_object::RegionRow(uint8_t region, double y_inches) const {
    const int row = RoundToInt(y_inches * PixelsPerInch);
    // The drawing is its own first page: its header is the first page's, when included.
    const Band band = BandOf(region);
    if (band == (header_included_ ? Band::FirstHeader : Band::None)) return row;
    if (band == Band::Footer && footer_included_) return RoundToInt(double(row) + footer_top_px_);
    return std::nullopt;
}

void logmf_object::Bind(MetafileFormat format, const MetafileExtent& extent) {
    format_ = format;
    x_scale_ = PixelsPerInch / XUnitsPerInch;
    depth_scale_ = PixelsPerInch / DepthUnitsPerInch;
    width_px_ = extent.width;
    height_px_ = extent.height;
    header_included_ = extent.header_included;
    footer_included_ = extent.footer_included;
}

void logmf_object::BeginDrawing() {
    canvas_ = std::make_unique<MetafileCanvas>(width_px_, height_px_);
    data_top_px_ = 0;
    header_height_px_ = 0;
    if (header_included_ && FirstHeaderHeight > 0) {
        data_top_px_ = RoundToInt((FirstHeaderHeight + BandGap) * PixelsPerInch);
        header_height_px_ = RoundToInt(PixelsPerInch * FirstHeaderHeight);
    }
    footer_top_px_ =
        footer_included_ ? RoundToInt(height_px_ - PixelsPerInch * FooterHeight) : height_px_;
}

void logmf_object::PlayCommands() {
    BeginDrawing();
    gd_object::PlayCommands();
}

uint64_t logmf_object::SaveMetafile(const std::string& output) {
    MetafileCanvas& drawing = Target();
    uint64_t bytes = 0;
    std::ostringstream out;
    if (format_ == MetafileFormat::Svg) {
        SvgWriter writer(out, width_px_, height_px_,
                         FileName.substr(FileName.find_last_of('/') + 1));
        drawing.Replay(writer);
        writer.Finish();
    } else {
        std::unique_ptr<MetafileWriter> writer;
        if (format_ == MetafileFormat::Wmf) {
            writer = std::make_unique<WmfWriter>(out, width_px_, height_px_, PixelsPerInch);
        } else {
            writer = std::make_unique<EmfWriter>(out, width_px_, height_px_);
        }
        drawing.Replay(*writer);
        writer->Finish();
    }
    // Made in memory and written in one piece, so a failed write never leaves half a
    // metafile under the user's name.
    const std::string made = out.str();
    out = std::ostringstream();
    WriteFileAtomically(output, std::vector<uint8_t>(made.begin(), made.end()));
    bytes = made.size();
    drawing.Discard();
    return bytes;
}

void logmf_object::Stroke(int x1, int y1, int x2, int y2, int& phase) {
    MetafileCanvas& c = Target();
    const Pen pen = c.pen();
    StrokeLineDashes(x1, y1, x2, y2, pen.width, pen.color, static_cast<uint8_t>(pen.style), c,
                     phase);
}

void logmf_object::SetColor(const SetColorRecord& r) {
    MetafileCanvas& c = Target();
    Pen pen = c.pen();
    pen.color = AsColor(r.color);
    c.SelectPen(pen);
}

void logmf_object::SetLineStyle(const SetLineStyleRecord& r) {
    MetafileCanvas& c = Target();
    Pen pen = c.pen();
    pen.style = static_cast<PenStyle>(r.style);
    c.SelectPen(pen);
}

void logmf_object::SetLineWidth(const SetLineWidthRecord& r) {
    MetafileCanvas& c = Target();
    Pen pen = c.pen();
    // A negative r.width from the file would be a negative pen; it draws as the thinnest line.
    pen.width = std::max(0, r.width);
    c.SelectPen(pen);
}

namespace {

void ClearBrush(Canvas& c) {
    Brush brush = c.brush();
    brush.style = BrushStyle::Null;
    c.SelectBrush(brush);
}

}  // namespace

void logmf_object::DrawLine(const DrawLineRecord& r) {
    MetafileCanvas& c = Target();
    Brush brush = c.brush();
    if (c.pen().style == PenStyle::Solid) {
        brush.color = c.pen().color;
    } else {
        brush.color = kWhite;
        brush.style = BrushStyle::Null;
    }
    c.SelectBrush(brush);
    int phase = 0;
    Stroke(ToUnitsX(r.x1), ToUnitsY(r.y1), ToUnitsX(r.x2), ToUnitsY(r.y2), phase);
    ClearBrush(c);
}

void logmf_object::DrawRegionLine(const DrawRegionLineRecord& r) {
    const std::optional<int> row1 = RegionRow(r.region, r.y1), row2 = RegionRow(r.region, r.y2);
    if (!row1 || !row2) return;
    int phase = 0;
    Stroke(ToUnitsX(r.x1), *row1, ToUnitsX(r.x2), *row2, phase);
    ClearBrush(Target());
}

void logmf_object::DrawVerticalRule(const DrawVerticalRuleRecord& r) {
    const int column = ToUnitsX(r.x);
    // The drawing is its own first page: the header band is always above the rule.
    const int top = header_height_px_;
    const int bottom = FooterHeight >= 0 ? footer_top_px_ : ToUnitsY(BottomDepth);
    int phase = 0;
    Stroke(column, top, column, bottom, phase);
    ClearBrush(Target());
}

void logmf_object::DrawPolyline(const std::vector<PointRecord>& points) {
    int phase = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        Stroke(ToUnitsX(points[i - 1].x), ToUnitsY(points[i - 1].y), ToUnitsX(points[i].x),
               ToUnitsY(points[i].y), phase);
    }
}

void logmf_object::DrawStyledPolyline(const DrawStyledPolylineRecord& r,
                                      const std::vector<DrawLineRecord>& segments) {
    MetafileCanvas& c = Target();
    const int pen_width = std::max(0, MulDiv(r.width, PixelsPerInch, ScreenPixelsPerInch));
    int phase = 0;
    for (const DrawLineRecord& s : segments) {
        StrokeLineDashes(ToUnitsX(s.x1), ToUnitsY(s.y1), ToUnitsX(s.x2), ToUnitsY(s.y2), pen_width,
                         AsColor(r.color), r.style, c, phase);
    }
}

void logmf_object::PatternStrokes(const Rect& box, int32_t lineWidth, int32_t lineColor,
                                  int32_t backColor, double xScale, double yScale,
                                  int32_t pattern) {
    MetafileCanvas& c = Target();
    const Brush saved_brush = c.brush();
    const Pen saved_pen = c.pen();
    if (AsColor(backColor) != kWhite) {
        c.SelectBrush({BrushStyle::Solid, AsColor(backColor), HatchStyle::Horizontal, nullptr});
        c.FillRect({box.left, box.top, box.right + 1, box.bottom + 1});
        c.SelectBrush(saved_brush);
    }
    if (pattern > pattern_object::kLastPattern) return;
    Patterns().Load(pattern);
    if (Patterns().SegmentCount() <= 0 || lineColor < 0) return;
    const Color color = AsColor(lineColor);
    const int width = std::max(0, lineWidth);
    c.SelectBrush({BrushStyle::Solid, color, HatchStyle::Horizontal, nullptr});
    c.SelectPen({PenStyle::Solid, width, color, PenEndCap::Round});
    const int half = MulDiv(width / 2, PixelsPerInch, ScreenPixelsPerInch);
    const int odd = width % 2;
    const auto inside = [&](Point p) {
        return box.left <= p.x && p.x <= box.right && box.top <= p.y && p.y <= box.bottom;
    };
    // The outside end moves onto the box edge by halving towards the inside end.
    const auto cut = [&](Point in, Point out) {
        Point m = in;
        for (int i = 0; i < 101; ++i) {
            m = {int((int64_t(in.x) + out.x) / 2), int((int64_t(in.y) + out.y) / 2)};
            if (inside(m)) {
                in = m;
            } else {
                out = m;
            }
            if (std::abs(int64_t(in.x) - out.x) < 1 && std::abs(int64_t(in.y) - out.y) < 1) break;
        }
        return m;
    };
    TilePattern(Patterns().Current(), box, PatternPixels(xScale, PixelsPerInch),
                PatternPixels(yScale, PixelsPerInch), box, [&](Point a, Point b) {
                    const bool a_in = inside(a), b_in = inside(b);
                    if (a_in && b_in) {
                        if (a != b) {
                            c.MoveTo(a.x, a.y);
                            c.LineTo(b.x, b.y);
                        } else if (half > 0) {
                            c.Ellipse({a.x - half, a.y - half, a.x + half + odd, a.y + half + odd});
                        } else {
                            c.SetPixel(a.x, a.y, c.pen().color);
                        }
                    } else if (a_in || b_in) {
                        const Point in = a_in ? a : b;
                        const Point end = cut(in, a_in ? b : a);
                        c.MoveTo(in.x, in.y);
                        c.LineTo(end.x, end.y);
                    }
                });
    c.SelectBrush(saved_brush);
    c.SelectPen(saved_pen);
}

void logmf_object::PatternFillBox(const PatternFillBoxRecord& r) {
    const Rect box{ToUnitsX(std::min(r.x1, r.x2)), ToUnitsY(std::max(r.y1, r.y2)),
                   ToUnitsX(std::max(r.x1, r.x2)), ToUnitsY(std::min(r.y1, r.y2))};
    PatternStrokes(box, 0, static_cast<int32_t>(Target().pen().color), int32_t(kWhite), r.xScale,
                   r.yScale, r.pattern);
    if (r.outline) BoxOutline(r.x1, r.y1, r.x2, r.y2);
}

void logmf_object::PatternFillBoxColored(const PatternFillBoxColoredRecord& r) {
    const Rect box{ToUnitsX(std::min(r.x1, r.x2)), ToUnitsY(std::max(r.y1, r.y2)),
                   ToUnitsX(std::max(r.x1, r.x2)), ToUnitsY(std::min(r.y1, r.y2))};
    PatternStrokes(box, r.lineWidth, r.lineColor, r.backColor, r.xScale, r.yScale, r.pattern);
    if (r.outline && AsColor(r.lineColor) != kWhite) BoxOutline(r.x1, r.y1, r.x2, r.y2);
}

void logmf_object::RegionPatternFillBoxColored(const RegionPatternFillBoxColoredRecord& r) {
    double x1 = r.x1;
    double y1 = r.y1;
    double x2 = r.x2;
    double y2 = r.y2;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const std::optional<int> top = RegionRow(r.region, y1), bottom = RegionRow(r.region, y2);
    if (!top || !bottom) return;
    PatternStrokes({ToUnitsX(x1), *top, ToUnitsX(x2), *bottom}, r.lineWidth, r.lineColor,
                   r.backColor, r.xScale, r.yScale, r.pattern);
    if (r.outline) RegionBoxOutline(x1, y1, x2, y2, r.region);
}

void logmf_object::RegionPatternFillBox(const RegionPatternFillBoxRecord& r) {
    const uint8_t region = r.region;
    if (!RegionRow(region, r.y1) || !RegionRow(region, r.y2)) return;
    MetafileCanvas& c = Target();
    Pen pen = c.pen();
    pen.width = 0;
    c.SelectPen(pen);
    Brush brush = c.brush();
    brush.color = pen.color;
    c.SelectBrush(brush);
    if (r.pattern <= pattern_object::kLastPattern) {
        Patterns().Load(r.pattern);
        double ax = r.x1, bx = r.x2, ay = r.y1, by = r.y2;
        if (bx < ax) std::swap(ax, bx);
        if (by < ay) std::swap(ay, by);
        const Rect box{ToUnitsX(ax), *RegionRow(region, ay), ToUnitsX(bx), *RegionRow(region, by)};
        TilePattern(Patterns().Current(), box, PatternPixels(r.xScale, PixelsPerInch),
                    PatternPixels(r.yScale, PixelsPerInch), box, [&](Point a, Point b) {
                        if (a != b) {
                            c.MoveTo(a.x, a.y);
                            c.LineTo(b.x, b.y);
                        } else {
                            c.SetPixel(a.x, a.y, c.pen().color);
                        }
                    });
    }
    if (r.outline) RegionBoxOutline(r.x1, r.y1, r.x2, r.y2, region);
}

void logmf_object::FillBox(const FillBoxRecord& r) {
    const std::optional<int> row1 = RegionRow(r.region, r.y1), row2 = RegionRow(r.region, r.y2);
    if (!row1 || !row2) return;
    MetafileCanvas& c = Target();
    const int left = ToUnitsX(r.x1), right = ToUnitsX(r.x2);
    const Brush saved = c.brush();
    c.SelectBrush({BrushStyle::Solid, AsColor(r.color), HatchStyle::Horizontal, nullptr});
    c.FillRect({std::min(left, right), std::min(*row1, *row2), std::max(left, right),
                std::max(*row1, *row2)});
    c.SelectBrush(saved);
}

void logmf_object::FillPolygonStrips(const std::vector<PointRecord>& points, Color fill) {
    MetafileCanvas& c = Target();
    Brush brush = c.brush();
    brush.style = BrushStyle::Solid;
    brush.color = fill;
    c.SelectBrush(brush);
    std::vector<Point> vertices;
    vertices.reserve(points.size());
    for (const PointRecord& p : points) vertices.push_back({ToUnitsX(p.x), ToUnitsY(p.y)});
    for (const std::vector<Point>& strip : PolygonStrips(vertices)) {
        if (strip.size() >= 2) c.Polygon(strip);
    }
}

void logmf_object::PolyFill(const PolyFillRecord& r, const std::vector<PointRecord>& points) {
    MetafileCanvas& c = Target();
    const Color fill = c.pen().color;
    c.SetBackgroundMode(BackgroundMode::Opaque);
    c.SetBackgroundColor(fill);
    FillPolygonStrips(points, fill);
    c.SetBackgroundMode(BackgroundMode::Transparent);
    c.SetBackgroundColor(kWhite);
    Brush brush = c.brush();
    brush.color = kWhite;
    c.SelectBrush(brush);
}

void logmf_object::PolyFillColored(const PolyFillColoredRecord& r,
                                   const std::vector<PointRecord>& points) {
    MetafileCanvas& c = Target();
    const Pen saved = c.pen();
    Pen clear = saved;
    clear.style = PenStyle::Null;
    c.SelectPen(clear);
    FillPolygonStrips(points, AsColor(r.color));
    c.SelectPen(saved);
}

void logmf_object::FillPolygonPair(const FillPolygonPairRecord& r,
                                   const std::vector<PointRecord>& polygon1,
                                   const std::vector<PointRecord>& polygon2) {
    MetafileCanvas& c = Target();
    if (polygon1.size() < 3 && polygon2.size() < 3) return;
    auto units = [&](const std::vector<PointRecord>& points) {
        std::vector<Point> out;
        out.reserve(points.size());
        for (const PointRecord& p : points) out.push_back({ToUnitsX(p.x), ToUnitsY(p.y)});
        return out;
    };
    const std::vector<Point> p1 = units(polygon1), p2 = units(polygon2);
    // The regions are painted straight into the drawing as vector rectangles; what lies
    // outside them is left as it was.
    const PolygonPairAreas areas =
        SplitPolygonPair(p1, p2, {0, data_top_px_, width_px_, height_px_}, nullptr);
    PaintPolygonPair(
        c, areas, {r.fillStyle1, AsColor(r.fillColor1)}, {r.fillStyle2, AsColor(r.fillColor2)},
        {r.overlapStyle, AsColor(r.overlapColor)}, BackgroundMode::Transparent, PixelsPerInch);

    auto outline = [&](const std::vector<Point>& p, uint8_t style, int32_t width, int32_t color) {
        if (style == kLineClear || p.size() < 5) return;
        // The first vertex and the last two close the shape along the log; they are not
        // part of the drawn curve.
        int phase = 0;
        for (size_t i = 1; i + 3 < p.size(); ++i) {
            StrokeLineDashes(p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, std::max(width, 0),
                             AsColor(color), style, c, phase);
        }
    };
    outline(p1, r.lineStyle1, r.lineWidth1, r.lineColor1);
    outline(p2, r.lineStyle2, r.lineWidth2, r.lineColor2);
    ClearBrush(c);
}

void logmf_object::GradientFillBox(const GradientFillBoxRecord& r) {
    MetafileCanvas& c = Target();
    const int top = ToUnitsY(r.y1), bottom = ToUnitsY(r.y2);
    int left = ToUnitsX(r.x1), right = ToUnitsX(r.x2);
    const Pen saved = c.pen();
    TDrawHSV ramp(c, AsColor(r.startColor), AsColor(r.endColor), right - left, r.fromLeft != 0);
    if (r.fromLeft) {
        right = ToUnitsX(r.fillX);
    } else {
        left = ToUnitsX(r.fillX);
    }
    ramp.FillColumns({left, top, right, bottom});
    c.SelectPen(saved);
}

void logmf_object::GradientPolyFill(const GradientPolyFillRecord& r,
                                    const std::vector<PointRecord>& points) {
    MetafileCanvas& c = Target();
    const Pen saved = c.pen();
    Pen solid = saved;
    solid.style = PenStyle::Solid;
    solid.width = 0;
    c.SelectPen(solid);
    const Rect rect{ToUnitsX(r.rampX1), 0, ToUnitsX(r.rampX2), footer_top_px_};
    TDrawHSV ramp(c, AsColor(r.startColor), AsColor(r.endColor), rect.right - rect.left,
                  r.fromLeft != 0);
    std::vector<Point> polygon;
    polygon.reserve(points.size());
    for (const PointRecord& p : points) polygon.push_back({ToUnitsX(p.x), ToUnitsY(p.y)});
    if (polygon.size() >= 3) {
        // A clip polygon would reach a metafile only as its bounding box, so each column
        // of the ramp is cut to the polygon here: the spans between the crossings of the
        // column's centre line with the edges (even-odd rule).
        int lo = polygon[0].x, hi = polygon[0].x;
        for (const Point& p : polygon) {
            lo = std::min(lo, p.x);
            hi = std::max(hi, p.x);
        }
        lo = std::max(lo, rect.left);
        hi = std::min(hi, rect.right);
        std::vector<double> crossings;
        for (int col = lo; col <= hi; ++col) {
            const double x = col + 0.5;
            crossings.clear();
            for (size_t i = 0; i < polygon.size(); ++i) {
                const Point a = polygon[i], b = polygon[(i + 1) % polygon.size()];
                if ((a.x <= x) == (b.x <= x)) continue;
                crossings.push_back(a.y + (x - a.x) * double(b.y - a.y) / double(b.x - a.x));
            }
            std::sort(crossings.begin(), crossings.end());
            Pen pen = c.pen();
            pen.color = ramp.ColumnColor(rect, col);
            c.SelectPen(pen);
            for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
                const int from = std::max(RoundToInt(crossings[k]), rect.top);
                const int to = std::min(RoundToInt(crossings[k + 1]), rect.bottom);
                if (from >= to) continue;
                c.MoveTo(col, from);
                c.LineTo(col, to);
            }
        }
    }
    c.SelectPen(saved);
}

void logmf_object::DrawBox(const DrawBoxRecord& r) {
    // The byte after the colour: when set, the metafile outlines the box in its fill colour.
    const uint8_t outline = r.extra37;
    MetafileCanvas& c = Target();
    int left = ToUnitsX(r.x1) + 1, top = ToUnitsY(r.y1);
    int right = ToUnitsX(r.x2), bottom = ToUnitsY(r.y2);
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    Pen pen = c.pen();
    pen.color = kWhite;
    c.SelectPen(pen);
    c.SelectBrush({BrushStyle::Solid, kWhite, HatchStyle::Horizontal, nullptr});
    c.Rectangle({left, top, right, bottom});
    const Brush fill = FillKindBrush(r.fillKind, AsColor(r.color), PixelsPerInch);
    c.SelectBrush(fill);
    if (outline || r.fillKind == 1) pen.color = fill.color;
    c.SelectPen(pen);
    c.Rectangle({left, top, right, bottom});
    pen.color = kBlack;
    c.SelectPen(pen);
    ClearBrush(c);
}

}  // namespace cindral
