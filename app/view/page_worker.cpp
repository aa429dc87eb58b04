#include "app/view/page_worker.h"

#include <QCoreApplication>
#include <algorithm>
#include <exception>

#include "core/base/errors.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

// Pages kept after they were shown: the page on screen and its neighbours both ways.
constexpr size_t kDrawnPagesKept = 6;

// The drawing thread's status: progress and cancel through atomics the window reads.
class WorkerSink : public StatusSink {
  public:
    WorkerSink(std::atomic<double>& progress, std::atomic<bool>& cancel)
        : progress_(progress), cancel_(cancel) {}
    void ShowProgress(double fraction) override { progress_ = fraction; }
    bool CancelRequested() override {
        if (!cancel_.exchange(false)) return false;
        cancelled = true;
        return true;
    }
    bool cancelled = false;

  private:
    std::atomic<double>& progress_;
    std::atomic<bool>& cancel_;
};

// A message from the drawing thread is shown by the window's thread; the drawing goes on
// with the safe answer.
class WorkerUi : public Ui {
  public:
    Answer ShowMessage(MessageKind kind, const std::string& caption, const std::string& text,
                       Buttons buttons) override {
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(
                app, [=] { CurrentUi().ShowMessage(kind, caption, text, Buttons::Ok); },
                Qt::QueuedConnection);
        }
        return SafeDefault(buttons);
    }
};

}  // namespace

PageWorker::PageWorker(QObject* parent) : QObject(parent) {
    thread_ = std::thread([this] { Run(); });
}

PageWorker::~PageWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        jobs_.clear();
    }
    cancel_ = true;
    wake_.notify_all();
    thread_.join();
}

void PageWorker::SetDocument(const LogDocument* document) {
    // The copy opens its own libraries; made here so a failure reaches the caller.
    std::unique_ptr<LogDocument> copy = document ? document->Copy() : nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++generation_;
        next_document_ = std::move(copy);
        replace_document_ = true;
        jobs_.clear();
        // Stops the page being drawn for the old document; taken back when the thread
        // changes documents, so the first page of the new one is not stopped by it.
        cancel_ = true;
    }
    drawn_.clear();
    wake_.notify_all();
}

bool PageWorker::Drawn(int page, QImage& image) const {
    for (const auto& [number, picture] : drawn_) {
        if (number == page) {
            image = picture;
            return true;
        }
    }
    return false;
}

void PageWorker::Request(int page) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // Only the newest page asked for matters; pages wanted ahead of time wait behind it.
        jobs_.erase(std::remove_if(jobs_.begin(), jobs_.end(),
                                   [&](const Job& j) { return !j.prefetch || j.page == page; }),
                    jobs_.end());
        jobs_.push_front({page, false});
        // A new page asked for starts without the cancel of an earlier one.
        cancel_ = false;
    }
    wake_.notify_all();
}

void PageWorker::Prefetch(int page) {
    QImage ignored;
    if (page < 0 || Drawn(page, ignored) || drawing_page_ == page) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Job& j : jobs_) {
            if (j.page == page) return;
        }
        jobs_.push_back({page, true});
    }
    wake_.notify_all();
}

void PageWorker::CancelDrawing() {
    // Also when the page has not started yet: its first command then stops it.
    cancel_ = true;
}

void PageWorker::SetPageStart(std::function<void(int page)> hook) {
    std::lock_guard<std::mutex> lock(mutex_);
    page_start_ = std::move(hook);
}

void PageWorker::Remember(int page, const QImage& image) {
    drawn_.remove_if([&](const auto& entry) { return entry.first == page; });
    drawn_.emplace_front(page, image);
    while (drawn_.size() > kDrawnPagesKept) drawn_.pop_back();
}

void PageWorker::Finished(int generation, int page, const QImage& image, const QString& error,
                          bool cancelled) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (generation != generation_) return;  // drawn for a layout that is gone
    }
    if (error.isEmpty() && !cancelled) Remember(page, image);
    emit PageDone(page, image, error, cancelled);
}

void PageWorker::Run() {
    std::unique_ptr<LogDocument> document;
    WorkerSink sink(progress_, cancel_);
    WorkerUi ui;
    SetThreadStatusSink(&sink);
    SetThreadUi(&ui);
    for (;;) {
        Job job{};
        int generation = 0;
        std::unique_ptr<LogDocument> retired;
        std::function<void(int)> page_start;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || replace_document_ || !jobs_.empty(); });
            if (stop_) break;
            if (replace_document_) {
                retired = std::move(document);
                document = std::move(next_document_);
                replace_document_ = false;
                cancel_ = false;
            }
            if (jobs_.empty() || !document) {
                jobs_.clear();
                continue;
            }
            job = jobs_.front();
            jobs_.pop_front();
            generation = generation_;
            drawing_page_ = job.page;
            progress_ = 0;
            page_start = page_start_;
        }
        retired.reset();
        if (page_start) page_start(job.page);
        QImage image;
        QString error;
        sink.cancelled = false;
        try {
            image = document->RenderPage(job.page);
        } catch (const std::exception& e) {
            error = QString::fromStdString(e.what());
        }
        const bool cancelled = sink.cancelled;
        drawing_page_ = -1;
        QMetaObject::invokeMethod(
            this, [=] { Finished(generation, job.page, image, error, cancelled); },
            Qt::QueuedConnection);
    }
    SetThreadStatusSink(nullptr);
    SetThreadUi(nullptr);
}

}  // namespace cindral::app
