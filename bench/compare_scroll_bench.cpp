// Two 300-page logs compared in the viewer's own window (offscreen): how long one linked
// scroll step of the first log takes until the second log's pane shows its pages in view,
// repainted. Small steps back and forth stay on pages the pane has drawn already (cached);
// jumps of several pages need pages the pane's drawing thread has not drawn (not cached).
// The time runs from the scroll to the pane's repaint; waiting for the threads to go idle
// between steps is left out.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "app/view/compare_pane.h"
#include "app/view/page_strip.h"
#include "app/view/page_worker.h"
#include "app/window/cindral_frm.h"
#include "app/window/cindral_frm_compare.h"
#include "bench/bench_logs.h"
#include "core/environment/settings.h"

namespace {

using cindral::app::ComparePane;
using cindral::app::TCindralFrm;
using cindral::bench::MakeLog;
using cindral::bench::WorkDir;

bool WaitFor(const std::function<bool()>& done, int timeout_ms = 60000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout_ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// One window comparing log300.gdx with log300-labels.gdx, made once for every benchmark.
struct Session {
    Session() {
        cindral::bench::WriteLibraries();
        first = MakeLog(300);
        second = MakeLog(300, /*labels=*/true);
        // The window's own settings (recent files, remembered views and pairs) stay here.
        const QString config = QString::fromStdString((WorkDir() / "config").string());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Cindral", "Cindral")
            .setValue("Zoom", "100");
        settings.PatternFile = cindral::bench::PatternLibrary();
        settings.SymbolFile = cindral::bench::SymbolLibrary();
        settings.WindowTop = 0;
        settings.WindowLeft = 0;
        settings.WindowWidth = 1800;
        settings.WindowHeight = 1000;
        window = std::make_unique<TCindralFrm>(settings);
        window->show();
        if (!window->OpenFile(QString::fromStdString(first)) ||
            !window->Compare->CompareWith(QString::fromStdString(second))) {
            std::abort();
        }
        Idle();
    }

    ComparePane& Pane() { return *window->Compare->Pane(); }
    QScrollBar* FirstBar() { return window->ScrollBox1->verticalScrollBar(); }

    // Both threads done, the pages in view shown.
    void Idle() {
        WaitFor([&] {
            return window->DisplayedPage == window->ShownPage && Pane().PagesInViewShown() &&
                   Pane().Worker()->DrawingPage() < 0;
        });
        for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    }

    // One step of the first log to `value`; the seconds until the pane shows it.
    double Step(int value) {
        QElapsedTimer clock;
        clock.start();
        FirstBar()->setValue(value);
        if (!WaitFor([&] { return Pane().PagesInViewShown(); })) std::abort();
        Pane().Area()->viewport()->repaint();
        return clock.nsecsElapsed() * 1e-9;
    }

    cindral::Settings settings;
    std::string first;
    std::string second;
    std::unique_ptr<TCindralFrm> window;
};

Session& TheSession() {
    static Session session;
    return session;
}

// A wheel step's worth (three lines of 20 pixels) down and back up: the pane's pages are
// drawn already.
void LinkedScrollCached(benchmark::State& state) {
    Session& s = TheSession();
    const int page = s.window->Strip->PageTop(1);
    const int start = 150 * page;
    s.FirstBar()->setValue(start);
    s.Idle();
    int step = 0;
    for (auto _ : state) {
        state.SetIterationTime(s.Step(start + (step++ % 2 == 0 ? 60 : 0)));
    }
    state.SetLabel("pages in view already drawn");
}

BENCHMARK(LinkedScrollCached)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Seven pages at a time through the log: the pane draws the pages that come into view.
void LinkedScrollNotCached(benchmark::State& state) {
    Session& s = TheSession();
    const int page = s.window->Strip->PageTop(1);
    int at = 20;
    for (auto _ : state) {
        at = at + 7 < 280 ? at + 7 : 20;
        state.SetIterationTime(s.Step(at * page + page / 3));
        s.Idle();
    }
    state.SetLabel("pages in view drawn by the pane's thread");
}

BENCHMARK(LinkedScrollNotCached)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheSession().window.reset();
    return 0;
}
