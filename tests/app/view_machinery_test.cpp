// The view's machinery as units, each stepped by the test rather than by time: the zoom
// factors and steps, the file watch through every way a log changes on disk (the watch and
// its settle timer called directly), and the page worker, held at the start of a page while
// the test cancels, asks for other pages or changes documents.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <set>

#include "app/view/file_watch.h"
#include "app/view/page_worker.h"
#include "app/view/zoom.h"
#include "document_states.h"
#include "render/document/log_document.h"
#include "temp_dir.h"

namespace cindral::app {
namespace {

using cindral::testing::TempDir;

TEST(ZoomTable, FactorsStepsAndText) {
    const QSize page(300, 500);
    struct Fit {
        Zoom zoom;
        QSize page;
        QSize room;
        double factor;
    } fits[] = {
        {{ZoomMode::FitWidth, 100}, page, {600, 300}, 2.0},  // the height does not matter
        {{ZoomMode::FitPage, 100}, page, {600, 2000}, 2.0},  // the width limits
        {{ZoomMode::FitPage, 100}, page, {600, 500}, 1.0},   // the height limits
        {{ZoomMode::FitPage, 100}, page, {450, 250}, 0.5},
        {{ZoomMode::FitWidth, 100}, page, {30, 900}, 0.25},   // held to the least zoom
        {{ZoomMode::FitPage, 100}, page, {3000, 5000}, 4.0},  // and to the most
        {{ZoomMode::FitWidth, 100}, page, {0, 300}, 1.0},     // no room yet
        {{ZoomMode::FitPage, 100}, {}, {600, 300}, 1.0},      // no page
        {{ZoomMode::Percent, 150}, page, {10, 10}, 1.5},      // the room does not matter
        {{ZoomMode::Percent, 10}, page, {600, 300}, 0.25},
        {{ZoomMode::Percent, 1000}, page, {600, 300}, 4.0},
    };
    for (const Fit& f : fits) {
        SCOPED_TRACE(::testing::Message() << ZoomText(f.zoom).toStdString() << " room "
                                          << f.room.width() << "x" << f.room.height());
        EXPECT_DOUBLE_EQ(ZoomFactor(f.zoom, f.page, f.room), f.factor);
    }

    struct Step {
        double factor;
        bool in;
        int percent;
    } steps[] = {
        {1.0, true, 125},   {1.0, false, 75},  {1.004, true, 125},  // within half a percent
        {0.996, false, 75}, {1.1, true, 125},  {1.1, false, 100},   // between two steps
        {0.994, true, 100}, {0.25, false, 25}, {0.2, false, 25},    // at and below the least
        {4.0, true, 400},   {5.0, true, 400},  {5.0, false, 400},   // at and above the most
        {0.26, false, 25},  {3.0, true, 400},  {0.33, true, 50},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << s.factor << (s.in ? " in" : " out"));
        const Zoom next = ZoomStep(s.factor, s.in);
        EXPECT_EQ(next.mode, ZoomMode::Percent);
        EXPECT_EQ(next.percent, s.percent);
    }

