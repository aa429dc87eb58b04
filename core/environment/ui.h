#pragma once
// Message boxes, as the core and render layers ask for them. The GUI shows them as dialogs,
// the CLI prints them to stderr and takes the safe default, tests script the answers.

#include <string>

namespace cindral {

enum class MessageKind { Error, Warning, Confirmation, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, Yes };
enum class Answer { Ok, Cancel, Yes, No };

class Ui {
  public:
    virtual ~Ui() = default;
    // Shows one modal message and returns the button the user pressed.
    virtual Answer ShowMessage(MessageKind kind, const std::string& caption,
                               const std::string& text, Buttons buttons) = 0;
    // Puts the normal mouse cursor back (a long operation may have set the busy cursor).
    virtual void RestoreCursor() {}
};

// The process-wide message sink. Until one is installed, messages go to stderr.
Ui& CurrentUi();
// Installs `ui` (not owned) and returns the previous one; nullptr restores the stderr default.
Ui* SetUi(Ui* ui);

// Installs `ui` for the calling thread only, ahead of the process-wide one. Returns the
// previous one; nullptr removes it.
Ui* SetThreadUi(Ui* ui);

// Prints messages to stderr and answers with the safe default (No, Cancel or Ok).
class StderrUi : public Ui {
  public:
    Answer ShowMessage(MessageKind kind, const std::string& caption, const std::string& text,
                       Buttons buttons) override;
};

// A message's text as it is shown: carriage return + line feed, a lone carriage return or a
// vertical tab each break the line, and carriage return + vertical tab (the error table's
// paragraph break) leaves an empty line; blanks at the start of a broken line go. Other
// control characters (but tab) are dropped, so none reaches the screen as a missing glyph.
std::string MessageDisplayText(const std::string& text);

// The safe default answer for a button set when nobody can be asked.
Answer SafeDefault(Buttons buttons);

// Installs a Ui for the lifetime of a scope, then puts the previous one back.
class ScopedUi {
  public:
    explicit ScopedUi(Ui& ui) : previous_(SetUi(&ui)) {}
    ~ScopedUi() { SetUi(previous_); }
    ScopedUi(const ScopedUi&) = delete;
    ScopedUi& operator=(const ScopedUi&) = delete;

  private:
    Ui* previous_;
};

}  // namespace cindral
