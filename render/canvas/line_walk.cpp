#include "render/canvas/line_walk.h"

#include <algorithm>

namespace cindral {

LineWalk::LineWalk(Point from, Point to, Rule rule) : from_(from) {
    const int64_t dx = int64_t(to.x) - from.x;
    const int64_t dy = int64_t(to.y) - from.y;
    const int64_t adx = dx < 0 ? -dx : dx;
    const int64_t ady = dy < 0 ? -dy : dy;
    x_major_ = adx > ady;
    major_len_ = x_major_ ? adx : ady;
    minor_len_ = x_major_ ? ady : adx;
    major_step_ = (x_major_ ? dx : dy) < 0 ? -1 : 1;
    minor_step_ = (x_major_ ? dy : dx) < 0 ? -1 : 1;
    // LineTo's octant bias makes a tie step when the minor axis runs toward smaller values,
    // so the tie lands on the smaller coordinate in every direction.
    bias_ = (rule == Rule::LineTo && minor_step_ < 0) ? 1 : 0;
    length_ = major_len_;
}

int64_t LineWalk::MinorSteps(int64_t i) const {
    // Closed form of the Bresenham recurrence (err0 = 2*minor - major; step when
    // err + bias > 0): floor((2*minor*i + major - 1 + bias) / (2*major)). The product can
    // exceed 64 bits for lines spanning the whole int range.
    if (major_len_ == 0) return 0;
    const __int128 num = __int128(2) * minor_len_ * i + major_len_ - 1 + bias_;
    return static_cast<int64_t>(num / (__int128(2) * major_len_));
}

Point LineWalk::At(int64_t i) const {
    const int64_t major = (x_major_ ? from_.x : from_.y) + major_step_ * i;
    const int64_t minor = (x_major_ ? from_.y : from_.x) + minor_step_ * MinorSteps(i);
    return x_major_ ? Point{int(major), int(minor)} : Point{int(minor), int(major)};
}

std::pair<int64_t, int64_t> LineWalk::RangeInside(const Rect& box) const {
    if (length_ == 0 || box.IsEmpty()) return {0, 0};
    const int64_t major_lo = x_major_ ? box.left : box.top;
    const int64_t major_hi = (x_major_ ? box.right : box.bottom) - 1;
    const int64_t minor_lo = x_major_ ? box.top : box.left;
    const int64_t minor_hi = (x_major_ ? box.bottom : box.right) - 1;
    const int64_t major0 = x_major_ ? from_.x : from_.y;
    const int64_t minor0 = x_major_ ? from_.y : from_.x;

    // Major axis: the coordinate is major0 + step*i.
    int64_t first = 0;
    int64_t last = length_;  // exclusive
    if (major_step_ > 0) {
        first = std::max(first, major_lo - major0);
        last = std::min(last, major_hi - major0 + 1);
    } else {
        first = std::max(first, major0 - major_hi);
        last = std::min(last, major0 - major_lo + 1);
    }
    if (first >= last) return {0, 0};

    // Minor axis: MinorSteps(i) is non-decreasing, so the pixels within the box's minor
    // range form one run; find it by bisection.
    const int64_t k_lo = minor_step_ > 0 ? minor_lo - minor0 : minor0 - minor_hi;
    const int64_t k_hi = minor_step_ > 0 ? minor_hi - minor0 : minor0 - minor_lo;
    if (k_hi < 0) return {0, 0};
    auto first_reaching = [&](int64_t k) {  // first i in [first, last) with steps >= k
        int64_t lo = first;
        int64_t hi = last;
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (MinorSteps(mid) >= k) {
                hi = mid;
            } else {
                lo = mid + 1;
            }
        }
        return lo;
    };
    const int64_t begin = first_reaching(k_lo);
    const int64_t end = first_reaching(k_hi + 1);
    if (begin >= end) return {0, 0};
    return {begin, end};
}

}  // namespace cindral
