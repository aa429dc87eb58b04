#pragma once
// Status lines, progress, cancel and the diagnostic log, as long operations report them.
// Core code calls the free functions; where they end up (the status window, a progress bar
// on stderr, a recorder in tests) is chosen once at start-up by installing a StatusSink.

#include <atomic>
#include <string>

namespace cindral {

class StatusSink {
  public:
    virtual ~StatusSink() = default;

    // Adds a status line (and shows the status display if it is hidden).
    virtual void ShowStatus(const std::string& text) {}
    // Sets the progress gauge; `fraction` runs from 0 to 1.
    virtual void ShowProgress(double fraction) {}
    // Clears and hides the status display.
    virtual void HideStatus() {}

    // True once per cancel request the user has confirmed. A pending request is consumed
    // whatever the answer. The default asks through the current Ui.
    virtual bool CancelRequested();

    // Called when the user presses Cancel; safe from a signal handler.
    void RequestCancel() { cancel_pending_ = true; }
    // Forgets a request nobody has confirmed yet (a new operation starts afresh).
    void DropCancelRequest() { cancel_pending_ = false; }
    bool CancelPending() const { return cancel_pending_; }

  private:
    std::atomic<bool> cancel_pending_{false};
};

// The installed sink; a silent one until something is installed.
StatusSink& CurrentStatusSink();
// Installs `sink` (not owned) and returns the previous one; nullptr restores the silent sink.
StatusSink* SetStatusSink(StatusSink* sink);

// Installs `sink` for the calling thread only, ahead of the process-wide one; a thread that
// draws in the background reports there. Returns the previous one; nullptr removes it.
StatusSink* SetThreadStatusSink(StatusSink* sink);

// Installs a sink for the lifetime of a scope, then puts the previous one back.
class ScopedStatusSink {
  public:
    explicit ScopedStatusSink(StatusSink& sink) : previous_(SetStatusSink(&sink)) {}
    ~ScopedStatusSink() { SetStatusSink(previous_); }
    ScopedStatusSink(const ScopedStatusSink&) = delete;
    ScopedStatusSink& operator=(const ScopedStatusSink&) = delete;

  private:
    StatusSink* previous_;
};

void ShowStatus(const std::string& text);
void ShowProgress(double fraction);
void HideStatus();
bool CancelRequested();

// Hides the status display when a scope ends, however it ends (done, failed or cancelled):
// the display a long operation brought up never outlives it.
class HideStatusOnExit {
  public:
    HideStatusOnExit() = default;
    ~HideStatusOnExit() { HideStatus(); }
    HideStatusOnExit(const HideStatusOnExit&) = delete;
    HideStatusOnExit& operator=(const HideStatusOnExit&) = delete;
};

// The caption and question of the cancel confirmation.
extern const char* const kCancelCaption;
extern const char* const kCancelQuestion;

// Appends `text` as one line to the current log file, opening and closing the file for each
// line so the log survives a crash up to its last line. Raises IoError when the file cannot
// be appended to. Does nothing while no log file is set (the CLI and most tests).
void LogLine(const std::string& text);
// Makes `path` the file LogLine appends to; an empty path turns logging off.
void SetLogFile(const std::string& path);
const std::string& CurrentLogFile();
// Creates (or empties) `path`, writes `first_line` and makes it the current log file.
// Raises IoError when the file cannot be created.
void StartLogFile(const std::string& path, const std::string& first_line);

}  // namespace cindral
