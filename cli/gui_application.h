#pragma once
// Commands that paint (fonts, QImage) need a GUI application object, never a display.

#include <QGuiApplication>
#include <memory>

namespace cindral::cli {

// Creates the application object on the offscreen platform unless one exists (or the user
// chose a platform); the caller keeps the result alive while it paints.
std::unique_ptr<QGuiApplication> EnsureGuiApplication();

}  // namespace cindral::cli
