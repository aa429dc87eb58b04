#pragma once
// What the view showed of a log when it was left (its page, zoom and view mode), kept for the
// most recently opened logs in the viewer's own settings, so reopening a log comes back to it.

#include <QString>
#include <optional>

namespace cindral::app {

struct RememberedView {
    int page = 0;
    QString zoom;  // as ZoomText writes it
    bool continuous = false;
};

// Logs remembered; the oldest is forgotten first.
constexpr int kRememberedLogs = 20;

std::optional<RememberedView> RecallView(const QString& path);
// Keeps `view` for `path` as the newest entry.
void RememberView(const QString& path, const RememberedView& view);

}  // namespace cindral::app
