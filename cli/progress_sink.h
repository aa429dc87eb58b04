#pragma once
// Progress of long work on stderr, and Ctrl-C, SIGTERM and SIGHUP as a clean cancel. The bar
// is drawn only when stderr is a terminal; a signal ends the work at the next poll with
// Cancelled, so the command exits 1 with "cancelled" and writes no half-made output. A second
// signal of the same kind ends the program at once.

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

    // A progress line in place of the bar, for work the command counts itself: "LABEL D of
    // N" from ShowCount, or "LABEL P%" from the play's own progress when `by_fraction`.
    // While it is open the play's status texts are not drawn, so a page's play does not
    // overwrite the page count. EndLine() ends it with a newline, so it stays on the screen.
    void BeginLine(const std::string& label, bool by_fraction);
    void ShowCount(long done, long total);
    void EndLine();

  private:
    void Draw();
    void DrawLine(const std::string& text);
    void Clear();

    std::FILE* out_;
    bool draw_;
    int width_;
    std::string label_;
    double fraction_ = 0;
    bool shown_ = false;
    bool line_open_ = false;
    bool line_by_fraction_ = false;
    std::string line_label_;
};

// The running command's progress line on the installed ProgressSink, open for the lifetime
// of the scope (on success, failure or cancel alike). Does nothing under any other sink.
class ProgressLineScope {
  public:
    explicit ProgressLineScope(const std::string& label, bool by_fraction = false);
    ~ProgressLineScope();
    ProgressLineScope(const ProgressLineScope&) = delete;
    ProgressLineScope& operator=(const ProgressLineScope&) = delete;

    void Count(long done, long total);

  private:
    ProgressSink* sink_;
};

// One line of the bar: "[#####.....]  50% label", cut to `width` characters.
std::string ProgressLine(const std::string& label, double fraction, int width);

// Routes SIGINT, SIGTERM and SIGHUP to `sink` as a cancel request (one each; the default
// action is restored for the next signal of that kind).
void CancelOnInterrupt(StatusSink& sink);

}  // namespace cindral::cli
