#include "render/pictures/picture_log.h"

#include <iostream>
#include <mutex>
#include <set>

#include "core/base/errors.h"
#include "core/environment/status.h"

namespace cindral {
namespace {

std::mutex notes_mutex;
RenderNoteSink note_sink;
std::set<std::string> reported;
bool status_shown = false;

void Forward(const std::string& line, bool show_status) {
    if (note_sink) {
        note_sink(line);
        return;
    }
    if (show_status) ShowStatus(line);
    try {
        LogLine(line);
    } catch (const IoError& e) {
        // A log that cannot be written must not stop the page; say it where we can.
        std::cerr << line << " (" << e.what() << ")\n";
    }
}

}  // namespace

void LogRenderNote(const std::string& line) {
    std::lock_guard<std::mutex> lock(notes_mutex);
    Forward(line, false);
}

void ReportBrokenPicture(const std::string& what, const std::string& why) {
    const std::string line = "Picture not drawn: " + what + ": " + why;
    std::lock_guard<std::mutex> lock(notes_mutex);
    // Every page replays the whole log, so the same picture fails again on each page.
    if (!reported.insert(line).second) return;
    const bool first = !status_shown;
    status_shown = true;
    Forward(line, first);
}

RenderNoteSink SetRenderNoteSink(RenderNoteSink sink) {
    std::lock_guard<std::mutex> lock(notes_mutex);
    RenderNoteSink previous = std::move(note_sink);
    note_sink = std::move(sink);
    return previous;
}

void ResetRenderNotes() {
    std::lock_guard<std::mutex> lock(notes_mutex);
    reported.clear();
    status_shown = false;
}

}  // namespace cindral