    struct Text {
        const char* text;
        ZoomMode mode;
        int percent;  // for ZoomMode::Percent
    } texts[] = {
        {"fit-width", ZoomMode::FitWidth, 0}, {"fit-page", ZoomMode::FitPage, 0},
        {"25", ZoomMode::Percent, 25},        {"400", ZoomMode::Percent, 400},
        {"150", ZoomMode::Percent, 150},      {"24", ZoomMode::FitWidth, 0},
        {"401", ZoomMode::FitWidth, 0},       {"big", ZoomMode::FitWidth, 0},
        {"", ZoomMode::FitWidth, 0},
    };
    for (const Text& t : texts) {
        SCOPED_TRACE(t.text);
        const Zoom read = ZoomFromText(t.text);
        EXPECT_EQ(read.mode, t.mode);
        if (t.mode == ZoomMode::Percent) {
            EXPECT_EQ(read.percent, t.percent);
            EXPECT_EQ(ZoomText(read), t.text);
        }
        if (t.mode == ZoomMode::FitPage) {
            EXPECT_EQ(ZoomText(read), t.text);
        }
    }
}

// Each row is a script of what happens on disk and in the watch, with how many changes have
// been reported after each step.
enum class Happens {
    RewrittenInPlace,  // same file, new length
    RenamedOver,       // a new file written beside it and renamed over it
    // Alike but for what tells the files apart: the new file's identity (same length and
    // time), or the time (rewritten to the same length a second later).
    RenamedOverAlike,
    RewrittenAlikeLater,
    Deleted,
    Recreated,
    Reported,      // the system's watch reports the file
    Settling,      // the settle timer runs out
    Acknowledged,  // the viewer read or wrote the file itself
};

struct WatchRow {
    const char* name;
    std::vector<std::pair<Happens, int>> script;
    // At the end; a deleted file's watch goes when the system says so, not checked here.
    std::optional<bool> watching;
    int missing = 0;  // times the file was said to be gone
};

const WatchRow kWatchRows[] = {
    {"ChangedInPlace",
     {{Happens::RewrittenInPlace, 0}, {Happens::Reported, 0}, {Happens::Settling, 1}},
     true},
    {"StillBeingWritten",
     {{Happens::RewrittenInPlace, 0},
      {Happens::Reported, 0},
      {Happens::RewrittenInPlace, 0},
      {Happens::Settling, 0},
      {Happens::Settling, 1}},
     true},
    {"RenamedOverThenChangedAgain",
     {{Happens::RenamedOver, 0},
      {Happens::Reported, 0},
      {Happens::Settling, 1},
      {Happens::Acknowledged, 1},
      {Happens::RewrittenInPlace, 1},
      {Happens::Reported, 1},
      {Happens::Settling, 2}},
     true},
    {"RenamedOverByAFileOfTheSameLengthAndTime",
     {{Happens::RenamedOverAlike, 0}, {Happens::Reported, 0}, {Happens::Settling, 1}},
     true},
    {"RewrittenToTheSameLength",
     {{Happens::RewrittenAlikeLater, 0}, {Happens::Reported, 0}, {Happens::Settling, 1}},
     true},
    {"DeletedAndNotRecreated",
     {{Happens::Deleted, 0},
      {Happens::Reported, 0},
      {Happens::Settling, 0},
      {Happens::Settling, 0}},
     std::nullopt,
     1},
    {"DeletedAndRecreated",
     {{Happens::Deleted, 0},
      {Happens::Reported, 0},
      {Happens::Settling, 0},
      {Happens::Recreated, 0},
      {Happens::Settling, 0},
      {Happens::Settling, 1}},
     true,
     1},
    {"WrittenByTheViewer",
     {{Happens::RewrittenInPlace, 0},
      {Happens::Reported, 0},
      {Happens::Acknowledged, 0},
      {Happens::Settling, 0}},
     true},
    {"ReportedWithoutAChange", {{Happens::Reported, 0}, {Happens::Settling, 0}}, true},
};

class FileWatchTable : public ::testing::TestWithParam<WatchRow> {};

TEST_P(FileWatchTable, ReportsEachSettledChangeOnce) {
    TempDir dir;
    const std::string log = dir.File("log.gdx");
    int length = 100;
    auto write = [&](const std::string& path) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(length++, 'x');
    };
    write(log);
    LogFileWatch watch;
    QSignalSpy settled(&watch, &LogFileWatch::Settled);
    QSignalSpy missing(&watch, &LogFileWatch::Missing);
    watch.Follow(QString::fromStdString(log));
    ASSERT_TRUE(watch.Watching());
    int step = 0;
    for (const auto& [happens, reported] : GetParam().script) {
        SCOPED_TRACE(::testing::Message() << "step " << ++step);
        switch (happens) {
            case Happens::RewrittenInPlace:
            case Happens::Recreated:
                write(log);
                break;
            case Happens::RenamedOver:
                write(dir.File("log.part"));
                std::filesystem::rename(dir.File("log.part"), log);
                break;
            case Happens::RenamedOverAlike: {
                const auto time = std::filesystem::last_write_time(log);
                --length;
                write(dir.File("log.part"));
                std::filesystem::last_write_time(dir.File("log.part"), time);
                std::filesystem::rename(dir.File("log.part"), log);
                break;
            }
            case Happens::RewrittenAlikeLater: {
                const auto time = std::filesystem::last_write_time(log);
                --length;
                write(log);
                std::filesystem::last_write_time(log, time + std::chrono::seconds(1));
                break;
            }
            case Happens::Deleted:
                std::filesystem::remove(log);
                break;
            case Happens::Reported:
                watch.Changed();
                break;
            case Happens::Settling:
                watch.Check();
                break;
            case Happens::Acknowledged:
                watch.Acknowledge();
                break;
        }
        EXPECT_EQ(settled.count(), reported);
    }
    if (GetParam().watching) {
        EXPECT_EQ(watch.Watching(), *GetParam().watching);
    }
    EXPECT_EQ(missing.count(), GetParam().missing);
}

