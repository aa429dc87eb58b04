// The default drawing primitives of gd_object. Most draw nothing; arcs, circles, polylines,
// symbols, stroke text and pattern fills are reduced to DrawLine calls, so a target that
// draws only lines already shows them.

#include <algorithm>
#include <array>
#include <cmath>

#include "core/interpreter/gd_object.h"
#include "core/libraries/pattern_object.h"
#include "core/libraries/symbol_object.h"

namespace cindral {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Characters of a stroke text beyond this are not drawn.
constexpr size_t kStrokeTextCapacity = 60;
// Stroke-font markers: raise or lower the next character by half a character height.
constexpr unsigned char kRaiseNext = 96;   // grave accent
constexpr unsigned char kLowerNext = 124;  // vertical bar
// The default polygon fill keeps this many vertices.
constexpr size_t kPolyFillVertices = 25;
// Pattern numbers above this are not in the library: the box gets only its outline.
constexpr int32_t kLastPattern = 250;
// A tiling of more cells than this is not drawn; the outline still is.
constexpr double kMaxPatternCells = 1e6;
// Bisection of a segment crossing the fill boundary.
constexpr double kBisectionTolerance = 1e-6;
constexpr int kBisectionSteps = 100;

struct Line {
    double x1, y1, x2, y2;
};

std::vector<Line> CurrentStrokes(const symbol_object& symbols) {
    std::vector<Line> lines;
    for (int i = 0; i < symbols.StrokeCount(); ++i) {
        const auto& s = symbols.Stroke(i);
        lines.push_back({double(s.x1), double(s.y1), double(s.x2), double(s.y2)});
    }
    return lines;
}

struct PatternCell {
    double width = 0;
    double height = 0;
    std::vector<Line> segments;
};

PatternCell CurrentPattern(const pattern_object& patterns) {
    PatternCell cell;
    cell.width = patterns.CellWidth();
    cell.height = patterns.CellHeight();
    for (int i = 0; i < patterns.SegmentCount(); ++i) {
        const auto& s = patterns.Segment(i);
        cell.segments.push_back({double(s.x1), double(s.y1), double(s.x2), double(s.y2)});
    }
    return cell;
}

// The part of a segment from its inside end (ix, iy) to where it leaves the fill area, found
// by halving. The inside end is kept: drawing from the converged end would leave a dot.
template <class Inside>
Line ClipByBisection(double ix, double iy, double ox, double oy, Inside inside) {
    double ax = ix, ay = iy;
    double mx = ix, my = iy;
    for (int i = 0; i < kBisectionSteps; ++i) {
        if (std::hypot(ox - ax, oy - ay) < kBisectionTolerance) break;
        mx = (ax + ox) / 2;
        my = (ay + oy) / 2;
        if (inside(mx, my)) {
            ax = mx;
            ay = my;
        } else {
            ox = mx;
            oy = my;
        }
    }
    return {ix, iy, mx, my};
}

double TriangleArea(double ax, double ay, double bx, double by, double cx, double cy) {
    // Heron's formula on the side lengths.
    double a = std::hypot(bx - cx, by - cy);
    double b = std::hypot(ax - cx, ay - cy);
    double c = std::hypot(ax - bx, ay - by);
    double s = (a + b + c) / 2;
    double q = s * (s - a) * (s - b) * (s - c);
    return q > 0 ? std::sqrt(q) : 0;
}

bool InTriangle(double px, double py, double ax, double ay, double bx, double by, double cx,
                double cy) {
    double area = TriangleArea(ax, ay, bx, by, cx, cy);
    if (area == 0) return false;
    double parts = TriangleArea(px, py, bx, by, cx, cy) + TriangleArea(ax, ay, px, py, cx, cy) +
                   TriangleArea(ax, ay, bx, by, px, py);
    return std::fabs(area - parts) / area < 0.001;
}

// Inside test of the default polygon fill: a point lies in one of the triangles the centroid
// forms with the polygon's edges.
struct InPolygon {
    const std::vector<PointRecord>& v;
    double gx, gy;
    bool operator()(double x, double y) const {
        for (size_t i = 0; i < v.size(); ++i) {
            const PointRecord& a = v[i];
            const PointRecord& b = v[(i + 1) % v.size()];
            if (InTriangle(x, y, gx, gy, a.x, a.y, b.x, b.y)) return true;
        }
        return false;
    }
};

}  // namespace

