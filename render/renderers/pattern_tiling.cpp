#include "render/renderers/pattern_tiling.h"

#include <algorithm>
#include <cmath>

#include "core/pages/rounding.h"

namespace cindral {

namespace {

// More visible cells than this would take longer to draw than the page is worth.
constexpr double kMostCells = 4e6;

// Stroke ends are held to the coordinate bound of the renderers, so that a dot's disc or a
// wide pen around them stays in int.
int StrokeCoord(double v) {
    constexpr int kMostCoord = (1 << 30) - 2;
    return std::clamp(RoundToInt(v), -kMostCoord, kMostCoord);
}

}  // namespace

void TilePattern(const PatternRecord& pattern, const Rect& box, double pixels_x, double pixels_y,
                 const Rect& visible, const std::function<void(Point, Point)>& stroke,
                 int stroke_width) {
    // A record never yields more strokes than it has room for.
    const int count = std::min<int>(pattern.SegmentCount, int(pattern.Segments.size()));
    if (count <= 0) return;
    const double step_x = pattern.CellWidth * pixels_x;
    const double step_y = pattern.CellHeight * pixels_y;
    if (!(step_x > 0 && step_y > 0 && std::isfinite(step_x) && std::isfinite(step_y))) return;
    if (!(std::isfinite(pixels_x) && std::isfinite(pixels_y))) return;

    // A stroke reaches at most 128 units from its cell's origin.
    const double reach_x = 128 * pixels_x + 1, reach_y = 128 * pixels_y + 1;
    const double left = box.left, right = box.right, top = box.top, bottom = box.bottom;
    const double last_col = std::floor((right - left) / step_x);
    const double last_row = std::floor((bottom - top) / step_y);
    const double col_lo = std::max(0.0, std::ceil((visible.left - reach_x - left) / step_x));
    const double col_hi = std::min(last_col, std::floor((visible.right + reach_x - left) / step_x));
    const double row_lo = std::max(0.0, std::ceil((bottom - visible.bottom - reach_y) / step_y));
    const double row_hi = std::min(last_row, std::floor((bottom - visible.top + reach_y) / step_y));
    // Cells so small that their numbers overflow to infinity are too many cells, too.
    if (!(std::isfinite(col_lo) && std::isfinite(col_hi) && std::isfinite(row_lo) &&
          std::isfinite(row_hi))) {
        return;
    }
    if (col_lo > col_hi || row_lo > row_hi) return;
    const double cost = std::max(1, stroke_width);
    if ((col_hi - col_lo + 1) * (row_hi - row_lo + 1) * cost > kMostCells) return;

    const int64_t c0 = int64_t(col_lo), c1 = int64_t(col_hi);
    const int64_t r0 = int64_t(row_lo), r1 = int64_t(row_hi);
    for (int64_t j = r0; j <= r1; ++j) {
        // Origins are multiples of the step from the corner, so no rounding drift builds up.
        const double row = bottom - double(j) * step_y;
        for (int64_t k = c0; k <= c1; ++k) {
            const double col = left + double(k) * step_x;
            for (int s = 0; s < count; ++s) {
                const LibraryStroke& l = pattern.Segments[s];
                stroke({StrokeCoord(col + pixels_x * l.x1), StrokeCoord(row - pixels_y * l.y1)},
                       {StrokeCoord(col + pixels_x * l.x2), StrokeCoord(row - pixels_y * l.y2)});
            }
        }
    }
}

std::vector<std::vector<Point>> PolygonStrips(const std::vector<Point>& vertices) {
    constexpr size_t kStripVertices = 100;
    std::vector<std::vector<Point>> strips;
    if (vertices.empty()) return strips;
    const int first_x = vertices.front().x;
    std::vector<Point> buffer{vertices.front()};
    for (size_t i = 1; i < vertices.size(); ++i) {
        buffer.push_back(vertices[i]);
        if (buffer.size() == kStripVertices) {
            const Point last = buffer.back();
            const Point corner{first_x, last.y};
            buffer.push_back(corner);
            buffer.push_back(buffer.front());
            strips.push_back(std::move(buffer));
            buffer = {corner, last};
        }
    }
    strips.push_back(std::move(buffer));
    return strips;
}

}  // namespace cindral
