#pragma once
// Draws the pages of the open log on a thread of its own, so the window never waits for a
// page: the page asked for comes first, then pages asked for ahead of time (the next and the
// previous one). Finished pages are kept, a few at a time, so paging back and forth shows them
// at once. The thread draws from its own copy of the log document (same bytes, interval,
// page length and resolution); a new document or layout makes what was drawn before stale.

#include <QImage>
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace cindral {
class LogDocument;
}

namespace cindral::app {

class PageWorker : public QObject {
    Q_OBJECT
  public:
    explicit PageWorker(QObject* parent = nullptr);
    ~PageWorker() override;

    // Draws from now on from a copy of `document`; pages drawn before are forgotten and a
    // page being drawn is stopped. nullptr stops drawing.
    void SetDocument(const LogDocument* document);
    // The page when it is drawn already.
    bool Drawn(int page, QImage& image) const;
    // Draws `page` next, before anything asked for ahead of time.
    void Request(int page);
    // Draws `page` when nothing else is wanted.
    void Prefetch(int page);
    // The page being drawn and how far it is (0 to 1); -1 when idle.
    int DrawingPage() const { return drawing_page_; }
    double Progress() const { return progress_; }
    // Stops the page being drawn, or the one asked for last when it has not started; it is
    // reported as cancelled.
    void CancelDrawing();
    // For tests: runs on the drawing thread as each page starts, before its first command, so
    // a test can hold a page there and act while it is being drawn.
    void SetPageStart(std::function<void(int page)> hook);

  signals:
    // A page of the current document is done: drawn (`error` empty), failed, or cancelled.
    void PageDone(int page, const QImage& image, const QString& error, bool cancelled);

  private:
    struct Job {
        int page;
        bool prefetch;
    };
    void Run();
    void Finished(int generation, int page, const QImage& image, const QString& error,
                  bool cancelled);
    void Remember(int page, const QImage& image);

    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    int generation_ = 0;
    std::unique_ptr<LogDocument> next_document_;
    bool replace_document_ = false;
    std::deque<Job> jobs_;
    std::atomic<int> drawing_page_{-1};
    std::atomic<double> progress_{0};
    std::atomic<bool> cancel_{false};
    std::function<void(int)> page_start_;
    // Pages drawn for the current generation, most recently used first (window thread only).
    std::list<std::pair<int, QImage>> drawn_;
};

}  // namespace cindral::app