std::pair<double, double> PolarOffset(double cx, double cy, double r, double a) {
    double t = (90 - a) * kPi / 180;
    return {cx + r * std::cos(t), cy + r * std::sin(t)};
}

void gd_object::DrawText(const DrawTextRecord&) {}

void gd_object::DrawFittedText(const DrawFittedTextRecord&) {}

void gd_object::DrawArc(const DrawArcRecord& r) {
    double startAngle = r.startAngle;
    double endAngle = r.endAngle;
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle)) return;
    const double step = kArcStep;
    // At this size a step no longer changes an angle and whole turns cannot be taken off
    // exactly: such angles keep their sweep (at most one turn) from the remainder of the
    // start, which fmod gives exactly.
    constexpr double kLargeAngle = 1e9;
    if (std::fabs(startAngle) > kLargeAngle || std::fabs(endAngle) > kLargeAngle) {
        const double sweep = std::clamp(endAngle - startAngle, -360.0, 360.0);
        startAngle = std::fmod(startAngle, 360.0);
        endAngle = startAngle + sweep;
    }
    // Bring the angles into one turn so stepping always advances, and draw at most one turn:
    // more chords would only retrace the circle.
    double turns = std::floor(startAngle / 360) * 360;
    startAngle -= turns;
    endAngle -= turns;
    if (endAngle - startAngle > 360) startAngle = endAngle - 360;
    auto p = PolarOffset(r.cx, r.cy, r.radius, startAngle);
    double m = startAngle + step;
    while (true) {
        auto q = PolarOffset(r.cx, r.cy, r.radius, m);
        DrawSegment(p.first, p.second, q.first, q.second);
        p = q;
        m += step;
        if (m > endAngle) break;
    }
    auto end = PolarOffset(r.cx, r.cy, r.radius, endAngle);
    DrawSegment(p.first, p.second, end.first, end.second);
}

void gd_object::DrawPictureFile(const DrawPictureFileRecord&) {}

void gd_object::DrawVerticalRule(const DrawVerticalRuleRecord&) {}

void gd_object::DrawCircle(const DrawCircleRecord& r) {
    DrawArc(DrawArcRecord{r.cx, r.cy, r.radius, 0.0, 360.0});
}

void gd_object::SetColor(const SetColorRecord&) {}

void gd_object::FillPolygonPair(const FillPolygonPairRecord&, const std::vector<PointRecord>&,
                                const std::vector<PointRecord>&) {}

void gd_object::DrawWrappedText(const DrawWrappedTextRecord&, const std::string&) {}

void gd_object::DrawFormattedText(const DrawFormattedTextRecord&, const std::string&) {}

void gd_object::DrawFontText(const DrawFontTextRecord&) {}

void gd_object::SetFont(const SetFontColoredRecord&) {}

void gd_object::DrawRegionLine(const DrawRegionLineRecord&) {}

void gd_object::DrawTextBox(const DrawTextBoxRecord&, const std::string&) {}

void gd_object::DrawLabel(const DrawLabelRecord&) {}

void gd_object::DrawPicture(const DrawPictureRecord&, const std::vector<uint8_t>&) {}

void gd_object::DrawPictureStream(const DrawPictureStreamRecord&, const std::vector<uint8_t>&) {}

void gd_object::DrawLine(const DrawLineRecord&) {}

