// The WMF player on the input's bytes, fitted to a box on a trace canvas.

#include <cstdint>

#include "core/base/errors.h"
#include "fuzz_pictures.h"
#include "render/canvas/trace_canvas.h"
#include "render/pictures/wmf_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cindral;
    fuzz::StartQt();
    try {
        TraceCanvas canvas;
        PlayWmf(data, size, canvas, Rect{10, 20, 400, 300});
    } catch (const CindralError&) {
    }
    return 0;
}
