// Opens a log from the input bytes and plays every page into the trace target, through the
// page index as the viewer does, and once as the whole file.

#include <cstdint>
#include <memory>

#include "core/base/errors.h"
#include "fuzz/play_log.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cindral;
    static const std::string patterns = fuzz::LibraryPath("QuenUtil.Pat");
    static const std::string symbols = fuzz::LibraryPath("QuenUtil.Sym");
    auto bytes = std::make_shared<const FileBytes>(data, data + size);
    try {
        fuzz::PlayLogPages(fuzz::ScratchDirectory() + "input.gdx", bytes, patterns, symbols);
    } catch (const CindralError&) {
    }
    return 0;
}
