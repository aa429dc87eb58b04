#pragma once
// A clip or paint region in device pixels, with GDI's rules: a rectangle region covers
// [left, right) x [top, bottom); a polygon region covers the polygon's interior only.

#include <QRegion>
#include <vector>

#include "render/canvas/gdi_types.h"

namespace cindral {

enum class CombineMode { And = 1, Or = 2, Xor = 3, Diff = 4 };

class Region {
  public:
    Region() = default;
    static Region FromRect(const Rect& r);
    // The polygon's interior, cut to `within` (a page at most; far-off polygons are costly
    // to convert, so pass the device rectangle).
    static Region FromPolygon(const std::vector<Point>& points, FillMode mode, const Rect& within);

    // The result of `this` combined with `other`.
    Region Combined(const Region& other, CombineMode mode) const;
    bool IsEmpty() const { return region_.isEmpty(); }
    // The bounding box; an empty rectangle for an empty region.
    Rect Bounds() const;
    // The region as non-overlapping rectangles, top to bottom, left to right.
    std::vector<Rect> Rects() const;
    bool Contains(int x, int y) const { return region_.contains(QPoint(x, y)); }

    const QRegion& qregion() const { return region_; }
    friend bool operator==(const Region& a, const Region& b) { return a.region_ == b.region_; }

  private:
    explicit Region(QRegion r) : region_(std::move(r)) {}
    QRegion region_;
};

}  // namespace cindral
