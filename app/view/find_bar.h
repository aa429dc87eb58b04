#pragma once
// The find bar at the foot of the window, as document viewers have it: the text, Match case,
// Whole words, Previous and Next, what was found ("3 of 17") and the results list's toggle.
// Enter and Shift+Enter step through the matches, Escape closes the bar.

#include <QWidget>

#include "render/document/text_index.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace cindral::app {

class FindBar : public QWidget {
    Q_OBJECT
  public:
    explicit FindBar(QWidget* parent = nullptr);

    QString Text() const;
    FindOptions Options() const;
    // Shows the bar with the text field focused and its text selected.
    void Open();
    void SetSummary(const QString& text);
    // "No matches" is said in red in the field's frame, not in a message box.
    void SetNothingFound(bool nothing);
    bool ResultsShown() const;
    void SetResultsShown(bool shown);

    QLineEdit* Field;
    QCheckBox* MatchCaseCb;
    QCheckBox* WholeWordsCb;
    QToolButton* PreviousBtn;
    QToolButton* NextBtn;
    QLabel* SummaryLbl;
    QToolButton* ResultsBtn;
    QToolButton* CloseBtn;

  signals:
    // The text or an option changed: search again.
    void SearchChanged();
    void StepAsked(bool forward);
    void ResultsToggled(bool shown);
    void Closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace cindral::app