INSTANTIATE_TEST_SUITE_P(Table, FileWatchTable, ::testing::ValuesIn(kWatchRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The system's own watch and timer, once: a file renamed over the log, a rewrite in place on
// the watch set again on the new file, and a file deleted and written again.
TEST(FileWatch, TheSystemsWatchReportsRewritesAndRenames) {
    TempDir dir;
    const std::string log = dir.File("log.gdx");
    std::ofstream(log) << "one";
    LogFileWatch watch;
    QSignalSpy settled(&watch, &LogFileWatch::Settled);
    QSignalSpy missing(&watch, &LogFileWatch::Missing);
    watch.Follow(QString::fromStdString(log));
    std::ofstream(dir.File("log.part")) << "two, longer";
    std::filesystem::rename(dir.File("log.part"), log);
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled.count() == 1; }, 5000));
    watch.Acknowledge();
    std::ofstream(log, std::ios::app) << " and three";
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled.count() == 2; }, 5000));
    // Deleted (the system drops its watch) and written again: the watch is set on the new
    // file, so a later change is seen too.
    watch.Acknowledge();
    std::filesystem::remove(log);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watch.Watching(); }, 5000));
    std::ofstream(log) << "four";
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled.count() == 3; }, 5000));
    watch.Acknowledge();
    std::ofstream(log, std::ios::app) << " and five";
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled.count() == 4; }, 5000));
    EXPECT_TRUE(watch.Watching());
}

// Holds the drawing thread at the start of a page until let go.
class PageGate {
  public:
    void Hold() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = false;
    }
    void Open() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    void Pass(int page) {
        std::unique_lock<std::mutex> lock(mutex_);
        started_.insert(page);
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_; });
    }
    bool WaitStarted(int page) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return started_.count(page) > 0; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    std::set<int> started_;
};

struct Done {
    int page;
    char how;  // 'd' drawn, 'c' cancelled, 'e' failed
    bool operator==(const Done& other) const { return page == other.page && how == other.how; }
};

std::ostream& operator<<(std::ostream& out, const Done& d) {
    return out << d.page << d.how;
}

LogDocumentOptions Libraries() {
    LogDocumentOptions options;
    options.files.pattern_file = cindral::testing::BinDir() + "/QuenUtil.Pat";
    options.files.symbol_file = cindral::testing::BinDir() + "/QuenUtil.Sym";
    return options;
}

// The worker on a log of 12 pages (100 depth units each); `other` is a 3-page log.
struct WorkerBench {
    TempDir dir;
    std::unique_ptr<LogDocument> document;
    std::unique_ptr<LogDocument> other;
    PageGate gate;
    std::vector<Done> done;
    std::vector<QImage> images;
    std::vector<QString> errors;
    PageWorker worker;  // last: its thread stops before the rest goes
    static constexpr int kWarmUp = 10;
    static constexpr int kSentinel = 11;

    WorkerBench() {
        cindral::testing::WriteStatesLog(dir.File("log.gdx"), cindral::testing::kFirstVersion);
        document = std::make_unique<LogDocument>(dir.File("log.gdx"), Libraries(),
                                                 cindral::testing::kStatesDpi);
        document->SetPageLength(true, 100);
        other = std::make_unique<LogDocument>(dir.File("log.gdx"), Libraries(),
                                              cindral::testing::kStatesDpi);
        QObject::connect(&worker, &PageWorker::PageDone,
                         [this](int page, const QImage& image, const QString& error, bool c) {
                             done.push_back({page, c ? 'c' : (error.isEmpty() ? 'd' : 'e')});
                             images.push_back(image);
                             errors.push_back(error);
                         });
        worker.SetPageStart([this](int page) { gate.Pass(page); });
        worker.SetDocument(document.get());
        // Idle on the document from here: the thread has taken it (and the cancel that
        // stopped the previous one) by the time a page of it is done.
        worker.Request(kWarmUp);
        WaitFor(1);
        done.clear();
        images.clear();
        errors.clear();
    }
    bool WaitFor(size_t count) {
        return QTest::qWaitFor([&] { return done.size() >= count; }, 10000);
    }
    // Waits until everything asked for so far is done: a page asked for ahead of time comes
    // after all of it. The sentinel's own report is dropped.
    void Finish() {
        worker.Prefetch(kSentinel);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !done.empty() && done.back().page == kSentinel; }, 10000));
        done.pop_back();
        images.pop_back();
        errors.pop_back();
    }
};

