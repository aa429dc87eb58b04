#pragma once
// StrokeLine: one straight segment in a width, colour and line style. Patterned styles walk
// the segment pixel by pixel (the pixels GDI's LineDDA visits) and stamp a dot, a 2x2
// square or a disc where the pattern is on, so the pattern keeps its look at any width and
// runs on from one segment to the next through the caller's phase.

#include <cstdint>

#include "render/canvas/canvas.h"

namespace cindral {

// Line style bytes of the logs.
enum LineStyle : uint8_t {
    kLineSolid = 0,
    kLineDash = 1,
    kLineDot = 2,
    kLineDashDot = 3,
    kLineDashDotDot = 4,
    kLineClear = 5,
};

// Draws (x1, y1)-(x2, y2) in device pixels. `phase` is the pattern position to start from
// and receives the position after the segment; callers drawing a polyline or an outline
// start it at 0 and pass the same variable for every segment. Leaves the canvas brush solid
// in `color` and the pen style at `style`.
void StrokeLine(int x1, int y1, int x2, int y2, int width, Color color, uint8_t style,
                Canvas& canvas, int& phase);

// The same line and dash pattern as StrokeLine, but each dash is one straight piece in a
// solid pen of `width` (a dot of a wide line a disc) instead of a stamp per pixel: what a
// vector drawing wants, where every stamp would be a record of its own.
void StrokeLineDashes(int x1, int y1, int x2, int y2, int width, Color color, uint8_t style,
                      Canvas& canvas, int& phase);

}  // namespace cindral
