#pragma once
// Drag to pan: pressing the middle button, or the left one when `left_pans` says so, over a
// scroll area's page and dragging moves the view with the hand, as document viewers do.

#include <QObject>
#include <QPoint>
#include <functional>

class QScrollArea;

namespace cindral::app {

class DragPan : public QObject {
    Q_OBJECT
  public:
    // Watches the area's viewport; Watch() adds the widgets shown in it (their presses reach
    // the filter first).
    DragPan(QScrollArea* area, std::function<bool()> left_pans);
    void Watch(QObject* widget);
    bool Dragging() const { return dragging_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QScrollArea* area_;
    std::function<bool()> left_pans_;
    bool dragging_ = false;
    QPoint press_;
    QPoint start_scroll_;
};

}  // namespace cindral::app
