#pragma once
// Depths as the log prints them. The file keeps y growing upwards, so a depth log stores its
// depths as negative numbers while its own depth track prints them positive, growing down.
// The viewer shows and takes depths the way the track prints them, or the file's way when
// the user asks for it; elevations are always the file's.

#include "core/format/gdx_header.h"

namespace cindral {

class DepthSign {
  public:
    // The file's own numbers.
    DepthSign() = default;

    // For the log of `file_header` (the header as the file has it): turned positive-down
    // when `as_printed` and the log's y values lie at or below zero, as a depth log's do.
    static DepthSign Of(const GdxHeader& file_header, bool as_printed) {
        DepthSign sign;
        sign.flip_ = as_printed && file_header.TopDepth <= 0 && file_header.BottomDepth < 0;
        return sign;
    }

    // `+ 0.0` turns a negated zero into 0, which prints without a sign.
    double Shown(double file_depth) const { return (flip_ ? -file_depth : file_depth) + 0.0; }
    double FromShown(double shown) const { return (flip_ ? -shown : shown) + 0.0; }
    // True when shown depths grow downward (the file's grow upward).
    bool Flipped() const { return flip_; }

  private:
    bool flip_ = false;
};

}  // namespace cindral
