#pragma once
// Small helpers the raster renderer's text and picture primitives share.

#include <algorithm>
#include <cstdint>
#include <utility>

#include "render/canvas/canvas.h"
#include "render/canvas/gdi_types.h"
#include "render/canvas/state_guards.h"

namespace cindral {

// The rectangle with left <= right and top <= bottom.
inline Rect Normalized(Rect r) {
    if (r.right < r.left) std::swap(r.left, r.right);
    if (r.bottom < r.top) std::swap(r.top, r.bottom);
    return r;
}

// A coordinate held inside the 16-bit range a picture's placement may use.
inline int16_t ClampToInt16(int64_t v) {
    return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

}  // namespace cindral
