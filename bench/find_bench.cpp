// Finding text in the 300-page log with depth labels: the first search, which builds the
// text index by playing every page through a canvas that only measures text, and a later
// search over the index built. The baseline is one page drawn at 96 dpi in the same run; the
// figures after the table give both searches in milliseconds and in pages drawn.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench/bench_logs.h"
#include "render/document/log_document.h"
#include "render/document/text_index.h"

namespace {

using cindral::bench::MakeLog;
using cindral::bench::WorkDir;

cindral::LogDocumentOptions Options() {
    cindral::LogDocumentOptions options;
    options.files.pattern_file = cindral::bench::PatternLibrary();
    options.files.symbol_file = cindral::bench::SymbolLibrary();
    return options;
}

const std::string& LabelledLog() {
    static const std::string log = MakeLog(300, /*labels=*/true);
    return log;
}

// The open is not timed: the index waits for the first search.
void FirstSearch(benchmark::State& state) {
    size_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto document = std::make_unique<cindral::LogDocument>(LabelledLog(), Options());
        state.ResumeTiming();
        found = document->Texts()->Find("1250").size();
        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
    state.SetLabel(std::to_string(found) + " matches");
}
BENCHMARK(FirstSearch)->Unit(benchmark::kMillisecond);

void LaterSearch(benchmark::State& state) {
    cindral::LogDocument document(LabelledLog(), Options());
    const std::shared_ptr<const cindral::TextIndex> index = document.Texts();
    size_t found = 0;
    for (auto _ : state) found = index->Find("50", {false, true}).size();
    state.SetLabel(std::to_string(index->Strings().size()) + " strings, " + std::to_string(found) +
                   " matches");
}
BENCHMARK(LaterSearch)->Unit(benchmark::kMillisecond);

void MiddlePage(benchmark::State& state) {
    cindral::LogDocument document(LabelledLog(), Options());
    for (auto _ : state) benchmark::DoNotOptimize(document.RenderPage(150));
}
BENCHMARK(MiddlePage)->Unit(benchmark::kMillisecond);

class FindReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration)
                times_[r.benchmark_name()] = r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (!times_.count("FirstSearch") || !times_.count("LaterSearch") ||
            !times_.count("MiddlePage")) {
            return;
        }
        const double page = times_["MiddlePage"];
        std::printf("first search, index built: %.1f ms = %.2f pages drawn (target <= 100 ms)\n",
                    times_["FirstSearch"], times_["FirstSearch"] / page);
        std::printf("later search: %.3f ms = %.3f pages drawn (target <= 10 ms)\n",
                    times_["LaterSearch"], times_["LaterSearch"] / page);
    }

  private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    cindral::bench::WriteLibraries();
    benchmark::Initialize(&argc, argv);
    FindReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(WorkDir(), ignored);
    return 0;
}
