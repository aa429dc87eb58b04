// Prints a generated 30-page and 300-page log to PDF through the print routine the viewer
// and `cindral-cli print` use: pages per second, bytes per page, and the peak heap of a
// print run above the open document, which must not grow with the page count (pages go to
// the file as they are drawn).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "bench/bench_logs.h"
#include "bench/heap_counter.h"
#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "render/document/log_document.h"
#include "render/document/print_pages.h"

namespace {

namespace fs = std::filesystem;
using cindral::bench::MakeLog;
using cindral::bench::WorkDir;
using cindral::bench::WriteLibraries;

cindral::LogDocumentOptions Options() {
    cindral::LogDocumentOptions options;
    options.files.pattern_file = (WorkDir() / "b.pat").string();
    options.files.symbol_file = (WorkDir() / "b.sym").string();
    return options;
}

void PrintToPdf(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    cindral::LogDocument doc(MakeLog(pages, /*labels=*/true), Options());
    const std::string pdf = (WorkDir() / "out.pdf").string();
    for (auto _ : state) {
        cindral::WritePdf(doc, pdf, 0, doc.LastPage());
    }
    const double bytes = static_cast<double>(fs::file_size(pdf));
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(doc.PageCount()), benchmark::Counter::kIsRate);
    state.counters["bytes/page"] = bytes / doc.PageCount();
    state.SetLabel(std::to_string(doc.PageCount()) + " pages");
}

BENCHMARK(PrintToPdf)
    ->Arg(30)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

struct PrintRun {
    long long peak_heap;  // above what the open document holds
    double kb_per_page;   // of the PDF, 1 KB = 1024 bytes
    double seconds;       // the print run, wall clock
    int pages;
};

PrintRun PrintWholeLog(int pages) {
    cindral::LogDocument doc(MakeLog(pages, /*labels=*/true), Options());
    const std::string pdf = (WorkDir() / "heap.pdf").string();
    doc.Index();  // the page index belongs to the open document, as on screen
    const long long before = cindral::bench::RestartHeapPeak();
    const auto start = std::chrono::steady_clock::now();
    cindral::WritePdf(doc, pdf, 0, doc.LastPage());
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const long long peak = cindral::bench::HeapPeak() - before;
    return {peak, double(fs::file_size(pdf)) / 1024 / doc.PageCount(), took.count(),
            doc.PageCount()};
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    WriteLibraries();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const PrintRun run30 = PrintWholeLog(30);
    const PrintRun run300 = PrintWholeLog(300);
    const long long heap30 = run30.peak_heap, heap300 = run300.peak_heap;
    std::printf(
        "peak heap of a print run above the open document: 30 pages %lld KiB, "
        "300 pages %lld KiB (ratio %.2f, target about 1)\n",
        heap30 / 1024, heap300 / 1024, heap30 > 0 ? double(heap300) / heap30 : 0.0);
    std::printf("PDF of the 300-page log: %.1f KB a page (target <= 12)\n", run300.kb_per_page);
    // Printing is linear when ten times the pages take about ten times as long.
    std::printf(
        "printing: 30 pages %.3f s (%.0f pages/s), 300 pages %.3f s (%.0f pages/s), "
        "time ratio %.1f (target <= 11)\n",
        run30.seconds, run30.pages / run30.seconds, run300.seconds, run300.pages / run300.seconds,
        run300.seconds / run30.seconds);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(WorkDir(), ignored);
    return 0;
}
