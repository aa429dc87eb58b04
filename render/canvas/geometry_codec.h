#pragma once
// Rectangles and points as metafile records store them: 32-bit signed little-endian fields,
// left, top, right, bottom and x, y. Read the same way by the recorder and the EMF player.

#include "core/format/byte_codec.h"
#include "render/canvas/gdi_types.h"

namespace cindral {

inline Rect ReadRect(ByteReader& in) {
    Rect r;
    r.left = in.I32();
    r.top = in.I32();
    r.right = in.I32();
    r.bottom = in.I32();
    return r;
}

inline Point ReadPoint(ByteReader& in) {
    Point p;
    p.x = in.I32();
    p.y = in.I32();
    return p;
}

}  // namespace cindral
