// Prints a generated 30-page and 300-page log to PDF through the print routine the viewer
// and `cindral-cli print` use: pages per second, bytes per page, and the peak heap of a
// print run above the open document, which must not grow with the page count (pages go to
// the file as they are drawn).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "render/document/log_document.h"
#include "render/document/print_pages.h"

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

const fs::path& WorkDir() {
    static const fs::path dir = [] {
        fs::path d =
            fs::temp_directory_path() / ("cindral-print-bench-" + std::to_string(getpid()));
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

// The log of render_page_bench: 11-inch pages at 20 depth units per inch; per foot a curve
// segment on two tracks and a grid line, every 20 units a lithology pattern box, and a
// depth label every 50 units so each page carries text.
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
        if (std::fmod(-d, 50) == 0) {
            cindral::DrawFontTextRecord label;
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

cindral::LogDocumentOptions Options() {
    cindral::LogDocumentOptions options;
    options.files.pattern_file = (WorkDir() / "b.pat").string();
    options.files.symbol_file = (WorkDir() / "b.sym").string();
    return options;
}

void PrintToPdf(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    cindral::LogDocument doc(MakeLog(pages), Options());
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

// Peak heap of printing a whole open log, above what the open document holds.
long long PeakHeapOfPrint(int pages) {
    cindral::LogDocument doc(MakeLog(pages), Options());
    const long long before = g_live.load();
    g_peak = before;
    cindral::WritePdf(doc, (WorkDir() / "heap.pdf").string(), 0, doc.LastPage());
    return g_peak.load() - before;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    WriteLibraries();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const long long heap30 = PeakHeapOfPrint(30);
    const long long heap300 = PeakHeapOfPrint(300);
    std::printf(
        "peak heap of a print run above the open document: 30 pages %lld KiB, "
        "300 pages %lld KiB (ratio %.2f, target about 1)\n",
        heap30 / 1024, heap300 / 1024, heap30 > 0 ? double(heap300) / heap30 : 0.0);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(WorkDir(), ignored);
    return 0;
}
