#pragma once
// Fixed GDI patterns a raster device reproduces: the dash runs of 1-pixel styled pens
// (counted in pixels visited, first run "on") and the 8x8 hatch tiles (row 0 on top, most
// significant bit = leftmost pixel).

#include <array>
#include <cstdint>
#include <vector>

#include "render/canvas/gdi_types.h"

namespace cindral {

// Runs of the pen style, alternately on and off; empty for styles drawn solid or not at all.
inline std::vector<int> CosmeticDashRuns(PenStyle style) {
    switch (style) {
        case PenStyle::Dash:
            return {18, 6};
        case PenStyle::Dot:
            return {3, 3};
        case PenStyle::DashDot:
            return {9, 6, 3, 6};
        case PenStyle::DashDotDot:
            return {9, 3, 3, 3, 3, 3};
        default:
            return {};
    }
}

// Whether pixel number `n` (from the start of the primitive) is on in `runs`.
inline bool DashOn(const std::vector<int>& runs, int64_t n) {
    int period = 0;
    for (int r : runs) period += r;
    int64_t p = n % period;
    if (p < 0) p += period;
    for (size_t i = 0; i < runs.size(); ++i) {
        if (p < runs[i]) return i % 2 == 0;
        p -= runs[i];
    }
    return false;
}

inline std::array<uint8_t, 8> HatchRows(HatchStyle hatch) {
    switch (hatch) {
        case HatchStyle::Horizontal:
            return {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00};
        case HatchStyle::Vertical:
            return {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};
        case HatchStyle::FDiagonal:
            return {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
        case HatchStyle::BDiagonal:
            return {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
        case HatchStyle::Cross:
            return {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08};
        case HatchStyle::DiagCross:
            return {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
    }
    return {};
}

}  // namespace cindral