struct WorkerRow {
    const char* name;
    std::function<void(WorkerBench&)> script;
    std::vector<Done> done;
};

const WorkerRow kWorkerRows[] = {
    {"Request", [](WorkerBench& b) { b.worker.Request(3); }, {{3, 'd'}}},
    {"CancelWhileDrawingThenAskAgain",
     [](WorkerBench& b) {
         b.gate.Hold();
         b.worker.Request(2);
         ASSERT_TRUE(b.gate.WaitStarted(2));
         b.worker.CancelDrawing();
         b.gate.Open();
         ASSERT_TRUE(b.WaitFor(1));
         b.worker.Request(2);
     },
     {{2, 'c'}, {2, 'd'}}},
    {"CancelWhileIdleThenRequest",
     [](WorkerBench& b) {
         b.worker.CancelDrawing();
         b.worker.Request(4);
     },
     {{4, 'd'}}},
    {"BurstWhileDrawing",
     [](WorkerBench& b) {
         b.gate.Hold();
         b.worker.Request(0);
         ASSERT_TRUE(b.gate.WaitStarted(0));
         b.worker.Prefetch(5);
         for (int page : {1, 2, 6, 3}) b.worker.Request(page);
         b.worker.Prefetch(3);  // asked for already
         b.worker.Prefetch(5);
         b.gate.Open();
     },
     {{0, 'd'}, {3, 'd'}, {5, 'd'}}},
    {"PageOutsideTheLog", [](WorkerBench& b) { b.worker.Request(12); }, {{12, 'e'}}},
    {"NewDocumentWhileDrawing",
     [](WorkerBench& b) {
         b.gate.Hold();
         b.worker.Request(7);
         ASSERT_TRUE(b.gate.WaitStarted(7));
         b.worker.SetDocument(b.other.get());
         b.gate.Open();
         b.worker.Request(1);
     },
     {{1, 'd'}}},
};

class PageWorkerTable : public ::testing::TestWithParam<WorkerRow> {};

TEST_P(PageWorkerTable, DrawsWhatWasAskedForLast) {
    const WorkerRow& row = GetParam();
    WorkerBench bench;
    row.script(bench);
    bench.Finish();
    EXPECT_EQ(bench.done, row.done);
    LogDocument& drawn_from =
        std::string(row.name) == "NewDocumentWhileDrawing" ? *bench.other : *bench.document;
    for (size_t i = 0; i < bench.done.size() && i < row.done.size(); ++i) {
        const Done& d = bench.done[i];
        SCOPED_TRACE(::testing::Message() << d);
        QImage kept;
        if (d.how == 'd') {
            EXPECT_TRUE(bench.images[i] == drawn_from.RenderPage(d.page));
            EXPECT_TRUE(bench.worker.Drawn(d.page, kept));
            EXPECT_TRUE(kept == bench.images[i]);
        }
        if (d.how == 'e') {
            EXPECT_TRUE(bench.images[i].isNull());
            EXPECT_EQ(bench.errors[i].toStdString(), "Page 13 is not in the log (12 pages).");
        }
    }
    // Nothing was drawn that was not reported.
    QImage ignored;
    for (int page = 0; page < WorkerBench::kWarmUp; ++page) {
        const bool reported = std::any_of(bench.done.begin(), bench.done.end(), [&](const Done& d) {
            return d.page == page && d.how == 'd';
        });
        EXPECT_EQ(bench.worker.Drawn(page, ignored), reported) << page;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PageWorkerTable, ::testing::ValuesIn(kWorkerRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The six pages drawn last are kept, whichever way the user pages.
TEST(PageWorker, KeepsTheSixPagesDrawnLast) {
    WorkerBench bench;
    for (int page : {0, 1, 2, 3, 4, 5, 6, 2, 7}) {
        bench.worker.Request(page);
        ASSERT_TRUE(bench.WaitFor(bench.done.size() + 1));
    }
    QImage image;
    for (int page = 0; page < 9; ++page) {
        EXPECT_EQ(bench.worker.Drawn(page, image), page >= 2 && page <= 7) << page;
    }
}

}  // namespace
}  // namespace cindral::app
