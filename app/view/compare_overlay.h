#pragma once
// What a comparison draws over a view's pages without drawing the pages again: the line at the
// row under the mouse, the bracket of a measurement with its figures, and the line at the row
// a log is aligned on. It lies on a scroll area's viewport, follows its size and lets every
// mouse event through to the pages below.

#include <QStringList>
#include <QWidget>
#include <optional>

class QAbstractScrollArea;

namespace cindral::app {

class CompareOverlay : public QWidget {
    Q_OBJECT
  public:
    explicit CompareOverlay(QAbstractScrollArea* area);

    struct Bracket {
        int top = 0;  // viewport rows, top <= base
        int base = 0;
        QStringList figures;
    };

    // Rows of the viewport; nothing hides the item.
    void SetCursorRow(std::optional<int> row);
    void SetBracket(std::optional<Bracket> bracket);
    void SetMarkRow(std::optional<int> row);
    std::optional<int> CursorRow() const { return cursor_; }
    const std::optional<Bracket>& CurrentBracket() const { return bracket_; }
    std::optional<int> MarkRow() const { return mark_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<int> cursor_;
    std::optional<Bracket> bracket_;
    std::optional<int> mark_;
};

}  // namespace cindral::app
