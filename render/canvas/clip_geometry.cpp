#include "render/canvas/clip_geometry.h"

namespace cindral {

bool ClipSegment(PointF& a, PointF& b, double left, double top, double right, double bottom) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - left, right - a.x, a.y - top, bottom - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return false;
            if (t < t1) t1 = t;
        }
    }
    const PointF start = a;
    if (t1 < 1.0) b = {start.x + t1 * dx, start.y + t1 * dy};
    if (t0 > 0.0) a = {start.x + t0 * dx, start.y + t0 * dy};
    return true;
}

namespace {

// One Sutherland-Hodgman pass against the half-plane where `inside` holds.
template <typename Inside, typename Cross>
std::vector<PointF> ClipEdge(const std::vector<PointF>& in, Inside inside, Cross cross) {
    std::vector<PointF> out;
    if (in.empty()) return out;
    out.reserve(in.size() + 4);
    PointF prev = in.back();
    bool prev_in = inside(prev);
    for (const PointF& cur : in) {
        const bool cur_in = inside(cur);
        if (cur_in != prev_in) out.push_back(cross(prev, cur));
        if (cur_in) out.push_back(cur);
        prev = cur;
        prev_in = cur_in;
    }
    return out;
}

PointF AtX(const PointF& a, const PointF& b, double x) {
    return {x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
}
PointF AtY(const PointF& a, const PointF& b, double y) {
    return {a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
}

}  // namespace

std::vector<PointF> ClipPolygon(const std::vector<PointF>& points, double left, double top,
                                double right, double bottom) {
    std::vector<PointF> v = ClipEdge(
        points, [&](const PointF& p) { return p.x >= left; },
        [&](const PointF& a, const PointF& b) { return AtX(a, b, left); });
    v = ClipEdge(
        v, [&](const PointF& p) { return p.x <= right; },
        [&](const PointF& a, const PointF& b) { return AtX(a, b, right); });
    v = ClipEdge(
        v, [&](const PointF& p) { return p.y >= top; },
        [&](const PointF& a, const PointF& b) { return AtY(a, b, top); });
    v = ClipEdge(
        v, [&](const PointF& p) { return p.y <= bottom; },
        [&](const PointF& a, const PointF& b) { return AtY(a, b, bottom); });
    return v;
}

BoxF Widened(const Rect& r, double margin) {
    return {static_cast<double>(r.left) - margin, static_cast<double>(r.top) - margin,
            static_cast<double>(r.right) + margin, static_cast<double>(r.bottom) + margin};
}

}  // namespace cindral
