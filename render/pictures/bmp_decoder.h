#pragma once
// Windows bitmaps (DIBs) decoded into our Bitmap: 1, 4, 8, 16, 24 and 32 bits per pixel,
// bottom-up or top-down, uncompressed, bit fields or run-length encoded (RLE8, RLE4), with
// the core, info and V4/V5 headers. Every size and offset is checked against the buffer;
// anything malformed or truncated raises PictureError.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/canvas/gdi_types.h"

namespace cindral {

// Largest picture we decode, in pixels; larger ones are refused rather than allocated.
constexpr int64_t kMaxPicturePixels = int64_t(1) << 27;

// A bitmap file: the 14-byte file header ("BM") followed by a DIB.
Bitmap DecodeBmpFile(const uint8_t* data, size_t size);
inline Bitmap DecodeBmpFile(const std::vector<uint8_t>& bytes) {
    return DecodeBmpFile(bytes.data(), bytes.size());
}

// A packed DIB (header, colour table, bits), as metafile records carry it. `bits_offset`,
// when not 0, is where the pixel bits start counted from `data`.
Bitmap DecodeDib(const uint8_t* data, size_t size, size_t bits_offset = 0);

// Width and height of the DIB in a bitmap file, from its header alone.
Size BmpFileSize(const uint8_t* data, size_t size);

}  // namespace cindral
