#include "render/renderers/polygon_pair.h"

#include "render/canvas/fill_brushes.h"

namespace cindral {

PolygonPairAreas SplitPolygonPair(const std::vector<Point>& first, const std::vector<Point>& second,
                                  const Rect& within, const Region* clip) {
    Region a = Region::FromPolygon(first, FillMode::Winding, within);
    Region b = Region::FromPolygon(second, FillMode::Winding, within);
    if (clip != nullptr) {
        a = a.Combined(*clip, CombineMode::And);
        b = b.Combined(*clip, CombineMode::And);
    }
    PolygonPairAreas areas;
    areas.overlap = a.Combined(b, CombineMode::And);
    areas.first = a.Combined(areas.overlap, CombineMode::Diff);
    areas.second = b.Combined(areas.overlap, CombineMode::Diff);
    return areas;
}

void PaintPolygonPair(Canvas& c, const PolygonPairAreas& areas, AreaFill first, AreaFill second,
                      AreaFill overlap, BackgroundMode gaps, int pixels_per_inch) {
    const auto paint = [&](const Region& region, AreaFill fill) {
        if (region.IsEmpty() || !FillKindPaints(fill.kind)) return;
        c.SetBackgroundColor(kWhite);
        c.SetBackgroundMode(gaps);
        const Brush saved = c.brush();
        c.SelectBrush(FillKindBrush(fill.kind, fill.color, pixels_per_inch));
        c.PaintRegion(region);
        c.SelectBrush(saved);
    };
    paint(areas.first, first);
    paint(areas.second, second);
    paint(areas.overlap, overlap);
}

}  // namespace cindral
