// The pattern and symbol library loaders on a file of the input's bytes, and the drawing code
// that uses what they load: a fixed log of pattern fills, symbols and stroke text is played
// into the trace target with the input as its pattern library and as its symbol library.

#include <cstdint>
#include <sstream>

#include "core/base/errors.h"
#include "core/format/gdx_writer.h"
#include "core/interpreter/trace_object.h"
#include "core/libraries/pattern_object.h"
#include "core/libraries/symbol_object.h"
#include "fuzz_support.h"

namespace {

using namespace cindral;

std::string UsingLibraries() {
    GdxHeader h;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 20;
    h.MaxX = 100;
    h.BottomDepth = -200;
    GdxWriter w(h);
    for (int32_t pattern : {0, 1, 7, 100, 250}) {
        w.Write(PatternFillBoxRecord{1, -2, 60, -40, pattern, 1, 1, 1});
        PolyFillRecord poly{pattern, 0.5, 2, 1};
        GdxCommand command(poly);
        command.points = {{5, -5}, {80, -10}, {40, -90}};
        w.Write(command);
        w.Write(RegionPatternFillBoxRecord{1, 0.1, 60, 0.6, pattern, 3, 3, 1, 3});
    }
    for (int16_t symbol : {0, 1, 65, 200, 325}) {
        w.Write(DrawSymbolRecord{20, -30, 0, symbol, 2, 2, 0});
        w.Write(DrawScaledSymbolRecord{30, 0.3, 0, symbol, 0.2, 0, 0, 3});
    }
    DrawStrokeTextRecord text;
    text.x = 10;
    text.y = -50;
    text.charWidth = 3;
    text.charHeight = 4;
    text.text = "Az 09 !~\x7f\xff";
    w.Write(text);
    const std::string path = fuzz::ScratchDirectory() + "uses-libraries.gdx";
    w.Save(path);
    return path;
}

void Play(const std::string& log, const std::string& patterns, const std::string& symbols) {
    std::ostringstream sink;
    trace_object trace(sink, patterns, symbols);
    trace.FileName = log;
    trace.PlayCommands();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string log = UsingLibraries();
    static const std::string patterns = fuzz::LibraryPath("QuenUtil.Pat");
    static const std::string symbols = fuzz::LibraryPath("QuenUtil.Sym");
    const std::string path = fuzz::PutFile("library", data, size);
    try {
        pattern_object library(path);
        for (int32_t n = -1; n <= pattern_object::kLastPattern + 1; ++n) {
            try {
                library.Load(n);
            } catch (const CindralError&) {
            }
            for (int i = 0; i < library.SegmentCount(); ++i) (void)library.Segment(i);
        }
    } catch (const CindralError&) {
    }
    try {
        symbol_object library(path);
        for (int32_t n = -1; n <= symbol_object::kLastSymbol + 1; ++n) {
            try {
                library.Load(n);
            } catch (const CindralError&) {
            }
            for (int i = 0; i < library.StrokeCount(); ++i) (void)library.Stroke(i);
        }
    } catch (const CindralError&) {
    }
    try {
        Play(log, path, symbols);
    } catch (const CindralError&) {
    }
    try {
        Play(log, patterns, path);
    } catch (const CindralError&) {
    }
    return 0;
}
