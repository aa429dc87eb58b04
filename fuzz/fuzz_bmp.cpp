// The BMP decoder: bitmap files, the packed DIBs metafiles carry, and the size-only reader.

#include <cstdint>

#include "core/base/errors.h"
#include "render/canvas/trace_canvas.h"
#include "render/pictures/bmp_decoder.h"
#include "render/pictures/picture_draw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cindral;
    try {
        (void)BmpFileSize(data, size);
    } catch (const CindralError&) {
    }
    try {
        const Bitmap bitmap = DecodeBmpFile(data, size);
        if (bitmap.argb.size() != static_cast<size_t>(bitmap.width) * bitmap.height) std::abort();
        TraceCanvas canvas;
        StretchBitmap(canvas, bitmap, 3, 40, 50, 7);
    } catch (const CindralError&) {
    }
    try {
        (void)DecodeDib(data, size);
    } catch (const CindralError&) {
    }
    return 0;
}
