#include "render/export/parallel_pages.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/base/errors.h"
#include "core/environment/status.h"
#include "render/document/log_document.h"

namespace cindral {
namespace {

// A drawing thread's status: nothing shown, and the batch's stop as its cancel.
class DrawingThreadSink : public StatusSink {
  public:
    explicit DrawingThreadSink(const std::atomic<bool>& stop) : stop_(stop) {}
    bool CancelRequested() override {
        if (stop_.load()) throw Cancelled();
        return false;
    }

  private:
    const std::atomic<bool>& stop_;
};

}  // namespace

int ProcessorCount() {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 256u));
}

void DrawPagesInParallel(const LogDocument& document, int first, int last, int jobs,
                         const PageDelivery& deliver,
                         const std::function<void(long, long)>& progress) {
    const long count = std::max(0, last - first + 1);
    if (count == 0) return;
    jobs = static_cast<int>(std::clamp<long>(jobs, 1, count));
    std::vector<std::unique_ptr<LogDocument>> copies;
    for (int i = 0; i < jobs; ++i) copies.push_back(document.Copy());

    std::atomic<int> next{first};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    long done = 0;
    int running = jobs;
    std::exception_ptr failure;

    auto work = [&](LogDocument& pages) {
        DrawingThreadSink sink(stop);
        SetThreadStatusSink(&sink);
        try {
            for (int page = next++; page <= last && !stop.load(); page = next++) {
                const QImage image = pages.RenderPage(page);
                if (stop.load()) break;  // drawn after the stop: not delivered
                deliver(pages, page, image);
                std::lock_guard<std::mutex> lock(mutex);
                ++done;
                changed.notify_all();
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex);
            if (!failure) failure = std::current_exception();
            stop = true;
        }
        SetThreadStatusSink(nullptr);
        std::lock_guard<std::mutex> lock(mutex);
        --running;
        changed.notify_all();
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < jobs; ++i) threads.emplace_back(work, std::ref(*copies[i]));

    // This thread reports and asks about a cancel (a signal or a button only sets a flag on
    // its sink; confirming it may ask the user, or throw Cancelled).
    StatusSink& status = CurrentStatusSink();
    bool cancelled = false;
    long reported = -1;
    std::unique_lock<std::mutex> lock(mutex);
    while (running > 0) {
        if (done != reported && progress) {
            reported = done;
            const long now = done;
            lock.unlock();
            progress(now, count);
            lock.lock();
            continue;
        }
        if (!cancelled && status.CancelPending()) {
            lock.unlock();
            try {
                cancelled = status.CancelRequested();
            } catch (const Cancelled&) {
                cancelled = true;
            }
            lock.lock();
            if (cancelled) stop = true;
            continue;
        }
        changed.wait_for(lock, std::chrono::milliseconds(50));
    }
    lock.unlock();
    for (std::thread& thread : threads) thread.join();
    if (progress && done != reported) progress(done, count);
    if (cancelled) throw Cancelled();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace cindral
