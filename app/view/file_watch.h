#pragma once
// Follows the open log on disk and says when a change has settled. A writer that rewrites
// the file in place, or writes a temporary file and renames it over the log, is taken to be
// done when the file exists and its identity, size and modification time have held still
// for a short while; the renamed-over case loses the system's watch, which is set again.

#include <QObject>
#include <QString>
#include <cstdint>

class QFileSystemWatcher;
class QTimer;

namespace cindral::app {

class LogFileWatch : public QObject {
    Q_OBJECT
  public:
    explicit LogFileWatch(QObject* parent = nullptr);

    // Follows `path` from its state now on; an empty path follows nothing.
    void Follow(const QString& path);
    // The file as it is now is the one on screen (read again, or written by the viewer
    // itself): only a later change is reported.
    void Acknowledge();
    const QString& Path() const { return path_; }

    // What the system's watch and the settle timer call: public so that tests step the watch
    // through a change without waiting for either.
    void Changed();
    void Check();
    // Whether the system's watch is on the file (it is lost when a file is renamed over it).
    bool Watching() const;

  signals:
    // The file changed since it was last acknowledged and has held still since.
    void Settled();
    // The file has been gone for a whole settle interval (deleted, or moved away); said once
    // until it is back.
    void Missing();

  private:
    struct Stamp {
        bool exists = false;
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t modified_ns = 0;
        bool operator==(const Stamp& other) const;
        bool operator!=(const Stamp& other) const { return !(*this == other); }
    };
    Stamp StampNow() const;
    void Watch();

    QFileSystemWatcher* watcher_;
    QTimer* settle_timer_;
    QString path_;
    Stamp known_;
    Stamp last_seen_;
    bool missing_reported_ = false;
};

}  // namespace cindral::app