void gd_object::TileBox(double x1, double y1, double x2, double y2, double xScale, double yScale,
                        bool clamp_to_box, const std::vector<PointRecord>* polygon) {
    PatternCell cell = CurrentPattern(Patterns());
    double stepX = cell.width * xScale;
    double stepY = cell.height * yScale;
    // A cell of no size (or a negative or broken scale) would never reach the far corner.
    if (!(stepX > 0) || !(stepY > 0) || !std::isfinite(stepX) || !std::isfinite(stepY)) return;
    if (cell.segments.empty()) return;
    double cells = (std::floor((x2 - x1) / stepX) + 1) * (std::floor((y2 - y1) / stepY) + 1);
    if (!(cells <= kMaxPatternCells)) return;

    double gx = 0, gy = 0;
    if (polygon) {
        for (const PointRecord& p : *polygon) {
            gx += p.x;
            gy += p.y;
        }
        gx /= static_cast<double>(polygon->size());
        gy /= static_cast<double>(polygon->size());
    }
    auto in_box = [&](double x, double y) { return x1 <= x && x <= x2 && y1 <= y && y <= y2; };
    auto inside = [&](double x, double y) {
        return polygon ? InPolygon{*polygon, gx, gy}(x, y) : in_box(x, y);
    };

    // Counted rather than stepped by addition alone, so a step lost in rounding still ends.
    long rows = static_cast<long>(std::floor((y2 - y1) / stepY)) + 1;
    long columns = static_cast<long>(std::floor((x2 - x1) / stepX)) + 1;
    double cy = y1;
    for (long row = 0; row < rows && cy <= y2; ++row, cy += stepY) {
        double cx = x1;
        for (long column = 0; column < columns && cx <= x2; ++column, cx += stepX) {
            for (const Line& s : cell.segments) {
                double ax = cx + s.x1 * xScale, ay = cy + s.y1 * yScale;
                double bx = cx + s.x2 * xScale, by = cy + s.y2 * yScale;
                if (clamp_to_box) {
                    ax = std::min(ax, x2);
                    bx = std::min(bx, x2);
                    ay = std::min(ay, y2);
                    by = std::min(by, y2);
                    if (ax == x2 && bx == x2) continue;
                }
                bool a_in = inside(ax, ay);
                bool b_in = inside(bx, by);
                if (a_in && b_in) {
                    DrawSegment(ax, ay, bx, by);
                } else if (a_in || b_in) {
                    Line l = a_in ? ClipByBisection(ax, ay, bx, by, inside)
                                  : ClipByBisection(bx, by, ax, ay, inside);
                    DrawSegment(l.x1, l.y1, l.x2, l.y2);
                }
            }
        }
    }
}

void gd_object::PatternFillBox(const PatternFillBoxRecord& r) {
    if (r.pattern <= kLastPattern) {
        Patterns().Load(r.pattern);
        TileBox(std::min(r.x1, r.x2), std::min(r.y1, r.y2), std::max(r.x1, r.x2),
                std::max(r.y1, r.y2), r.xScale, r.yScale, false, nullptr);
    }
    if (r.outline) BoxOutline(r.x1, r.y1, r.x2, r.y2);
}

void gd_object::PatternFillBoxColored(const PatternFillBoxColoredRecord&) {}

void gd_object::GradientFillBox(const GradientFillBoxRecord& r) {}

void gd_object::RegionPatternFillBox(const RegionPatternFillBoxRecord&) {}

void gd_object::RegionPatternFillBoxColored(const RegionPatternFillBoxColoredRecord&) {}

void gd_object::FillBox(const FillBoxRecord&) {}

