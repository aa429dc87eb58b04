#include "render/pictures/mitchell_resample.h"

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#include <stb/stb_image_resize.h>

namespace cindral {

QImage ResampleMitchell(const QImage& source, QSize size) {
    if (source.isNull() || size.isEmpty()) return {};
    const QImage in = source.convertToFormat(QImage::Format_RGB32);
    QImage out(size, QImage::Format_RGB32);
    // The four bytes of a pixel are filtered alike; the unused one stays 0xFF. Pixel values
    // are filtered as they are stored, not linearised: the page's colours are flat fills.
    const int ok = stbir_resize_uint8_generic(
        in.constBits(), in.width(), in.height(), int(in.bytesPerLine()), out.bits(), out.width(),
        out.height(), int(out.bytesPerLine()), 4, STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP,
        STBIR_FILTER_MITCHELL, STBIR_COLORSPACE_LINEAR, nullptr);
    if (!ok) return {};
    return out;
}

}  // namespace cindral
