#include "app/view/wheel_zoom.h"

#include <QWheelEvent>

namespace cindral::app {

bool ZoomOnCtrlWheel(QEvent* event, const std::function<void(bool zoom_in)>& zoom) {
    if (event->type() != QEvent::Wheel) return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
    const int steps = wheel->angleDelta().y();
    if (steps != 0) zoom(steps > 0);
    return true;
}

}  // namespace cindral::app
