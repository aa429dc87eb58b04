#include "app/view/drag_pan.h"

#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

namespace cindral::app {

DragPan::DragPan(QScrollArea* area, std::function<bool()> left_pans)
    : QObject(area), area_(area), left_pans_(std::move(left_pans)) {
    Watch(area->viewport());
}

void DragPan::Watch(QObject* widget) {
    widget->installEventFilter(this);
}

bool DragPan::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* press = static_cast<QMouseEvent*>(event);
            const bool pans = press->button() == Qt::MiddleButton ||
                              (press->button() == Qt::LeftButton && left_pans_ && left_pans_());
            if (!pans) break;
            dragging_ = true;
            press_ = press->globalPosition().toPoint();
            start_scroll_ = {area_->horizontalScrollBar()->value(),
                             area_->verticalScrollBar()->value()};
            area_->viewport()->setCursor(Qt::ClosedHandCursor);
            return true;
        }
        case QEvent::MouseMove: {
            if (!dragging_) break;
            auto* move = static_cast<QMouseEvent*>(event);
            const QPoint moved = move->globalPosition().toPoint() - press_;
            area_->horizontalScrollBar()->setValue(start_scroll_.x() - moved.x());
            area_->verticalScrollBar()->setValue(start_scroll_.y() - moved.y());
            // The read-out below still follows the mouse.
            return false;
        }
        case QEvent::MouseButtonRelease:
            if (!dragging_) break;
            dragging_ = false;
            area_->viewport()->unsetCursor();
            return true;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace cindral::app
