#include "render/renderers/logp_object.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/base/errors.h"
#include "core/pages/rounding.h"
#include "render/canvas/mul_div.h"
#include "render/renderers/draw_hsv.h"
#include "render/renderers/stroke_line.h"

namespace cindral {

namespace {

constexpr double kPi = 3.14159265358979323846;

Color AsColor(int32_t c) {
    return static_cast<Color>(c) & 0xFFFFFF;
}

}  // namespace

logp_object::logp_object(std::string pattern_file_name, std::string symbol_file_name,
                         double default_page_length, double default_depth_units_per_inch)
    : gd_object(std::move(pattern_file_name), std::move(symbol_file_name), default_page_length) {
    XUnitsPerInch = 1.0;
    DepthUnitsPerInch = default_depth_units_per_inch;
}

logp_object::~logp_object() = default;

cindral::Canvas& logp_object::Target() const {
    if (canvas_ == nullptr) throw CindralError("The page has no canvas to draw on.");
    return *canvas_;
}

bool logp_object::IsPrinter() const {
    return canvas_ != nullptr && canvas_->Caps().is_printer;
}

void logp_object::Bind(cindral::Canvas& canvas, const PageGeometry& page,
                       const RenderOptions& options) {
    canvas_ = &canvas;
    page_ = page;
    options_ = options;
    print_black_ = options.print_black && IsPrinter();
    pen_pixels_per_inch_ =
        IsPrinter() ? MulDiv(page.PixelsPerInch, 2, 3) : MulDiv(page.PixelsPerInch, 3, 4);
    const int width = page.PageWidthPx;
    const int top = page.DataTopPx;
    const int bottom = page.DataBottomPx;
    const int gap = page.BandGapPx;
    page_region_ = Region::FromRect({0, 0, width, page.PageHeightPx});
    data_region_ = Region::FromRect({0, top, width, ClampToInt(int64_t(bottom) + 1)});
    text_region_ = Region::FromRect(
        {0, std::max(0, top - gap), width,
         ClampToInt(std::min<int64_t>(page.PageHeightPx, int64_t(bottom) + gap + 1))});
    rule_region_ = Region::FromRect(
        {0, std::max(0, top - gap), width, ClampToInt(int64_t(page.FooterTopPx) - 1)});
}

void logp_object::Unbind() {
    if (canvas_ != nullptr) canvas_->SelectNoClip();
    canvas_ = nullptr;
    page_region_ = Region();
    data_region_ = Region();
    text_region_ = Region();
    rule_region_ = Region();
}

int logp_object::ToPixelX(double x) const {
    const double v = std::trunc(x * page_.XScale + 0.5);
    if (!(v == v)) return 0;
    // Columns get the same bound as rows, so far-off x cannot overflow device coordinates.
    return static_cast<int>(std::clamp(v, -double(kCoordLimit), double(kCoordLimit)));
}

int logp_object::TextCoord(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -kMostPageSidePx, kMostPageSidePx));
}

int logp_object::ToPixelY(double depth) const {
    return DepthToRow(depth, TopDepth, page_.DepthOriginPx, page_.DepthScale, kCoordLimit);
}

double logp_object::ToDepth(int row, bool with_datum) const {
    const double depth = RowToDepth(row, TopDepth, page_.DepthOriginPx, page_.DepthScale);
    return with_datum ? depth + ElevationDatum : depth;
}

std::optional<int> logp_object::RegionRow(uint8_t region, double y_inches) const {
    // Band rows get the bound of every other row.
    const auto held = [](int64_t row) {
        return static_cast<int>(std::clamp<int64_t>(row, -kCoordLimit, kCoordLimit));
    };
    const double row = y_inches * page_.PixelsPerInch;
    if (BandOf(region) == page_.HeaderMode) return held(RoundToInt(row));
    if (BandOf(region) == Band::Footer && page_.HasFooter)
        return held(int64_t(RoundToInt(row)) + page_.FooterTopPx - 1);
    return std::nullopt;
}

void logp_object::ApplyBlackRule() {
    if (!print_black_) return;
    cindral::Canvas& c = Target();
    Pen pen = c.pen();
    pen.color = kBlack;
    c.SelectPen(pen);
}

void logp_object::ApplyLineColorRules() {
    cindral::Canvas& c = Target();
    if (print_black_) {
        ApplyBlackRule();
    } else if (c.Caps().is_printer) {
        // A pale colour the printer cannot show would vanish on paper: print it black.
        Pen pen = c.pen();
        if (pen.color != kWhite && c.NearestColor(pen.color) == kWhite) {
            pen.color = kBlack;
            c.SelectPen(pen);
        }
    }
}

void logp_object::Stroke(int x1, int y1, int x2, int y2, int& phase) {
    cindral::Canvas& c = Target();
    const Pen pen = c.pen();
    LineStroker line(c, pen.width, pen.color, static_cast<uint8_t>(pen.style), phase);
    line.Segment(x1, y1, x2, y2);
    line.Finish();
    phase = line.phase();
}

