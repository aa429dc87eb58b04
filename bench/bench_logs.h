#pragma once
// The logs and libraries the benchmarks work on, written once per run into a folder of their
// own: pages of 11 in at 20 depth units per inch, per unit of depth a curve segment on two
// tracks and a grid line, every 20 units a lithology pattern box, and, when asked, a depth
// label every 50 units. A light log (about 14 KB a page, like a 300-page log of 4.2 MB) has
// one curve and a grid line every 5 units.

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"

namespace cindral::bench {

namespace fs = std::filesystem;

// CINDRAL_BENCH_LOGS=DIR keeps the logs (and libraries) in DIR, for whole-process timings;
// otherwise a temporary folder named for the program.
inline const fs::path& WorkDir(const char* program = "bench") {
    static const fs::path dir = [program] {
        const char* kept = std::getenv("CINDRAL_BENCH_LOGS");
        fs::path d = kept ? fs::path(kept)
                          : fs::temp_directory_path() / ("cindral-" + std::string(program) + "-" +
                                                         std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

inline void Save(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// b.pat and b.sym: a pattern of two strokes for every number, a one-stroke symbol for each.
inline void WriteLibraries() {
    ByteWriter patterns;
    for (int n = 0; n <= 250; ++n) {
        patterns.U16(2);
        patterns.U16(10);
        patterns.U16(10);
        for (int v : {0, 0, 10, 10, 0, 10, 10, 0}) patterns.U8(static_cast<uint8_t>(v));
        patterns.Zeros(192);
    }
    Save(WorkDir() / "b.pat", patterns.Take());
    ByteWriter symbols;
    for (int n = 0; n < 326; ++n) {
        symbols.U16(1);
        for (int v : {0, 0, 5, 10}) symbols.U8(static_cast<uint8_t>(v));
        symbols.Zeros(196);
    }
    Save(WorkDir() / "b.sym", symbols.Take());
}

inline std::string PatternLibrary() {
    return (WorkDir() / "b.pat").string();
}

inline std::string SymbolLibrary() {
    return (WorkDir() / "b.sym").string();
}

inline std::string MakeLog(int pages, bool labels = false, bool light = false) {
    const std::string path =
        (WorkDir() / ("log" + std::to_string(pages) + (labels ? "-labels" : "") +
                      (light ? "-light" : "") + ".gdx"))
            .string();
    if (fs::exists(path)) return path;
    GdxHeader h;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 20;
    h.TopDepth = 0;
    h.BottomDepth = -220.0 * pages + 1;
    h.FirstHeaderHeight = -1;
    h.NextHeaderHeight = -1;
    h.FooterHeight = -1;
    GdxWriter w(h);
    w.Write(SetColorRecord{0x000080});
    for (double d = 0; d > h.BottomDepth; d -= 1) {
        const double a = 300 + 100 * std::sin(d * 0.05), b = 300 + 100 * std::sin((d - 1) * 0.05);
        w.Write(DrawLineRecord{a, d, 0, b, d - 1, 0});
        if (!light) w.Write(DrawLineRecord{500 + a / 2, d, 0, 500 + b / 2, d - 1, 0});
        if (!light || std::fmod(-d, 5) == 0) w.Write(DrawLineRecord{250, d, 0, 750, d, 0});
        if (std::fmod(-d, 20) == 0) {
            PatternFillBoxRecord box;
            box.x1 = 20;
            box.x2 = 200;
            box.y1 = d;
            box.y2 = d - 20;
            box.pattern = static_cast<int32_t>(-d / 20) % 250;
            w.Write(box);
        }
        if (labels && std::fmod(-d, 50) == 0) {
            DrawFontTextRecord label;
            label.x = 210;
            label.y = d;
            label.height = 8;
            label.sizeMode = 3;
            label.text = std::to_string(static_cast<int>(-d));
            w.Write(label);
        }
    }
    w.Save(path);
    return path;
}

}  // namespace cindral::bench
