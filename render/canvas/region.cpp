#include "render/canvas/region.h"

#include <QPolygon>
#include <cmath>

#include "render/canvas/clip_geometry.h"

namespace cindral {

Region Region::FromRect(const Rect& r) {
    if (r.IsEmpty()) return Region();
    return Region(QRegion(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1))));
}

Region Region::FromPolygon(const std::vector<Point>& points, FillMode mode, const Rect& within) {
    if (points.size() < 3 || within.IsEmpty()) return Region();
    std::vector<PointF> in;
    in.reserve(points.size());
    for (const Point& p : points) in.push_back({double(p.x), double(p.y)});
    // Cut one pixel outside `within` so the edges that matter are kept exactly.
    const BoxF box = Widened(within, 1.0);
    const std::vector<PointF> cut = ClipPolygon(in, box.left, box.top, box.right, box.bottom);
    if (cut.size() < 3) return Region();
    QPolygon polygon;
    polygon.reserve(static_cast<int>(cut.size()));
    for (const PointF& p : cut) {
        polygon << QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
    }
    const QRegion shape(polygon, mode == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    return Region(shape.intersected(FromRect(within).region_));
}

Region Region::Combined(const Region& other, CombineMode mode) const {
    switch (mode) {
        case CombineMode::And:
            return Region(region_.intersected(other.region_));
        case CombineMode::Or:
            return Region(region_.united(other.region_));
        case CombineMode::Xor:
            return Region(region_.xored(other.region_));
        case CombineMode::Diff:
            return Region(region_.subtracted(other.region_));
    }
    return *this;
}

Rect Region::Bounds() const {
    if (region_.isEmpty()) return Rect();
    const QRect b = region_.boundingRect();
    return {b.left(), b.top(), b.right() + 1, b.bottom() + 1};
}

std::vector<Rect> Region::Rects() const {
    std::vector<Rect> out;
    for (const QRect& r : region_)
        out.push_back({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    return out;
}

}  // namespace cindral