void logp_object::SetColor(const SetColorRecord& r) {
    cindral::Canvas& c = Target();
    Pen pen = c.pen();
    pen.color = AsColor(r.color);
    c.SelectPen(pen);
    Brush brush = c.brush();
    brush.color = pen.color;
    c.SelectBrush(brush);
}

void logp_object::SetLineWidth(const SetLineWidthRecord& r) {
    cindral::Canvas& c = Target();
    Pen pen = c.pen();
    pen.width =
        std::max(0, MulDiv(std::max(r.width, 1), pen_pixels_per_inch_, ScreenPixelsPerInch));
    c.SelectPen(pen);
}

void logp_object::SetLineStyle(const SetLineStyleRecord& r) {
    cindral::Canvas& c = Target();
    Pen pen = c.pen();
    pen.style = static_cast<PenStyle>(r.style);
    c.SelectPen(pen);
}

void logp_object::DrawLine(const DrawLineRecord& r) {
    cindral::Canvas& c = Target();
    ApplyLineColorRules();
    int X1 = ToPixelX(r.x1), Y1 = ToPixelY(r.y1);
    int X2 = ToPixelX(r.x2), Y2 = ToPixelY(r.y2);
    if (Y2 < Y1) {
        std::swap(X1, X2);
        std::swap(Y1, Y2);
    }
    if (Y2 < 0 || Y1 > page_.DataBottomPx) return;
    if (Y2 > page_.DataBottomPx) {
        // Cut where the line crosses the data window's bottom row, so it keeps its slope and
        // meets its continuation on the next page.
        const double t = double(page_.DataBottomPx - int64_t(Y1)) / double(int64_t(Y2) - Y1);
        X2 = static_cast<int>(std::lround(X1 + t * (double(X2) - X1)));
        Y2 = page_.DataBottomPx;
    }
    c.SelectClipRegion(data_region_);
    int phase = 0;
    Stroke(X1, Y1, X2, Y2, phase);
    c.SelectNoClip();
}

void logp_object::DrawRegionLine(const DrawRegionLineRecord& r) {
    const uint8_t region = r.region;
    const std::optional<int> row1 = RegionRow(region, r.y1);
    const std::optional<int> row2 = RegionRow(region, r.y2);
    if (!row1 || !row2) return;
    if (BandOf(region) == Band::Footer && BandOf(region) != page_.HeaderMode &&
        *row1 >= page_.PageHeightPx && *row2 >= page_.PageHeightPx) {
        return;
    }
    cindral::Canvas& c = Target();
    ApplyLineColorRules();
    c.SelectNoClip();
    int phase = 0;
    Stroke(ToPixelX(r.x1), *row1, ToPixelX(r.x2), *row2, phase);
}

void logp_object::DrawVerticalRule(const DrawVerticalRuleRecord& r) {
    cindral::Canvas& c = Target();
    ApplyLineColorRules();
    const int column = ToPixelX(r.x);
    const int top = (RepeatBands || page_.Page <= 0) ? page_.HeaderHeightPx : 0;
    const int bottom = FooterHeight >= 0 ? page_.FooterTopPx : ToPixelY(BottomDepth);
    c.SelectClipRegion(rule_region_);
    int phase = 0;
    Stroke(column, top, column, bottom, phase);
    c.SelectNoClip();
}

void logp_object::DrawPolyline(const std::vector<PointRecord>& points) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    c.SelectClipRegion(data_region_);
    const Pen pen = c.pen();
    LineStroker line(c, pen.width, pen.color, static_cast<uint8_t>(pen.style));
    for (size_t i = 1; i < points.size(); ++i) {
        const int ya = ToPixelY(points[i - 1].y), yb = ToPixelY(points[i].y);
        if ((ya >= page_.DataTopPx || yb >= page_.DataTopPx) &&
            (ya <= page_.DataBottomPx || yb <= page_.DataBottomPx)) {
            line.Segment(ToPixelX(points[i - 1].x), ya, ToPixelX(points[i].x), yb);
        }
    }
    line.Finish();
    c.SelectNoClip();
}

void logp_object::DrawStyledPolyline(const DrawStyledPolylineRecord& r,
                                     const std::vector<DrawLineRecord>& segments) {
    cindral::Canvas& c = Target();
    // A negative r.width from the file would be a negative pen; it draws as the thinnest line.
    const int pen_width = std::max(0, MulDiv(r.width, pen_pixels_per_inch_, ScreenPixelsPerInch));
    const Color line_color = print_black_ ? kBlack : AsColor(r.color);
    c.SelectClipRegion(data_region_);
    LineStroker line(c, pen_width, line_color, r.style);
    for (const DrawLineRecord& s : segments) {
        const int xa = std::clamp(ToPixelX(s.x1), 0, page_.PageWidthPx);
        const int xb = std::clamp(ToPixelX(s.x2), 0, page_.PageWidthPx);
        const int ya = ToPixelY(s.y1), yb = ToPixelY(s.y2);
        if ((ya >= page_.DataTopPx || yb >= page_.DataTopPx) &&
            (ya <= page_.DataBottomPx || yb <= page_.DataBottomPx)) {
            line.Segment(xa, ya, xb, yb);
        }
    }
    line.Finish();
    c.SelectNoClip();
}

