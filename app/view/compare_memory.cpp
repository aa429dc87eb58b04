#include "app/view/compare_memory.h"

#include <QSettings>
#include <algorithm>
#include <vector>

namespace cindral::app {
namespace {

struct Entry {
    QString first;
    RememberedPair pair;
};

// Beside the remembered views, outside the fixed settings record.
QSettings Store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Cindral", "Cindral");
}

std::optional<double> ReadMark(const QSettings& store, const char* key) {
    bool ok = false;
    const double value = store.value(key).toDouble(&ok);
    return store.contains(key) && ok ? std::optional<double>(value) : std::nullopt;
}

std::vector<Entry> ReadEntries(QSettings& store) {
    std::vector<Entry> entries;
    const int count = store.beginReadArray("ComparedLogs");
    for (int i = 0; i < count; ++i) {
        store.setArrayIndex(i);
        Entry entry;
        entry.first = store.value("Path").toString();
        entry.pair.partner = store.value("Partner").toString();
        entry.pair.linked = store.value("Linked", true).toBool();
        entry.pair.by_elevation = store.value("ByElevation", false).toBool();
        entry.pair.first_mark = ReadMark(store, "FirstMark");
        entry.pair.second_mark = ReadMark(store, "SecondMark");
        if (!entry.first.isEmpty() && !entry.pair.partner.isEmpty()) entries.push_back(entry);
    }
    store.endArray();
    return entries;
}

}  // namespace

std::optional<RememberedPair> RecallPair(const QString& first) {
    QSettings store = Store();
    for (const Entry& entry : ReadEntries(store)) {
        if (entry.first == first) return entry.pair;
    }
    return std::nullopt;
}

void RememberPair(const QString& first, const RememberedPair& pair) {
    QSettings store = Store();
    std::vector<Entry> entries = ReadEntries(store);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const Entry& e) { return e.first == first; }),
                  entries.end());
    entries.insert(entries.begin(), Entry{first, pair});
    if (entries.size() > size_t(kRememberedPairs)) entries.resize(kRememberedPairs);
    store.remove("ComparedLogs");
    store.beginWriteArray("ComparedLogs", int(entries.size()));
    for (int i = 0; i < int(entries.size()); ++i) {
        const RememberedPair& p = entries[i].pair;
        store.setArrayIndex(i);
        store.setValue("Path", entries[i].first);
        store.setValue("Partner", p.partner);
        store.setValue("Linked", p.linked);
        store.setValue("ByElevation", p.by_elevation);
        if (p.first_mark) store.setValue("FirstMark", *p.first_mark);
        if (p.second_mark) store.setValue("SecondMark", *p.second_mark);
    }
    store.endArray();
}

}  // namespace cindral::app
