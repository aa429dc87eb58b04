#pragma once
// The viewer's find: the text searched for, its matches in the open log in depth order and
// the current one. The log's text index is built the first time a search needs it, on a
// thread of its own from a copy of the log document (the copy fills the document's own
// cache), so the window stays responsive meanwhile.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>
#include <memory>
#include <vector>

#include "render/document/text_index.h"

namespace cindral {
class LogDocument;
}

namespace cindral::app {

class FindController : public QObject {
    Q_OBJECT
  public:
    explicit FindController(QObject* parent = nullptr);
    // Waits for an index still being built: its thread holds a copy of the document.
    ~FindController() override;

    // The log searched from now on (null: none). When it is another log, or the same laid
    // out anew (its text index was dropped), the matches are forgotten and the text kept;
    // true then.
    bool SetDocument(const LogDocument* document);
    // Searches `text` with `options`; the current match becomes the first one on `from_page`
    // or after it (else the first). Empty text clears the matches.
    void Search(const QString& text, const FindOptions& options, int from_page);
    // Searches again the text last asked for (after the log was laid out anew).
    void SearchAgain(int from_page);
    void Clear();

    // Moves to the next (or previous) match, round the end of the log.
    void Step(bool forward);
    void SetCurrent(int match);

    bool Searching() const { return searching_; }
    const QString& Text() const { return text_; }
    const std::vector<TextMatch>& Matches() const { return matches_; }
    int Current() const { return current_; }
    const TextMatch* CurrentMatch() const;
    // The index the matches came from (null before the first search of a log).
    const TextIndex* Index() const { return index_.get(); }
    // What the find bar says: "3 of 17", "No matches", "Searching…", or why it failed.
    QString Summary() const;

  signals:
    // The matches changed (also when a search has finished).
    void Changed();
    // Only the current match moved.
    void CurrentChanged();

  private:
    void StartBuilding();
    void Built(const std::shared_ptr<const TextIndex>& index, const QString& error, int generation);
    void Run();

    const LogDocument* document_ = nullptr;
    // Counts the documents set, so an index built for an older one is dropped.
    int generation_ = 0;
    std::shared_ptr<const TextIndex> index_;
    // Deletes itself once finished.
    QPointer<QThread> builder_;
    bool building_ = false;
    bool searching_ = false;
    QString error_;
    QString text_;
    FindOptions options_;
    int from_page_ = 0;
    std::vector<TextMatch> matches_;
    int current_ = -1;
};

}  // namespace cindral::app
