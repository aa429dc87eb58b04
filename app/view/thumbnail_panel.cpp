#include "app/view/thumbnail_panel.h"

#include <QListWidget>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "app/view/page_worker.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

// Set on an item once its picture is in.
constexpr int kDrawnRole = Qt::UserRole + 1;

}  // namespace

ThumbnailPanel::ThumbnailPanel(QWidget* parent) : QDockWidget("Thumbnails", parent) {
    setObjectName("ThumbnailPanel");
    List = new QListWidget(this);
    List->setObjectName("ThumbnailList");
    List->setViewMode(QListView::IconMode);
    List->setFlow(QListView::TopToBottom);
    List->setWrapping(false);
    List->setMovement(QListView::Static);
    List->setResizeMode(QListView::Adjust);
    List->setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    List->setUniformItemSizes(true);
    List->setSpacing(4);
    List->setMinimumWidth(kThumbnailSide + 40);
    setWidget(List);
    worker_ = new PageWorker(this);
    connect(worker_, &PageWorker::PageDone, this, &ThumbnailPanel::PageDone);
    connect(List->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ThumbnailPanel::RequestVisible);
    connect(List, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit PageChosen(List->row(item)); });
}

ThumbnailPanel::~ThumbnailPanel() = default;

void ThumbnailPanel::SetDocument(const LogDocument* document) {
    List->clear();
    if (document == nullptr || document->LastPage() < 0) {
        worker_->SetDocument(nullptr);
        return;
    }
    // A resolution at which the whole page fits the thumbnail: a few pixels per inch, so
    // a page costs little to draw.
    const GdxHeader& header = document->Header();
    const double side = kThumbnailSide * devicePixelRatioF();
    const double fit =
        std::min(side / std::max(header.PageWidth, 0.01), side / std::max(header.PageHeight, 0.01));
    std::unique_ptr<LogDocument> small = document->Copy();
    small->SetPixelsPerInch(std::max(1, int(std::floor(fit))));
    worker_->SetDocument(small.get());
    QPixmap blank(List->iconSize() * devicePixelRatioF());
    blank.setDevicePixelRatio(devicePixelRatioF());
    blank.fill(Qt::transparent);
    for (int page = 0; page < document->PageCount(); ++page) {
        auto* item = new QListWidgetItem(QIcon(blank), QString::number(page + 1), List);
        item->setTextAlignment(Qt::AlignHCenter);
    }
    RequestVisible();
}

void ThumbnailPanel::SetCurrentPage(int page) {
    if (page < 0 || page >= List->count()) return;
    List->setCurrentRow(page);
    List->scrollToItem(List->item(page));
}

bool ThumbnailPanel::HasPicture(int page) const {
    const QListWidgetItem* item = List->item(page);
    return item != nullptr && item->data(kDrawnRole).toBool();
}

void ThumbnailPanel::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    // Once the panel has its size.
    QTimer::singleShot(0, this, &ThumbnailPanel::RequestVisible);
}

void ThumbnailPanel::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    RequestVisible();
}

void ThumbnailPanel::RequestVisible() {
    if (!isVisible() || List->count() == 0) return;
    // The list lays its items out lazily; their places are needed now.
    List->doItemsLayout();
    const QRect view = List->viewport()->rect();
    for (int page = 0; page < List->count(); ++page) {
        QListWidgetItem* item = List->item(page);
        if (item->data(kDrawnRole).toBool() || !List->visualItemRect(item).intersects(view)) {
            continue;
        }
        QImage drawn;
        if (worker_->Drawn(page, drawn)) {
            PageDone(page, drawn, {}, false);
        } else {
            worker_->Prefetch(page);
        }
    }
}

void ThumbnailPanel::PageDone(int page, const QImage& image, const QString& error, bool cancelled) {
    QListWidgetItem* item = List->item(page);
    if (item == nullptr || !error.isEmpty() || cancelled) return;
    QImage picture = image;
    picture.setDevicePixelRatio(devicePixelRatioF());
    item->setIcon(QIcon(QPixmap::fromImage(picture)));
    item->setData(kDrawnRole, true);
}

}  // namespace cindral::app
