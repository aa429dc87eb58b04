#include "app/view/view_memory.h"

#include <QSettings>
#include <algorithm>
#include <vector>

namespace cindral::app {
namespace {

struct Entry {
    QString path;
    RememberedView view;
};

// Beside the recent files and the zoom, outside the fixed settings record.
QSettings Store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Cindral", "Cindral");
}

std::vector<Entry> ReadEntries(QSettings& store) {
    std::vector<Entry> entries;
    const int count = store.beginReadArray("LogViews");
    for (int i = 0; i < count; ++i) {
        store.setArrayIndex(i);
        Entry entry;
        entry.path = store.value("Path").toString();
        entry.view.page = store.value("Page").toInt();
        entry.view.zoom = store.value("Zoom").toString();
        entry.view.continuous = store.value("Continuous").toBool();
        if (!entry.path.isEmpty()) entries.push_back(entry);
    }
    store.endArray();
    return entries;
}

}  // namespace

std::optional<RememberedView> RecallView(const QString& path) {
    QSettings store = Store();
    for (const Entry& entry : ReadEntries(store)) {
        if (entry.path == path) return entry.view;
    }
    return std::nullopt;
}

void RememberView(const QString& path, const RememberedView& view) {
    QSettings store = Store();
    std::vector<Entry> entries = ReadEntries(store);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const Entry& e) { return e.path == path; }),
                  entries.end());
    entries.insert(entries.begin(), Entry{path, view});
    if (entries.size() > size_t(kRememberedLogs)) entries.resize(kRememberedLogs);
    store.remove("LogViews");
    store.beginWriteArray("LogViews", int(entries.size()));
    for (int i = 0; i < int(entries.size()); ++i) {
        store.setArrayIndex(i);
        store.setValue("Path", entries[i].path);
        store.setValue("Page", entries[i].view.page);
        store.setValue("Zoom", entries[i].view.zoom);
        store.setValue("Continuous", entries[i].view.continuous);
    }
    store.endArray();
}

}  // namespace cindral::app
