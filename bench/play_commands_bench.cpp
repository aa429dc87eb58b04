// Plays a long compiled log into a target that draws nothing, to measure the interpreter
// alone: commands per second, and the peak of live heap bytes during a play, which must not
// grow with the length of the file.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <new>
#include <string>

#include "bench/bench_logs.h"
#include "bench/heap_counter.h"
#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "core/interpreter/gd_object.h"

namespace cindral {
namespace {

// A target with every line-producing default replaced by nothing.
class NullTarget : public gd_object {
  public:
    using gd_object::gd_object;
    void DrawLine(const DrawLineRecord&) override {}
    void DrawArc(const DrawArcRecord&) override {}
    void DrawCircle(const DrawCircleRecord&) override {}
    void DrawSymbol(const DrawSymbolRecord&) override {}
    void DrawStrokeText(const DrawStrokeTextRecord&, bool) override {}
    void PatternFillBox(const PatternFillBoxRecord&) override {}
    void PolyFill(const PolyFillRecord&, const std::vector<PointRecord>&) override {}
    void DrawPolyline(const std::vector<PointRecord>&) override {}
};

constexpr int kCommandsPerPage = 40;
constexpr double kUnitsPerPage = 220;

struct Files {
    std::string folder;
    std::string patterns, symbols;
    std::map<int, std::string> logs;
    std::map<int, long> commands;
};

Files& Shared() {
    static Files files = [] {
        Files f;
        f.folder = (std::filesystem::temp_directory_path() /
                    ("cindral-bench-" + std::to_string(::getpid())))
                       .string();
        std::filesystem::create_directories(f.folder);
        f.patterns = f.folder + "/bench.pat";
        f.symbols = f.folder + "/bench.sym";
        WriteFileBytes(f.patterns, std::vector<uint8_t>(size_t(251) * 206, 0));
        WriteFileBytes(f.symbols, std::vector<uint8_t>(size_t(326) * 202, 0));
        std::atexit([] { std::filesystem::remove_all(Shared().folder); });
        return f;
    }();
    return files;
}

// A log of `pages` pages, each with curve segments, a lithology box, a polyline, text, a
// symbol, a colour change and a grid.
const std::string& Log(int pages) {
    Files& f = Shared();
    auto it = f.logs.find(pages);
    if (it != f.logs.end()) return it->second;
    GdxHeader h;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 20;
    h.TopDepth = 0;
    h.BottomDepth = -kUnitsPerPage * pages;
    GdxWriter w(h);
    for (int p = 0; p < pages; ++p) {
        double top = -kUnitsPerPage * p;
        w.Write(SetColorRecord{0x0000FF * (p % 2)});
        w.Write(PatternFillBoxRecord{30, top, 180, top - 100, 7, 1, 1, 1});
        GdxCommand curve{DrawPolylineRecord()};
        for (int i = 0; i < 20; ++i) curve.points.push_back({260.0 + (i * 37) % 200, top - i});
        w.Write(curve);
        DrawTextRecord label;
        label.x = 200;
        label.y = top - 5;
        label.text = "Depth " + std::to_string(p * 220);
        w.Write(label);
        w.Write(DrawSymbolRecord{100, top - 50, 0, 42, 1, 1, 0});
        w.Write(GridRecord{480, top - 200, 800, top, 40, 20});
        for (int i = 6; i < kCommandsPerPage; ++i) {
            w.Write(DrawLineRecord{480.0 + i, top - i * 5, 0, 481.0 + i, top - i * 5 - 5, 0});
        }
    }
    std::string path = f.folder + "/log-" + std::to_string(pages) + ".gdx";
    w.Save(path);
    f.commands[pages] = static_cast<long>(pages) * kCommandsPerPage;
    return f.logs[pages] = path;
}

void BM_PlayCommands(benchmark::State& state) {
    int pages = static_cast<int>(state.range(0));
    const std::string& path = Log(pages);
    NullTarget target(Shared().patterns, Shared().symbols);
    target.FileName = path;
    long long peak_growth = 0;
    for (auto _ : state) {
        long long before = cindral::bench::RestartHeapPeak();
        target.PlayCommands();
        peak_growth = std::max(peak_growth, cindral::bench::HeapPeak() - before);
    }
    long commands = Shared().commands[pages];
    state.SetItemsProcessed(state.iterations() * commands);
    state.counters["commands"] = static_cast<double>(commands);
    state.counters["file_MB"] =
        static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    state.counters["peak_heap_bytes"] = static_cast<double>(peak_growth);
}

BENCHMARK(BM_PlayCommands)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace cindral

BENCHMARK_MAIN();
