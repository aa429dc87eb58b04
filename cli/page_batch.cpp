#include "cli/page_batch.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <regex>
#include <thread>
#include <vector>

#include "cli/command.h"
#include "core/base/errors.h"
#include "core/environment/status.h"
#include "render/document/log_document.h"

namespace cindral::cli {

std::optional<PageRange> ParsePageRange(const std::string& option, const std::string& text,
                                        bool allow_all) {
    if (allow_all && text == "all") return std::nullopt;
    static const std::regex kRange(R"(\s*(\d{1,9})\s*(?:-\s*(\d{1,9})\s*)?)");
    std::smatch match;
    if (!std::regex_match(text, match, kRange)) {
        throw UsageError{option + (allow_all ? " needs A-B, A or all" : " needs A-B or A") +
                         ", whole page numbers from 1"};
    }
    const long first = std::stol(match[1].str());
    const long last = match[2].matched ? std::stol(match[2].str()) : first;
    if (first < 1 || last < first) throw UsageError{option + " needs A-B with 1 <= A <= B"};
    return PageRange{first, last};
}

PageNamePattern::PageNamePattern(const std::string& pattern, bool many_pages) {
    std::string* part = &before_;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            *part += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            *part += '%';
            ++i;
            continue;
        }
        // %[0][width]d, the width at most two digits.
        size_t j = i + 1;
        const bool zeros = j < pattern.size() && pattern[j] == '0';
        if (zeros) ++j;
        int width = 0;
        size_t digits = 0;
        while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j])) &&
               digits < 2) {
            width = width * 10 + (pattern[j] - '0');
            ++j;
            ++digits;
        }
        if (j >= pattern.size() || pattern[j] != 'd') {
            throw UsageError{
                "-o takes the page number as %d or %0Nd (N up to 99); write %% for a "
                "'%' in the name"};
        }
        if (numbered_) throw UsageError{"-o has room for one page number only"};
        numbered_ = true;
        zeros_ = zeros;
        width_ = width;
        part = &after_;
        i = j;
    }
    if (many_pages && !numbered_) {
        throw UsageError{"-o needs %d (or %03d …) in the name for more than one page"};
    }
}

std::string PageNamePattern::NameOf(long page) const {
    if (!numbered_) return before_;
    char number[128];
    std::snprintf(number, sizeof number, zeros_ ? "%0*ld" : "%*ld", width_, page);
    return before_ + number + after_;
}

namespace {

// A drawing thread's status: nothing shown, and the batch's stop as its cancel.
class BatchThreadSink : public StatusSink {
  public:
    explicit BatchThreadSink(const std::atomic<bool>& stop) : stop_(stop) {}
    bool CancelRequested() override {
        if (stop_.load()) throw Cancelled();
        return false;
    }

  private:
    const std::atomic<bool>& stop_;
};

}  // namespace

void RenderPageBatch(const LogDocument& document, PageRange range, const PageNamePattern& names,
                     const PageBatchOptions& options,
                     const std::function<void(long, long)>& progress) {
    const long count = range.last - range.first + 1;
    const int jobs = static_cast<int>(std::clamp<long>(options.jobs, 1, count));
    std::vector<std::unique_ptr<LogDocument>> copies;
    for (int i = 0; i < jobs; ++i) copies.push_back(document.Copy());

    std::atomic<long> next{range.first};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    long done = 0;
    int running = jobs;
    std::exception_ptr failure;

    auto work = [&](LogDocument& pages) {
        BatchThreadSink sink(stop);
        SetThreadStatusSink(&sink);
        try {
            for (long page = next++; page <= range.last && !stop.load(); page = next++) {
                const QImage image = pages.RenderPage(static_cast<int>(page - 1));
                if (stop.load()) break;  // a page drawn after the stop is not written
                SavePicture(image, names.NameOf(page), options.format, options.quality,
                            options.pixels_per_inch);
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

    // This thread reports and watches for a cancel (a signal only sets a flag on its sink).
    StatusSink& status = CurrentStatusSink();
    long reported = -1;
    {
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
            if (status.CancelPending()) stop = true;
            changed.wait_for(lock, std::chrono::milliseconds(50));
        }
    }
    for (std::thread& thread : threads) thread.join();
    if (progress && done != reported) progress(done, count);
    // A cancel is reported as the command's sink reports it (and the request consumed).
    if (status.CancelPending()) {
        status.CancelRequested();
        throw Cancelled();
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace cindral::cli
