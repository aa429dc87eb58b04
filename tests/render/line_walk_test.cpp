#include "render/canvas/line_walk.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

namespace cindral {
namespace {

// The plain Bresenham loop with the octant bias, as the GDI notes give it.
std::vector<Point> Iterative(Point a, Point b, bool with_bias) {
    const int dx = b.x - a.x, dy = b.y - a.y;
    const int adx = std::abs(dx), ady = std::abs(dy);
    const bool x_major = adx > ady;
    const int major = x_major ? adx : ady, minor = x_major ? ady : adx;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const int minor_sign = x_major ? sy : sx;
    const int bias = with_bias && minor_sign < 0 ? 1 : 0;
    int err = 2 * minor - major;
    std::vector<Point> out;
    Point p = a;
    for (int i = 0; i < major; ++i) {
        out.push_back(p);
        if (err + bias > 0) {
            if (x_major)
                p.y += sy;
            else
                p.x += sx;
            err += 2 * minor - 2 * major;
        } else {
            err += 2 * minor;
        }
        if (x_major)
            p.x += sx;
        else
            p.y += sy;
    }
    return out;
}

std::vector<Point> Walked(const LineWalk& w) {
    std::vector<Point> out;
    for (int64_t i = 0; i < w.length(); ++i) out.push_back(w.At(i));
    return out;
}

TEST(LineWalk, ClosedFormMatchesTheBresenhamLoopInEveryDirection) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-40, 40);
    for (int n = 0; n < 3000; ++n) {
        const Point a{coord(rng), coord(rng)}, b{coord(rng), coord(rng)};
        EXPECT_EQ(Walked(LineWalk(a, b, LineWalk::Rule::LineTo)), Iterative(a, b, true));
        EXPECT_EQ(Walked(LineWalk(a, b, LineWalk::Rule::LineDda)), Iterative(a, b, false));
    }
}

TEST(LineWalk, TiesGoToTheSmallerCoordinateWhicheverWayTheLineRuns) {
    const std::vector<Point> forward = Walked(LineWalk({0, 0}, {4, 1}, LineWalk::Rule::LineTo));
    const std::vector<Point> backward = Walked(LineWalk({4, 1}, {0, 0}, LineWalk::Rule::LineTo));
    EXPECT_EQ(forward, (std::vector<Point>{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
    EXPECT_EQ(backward, (std::vector<Point>{{4, 1}, {3, 1}, {2, 0}, {1, 0}}));
    // The DDA walk has no bias: backwards the tie steps late.
    EXPECT_EQ(Walked(LineWalk({4, 1}, {0, 0}, LineWalk::Rule::LineDda)),
              (std::vector<Point>{{4, 1}, {3, 1}, {2, 1}, {1, 0}}));
}

TEST(LineWalk, RangeInsideSelectsExactlyThePixelsInTheBox) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(-30, 30);
    const Rect box{-5, -7, 9, 6};
    for (int n = 0; n < 2000; ++n) {
        const LineWalk w({coord(rng), coord(rng)}, {coord(rng), coord(rng)},
                         n % 2 ? LineWalk::Rule::LineTo : LineWalk::Rule::LineDda);
        std::vector<int64_t> inside;
        for (int64_t i = 0; i < w.length(); ++i) {
            if (box.Contains(w.At(i).x, w.At(i).y)) inside.push_back(i);
        }
        const auto [first, last] = w.RangeInside(box);
        ASSERT_EQ(static_cast<size_t>(std::max<int64_t>(last - first, 0)), inside.size());
        if (!inside.empty()) {
            EXPECT_EQ(first, inside.front());
            EXPECT_EQ(last, inside.back() + 1);
        }
    }
}

TEST(LineWalk, LinesAcrossTheWholeIntRangeStayExact) {
    const LineWalk w({INT_MIN, INT_MIN + 3}, {INT_MAX, INT_MAX}, LineWalk::Rule::LineTo);
    EXPECT_EQ(w.length(), int64_t(INT_MAX) - INT_MIN);
    const auto [first, last] = w.RangeInside({0, 0, 100, 100});
    ASSERT_LT(first, last);
    for (int64_t i = first; i < last; ++i) {
        const Point p = w.At(i);
        EXPECT_TRUE(Rect({0, 0, 100, 100}).Contains(p.x, p.y));
        EXPECT_LE(std::abs(p.x - p.y), 2);  // the line is a diagonal within rounding
    }
}

}  // namespace
}  // namespace cindral
