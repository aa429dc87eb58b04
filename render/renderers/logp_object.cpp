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

// The operating system the renderer reports: a modern NT-family system (version 10.0).
constexpr bool kPlatformIsNT = true;

// Largest page side, in device pixels, the renderer accepts: far beyond any real page at
// printer resolution, small enough that row arithmetic and bitmaps stay sane.
constexpr double kMaxPageSidePx = 1 << 20;

Color AsColor(int32_t c) {
    return static_cast<Color>(c) & 0xFFFFFF;
}

}  // namespace

int logp_object::CoordLimit = kPlatformIsNT ? 0x3FFFFFFF - 1 : 0x3FFF - 1;

logp_object::logp_object(std::string pattern_file_name, std::string symbol_file_name,
                         double default_page_length, double default_depth_units_per_inch)
    : gd_object(std::move(pattern_file_name), std::move(symbol_file_name), default_page_length) {
    XUnitsPerInch = 1.0;
    DepthUnitsPerInch = default_depth_units_per_inch;
    LastPage = -1;
}

logp_object::~logp_object() = default;

cindral::Canvas& logp_object::Target() const {
    if (Canvas == nullptr) throw CindralError("The page has no canvas to draw on.");
    return *Canvas;
}

bool logp_object::IsPrinter() const {
    return Canvas != nullptr && Canvas->Caps().is_printer;
}

void logp_object::SetDeviceResolution(int pixels_per_inch_x, int pixels_per_inch_y) {
    if (pixels_per_inch_x <= 0 || pixels_per_inch_y <= 0) {
        throw CindralError("The resolution must be at least one pixel per inch.");
    }
    const double height = pixels_per_inch_y * PageHeight;
    const double width = pixels_per_inch_x * PageWidth;
    if (!(height >= 0 && height <= kMaxPageSidePx && width >= 0 && width <= kMaxPageSidePx)) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "The page of %g x %g inches is too large to draw at %d pixels per inch.",
                      PageWidth, PageHeight, pixels_per_inch_y);
        throw CindralError(text);
    }
    PixelsPerInch = pixels_per_inch_y;
    XScale = XUnitsPerInch > 0 ? pixels_per_inch_x / XUnitsPerInch : 0;
    DepthScale = DepthUnitsPerInch > 0 ? pixels_per_inch_y / DepthUnitsPerInch : 0;
    PageHeightPx = RoundToInt(height);
    PageWidthPx = RoundToInt(width);
}

void logp_object::SelectPage(int page) {
    CurrentPage = page;
    HeaderMode = page == 0 ? 1 : (RepeatBands ? 2 : 0);
}

PageGeometry logp_object::Geometry() const {
    PageGeometryInput in;
    in.PixelsPerInch = PixelsPerInch;
    in.DepthScale = DepthScale;
    in.PageHeightPx = PageHeightPx;
    in.CurrentPage = CurrentPage;
    in.LastPage = LastPage;
    in.HeaderMode = HeaderMode;
    in.RepeatedHeaderGap = RepeatedHeaderGap;
    in.CoordLimit = CoordLimit;
    return ComputePageGeometry(Header(), in);
}

int logp_object::ToPixelX(double x) const {
    const double v = std::trunc(x * XScale + 0.5);
    if (!(v == v)) return 0;
    // Columns get the same bound as rows, so far-off x cannot overflow device coordinates.
    return static_cast<int>(std::clamp(v, -double(CoordLimit), double(CoordLimit)));
}

int logp_object::TextCoord(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -kMostPageSidePx, kMostPageSidePx));
}

int logp_object::ToPixelY(double depth) const {
    return DepthToRow(depth, TopDepth, DepthOriginPx, DepthScale, CoordLimit);
}

double logp_object::ToDepth(int row, bool with_datum) const {
    const double depth = RowToDepth(row, TopDepth, DepthOriginPx, DepthScale);
    return with_datum ? depth + ElevationDatum : depth;
}

std::optional<int> logp_object::RegionRow(uint8_t region, double y_inches) const {
    // Band rows get the bound of every other row.
    const auto held = [](int64_t row) {
        return static_cast<int>(std::clamp<int64_t>(row, -CoordLimit, CoordLimit));
    };
    const double row = y_inches * PixelsPerInch;
    if (region == HeaderMode) return held(RoundToInt(row));
    if (static_cast<Band>(region) == Band::Footer && HasFooter)
        return held(int64_t(RoundToInt(row)) + FooterTopPx - 1);
    return std::nullopt;
}

void logp_object::ApplyBlackRule() {
    if (!PrintBlack) return;
    cindral::Canvas& c = Target();
    Pen pen = c.pen();
    pen.color = kBlack;
    c.SelectPen(pen);
}

