#pragma once
// A status sink that remembers what it was told, for tests that check what a long
// operation reports and how it reacts to Cancel.

#include <string>
#include <vector>

#include "core/environment/status.h"

namespace cindral {

class RecordingStatusSink : public StatusSink {
  public:
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    void ShowProgress(double fraction) override {
        progress.push_back(fraction);
        // The status window serves its Cancel button while it reports progress.
        if (static_cast<int>(progress.size()) == press_cancel_at_progress) RequestCancel();
    }
    void HideStatus() override { ++hides; }
    bool CancelRequested() override {
        ++polls;
        return StatusSink::CancelRequested();
    }

    std::vector<std::string> statuses;
    std::vector<double> progress;
    int hides = 0;
    int polls = 0;
    // The ShowProgress call (from 1) during which the user presses Cancel; 0 for never.
    int press_cancel_at_progress = 0;
};

}  // namespace cindral
