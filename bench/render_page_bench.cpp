// Opens and renders pages of a 30-page and a 300-page log at 96 dpi through the log
// document. A page plays only the commands that reach it, so page 150 of the long log should
// cost about what page 1 of the short one costs; opening costs about what reading the bytes
// costs. The figures after the table are the ratios that say so, and the peak heap of an
// open and a page of each log (the long one may exceed the short one by its file and index).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>

#include "bench/bench_logs.h"
#include "bench/heap_counter.h"
#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "render/document/log_document.h"

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

// Open (read and walk; the page index waits for the first page) and count the pages.
void OpenLog(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    const std::string log = MakeLog(pages);
    for (auto _ : state) {
        cindral::LogDocument doc(log, Options());
        benchmark::DoNotOptimize(doc.PageCount());
    }
    state.SetLabel(std::to_string(pages) + " pages, " + std::to_string(fs::file_size(log) / 1024) +
                   " KiB");
}

BENCHMARK(OpenLog)->Arg(30)->Arg(300)->Unit(benchmark::kMillisecond);

// The 300-page log of about 4.2 MB: opening it, and its middle page (a page of the light log
// holds less than a page of the others, so this ratio is not the issue here).
void OpenLightLog(benchmark::State& state) {
    const std::string log = MakeLog(300, false, true);
    for (auto _ : state) {
        cindral::LogDocument doc(log, Options());
        benchmark::DoNotOptimize(doc.PageCount());
    }
    state.SetLabel("300 pages, " + std::to_string(fs::file_size(log) / 1024) + " KiB");
}

BENCHMARK(OpenLightLog)->Unit(benchmark::kMillisecond);

// range(1): 0 the first page, 1 the middle page; range(2): 1 through the index, 0 the whole
// file (the reference behaviour).
void RenderPage(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    const bool middle = state.range(1) != 0;
    const std::string log = MakeLog(pages);
    cindral::LogDocument doc(log, Options());
    doc.SetUseIndex(state.range(2) != 0);
    const int page = middle ? doc.PageCount() / 2 : 0;
    for (auto _ : state) {
        QImage image = doc.RenderPage(page);
        benchmark::DoNotOptimize(image.bits());
    }
    state.SetLabel(std::to_string(doc.PageCount()) + " pages, page " + std::to_string(page + 1) +
                   (state.range(2) ? "" : ", whole file"));
}

BENCHMARK(RenderPage)
    ->Args({30, 0, 1})
    ->Args({30, 1, 1})
    ->Args({300, 0, 1})
    ->Args({300, 1, 1})
    ->Args({30, 0, 0})
    ->Args({300, 1, 0})
    ->Unit(benchmark::kMillisecond);

// What a user waits for: open a log and draw its first page (the index built on the way).
void OpenAndShowFirstPage(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    const std::string log = MakeLog(pages);
    for (auto _ : state) {
        cindral::LogDocument doc(log, Options());
        QImage image = doc.RenderPage(0);
        benchmark::DoNotOptimize(image.bits());
    }
    state.SetLabel(std::to_string(pages) + " pages");
}

BENCHMARK(OpenAndShowFirstPage)->Arg(30)->Arg(300)->Unit(benchmark::kMillisecond);

// Peak heap of opening a log and rendering its middle page, with the file's bytes when they
// are mapped outside the heap (they are held from open to close, so through the peak).
long long PeakHeapOfOneRender(int pages, size_t& index_bytes) {
    const std::string log = MakeLog(pages);
    const long long before = cindral::bench::RestartHeapPeak();
    long long mapped = 0;
    {
        cindral::LogDocument doc(log, Options());
        index_bytes = doc.Index().MemoryBytes();
        QImage image = doc.RenderPage(doc.PageCount() / 2);
        benchmark::DoNotOptimize(image.bits());
        mapped = cindral::g_mapped_file_image_bytes.load();
    }
    return cindral::bench::HeapPeak() - before + mapped;
}

// Prints the 300 / 30 ratio of each page kind after the table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration)
                times_[r.benchmark_name()] = r.GetAdjustedRealTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto ratio = [&](const std::string& a, const std::string& b, const char* what) {
            if (times_.count(a) && times_.count(b) && times_[b] > 0) {
                std::printf("%s: %.2f\n", what, times_[a] / times_[b]);
            }
        };
        ratio("RenderPage/300/1/1", "RenderPage/30/0/1",
              "page 150 of 300 / page 1 of 30 (target <= 1.2)");
        ratio("RenderPage/300/0/1", "RenderPage/30/0/1", "page 1 of 300 / page 1 of 30");
        ratio("OpenAndShowFirstPage/300", "OpenAndShowFirstPage/30",
              "open and first page, 300 / 30 pages (the index is built on the way)");
        ratio("RenderPage/300/1/0", "RenderPage/300/1/1",
              "page 150 of 300, whole file / through the index");
        const std::pair<const char*, const char*> opens[] = {
            {"OpenLog/300", "the 300-page log"}, {"OpenLightLog", "the light 300-page log"}};
        for (const auto& [name, what] : opens) {
            if (times_.count(name)) {
                std::printf("open and count, %s: %.1f ms (target <= 20 ms)\n", what, times_[name]);
            }
        }
    }

  private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    WriteLibraries();
    if (std::getenv("CINDRAL_BENCH_LOGS") != nullptr) {
        // Only the logs are wanted: scripts/bench times the command line on them.
        std::printf("%s\n%s\n%s\n", MakeLog(30).c_str(), MakeLog(300).c_str(),
                    MakeLog(300, false, true).c_str());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    size_t index30 = 0, index300 = 0;
    const long long heap30 = PeakHeapOfOneRender(30, index30);
    const long long heap300 = PeakHeapOfOneRender(300, index300);
    const auto size300 = static_cast<long long>(fs::file_size(MakeLog(300)));
    std::printf(
        "peak heap, open + middle page: 30 pages %lld KiB, 300 pages %lld KiB; "
        "allowed for 300: %lld KiB (30-page figure + file %lld KiB + index %zu KiB)\n",
        heap30 / 1024, heap300 / 1024, (heap30 + size300 + static_cast<long long>(index300)) / 1024,
        size300 / 1024, index300 / 1024);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(WorkDir(), ignored);
    return 0;
}