void logp_object::ApplyLineColorRules() {
    cindral::Canvas& c = Target();
    if (PrintBlack) {
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

void logp_object::SetColor(int32_t color) {
    cindral::Canvas& c = Target();
    Pen pen = c.pen();
    pen.color = AsColor(color);
    c.SelectPen(pen);
    Brush brush = c.brush();
    brush.color = pen.color;
    c.SelectBrush(brush);
}

void logp_object::SetLineWidth(int32_t width) {
    cindral::Canvas& c = Target();
    Pen pen = c.pen();
    pen.width = std::max(0, MulDiv(std::max(width, 1), PenPixelsPerInch, ScreenPixelsPerInch));
    c.SelectPen(pen);
}

void logp_object::SetLineStyle(uint8_t style) {
    cindral::Canvas& c = Target();
    Pen pen = c.pen();
    pen.style = static_cast<PenStyle>(style);
    c.SelectPen(pen);
}

void logp_object::DrawLine(double x1, double y1, double x2, double y2) {
    cindral::Canvas& c = Target();
    ApplyLineColorRules();
    int X1 = ToPixelX(x1), Y1 = ToPixelY(y1);
    int X2 = ToPixelX(x2), Y2 = ToPixelY(y2);
    if (Y2 < Y1) {
        std::swap(X1, X2);
        std::swap(Y1, Y2);
    }
    if (Y2 < 0 || Y1 > DataBottomPx) return;
    if (Y2 > DataBottomPx) Y2 = DataBottomPx;
    c.SelectClipRegion(DataRegion);
    int phase = 0;
    Stroke(X1, Y1, X2, Y2, phase);
    c.SelectNoClip();
}

void logp_object::DrawRegionLine(double x1, double y1, double x2, double y2, uint8_t region) {
    const std::optional<int> row1 = RegionRow(region, y1);
    const std::optional<int> row2 = RegionRow(region, y2);
    if (!row1 || !row2) return;
    if (static_cast<Band>(region) == Band::Footer && region != HeaderMode &&
        *row1 >= PageHeightPx && *row2 >= PageHeightPx) {
        return;
    }
    cindral::Canvas& c = Target();
    ApplyLineColorRules();
    c.SelectNoClip();
    int phase = 0;
    Stroke(ToPixelX(x1), *row1, ToPixelX(x2), *row2, phase);
}

void logp_object::DrawVerticalRule(double x) {
    cindral::Canvas& c = Target();
    ApplyLineColorRules();
    const int column = ToPixelX(x);
    const int top = (RepeatBands || CurrentPage <= 0) ? HeaderHeightPx : 0;
    const int bottom = FooterHeight >= 0 ? FooterTopPx : ToPixelY(BottomDepth);
    c.SelectClipRegion(RuleRegion);
    int phase = 0;
    Stroke(column, top, column, bottom, phase);
    c.SelectNoClip();
}

void logp_object::DrawPolyline(const std::vector<PointRecord>& points) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    c.SelectClipRegion(DataRegion);
    const Pen pen = c.pen();
    LineStroker line(c, pen.width, pen.color, static_cast<uint8_t>(pen.style));
    for (size_t i = 1; i < points.size(); ++i) {
        const int ya = ToPixelY(points[i - 1].y), yb = ToPixelY(points[i].y);
        if ((ya >= DataTopPx || yb >= DataTopPx) && (ya <= DataBottomPx || yb <= DataBottomPx)) {
            line.Segment(ToPixelX(points[i - 1].x), ya, ToPixelX(points[i].x), yb);
        }
    }
    line.Finish();
    c.SelectNoClip();
}

void logp_object::DrawStyledPolyline(int32_t width, int32_t color, uint8_t style,
                                     const std::vector<DrawLineRecord>& segments) {
    cindral::Canvas& c = Target();
    // A negative width from the file would be a negative pen; it draws as the thinnest line.
    const int pen_width = std::max(0, MulDiv(width, PenPixelsPerInch, ScreenPixelsPerInch));
    const Color line_color = PrintBlack ? kBlack : AsColor(color);
    c.SelectClipRegion(DataRegion);
    LineStroker line(c, pen_width, line_color, style);
    for (const DrawLineRecord& s : segments) {
        const int xa = std::clamp(ToPixelX(s.x1), 0, PageWidthPx);
        const int xb = std::clamp(ToPixelX(s.x2), 0, PageWidthPx);
        const int ya = ToPixelY(s.y1), yb = ToPixelY(s.y2);
        if ((ya >= DataTopPx || yb >= DataTopPx) && (ya <= DataBottomPx || yb <= DataBottomPx)) {
            line.Segment(xa, ya, xb, yb);
        }
    }
    line.Finish();
    c.SelectNoClip();
}

void logp_object::DrawRectangle(double x1, double y1, double x2, double y2) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    Brush brush = c.brush();
    brush.color = c.pen().color;
    brush.style = BrushStyle::Null;
    c.SelectBrush(brush);
    c.SelectClipRegion(DataRegion);
    int left = ToPixelX(x1), top = ToPixelY(y1), right = ToPixelX(x2), bottom = ToPixelY(y2);
    // GDI orders the corners itself.
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    c.Rectangle({left, top, right, bottom});
    c.SelectNoClip();
}