void logp_object::DrawRectangle(const DrawRectangleRecord& r) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    Brush brush = c.brush();
    brush.color = c.pen().color;
    brush.style = BrushStyle::Null;
    c.SelectBrush(brush);
    c.SelectClipRegion(data_region_);
    int left = ToPixelX(r.x1), top = ToPixelY(r.y1), right = ToPixelX(r.x2),
        bottom = ToPixelY(r.y2);
    // GDI orders the corners itself.
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    c.Rectangle({left, top, right, bottom});
    c.SelectNoClip();
}

void logp_object::DrawArc(const DrawArcRecord& r) {
    const double radius = r.radius;
    if (!std::isfinite(r.startAngle) || !std::isfinite(r.endAngle) || !std::isfinite(radius))
        return;
    cindral::Canvas& c = Target();
    const double lo = std::min(r.startAngle, r.endAngle);
    const double hi = std::max(r.startAngle, r.endAngle);
    ApplyBlackRule();
    Brush brush = c.brush();
    brush.color = c.pen().color;
    c.SelectBrush(brush);
    auto at = [&](double bearing) {
        const double t = (90.0 - bearing) * kPi / 180.0;
        return Point{ToPixelX(r.cx + radius * std::cos(t)), ToPixelY(r.cy + radius * std::sin(t))};
    };
    Rect box{ToPixelX(r.cx - radius), ToPixelY(r.cy + radius), ToPixelX(r.cx + radius),
             ToPixelY(r.cy - radius)};
    if (box.right < box.left) std::swap(box.left, box.right);
    if (box.bottom < box.top) std::swap(box.top, box.bottom);
    c.SelectClipRegion(data_region_);
    // Counter-clockwise from the radial at hi to the radial at lo is clockwise from lo to hi.
    c.Arc(box, at(hi), at(lo));
    c.SelectNoClip();
}

void logp_object::GradientFillBox(const GradientFillBoxRecord& r) {
    cindral::Canvas& c = Target();
    int top = ToPixelY(r.y1), bottom = ToPixelY(r.y2);
    if (!(page_.DataTopPx < bottom && top < page_.DataBottomPx)) return;
    top = std::max(top, page_.DataTopPx);
    bottom = std::min(bottom, page_.PageHeightPx);
    int left = ToPixelX(r.x1), right = ToPixelX(r.x2);
    c.SelectClipRegion(data_region_);
    const Pen saved = c.pen();
    TDrawHSV ramp(c, AsColor(r.startColor), AsColor(r.endColor), right - left, r.fromLeft != 0);
    if (r.fromLeft) {
        right = ToPixelX(r.fillX);
    } else {
        left = ToPixelX(r.fillX);
    }
    // Only the columns that can show: a ramp far wider than the page costs nothing extra.
    const Rect visible = c.ClipBox();
    const int first = std::max(left, visible.left - 1);
    const int last = std::min(right, visible.right);
    if (first <= last) {
        // The ramp's colours stay anchored to the full box.
        for (int col = first; col <= last; ++col) {
            Pen pen = c.pen();
            pen.color = ramp.ColumnColor({left, top, right, bottom}, col);
            c.SelectPen(pen);
            c.MoveTo(col, top);
            c.LineTo(col, bottom);
        }
    }
    c.SelectPen(saved);
    c.SelectNoClip();
}

void logp_object::GradientPolyFill(const GradientPolyFillRecord& r,
                                   const std::vector<PointRecord>& points) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    const Pen saved = c.pen();
    Pen solid = saved;
    solid.style = PenStyle::Solid;
    c.SelectPen(solid);
    const Rect rect{ToPixelX(r.rampX1), page_.DataTopPx, ToPixelX(r.rampX2),
                    page_.DataBottomPx + 1};
    TDrawHSV ramp(c, AsColor(r.startColor), AsColor(r.endColor), rect.right - rect.left,
                  r.fromLeft != 0);
    if (!points.empty()) {
        // One polygon closed against the vertical through the first vertex covers the same
        // pixels as the 256-vertex strips a fixed buffer would need.
        std::vector<Point> polygon;
        polygon.reserve(points.size());
        for (const PointRecord& p : points) polygon.push_back({ToPixelX(p.x), ToPixelY(p.y)});
        ramp.FillPolygon(polygon, rect);
    }
    c.SelectNoClip();
    c.SelectPen(saved);
}

bool logp_object::BeginPage() {
    cindral::Canvas& c = Target();
    Brush brush = c.brush();
    brush.style = BrushStyle::Null;
    c.SelectBrush(brush);
    return MaxX > 0;
}

void logp_object::EndPage() {
    if (canvas_ != nullptr) canvas_->SelectNoClip();
}

void logp_object::PlayCommands() {
    if (!BeginPage()) return;
    struct Cleanup {
        logp_object& self;
        ~Cleanup() { self.EndPage(); }
    } cleanup{*this};
    gd_object::PlayCommands();
}

}  // namespace cindral
