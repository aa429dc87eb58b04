#include "cli/progress_sink.h"

#include <signal.h>

#include <cmath>
#include <csignal>

#include "core/environment/errors.h"

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
    Draw();
}

void ProgressSink::ShowProgress(double fraction) {
    fraction_ = fraction;
    Draw();
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

void ProgressSink::Clear() {
    if (!draw_ || !shown_) return;
    std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
    shown_ = false;
}

void CancelOnInterrupt(StatusSink& sink) {
    g_interrupt_sink = &sink;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // A second Ctrl-C ends the program at once; interrupted writes carry on.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace cindral::cli
