#include "app/view/file_watch.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileSystemWatcher>
#include <QTimer>

namespace cindral::app {
namespace {

// Long enough for a compiler's write to show a pause, short enough to feel immediate.
constexpr int kSettleMs = 250;

}  // namespace

bool LogFileWatch::Stamp::operator==(const Stamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && modified_ns == other.modified_ns;
}

LogFileWatch::LogFileWatch(QObject* parent)
    : QObject(parent), watcher_(new QFileSystemWatcher(this)), settle_timer_(new QTimer(this)) {
    settle_timer_->setInterval(kSettleMs);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &LogFileWatch::Changed);
    connect(settle_timer_, &QTimer::timeout, this, &LogFileWatch::Check);
}

void LogFileWatch::Follow(const QString& path) {
    if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
    settle_timer_->stop();
    missing_reported_ = false;
    path_ = path;
    if (path_.isEmpty()) return;
    Watch();
    Acknowledge();
}

void LogFileWatch::Acknowledge() {
    known_ = StampNow();
    last_seen_ = known_;
}

LogFileWatch::Stamp LogFileWatch::StampNow() const {
    Stamp stamp;
    struct stat info {};
    if (path_.isEmpty() || ::stat(QFile::encodeName(path_).constData(), &info) != 0) return stamp;
    stamp.exists = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modified_ns = int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

void LogFileWatch::Watch() {
    // A file renamed over the log is a new file: the watch on the old one is gone.
    if (!watcher_->files().contains(path_) && QFile::exists(path_)) watcher_->addPath(path_);
}

bool LogFileWatch::Watching() const {
    return watcher_->files().contains(path_);
}

void LogFileWatch::Changed() {
    if (path_.isEmpty()) return;
    Watch();
    last_seen_ = StampNow();
    settle_timer_->start();
}

void LogFileWatch::Check() {
    Watch();
    const Stamp now = StampNow();
    if (!now.exists && !last_seen_.exists && !missing_reported_) {
        // Not a writer between a delete and a rename: the file is gone.
        missing_reported_ = true;
        emit Missing();
    }
    if (now.exists) missing_reported_ = false;
    if (now != last_seen_ || !now.exists) {
        // Still being written, or not there yet between a delete and a rename.
        last_seen_ = now;
        return;
    }
    settle_timer_->stop();
    if (now == known_) return;
    emit Settled();
}

}  // namespace cindral::app
