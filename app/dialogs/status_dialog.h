#pragma once
// The status window: a small always-on-top window at the right edge of the screen that shows
// the lines and the progress of a long operation, with a Cancel button. It is the GUI's
// status sink; ShowStatus and ShowProgress process pending events, which is how the Cancel
// button and repaints are served while the operation runs on the GUI thread.

#include <QWidget>
#include <string>

#include "core/environment/status.h"

class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QFrame;

namespace cindral::app {

class TStatusForm : public QWidget, public StatusSink {
    Q_OBJECT
  public:
    // `diagnostic_layout`: full screen height at the right edge, free memory in the caption.
    explicit TStatusForm(bool diagnostic_layout = false, QWidget* parent = nullptr);

    void ShowStatus(const std::string& text) override;
    void ShowProgress(double fraction) override;
    void HideStatus() override;

    // Lines added since the memo was last cleared by ShowStatus itself.
    int LineCount() const { return line_count_; }

    QPlainTextEdit* StatusMemo;
    QFrame* ButtonPanel;
    QProgressBar* StatusGauge;
    QPushButton* CancelButton;

    // The status lines after which ShowStatus clears the memo.
    static constexpr int kMaxLines = 50;
    static constexpr int kButtonPanelHeight = 27;

  protected:
    // Placed again once the window manager's frame is known, so the frame stays on screen.
    void showEvent(QShowEvent* event) override;

  private:
    void CancelButtonClick();
    void PlaceOnScreen();
    QString FreeMemoryText() const;

    bool diagnostic_layout_;
    int line_count_ = 0;
};

// The status window's place (without its frame): its size from the whole `screen`, at the
// right edge and near the bottom (the diagnostic layout: the whole height), moved and held so
// that with `frame` around it, it lies inside `available`, the part of the screen the
// desktop's panels leave.
QRect StatusWindowPlace(const QRect& screen, const QRect& available, const QMargins& frame,
                        bool diagnostic_layout);

// The gauge position for a fraction of the work: round(fraction × 100), held to 0..100.
int GaugePercent(double fraction);

}  // namespace cindral::app
