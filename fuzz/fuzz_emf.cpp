// The EMF player on the input's bytes, onto a trace canvas.

#include <cstdint>

#include "core/base/errors.h"
#include "fuzz_pictures.h"
#include "render/canvas/trace_canvas.h"
#include "render/pictures/emf_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cindral;
    fuzz::StartQt();
    try {
        (void)ReadEmfBounds(data, size);
        TraceCanvas canvas;
        PlayEmf(data, size, canvas);
    } catch (const CindralError&) {
    }
    return 0;
}
