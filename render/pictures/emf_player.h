#pragma once
// Our own enhanced metafile (EMF) reader: plays the records of an EMF onto a Canvas in the
// file's own units (MM_TEXT): pens, brushes, fonts, lines, polylines and polygons (16- and
// 32-bit), rectangles, ellipses, arcs, pixels, text, bitmaps, clip rectangles and
// SaveDC/RestoreDC. Records it does not know are skipped by their size; every size is
// checked against the buffer, and a record that does not fit raises PictureError.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/canvas/canvas.h"

namespace cindral {

// The header's bounds (inclusive, in units); PictureError when the data is no EMF.
Rect ReadEmfBounds(const uint8_t* data, size_t size);

void PlayEmf(const uint8_t* data, size_t size, Canvas& canvas);
inline void PlayEmf(const std::vector<uint8_t>& bytes, Canvas& canvas) {
    PlayEmf(bytes.data(), bytes.size(), canvas);
}

}  // namespace cindral