void gd_object::PolyFill(const PolyFillRecord& r, const std::vector<PointRecord>& points) {
    // The default keeps a fixed number of vertices; a longer polygon is drawn from its first
    // ones rather than written past a store or stopping the program.
    std::vector<PointRecord> v(points.begin(),
                               points.begin() + std::min(points.size(), kPolyFillVertices));
    if (v.size() < 3) return;
    if (r.pattern <= kLastPattern) {
        double minX = v[0].x, maxX = v[0].x, minY = v[0].y, maxY = v[0].y;
        for (const PointRecord& p : v) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        Patterns().Load(r.pattern);
        TileBox(minX, minY, maxX, maxY, r.xScale, r.yScale, true, &v);
    }
    if (r.outline) {
        for (size_t i = 0; i < v.size(); ++i) {
            const PointRecord& a = v[i];
            const PointRecord& b = v[(i + 1) % v.size()];
            DrawSegment(a.x, a.y, b.x, b.y);
        }
    }
}

void gd_object::PolyFillColored(const PolyFillColoredRecord&, const std::vector<PointRecord>&) {}

void gd_object::GradientPolyFill(const GradientPolyFillRecord&, const std::vector<PointRecord>&) {}

void gd_object::DrawPolyline(const std::vector<PointRecord>& points) {
    for (size_t i = 1; i < points.size(); ++i) {
        DrawSegment(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    }
}

void gd_object::DrawStyledPolyline(const DrawStyledPolylineRecord&,
                                   const std::vector<DrawLineRecord>&) {}

void gd_object::DrawRectangle(const DrawRectangleRecord&) {}

void gd_object::SetLineStyle(const SetLineStyleRecord&) {}

void gd_object::DrawSymbol(const DrawSymbolRecord& r) {
    Symbols().Load(r.symbol);
    for (const Line& s : CurrentStrokes(Symbols())) {
        DrawSegment(r.x + r.xScale * s.x1 / 10, r.y + r.yScale * s.y1 / 10,
                    r.x + r.xScale * s.x2 / 10, r.y + r.yScale * s.y2 / 10);
    }
}

void gd_object::DrawScaledSymbol(const DrawScaledSymbolRecord& r) {}

void gd_object::DrawBox(const DrawBoxRecord&) {}

void gd_object::DrawStrokeText(const DrawStrokeTextRecord& r, bool draw) {
    const double charHeight = r.charHeight;
    text_extent_ = StrokeTextExtent();
    std::string shown = r.text.substr(0, kStrokeTextCapacity);
    if (shown.empty()) return;
    double t = (90 - r.angle) * kPi / 180;
    double cos_t = std::cos(t), sin_t = std::sin(t);
    auto place = [&](double u, double v) {
        return std::make_pair(r.x + u * cos_t - v * sin_t, r.y + v * cos_t + u * sin_t);
    };
    auto widen = [&](double px, double py) {
        text_extent_.MinX = std::min(text_extent_.MinX, px);
        text_extent_.MaxX = std::max(text_extent_.MaxX, px);
        text_extent_.MinY = std::min(text_extent_.MinY, py);
        text_extent_.MaxY = std::max(text_extent_.MaxY, py);
    };
    double advance = 0;
    unsigned char previous = 0;
    for (char ch : shown) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == kRaiseNext || c == kLowerNext) {
            previous = c;
            continue;
        }
        double shift = previous == kRaiseNext   ? charHeight / 2
                       : previous == kLowerNext ? -charHeight / 2
                                                : 0;
        previous = c;
        Symbols().Load(c);
        if (c != ' ') {
            for (const Line& s : CurrentStrokes(Symbols())) {
                auto a = place(advance + r.charWidth * s.x1 / 5, charHeight * s.y1 / 13 + shift);
                auto b = place(advance + r.charWidth * s.x2 / 5, charHeight * s.y2 / 13 + shift);
                if (draw) DrawSegment(a.first, a.second, b.first, b.second);
                widen(a.first, a.second);
                widen(b.first, b.second);
            }
        }
        advance += r.charWidth * 1.2;
    }
}

void gd_object::DrawNote(const DrawNoteRecord&) {}

void gd_object::DrawRotatedText(const DrawRotatedTextRecord&) {}

void gd_object::SetLineWidth(const SetLineWidthRecord&) {}

}  // namespace cindral
