#pragma once
// Message boxes as modal QMessageBox dialogs, with the icon of their kind.

#include "core/environment/ui.h"

namespace cindral::app {

class QtUi : public Ui {
  public:
    Answer ShowMessage(MessageKind kind, const std::string& caption, const std::string& text,
                       Buttons buttons) override;
    // Takes back every busy cursor an operation set.
    void RestoreCursor() override;
};

}  // namespace cindral::app
