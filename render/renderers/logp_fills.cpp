// The fill primitives of the raster renderer: pattern boxes tiled from their bottom-left
// corner, solid and hatched boxes, polygon fills and the paired polygon fill.

#include <algorithm>
#include <cmath>

#include "core/libraries/pattern_object.h"
#include "core/pages/page_layout.h"
#include "core/pages/rounding.h"
#include "render/canvas/fill_brushes.h"
#include "render/canvas/mul_div.h"
#include "render/canvas/state_guards.h"
#include "render/renderers/logp_object.h"
#include "render/renderers/pattern_tiling.h"
#include "render/renderers/polygon_pair.h"
#include "render/renderers/stroke_line.h"

namespace cindral {

namespace {

Color AsColor(int32_t c) {
    return static_cast<Color>(c) & 0xFFFFFF;
}

}  // namespace

void logp_object::PatternFillBox(const PatternFillBoxRecord& r) {
    cindral::Canvas& c = Target();
    ApplyLineColorRules();
    // The strokes of the r.pattern are the thinnest lines; the r.outline and the commands after
    // the box keep the pen they were given (a zero width left behind printed a hairline
    // frame, and made a page drawn through the index differ on paper).
    PenRestorer restore_pen(c);
    Pen pen = c.pen();
    pen.width = 0;
    c.SelectPen(pen);
    c.SelectBrush({BrushStyle::Solid, pen.color, HatchStyle::Horizontal, nullptr});

    if (r.pattern <= pattern_object::kLastPattern) {
        Patterns().Load(r.pattern);
        const int left = ToPixelX(std::min(r.x1, r.x2)), right = ToPixelX(std::max(r.x1, r.x2));
        const int bottom = ToPixelY(std::min(r.y1, r.y2));
        int top = ToPixelY(std::max(r.y1, r.y2));
        if (bottom < page_.DataTopPx) return;
        top = std::max(top, page_.DataTopPx);
        const Region clip =
            Region::FromRect({left, top, right, bottom}).Combined(data_region_, CombineMode::And);
        if (clip.IsEmpty()) return;
        TileThinStrokes({left, top, right, bottom}, r.xScale, r.yScale, clip);
    }
    restore_pen.Restore();
    if (r.outline) BoxOutline(r.x1, r.y1, r.x2, r.y2);
}

void logp_object::PatternFillBoxColored(const PatternFillBoxColoredRecord& r) {
    if (r.pattern > pattern_object::kLastPattern) return;
    cindral::Canvas& c = Target();
    Patterns().Load(r.pattern);
    const int left = ToPixelX(std::min(r.x1, r.x2)), right = ToPixelX(std::max(r.x1, r.x2));
    const int bottom = ToPixelY(std::min(r.y1, r.y2));
    int top = ToPixelY(std::max(r.y1, r.y2));
    if (bottom < page_.DataTopPx) return;
    top = std::max(top, page_.DataTopPx);
    const Rect box{left, top, right + 1, bottom + 1};
    const Region clip = Region::FromRect(box).Combined(data_region_, CombineMode::And);
    if (clip.IsEmpty()) return;
    c.SelectClipRegion(clip);
    const Color back = AsColor(r.backColor);
    if (back != kWhite) {
        const Brush saved = c.brush();
        c.SelectBrush({BrushStyle::Solid, back, HatchStyle::Horizontal, nullptr});
        c.FillRect(box);
        c.SelectBrush(saved);
    }
    TileColoredStrokes({left, top, right, bottom}, r.xScale, r.yScale, r.lineWidth,
                       AsColor(r.lineColor), clip.Bounds());
    c.SelectNoClip();
    if (r.outline && AsColor(r.lineColor) != kWhite) {
        SetLineWidth(SetLineWidthRecord{0});
        BoxOutline(r.x1, r.y1, r.x2, r.y2);
    }
}

void logp_object::TileThinStrokes(const Rect& box, double xScale, double yScale,
                                  const Region& clip) {
    cindral::Canvas& c = Target();
    c.SelectClipRegion(clip);
    const Brush saved_brush = c.brush();
    // Zero-length strokes are dots: a pixel on screen, a small disc on a fine device.
    const int dot = page_.PixelsPerInch > 100 ? DotHalfSize(page_.PixelsPerInch) : 0;
    TilePattern(
        Patterns().Current(), box, PatternPixels(xScale, page_.PixelsPerInch),
        PatternPixels(yScale, page_.PixelsPerInch), clip.Bounds(), [&](Point a, Point b) {
            if (a != b) {
                c.MoveTo(a.x, a.y);
                c.LineTo(b.x, b.y);
            } else if (dot > 0) {
                c.SelectBrush({BrushStyle::Solid, c.pen().color, HatchStyle::Horizontal, nullptr});
                c.Ellipse({a.x - dot, a.y - dot, a.x + dot, a.y + dot});
                c.SelectBrush(saved_brush);
            } else {
                c.SetPixel(a.x, a.y, c.pen().color);
            }
        });
    c.SelectNoClip();
}

void logp_object::TileColoredStrokes(const Rect& box, double xScale, double yScale,
                                     int32_t lineWidth, Color color, const Rect& visible) {
    cindral::Canvas& c = Target();
    if (Patterns().SegmentCount() <= 0) return;
    const Pen saved_pen = c.pen();
    const Brush saved_brush = c.brush();
    const int line_width =
        std::max(0, MulDiv(lineWidth, pen_pixels_per_inch_, ScreenPixelsPerInch));
    const Pen thick{PenStyle::Solid, line_width, color, PenEndCap::Round};
    const Pen thin{PenStyle::Solid, 0, color, PenEndCap::Round};
    const int half = line_width / 2, odd = line_width % 2;
    c.SelectBrush({BrushStyle::Solid, color, HatchStyle::Horizontal, nullptr});
    c.SelectPen(thick);
    // Wide strokes reach beyond their cell; let cells just outside the view contribute.
    const auto widened = [](int edge, int64_t by) { return ClampToInt(int64_t(edge) + by); };
    Rect reach{widened(visible.left, -half - 1), widened(visible.top, -half - 1),
               widened(visible.right, half + 1), widened(visible.bottom, half + 1)};
    TilePattern(
        Patterns().Current(), {box.left, box.top, box.right, box.bottom},
        PatternPixels(xScale, page_.PixelsPerInch), PatternPixels(yScale, page_.PixelsPerInch),
        reach,
        [&](Point a, Point b) {
            if (a != b) {
                c.MoveTo(a.x, a.y);
                c.LineTo(b.x, b.y);
                c.SetPixel(b.x, b.y, color);
            } else if (half > 0) {
                c.SelectPen(thin);
                c.Ellipse({widened(a.x, -half), widened(a.y, -half),
                           widened(a.x, int64_t(half) + odd), widened(a.y, int64_t(half) + odd)});
                c.SelectPen(thick);
            } else {
                c.SetPixel(a.x, a.y, color);
            }
        },
        line_width);
    c.SelectPen(saved_pen);
    c.SelectBrush(saved_brush);
}

void logp_object::RegionPatternFillBox(const RegionPatternFillBoxRecord& r) {
    double x1 = r.x1;
    double y1 = r.y1;
    double x2 = r.x2;
    double y2 = r.y2;
    const uint8_t region = r.region;
    const std::optional<int> row1 = RegionRow(region, y1), row2 = RegionRow(region, y2);
    if (!row1 || !row2) return;
    if (BandOf(region) == Band::Footer && BandOf(region) != page_.HeaderMode &&
        *row1 >= page_.PageHeightPx && *row2 >= page_.PageHeightPx) {
        return;
    }
    cindral::Canvas& c = Target();
    ApplyLineColorRules();
    PenRestorer restore_pen(c);  // as in PatternFillBox
    Pen pen = c.pen();
    pen.width = 0;
    c.SelectPen(pen);
    Brush brush = c.brush();
    brush.color = pen.color;
    c.SelectBrush(brush);

    if (r.pattern <= pattern_object::kLastPattern) {
        Patterns().Load(r.pattern);
        if (x2 < x1) std::swap(x1, x2);
        if (y2 < y1) std::swap(y1, y2);
        const int left = ToPixelX(x1), right = ToPixelX(x2);
        const int top = *RegionRow(region, y1), bottom = *RegionRow(region, y2);
        const Region clip =
            Region::FromRect({left, top, right, bottom}).Combined(page_region_, CombineMode::And);
        if (clip.IsEmpty()) return;
        TileThinStrokes({left, top, right, bottom}, r.xScale, r.yScale, clip);
    }
    restore_pen.Restore();
    if (r.outline) RegionBoxOutline(x1, y1, x2, y2, region);
}

void logp_object::RegionPatternFillBoxColored(const RegionPatternFillBoxColoredRecord& r) {
    double x1 = r.x1;
    double y1 = r.y1;
    double x2 = r.x2;
    double y2 = r.y2;
    const uint8_t region = r.region;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const std::optional<int> top = RegionRow(region, y1), bottom = RegionRow(region, y2);
    if (!top || !bottom) return;
    if (BandOf(region) == Band::Footer && BandOf(region) != page_.HeaderMode &&
        *top >= page_.PageHeightPx)
        return;
    cindral::Canvas& c = Target();
    const int left = ToPixelX(x1), right = ToPixelX(x2);
    if (r.pattern <= pattern_object::kLastPattern) {
        Patterns().Load(r.pattern);
        const Rect box{left, *top, right, *bottom};
        c.SelectClipRect(box);
        const Brush saved = c.brush();
        c.SelectBrush({BrushStyle::Solid, AsColor(r.backColor), HatchStyle::Horizontal, nullptr});
        c.FillRect({left, *top, right + 1, *bottom + 1});
        c.SelectBrush(saved);
        TileColoredStrokes(box, r.xScale, r.yScale, r.lineWidth, AsColor(r.lineColor), box);
        c.SelectNoClip();
    }
    if (r.outline) RegionBoxOutline(x1, y1, x2, y2, region);
}

void logp_object::FillBox(const FillBoxRecord& r) {
    const uint8_t region = r.region;
    const std::optional<int> row1 = RegionRow(region, r.y1), row2 = RegionRow(region, r.y2);
    if (!row1 || !row2) return;
    if (BandOf(region) == Band::Footer && BandOf(region) != page_.HeaderMode &&
        *row1 >= page_.PageHeightPx && *row2 >= page_.PageHeightPx) {
        return;
    }
    cindral::Canvas& c = Target();
    const int left = ToPixelX(r.x1), right = ToPixelX(r.x2);
    const Brush saved = c.brush();
    c.SelectNoClip();
    c.SelectBrush({BrushStyle::Solid, AsColor(r.color), HatchStyle::Horizontal, nullptr});
    c.FillRect({std::min(left, right), std::min(*row1, *row2), std::max(left, right),
                std::max(*row1, *row2)});
    c.SelectBrush(saved);
}

void logp_object::DrawBox(const DrawBoxRecord& r) {
    cindral::Canvas& c = Target();
    const Color fill_color = print_black_ ? kBlack : AsColor(r.color);
    int left = ToPixelX(r.x1) + 1, top = ToPixelY(r.y1);
    int right = ToPixelX(r.x2), bottom = ToPixelY(r.y2);
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    c.SelectClipRegion(data_region_);
    const Brush saved = c.brush();
    c.SelectBrush({BrushStyle::Solid, kWhite, HatchStyle::Horizontal, nullptr});
    c.FillRect({left, top, right, bottom});
    PenRestorer restore_pen(c);
    Pen pen = c.pen();
    pen.width = 0;
    pen.style = PenStyle::Solid;
    c.SelectPen(pen);
    c.SetBackgroundColor(kWhite);
    c.SetBackgroundMode(BackgroundMode::Opaque);
    c.SelectBrush(FillKindBrush(r.fillKind, fill_color, page_.PixelsPerInch));
    c.Rectangle({left, top, right, bottom});
    Brush after = saved;
    after.style = BrushStyle::Null;
    c.SelectBrush(after);
    c.SelectNoClip();
}

void logp_object::FillPolygonStrips(const std::vector<PointRecord>& points, Color fill,
                                    const Region& clip) {
    cindral::Canvas& c = Target();
    const Brush saved = c.brush();
    c.SelectBrush({BrushStyle::Solid, fill, HatchStyle::Horizontal, nullptr});
    c.SelectClipRegion(clip);
    std::vector<Point> vertices;
    vertices.reserve(points.size());
    for (const PointRecord& p : points) vertices.push_back({ToPixelX(p.x), ToPixelY(p.y)});
    for (const std::vector<Point>& strip : PolygonStrips(vertices)) {
        if (strip.size() >= 2) c.Polygon(strip);
    }
    c.SelectNoClip();
    c.SelectBrush(saved);
}

void logp_object::PolyFill(const PolyFillRecord& r, const std::vector<PointRecord>& points) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    const Color fill = c.brush().color;
    c.SetBackgroundMode(BackgroundMode::Opaque);
    c.SetBackgroundColor(fill);
    FillPolygonStrips(points, fill, text_region_);
    c.SetBackgroundMode(BackgroundMode::Transparent);
    c.SetBackgroundColor(kWhite);
    Brush brush = c.brush();
    brush.style = BrushStyle::Null;
    c.SelectBrush(brush);
}