void logp_object::DrawArc(double cx, double cy, double radius, double startAngle, double endAngle) {
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle) || !std::isfinite(radius)) return;
    cindral::Canvas& c = Target();
    const double lo = std::min(startAngle, endAngle);
    const double hi = std::max(startAngle, endAngle);
    ApplyBlackRule();
    Brush brush = c.brush();
    brush.color = c.pen().color;
    c.SelectBrush(brush);
    auto at = [&](double bearing) {
        const double t = (90.0 - bearing) * kPi / 180.0;
        return Point{ToPixelX(cx + radius * std::cos(t)), ToPixelY(cy + radius * std::sin(t))};
    };
    Rect box{ToPixelX(cx - radius), ToPixelY(cy + radius), ToPixelX(cx + radius),
             ToPixelY(cy - radius)};
    if (box.right < box.left) std::swap(box.left, box.right);
    if (box.bottom < box.top) std::swap(box.top, box.bottom);
    c.SelectClipRegion(DataRegion);
    // Counter-clockwise from the radial at hi to the radial at lo is clockwise from lo to hi.
    c.Arc(box, at(hi), at(lo));
    c.SelectNoClip();
}

void logp_object::GradientFillBox(int32_t startColor, int32_t endColor, double y1, double x1,
                                  double y2, double x2, double fillX, uint8_t fromLeft) {
    cindral::Canvas& c = Target();
    int top = ToPixelY(y1), bottom = ToPixelY(y2);
    if (!(DataTopPx < bottom && top < DataBottomPx)) return;
    top = std::max(top, DataTopPx);
    bottom = std::min(bottom, PageHeightPx);
    int left = ToPixelX(x1), right = ToPixelX(x2);
    c.SelectClipRegion(DataRegion);
    const Pen saved = c.pen();
    TDrawHSV ramp(c, AsColor(startColor), AsColor(endColor), right - left, fromLeft != 0);
    if (fromLeft) {
        right = ToPixelX(fillX);
    } else {
        left = ToPixelX(fillX);
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

void logp_object::GradientPolyFill(int32_t startColor, int32_t endColor, double rampX1,
                                   double rampX2, uint8_t fromLeft,
                                   const std::vector<PointRecord>& points) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    const Pen saved = c.pen();
    Pen solid = saved;
    solid.style = PenStyle::Solid;
    c.SelectPen(solid);
    const Rect rect{ToPixelX(rampX1), DataTopPx, ToPixelX(rampX2), DataBottomPx + 1};
    TDrawHSV ramp(c, AsColor(startColor), AsColor(endColor), rect.right - rect.left, fromLeft != 0);
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

void logp_object::ClearPageRegions() {
    PageRegion = Region();
    DataRegion = Region();
    TextRegion = Region();
    RuleRegion = Region();
}

bool logp_object::BeginPage() {
    cindral::Canvas& c = Target();
    PrintBlack = PrintBlackOption && IsPrinter();
    PenPixelsPerInch = IsPrinter() ? MulDiv(PixelsPerInch, 2, 3) : MulDiv(PixelsPerInch, 3, 4);
    Brush brush = c.brush();
    brush.style = BrushStyle::Null;
    c.SelectBrush(brush);
    if (!(MaxX > 0)) return false;

    const PageGeometry g = Geometry();
    HeaderMode = static_cast<uint8_t>(g.HeaderMode);
    BandGapPx = g.BandGapPx;
    HeaderHeightPx = g.HeaderHeightPx;
    DataTopPx = g.DataTopPx;
    DataBottomPx = g.DataBottomPx;
    FooterTopPx = g.FooterTopPx;
    HasFooter = g.HasFooter;
    DepthOriginPx = g.DepthOriginPx;

    PageRegion = Region::FromRect({0, 0, PageWidthPx, PageHeightPx});
    DataRegion =
        Region::FromRect({0, DataTopPx, PageWidthPx, ClampToInt(int64_t(DataBottomPx) + 1)});
    TextRegion = Region::FromRect(
        {0, std::max(0, DataTopPx - BandGapPx), PageWidthPx,
         ClampToInt(std::min<int64_t>(PageHeightPx, int64_t(DataBottomPx) + BandGapPx + 1))});
    RuleRegion = Region::FromRect(
        {0, std::max(0, DataTopPx - BandGapPx), PageWidthPx, ClampToInt(int64_t(FooterTopPx) - 1)});

    // Grow the shared bound for tall printer pages; never past what int can double.
    while (CoordLimit < PageHeightPx && CoordLimit <= std::numeric_limits<int>::max() / 2) {
        CoordLimit *= 2;
    }
    return true;
}

void logp_object::EndPage() {
    if (Canvas != nullptr) Canvas->SelectNoClip();
    ClearPageRegions();
}

void logp_object::PlayCommands() {
    if (!BeginPage()) return;
    struct Cleanup {
        logp_object& self;
        ~Cleanup() { self.EndPage(); }
    } cleanup{*this};
    gd_object::PlayCommands();
}

void logp_object::StorePageSize() {
    Close();
    // Only the two page-size fields are written: the header in memory may hold a depth
    // interval the user chose for viewing, which must not end up in the file.
    cindral::StorePageSize(FileName, PageHeight, PageWidth);
}

}  // namespace cindral
