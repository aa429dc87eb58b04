#pragma once
// Laying a library pattern over a box: cells of the pattern's size repeat from the box's
// bottom-left corner, so a pattern never shifts when the box is cut by the page edge.

#include <functional>
#include <vector>

#include "core/libraries/library_record.h"
#include "render/canvas/gdi_types.h"

namespace cindral {

// Pixels per pattern unit: a unit is 0.02 inch times the command's scale.
inline double PatternPixels(double scale, int pixels_per_inch) {
    return scale * 0.02 * pixels_per_inch;
}

// Half-size of the disc a zero-length stroke becomes on a fine device.
inline int DotHalfSize(int pixels_per_inch) {
    int s = pixels_per_inch / 100;
    return s > 1 ? s >> 1 : s;
}

// Calls `stroke` with the device end points of every stroke of every cell of `pattern` over
// the columns box.left..box.right and rows box.top..box.bottom (inclusive; rows grow down,
// the first cell row sits on box.bottom). Cells whose strokes cannot reach `visible` are
// skipped without changing where the others fall. A cell step that is zero, negative or not
// a number tiles nothing, and so does a box of more than a few million visible cells, each
// counted `stroke_width` times (a wide pen's strokes and dots cost as many rows each).
void TilePattern(const PatternRecord& pattern, const Rect& box, double pixels_x, double pixels_y,
                 const Rect& visible, const std::function<void(Point, Point)>& stroke,
                 int stroke_width = 1);

// The polygon calls a polygon fill is drawn with: strips of at most 100 vertices of the
// list, each closed through the vertical of the first vertex back to its own start.
std::vector<std::vector<Point>> PolygonStrips(const std::vector<Point>& vertices);

}  // namespace cindral
