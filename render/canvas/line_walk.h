#pragma once
// The pixels of a GDI line: a Bresenham walk from the start point up to, but not
// including, the end point. Pixel i is computed directly, so a caller can visit only the
// part of a line that lies in a box even when the line is billions of pixels long.

#include <cstdint>
#include <utility>

#include "render/canvas/gdi_types.h"

namespace cindral {

class LineWalk {
  public:
    // LineTo: half-pixel ties go to the smaller minor coordinate whichever way the line
    // runs. LineDda: the error term without the direction bias, as the LineDDA callback
    // walk does (ties never step the minor axis).
    enum class Rule { LineTo, LineDda };

    LineWalk(Point from, Point to, Rule rule);

    // Number of pixels: the larger of |dx| and |dy|; 0 for a zero-length line.
    int64_t length() const { return length_; }
    // Pixel i, 0 <= i < length().
    Point At(int64_t i) const;
    // The pixels inside `box` are exactly those with index in [first, second).
    std::pair<int64_t, int64_t> RangeInside(const Rect& box) const;

  private:
    // How many minor-axis steps have been taken before pixel i.
    int64_t MinorSteps(int64_t i) const;

    Point from_;
    bool x_major_ = true;
    int major_step_ = 1;
    int minor_step_ = 1;
    int64_t major_len_ = 0;  // |d| along the major axis
    int64_t minor_len_ = 0;
    int bias_ = 0;
    int64_t length_ = 0;
};

}  // namespace cindral
