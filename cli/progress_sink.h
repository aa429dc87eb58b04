#pragma once
// Progress of long work on stderr, and Ctrl-C as a clean cancel. The bar is drawn only when
// stderr is a terminal; an interrupt ends the work at the next poll with Cancelled, so the
// command exits 1 with "cancelled" and writes no half-made output. A second Ctrl-C ends the
// program at once.

#include <cstdio>
#include <string>

#include "core/environment/status.h"

namespace cindral::cli {

class ProgressSink : public StatusSink {
  public:
    // `out` receives the bar when `draw` is true.
    ProgressSink(std::FILE* out, bool draw, int width = 80);
    ~ProgressSink() override;

    void ShowStatus(const std::string& text) override;
    void ShowProgress(double fraction) override;
    void HideStatus() override;
    // Nobody can be asked on the command line: the interrupt is the confirmation.
    bool CancelRequested() override;

  private:
    void Draw();
    void Clear();

    std::FILE* out_;
    bool draw_;
    int width_;
    std::string label_;
    double fraction_ = 0;
    bool shown_ = false;
};

// One line of the bar: "[#####.....]  50% label", cut to `width` characters.
std::string ProgressLine(const std::string& label, double fraction, int width);

// Routes SIGINT to `sink` (one request; the default action is restored for the next one).
void CancelOnInterrupt(StatusSink& sink);

}  // namespace cindral::cli
