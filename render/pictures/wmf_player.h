#pragma once
// Our own Windows metafile (WMF) reader: plays the records of a placeable or bare metafile
// onto a Canvas, fitted to a target rectangle. It knows pens, brushes, fonts, lines,
// polylines, polygons, rectangles, ellipses, arcs, text, bitmaps (StretchDIB, DIBStretchBlt,
// DIBBitBlt), the window mapping, clipping and SaveDC/RestoreDC. Records it does not know
// are skipped by their size; every size is checked against the buffer, and a record that
// does not fit raises PictureError.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/canvas/canvas.h"

namespace cindral {

struct WmfFrame {
    bool placeable = false;
    // The picture's frame in its own logical units (placeable metafiles only).
    Rect bounds;
    int units_per_inch = 0;
    // Where the metafile header starts.
    size_t header_offset = 0;
};

// Reads the placeable header when there is one (checking key and checksum) and the
// metafile header after it. PictureError when the data is no metafile.
WmfFrame ReadWmfFrame(const uint8_t* data, size_t size);

// Draws the metafile so its frame (the placeable bounds, else the window its records set)
// fills `target` on `canvas`. The canvas state it changes is put back afterwards, except
// that drawing leaves no clip selected when none was.
void PlayWmf(const uint8_t* data, size_t size, Canvas& canvas, const Rect& target);
inline void PlayWmf(const std::vector<uint8_t>& bytes, Canvas& canvas, const Rect& target) {
    PlayWmf(bytes.data(), bytes.size(), canvas, target);
}

}  // namespace cindral