void logp_object::PolyFillColored(const PolyFillColoredRecord& r,
                                  const std::vector<PointRecord>& points) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    const Pen saved = c.pen();
    Pen clear = saved;
    clear.style = PenStyle::Null;
    c.SelectPen(clear);
    c.SetBackgroundMode(BackgroundMode::Opaque);
    c.SetBackgroundColor(c.brush().color);
    FillPolygonStrips(points, AsColor(r.color), data_region_);
    c.SetBackgroundMode(BackgroundMode::Transparent);
    c.SetBackgroundColor(kWhite);
    c.SelectPen(saved);
}

void logp_object::FillPolygonPair(const FillPolygonPairRecord& r,
                                  const std::vector<PointRecord>& polygon1,
                                  const std::vector<PointRecord>& polygon2) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    if (polygon1.size() < 3 && polygon2.size() < 3) return;
    auto pixels = [&](const std::vector<PointRecord>& points) {
        std::vector<Point> out;
        out.reserve(points.size());
        for (const PointRecord& p : points) out.push_back({ToPixelX(p.x), ToPixelY(p.y)});
        return out;
    };
    const std::vector<Point> p1 = pixels(polygon1), p2 = pixels(polygon2);
    const PolygonPairAreas areas = SplitPolygonPair(p1, p2, data_region_.Bounds(), &data_region_);
    PaintPolygonPair(
        c, areas, {r.fillStyle1, AsColor(r.fillColor1)}, {r.fillStyle2, AsColor(r.fillColor2)},
        {r.overlapStyle, AsColor(r.overlapColor)}, BackgroundMode::Opaque, page_.PixelsPerInch);
    Brush brush = c.brush();
    brush.style = BrushStyle::Null;
    c.SelectBrush(brush);

    auto outline = [&](const std::vector<Point>& p, uint8_t style, int32_t width, int32_t color) {
        if (style == kLineClear || p.size() < 5) return;
        const Color line_color = print_black_ ? kBlack : AsColor(color);
        // The first vertex and the last two close the shape along the log; they are not
        // part of the drawn curve.
        c.SelectClipRegion(data_region_);
        LineStroker line(c, std::max(width, 0), line_color, style);
        for (size_t i = 1; i + 3 < p.size(); ++i)
            line.Segment(p[i].x, p[i].y, p[i + 1].x, p[i + 1].y);
        line.Finish();
        c.SelectNoClip();
    };
    outline(p1, r.lineStyle1, r.lineWidth1, r.lineColor1);
    outline(p2, r.lineStyle2, r.lineWidth2, r.lineColor2);
}

}  // namespace cindral
