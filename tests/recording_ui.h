#pragma once
// A Ui that remembers every message and answers from a script; for tests and batch runs
// that want to inspect exactly what would have been shown.

#include <deque>
#include <string>
#include <vector>

#include "core/environment/ui.h"

namespace cindral {

struct RecordedMessage {
    MessageKind kind;
    std::string caption;
    std::string text;
    Buttons buttons;
};

class RecordingUi : public Ui {
  public:
    Answer ShowMessage(MessageKind kind, const std::string& caption, const std::string& text,
                       Buttons buttons) override {
        messages.push_back({kind, caption, text, buttons});
        if (answers.empty()) return SafeDefault(buttons);
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void RestoreCursor() override { ++cursor_restores; }

    std::vector<RecordedMessage> messages;
    std::deque<Answer> answers;  // consumed in order; the safe default when empty
    int cursor_restores = 0;
};

}  // namespace cindral
