#pragma once
// The paired polygon fill both renderers draw: two closed curves (a log and its cut-off or
// a second log), each filled where it stands alone and the overlap filled on its own.

#include <cstdint>
#include <vector>

#include "render/canvas/canvas.h"
#include "render/canvas/region.h"

namespace cindral {

struct PolygonPairAreas {
    Region first;    // the first polygon less the overlap
    Region second;   // the second polygon less the overlap
    Region overlap;  // where both lie
};

// The areas of two polygons in device units, within `within`; with `clip`, cut to it too.
PolygonPairAreas SplitPolygonPair(const std::vector<Point>& first, const std::vector<Point>& second,
                                  const Rect& within, const Region* clip);

struct AreaFill {
    uint8_t kind;  // fill kind: 0 solid, 1 none, 2..7 hatches
    Color color;
};

// Paints the three areas with their fill kinds; hatch gaps are white on `gaps` background
// mode. An empty area paints nothing. The brush is left as it was found.
void PaintPolygonPair(Canvas& c, const PolygonPairAreas& areas, AreaFill first, AreaFill second,
                      AreaFill overlap, BackgroundMode gaps, int pixels_per_inch);

}  // namespace cindral
