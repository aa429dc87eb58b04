// Opens a log from the input bytes as the viewer does and draws its first and last pages with
// the raster renderer: text layout and fonts, fills, symbols and the pictures a log carries,
// onto a real Qt bitmap. The text line option and the resolution follow the input's length,
// so both ways of wrapping text and both the screen's and a printer's forms are searched.

#include <cstdint>

#include "core/base/errors.h"
#include "fuzz/draw_log.h"
#include "fuzz_pictures.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cindral;
    fuzz::StartQt();
    static const std::string patterns = fuzz::LibraryPath("QuenUtil.Pat");
    static const std::string symbols = fuzz::LibraryPath("QuenUtil.Sym");
    const std::string path = fuzz::PutFile("input.gdx", data, size);
    try {
        fuzz::DrawLogPages(path, patterns, symbols, (size & 1) != 0,
                           fuzz::kDrawPixelsPerInch[(size >> 1) & 1]);
    } catch (const CindralError&) {
    }
    return 0;
}
