// The JPEG path: a picture named .jpg is decoded by libjpeg through our error handling and
// stretched onto a canvas.

#include <cstdint>
#include <vector>

#include "core/base/errors.h"
#include "render/canvas/trace_canvas.h"
#include "render/pictures/picture_draw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cindral;
    try {
        const Bitmap bitmap = DecodePicture(std::vector<uint8_t>(data, data + size), true);
        if (bitmap.argb.size() != static_cast<size_t>(bitmap.width) * bitmap.height) std::abort();
        TraceCanvas canvas;
        StretchBitmap(canvas, bitmap, 3, 40, 50, 7);
    } catch (const CindralError&) {
    }
    return 0;
}
