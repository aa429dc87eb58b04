// Exports a generated 300-page log (the long log of render_page_bench) as one EMF and one
// SVG drawing: time per export, bytes written and the process's peak memory. The recording
// is streamed into the file, so memory should stay near the size of the recording once.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/environment/document_settings.h"
#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "render/document/log_document.h"
#include "render/renderers/metafile_export.h"

namespace {

namespace fs = std::filesystem;

const fs::path& WorkDir() {
    static const fs::path dir = [] {
        fs::path d =
            fs::temp_directory_path() / ("cindral-metafile-bench-" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

void Save(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteLibraries() {
    cindral::ByteWriter patterns;
    for (int n = 0; n <= 250; ++n) {
        patterns.U16(2);
        patterns.U16(10);
        patterns.U16(10);
        for (int v : {0, 0, 10, 10, 0, 10, 10, 0}) patterns.U8(static_cast<uint8_t>(v));
        patterns.Zeros(192);
    }
    Save(WorkDir() / "b.pat", patterns.Take());
    cindral::ByteWriter symbols;
    for (int n = 0; n < 326; ++n) {
        symbols.U16(1);
        for (int v : {0, 0, 5, 10}) symbols.U8(static_cast<uint8_t>(v));
        symbols.Zeros(196);
    }
    Save(WorkDir() / "b.sym", symbols.Take());
}

// A log of `pages` pages of 11 in at 20 depth units per inch: per foot of log a curve
// segment on two tracks, a grid line, and every 20 units a lithology pattern box.
std::string MakeLog(int pages) {
    const std::string path = (WorkDir() / ("log" + std::to_string(pages) + ".gdx")).string();
    if (fs::exists(path)) return path;
    cindral::GdxHeader h;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 20;
    h.TopDepth = 0;
    h.BottomDepth = -220.0 * pages + 1;
    h.FirstHeaderHeight = -1;
    h.NextHeaderHeight = -1;
    h.FooterHeight = -1;
    cindral::GdxWriter w(h);
    w.Write(cindral::SetColorRecord{0x000080});
    for (double d = 0; d > h.BottomDepth; d -= 1) {
        const double a = 300 + 100 * std::sin(d * 0.05), b = 300 + 100 * std::sin((d - 1) * 0.05);
        w.Write(cindral::DrawLineRecord{a, d, 0, b, d - 1, 0});
        w.Write(cindral::DrawLineRecord{500 + a / 2, d, 0, 500 + b / 2, d - 1, 0});
        w.Write(cindral::DrawLineRecord{250, d, 0, 750, d, 0});
        if (std::fmod(-d, 20) == 0) {
            cindral::PatternFillBoxRecord box;
            box.x1 = 20;
            box.x2 = 200;
            box.y1 = d;
            box.y2 = d - 20;
            box.pattern = static_cast<int32_t>(-d / 20) % 250;
            w.Write(box);
        }
    }
    w.Save(path);
    return path;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void ExportWholeLog(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    const auto format = static_cast<cindral::MetafileFormat>(state.range(1));
    const std::string log = MakeLog(pages);
    cindral::DocumentSettings files;
    files.pattern_file = (WorkDir() / "b.pat").string();
    files.symbol_file = (WorkDir() / "b.sym").string();
    cindral::MetafileExportOptions options;
    options.format = format;
    options.output =
        (WorkDir() / (format == cindral::MetafileFormat::Emf ? "out.emf" : "out.svg")).string();
    cindral::MetafileExportResult result;
    cindral::LogDocumentOptions opening;
    opening.files = files;
    for (auto _ : state) {
        cindral::LogDocument opened(log, opening);
        auto document = cindral::MakeMetafileRenderer(opened, opened.Header());
        result = cindral::ExportMetafile(*document, options);
    }
    state.counters["MB"] = double(result.bytes) / 1e6;
    state.counters["calls"] = double(result.drawing_calls);
    state.counters["recording_MB"] = double(result.recorded_bytes) / 1e6;
    state.counters["peak_MB"] = PeakMegabytes();
    state.SetLabel(std::to_string(pages) + " pages, " + std::to_string(result.extent.width) +
                   " x " + std::to_string(result.extent.height) + " units");
}

BENCHMARK(ExportWholeLog)
    ->Args({300, int(cindral::MetafileFormat::Emf)})
    ->Args({300, int(cindral::MetafileFormat::Svg)})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    WriteLibraries();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(WorkDir(), ignored);
    return 0;
}
