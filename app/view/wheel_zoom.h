#pragma once
// Ctrl and the wheel over a page view zoom it, as in other viewers.

#include <QEvent>
#include <functional>

namespace cindral::app {

// For a wheel event with Ctrl held: calls `zoom(true)` to zoom in or `zoom(false)` to zoom
// out (nothing for a step of 0) and returns true, the event taken; false for anything else.
bool ZoomOnCtrlWheel(QEvent* event, const std::function<void(bool zoom_in)>& zoom);

}  // namespace cindral::app
