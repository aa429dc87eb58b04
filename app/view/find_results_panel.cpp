#include "app/view/find_results_panel.h"

#include <QListWidget>

namespace cindral::app {

FindResultsPanel::FindResultsPanel(QWidget* parent) : QDockWidget("Find Results", parent) {
    setObjectName("FindResultsPanel");
    List = new QListWidget(this);
    List->setObjectName("FindResultsList");
    List->setWordWrap(true);
    List->setUniformItemSizes(false);
    List->setMinimumWidth(240);
    setWidget(List);
    connect(List, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit MatchChosen(List->row(item)); });
    connect(List, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit MatchChosen(List->row(item)); });
}

void FindResultsPanel::SetMatches(const TextIndex* index, const std::vector<TextMatch>& matches,
                                  const std::function<QString(const TextMatch&)>& depth_text) {
    const QSignalBlocker quiet(List);
    List->clear();
    if (!index) return;
    for (const TextMatch& match : matches) {
        const QString where =
            match.band == Band::None ? depth_text(match) : QString::fromUtf8(BandName(match.band));
        List->addItem(
            QString("Page %1 \u00b7 %2\n%3").arg(match.page + 1).arg(where, index->Context(match)));
    }
}

void FindResultsPanel::SetCurrent(int match) {
    const QSignalBlocker quiet(List);
    if (match >= 0 && match < List->count()) {
        List->setCurrentRow(match);
        List->scrollToItem(List->item(match));
    } else {
        List->clearSelection();
    }
}

int FindResultsPanel::Count() const {
    return List->count();
}

QString FindResultsPanel::ItemText(int match) const {
    return match >= 0 && match < List->count() ? List->item(match)->text() : QString();
}

}  // namespace cindral::app
