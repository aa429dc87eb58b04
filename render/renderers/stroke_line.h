#pragma once
// StrokeLine: one straight segment in a width, colour and line style. Patterned styles walk
// the segment pixel by pixel (the pixels GDI's LineDDA visits) and stamp a dot, a 2x2
// square or a disc where the pattern is on, so the pattern keeps its look at any width and
// runs on from one segment to the next through the caller's phase.

#include <cstdint>
#include <utility>
#include <vector>

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

// The segments of one line (a polyline, an outline), drawn as StrokeLine draws them one after
// another with one phase. On a canvas that keeps paths each run of joined segments becomes one
// stroke with the line's width and its pattern as dashes of the same size, instead of a stamp
// per pixel; elsewhere every segment goes to StrokeLine as it comes.
class LineStroker {
  public:
    // `phase` as for StrokeLine: where the pattern starts.
    LineStroker(Canvas& canvas, int width, Color color, uint8_t style, int phase = 0);
    LineStroker(const LineStroker&) = delete;
    LineStroker& operator=(const LineStroker&) = delete;

    void Segment(int x1, int y1, int x2, int y2);
    // Draws what is held and leaves the canvas as the last StrokeLine would have left it.
    void Finish();
    // The pattern position after the segments given so far and drawn.
    int phase() const { return phase_; }

  private:
    void Flush();

    Canvas& canvas_;
    int width_;
    Color color_;
    uint8_t style_;
    bool paths_;
    bool any_ = false;
    int phase_;
    Point end_;
    // The joined segments not yet drawn.
    std::vector<std::pair<Point, Point>> run_;
};

}  // namespace cindral
