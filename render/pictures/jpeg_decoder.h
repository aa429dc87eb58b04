#pragma once
// JPEG pictures decoded through libjpeg into our Bitmap (greyscale, RGB, CMYK). A broken or
// truncated file raises PictureError with libjpeg's own explanation.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/canvas/gdi_types.h"

namespace cindral {

Bitmap DecodeJpeg(const uint8_t* data, size_t size);
inline Bitmap DecodeJpeg(const std::vector<uint8_t>& bytes) {
    return DecodeJpeg(bytes.data(), bytes.size());
}

}  // namespace cindral
