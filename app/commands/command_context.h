#pragma once
// What a command of the main window works on: the open log and the page on screen, the
// settings, and the widget its dialogs belong to. The window makes one for each run, so a
// command never reaches into the window and runs the same on any widget.

#include <string>

#include "core/pages/depth_sign.h"

class QWidget;

namespace cindral {
class LogDocument;
struct Settings;
}  // namespace cindral

namespace cindral::app {

struct CommandContext {
    CommandContext(Settings& settings_in, QWidget& parent_in)
        : settings(settings_in), parent(parent_in) {}

    // The preferences commands read and change.
    Settings& settings;
    // Owns the command's dialogs and the printer; disabled while a print job runs. Its title
    // says "untitled" while no file is shown.
    QWidget& parent;
    // The open log (null: none), its file (empty: none shown) and whether its interval has
    // no page.
    LogDocument* document = nullptr;
    std::string file_name;
    bool no_pages = true;
    // The page on screen, and the screen's resolution the view is laid out for.
    int page = 0;
    int screen_pixels_per_inch = 96;
    // How depths are shown and typed: as the log prints them, or with the file's sign.
    DepthSign depths;

    bool HasPages() const { return document != nullptr && !no_pages; }
};

}  // namespace cindral::app
