#pragma once
// Cutting geometry down to a box before it reaches a painter: Qt rasterises huge
// coordinates slowly and dashes go wrong on very long lines, so everything is first cut to
// the device plus a margin. Integer inputs may be anywhere in the int range.

#include <vector>

#include "render/canvas/gdi_types.h"

namespace cindral {

struct PointF {
    double x = 0;
    double y = 0;
};

// Cuts the segment a-b to the closed box [left, right] x [top, bottom] (Liang-Barsky).
// Returns false when nothing of it lies inside; else a and b become the inside part.
bool ClipSegment(PointF& a, PointF& b, double left, double top, double right, double bottom);

// Cuts a closed polygon to the box (Sutherland-Hodgman). The result keeps the inside of
// the polygon for either fill rule; it may be empty.
std::vector<PointF> ClipPolygon(const std::vector<PointF>& points, double left, double top,
                                double right, double bottom);

// `r` widened by `margin` on every side, computed without overflow.
struct BoxF {
    double left, top, right, bottom;
};
BoxF Widened(const Rect& r, double margin);

}  // namespace cindral
