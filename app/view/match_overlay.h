#pragma once
// The find's highlights over a page picture (or over the continuous view's pages): a
// translucent box over each match, the current one in a stronger colour. It takes no mouse
// events, so the read-out and panning work through it.

#include <QRectF>
#include <QWidget>
#include <vector>

namespace cindral::app {

class MatchOverlay : public QWidget {
    Q_OBJECT
  public:
    explicit MatchOverlay(QWidget* parent);

    // Boxes in the parent's device-independent pixels; `current` may be empty.
    void SetBoxes(std::vector<QRectF> boxes, const QRectF& current);
    const std::vector<QRectF>& Boxes() const { return boxes_; }
    const QRectF& CurrentBox() const { return current_; }

    static const QColor& MatchColour();
    static const QColor& CurrentColour();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<QRectF> boxes_;
    QRectF current_;
};

}  // namespace cindral::app
