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

#include "bench/bench_logs.h"
#include "core/environment/document_settings.h"
#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "render/document/log_document.h"
#include "render/document/metafile_export.h"

namespace {

namespace fs = std::filesystem;
using cindral::bench::MakeLog;
using cindral::bench::WorkDir;
using cindral::bench::WriteLibraries;

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
