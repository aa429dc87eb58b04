#include "cli/progress_sink.h"

#include <signal.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <initializer_list>

#include "core/base/errors.h"

namespace cindral::cli {
namespace {

StatusSink* volatile g_interrupt_sink = nullptr;

extern "C" void OnInterrupt(int) {
    // Only an atomic store: safe in a signal handler.
    if (StatusSink* sink = g_interrupt_sink) sink->RequestCancel();
}

constexpr int kBarCells = 30;

}  // namespace

std::string ProgressLine(const std::string& label, double fraction, int width) {
    if (!std::isfinite(fraction) || fraction < 0) fraction = 0;
    if (fraction > 1) fraction = 1;
    int filled = static_cast<int>(fraction * kBarCells);
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(std::lround(fraction * 100)));
    std::string line = "[" + std::string(filled, '#') + std::string(kBarCells - filled, '.') +
                       "] " + percent + " " + label;
    if (width > 0 && static_cast<int>(line.size()) > width) line.resize(width);
    return line;
}

ProgressSink::ProgressSink(std::FILE* out, bool draw, int width)
    : out_(out), draw_(draw), width_(width) {}

ProgressSink::~ProgressSink() {
    if (g_interrupt_sink == this) g_interrupt_sink = nullptr;
    Clear();
}

void ProgressSink::ShowStatus(const std::string& text) {
    label_ = text;
    if (!line_open_) Draw();
}

void ProgressSink::ShowProgress(double fraction) {
    fraction_ = fraction;
    if (!line_open_) {
        Draw();
    } else if (line_by_fraction_) {
        const double clamped = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
        DrawLine(line_label_ + " " + std::to_string(std::lround(clamped * 100)) + "%");
    }
}

void ProgressSink::BeginLine(const std::string& label, bool by_fraction) {
    Clear();
    line_open_ = true;
    line_by_fraction_ = by_fraction;
    line_label_ = label;
}

void ProgressSink::ShowCount(long done, long total) {
    if (!line_open_) return;
    DrawLine(line_label_ + " " + std::to_string(done) + " of " + std::to_string(total));
}

void ProgressSink::EndLine() {
    if (!line_open_) return;
    if (draw_ && shown_) {
        std::fputc('\n', out_);
        std::fflush(out_);
    }
    shown_ = false;
    line_open_ = false;
}

void ProgressSink::HideStatus() {
    Clear();
    label_.clear();
    fraction_ = 0;
}

bool ProgressSink::CancelRequested() {
    if (!CancelPending()) return false;
    DropCancelRequest();
    Clear();
    throw Cancelled();
}

void ProgressSink::Draw() {
    if (!draw_) return;
    // Leave the last column free so the terminal never wraps the line.
    std::fprintf(out_, "\r%s\033[K", ProgressLine(label_, fraction_, width_ - 1).c_str());
    std::fflush(out_);
    shown_ = true;
}

void ProgressSink::DrawLine(const std::string& text) {
    if (!draw_) return;
    const std::string line =
        width_ > 1 && static_cast<int>(text.size()) >= width_ ? text.substr(0, width_ - 1) : text;
    std::fprintf(out_, "\r%s\033[K", line.c_str());
    std::fflush(out_);
    shown_ = true;
}

void ProgressSink::Clear() {
    // An open line is ended by EndLine(), with a newline, never wiped.
    if (!draw_ || !shown_ || line_open_) return;
    std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
    shown_ = false;
}

ProgressLineScope::ProgressLineScope(const std::string& label, bool by_fraction)
    : sink_(dynamic_cast<ProgressSink*>(&CurrentStatusSink())) {
    if (sink_) sink_->BeginLine(label, by_fraction);
}

ProgressLineScope::~ProgressLineScope() {
    if (sink_) sink_->EndLine();
}

void ProgressLineScope::Count(long done, long total) {
    if (sink_) sink_->ShowCount(done, total);
}

void CancelOnInterrupt(StatusSink& sink) {
    g_interrupt_sink = &sink;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // A second signal of the same kind ends the program at once; interrupted writes carry on.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    // A terminal that hangs up and a plain `kill` end the work as Ctrl-C does: the default
    // action would skip the clean-up and leave temporary output files behind.
    for (int number : {SIGINT, SIGTERM, SIGHUP}) sigaction(number, &action, nullptr);
}

}  // namespace cindral::cli
