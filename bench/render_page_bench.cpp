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

#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "render/document/log_document.h"

namespace {

std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void Count(long long delta) {
    long long now = g_live.fetch_add(delta) + delta;
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

// Every allocation carries its size in front, so the live total can be kept exactly.
void* operator new(std::size_t size) {
    void* block = std::malloc(size + 16);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    Count(static_cast<long long>(size));
    return static_cast<char*>(block) + 16;
}

void operator delete(void* p) noexcept {
    if (!p) return;
    void* block = static_cast<char*>(p) - 16;
    Count(-static_cast<long long>(*static_cast<std::size_t*>(block)));
    std::free(block);
}

void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

namespace fs = std::filesystem;

// CINDRAL_BENCH_LOGS=DIR keeps the logs (and libraries) in DIR, for whole-process timings.
const fs::path& WorkDir() {
    static const fs::path dir = [] {
        const char* kept = std::getenv("CINDRAL_BENCH_LOGS");
        fs::path d =
            kept ? fs::path(kept)
                 : fs::temp_directory_path() / ("cindral-render-bench-" + std::to_string(getpid()));
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
    std::string path = (WorkDir() / ("log" + std::to_string(pages) + ".gdx")).string();
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

cindral::LogDocumentOptions Options() {
    cindral::LogDocumentOptions options;
    options.files.pattern_file = (WorkDir() / "b.pat").string();
    options.files.symbol_file = (WorkDir() / "b.sym").string();
    return options;
}

// Open (read, walk, index) and count the pages.
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

// Peak heap of opening a log and rendering its middle page.
long long PeakHeapOfOneRender(int pages, size_t& index_bytes) {
    const std::string log = MakeLog(pages);
    const long long before = g_live.load();
    g_peak = before;
    {
        cindral::LogDocument doc(log, Options());
        index_bytes = doc.Index().MemoryBytes();
        QImage image = doc.RenderPage(doc.PageCount() / 2);
        benchmark::DoNotOptimize(image.bits());
    }
    return g_peak.load() - before;
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
        ratio("RenderPage/300/1/0", "RenderPage/300/1/1",
              "page 150 of 300, whole file / through the index");
        if (times_.count("OpenLog/300")) {
            std::printf("open and count the 300-page log: %.1f ms (target <= 20 ms)\n",
                        times_["OpenLog/300"]);
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
        std::printf("%s\n%s\n", MakeLog(30).c_str(), MakeLog(300).c_str());
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
