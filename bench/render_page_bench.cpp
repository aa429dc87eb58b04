// Renders page 1 and a middle page of a 30-page and a 300-page log at 96 dpi. Every page
// plays the whole file, so a page of the long log costs about ten times a page of the short
// one; the ratio printed at the end shows how far from that the renderer is.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "render/renderers/logp_object.h"
#include "render/renderers/page_renderer.h"

namespace {

namespace fs = std::filesystem;

const fs::path& WorkDir() {
    static const fs::path dir = [] {
        fs::path d =
            fs::temp_directory_path() / ("cindral-render-bench-" + std::to_string(getpid()));
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

void RenderPage(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    const bool middle = state.range(1) != 0;
    const std::string log = MakeLog(pages);
    cindral::logp_object doc((WorkDir() / "b.pat").string(), (WorkDir() / "b.sym").string());
    doc.FileName = log;
    doc.ReadHeader();
    doc.Close();
    const int page = middle ? pages / 2 : 0;
    for (auto _ : state) {
        QImage image = cindral::RenderPageImage(doc, page, 96);
        benchmark::DoNotOptimize(image.bits());
    }
    state.SetLabel(std::to_string(pages) + " pages, page " + std::to_string(page + 1));
}

BENCHMARK(RenderPage)
    ->Args({30, 0})
    ->Args({30, 1})
    ->Args({300, 0})
    ->Args({300, 1})
    ->Unit(benchmark::kMillisecond);

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
        for (const char* which : {"0", "1"}) {
            const std::string s = std::string("RenderPage/30/") + which;
            const std::string l = std::string("RenderPage/300/") + which;
            if (times_.count(s) && times_.count(l) && times_[s] > 0) {
                std::printf("ratio 300/30 pages, %s page: %.2f\n",
                            which[0] == '0' ? "first" : "middle", times_[l] / times_[s]);
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
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(WorkDir(), ignored);
    return 0;
}
