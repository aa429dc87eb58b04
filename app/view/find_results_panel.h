#pragma once
// Every match of the find in a list at the window's side, like the thumbnails: its page, its
// depth (or band) and the words around it. A click goes there.

#include <QDockWidget>
#include <functional>
#include <vector>

#include "render/document/text_index.h"

class QListWidget;

namespace cindral::app {

class FindResultsPanel : public QDockWidget {
    Q_OBJECT
  public:
    explicit FindResultsPanel(QWidget* parent = nullptr);

    // `depth_text` writes a match's depth as the window shows depths.
    void SetMatches(const TextIndex* index, const std::vector<TextMatch>& matches,
                    const std::function<QString(const TextMatch&)>& depth_text);
    void SetCurrent(int match);
    int Count() const;
    QString ItemText(int match) const;

    QListWidget* List;

  signals:
    void MatchChosen(int match);
};

}  // namespace cindral::app
