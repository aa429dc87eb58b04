#pragma once
// Small helpers the raster and metafile renderers share.

#include <algorithm>
#include <cstdint>
#include <string>
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

// Replaces the first `marker` ("#p", "#t") in `text` by `number`: page labels.
inline std::string ReplaceFirst(const std::string& text, const char* marker, int number) {
    const size_t at = text.find(marker);
    if (at == std::string::npos) return text;
    return text.substr(0, at) + std::to_string(number) + text.substr(at + 2);
}

}  // namespace cindral
