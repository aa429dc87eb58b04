// The main window's view: the magnifier and the zoom. The view draws the page at the
// zoomed resolution through a second log document laid out at that resolution, so text stays
// sharp and the depth under the mouse comes from the rows actually shown.

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cmath>

#include "app/view/magnifier.h"
#include "app/view/page_strip.h"
#include "app/view/page_worker.h"
#include "app/view/thumbnail_panel.h"
#include "app/view/wheel_zoom.h"
#include "app/window/cindral_frm.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

// The zoom is kept with the recent files, outside the fixed settings record.
QSettings ViewStore() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Cindral", "Cindral");
}

}  // namespace

void TCindralFrm::createViewControls() {
    Magnifier = new TMagFrm(this, ScrollBox1, Image1, &ViewBitmap);
    connect(Magnifier, &TMagFrm::PointerOverPicture, this, [this](const QPoint& at) {
        mouse_page_ = -1;
        ShowDepthAt(at.y());
    });
    Thumbnails = new ThumbnailPanel(this);
    addDockWidget(Qt::LeftDockWidgetArea, Thumbnails);
    Thumbnails->hide();
    connect(Thumbnails, &ThumbnailPanel::PageChosen, this, [this](int page) {
        if (NoPages || page == ShownPage) return;
        ShownPage = page;
        ShowCurrentPage();
    });

    ZoomPNL = new QLabel(this);
    ZoomPNL->setObjectName("ZoomPNL");
    ZoomPNL->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ZoomPNL->setToolTip("Zoom of the page on screen.");
    statusBar()->addPermanentWidget(ZoomPNL);

    ScrollBox1->setAlignment(Qt::AlignCenter);
    ScrollBox1->viewport()->installEventFilter(this);
    for (QScrollBar* bar : {ScrollBox1->horizontalScrollBar(), ScrollBox1->verticalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, &TCindralFrm::RepaintMagnifier);
    }
    refit_timer_ = new QTimer(this);
    refit_timer_->setSingleShot(true);
    connect(refit_timer_, &QTimer::timeout, this, &TCindralFrm::RefitZoom);
    ViewZoom = ZoomFromText(ViewStore().value("Zoom").toString());
    depths_as_printed_ = ViewStore().value("DepthsAsPrinted", true).toBool();
}

DepthSign TCindralFrm::ShownDepths() const {
    return Document ? DepthSign::Of(Document->FileHeader(), depths_as_printed_) : DepthSign();
}

void TCindralFrm::SetDepthsAsPrinted(bool on) {
    depths_as_printed_ = on;
    ViewStore().setValue("DepthsAsPrinted", on);
    if (last_mouse_row_ >= 0) ShowDepthAt(last_mouse_row_);
}

void TCindralFrm::Magnify1Click() {
    actions_.MagnifierBtn->setChecked(!actions_.MagnifierBtn->isChecked());
    MagnifierBtnClick();
}

void TCindralFrm::MagnifierBtnClick() {
    if (!actions_.MagnifierBtn->isChecked()) {
        Magnifier->hide();
        return;
    }
    if (Magnifier->isHidden() && Magnifier->pos() == QPoint(0, 0)) {
        // First shown in the middle of the view.
        const QRect view(ScrollBox1->mapTo(this, QPoint(0, 0)), ScrollBox1->size());
        Magnifier->move(view.center() - Magnifier->rect().center());
    }
    Magnifier->show();
    Magnifier->raise();
    Magnifier->update();
}

void TCindralFrm::RepaintMagnifier() {
    if (actions_.MagnifierBtn->isChecked()) Magnifier->update();
}

QSize TCindralFrm::ZoomRoom() const {
    return FitRoom(*ScrollBox1);
}

double TCindralFrm::ZoomFactorNow() const {
    if (!Document) return ZoomFactor(ViewZoom, {}, {});
    const PageLayout layout = Document->LayoutAt(ScreenPixelsPerInch);
    return ZoomFactor(ViewZoom, {layout.PageWidthPx, layout.PageHeightPx}, ZoomRoom());
}

int TCindralFrm::ViewPixelsPerInch() const {
    return ZoomedPixelsPerInch(ScreenPixelsPerInch, ZoomFactorNow(), devicePixelRatioF());
}

void TCindralFrm::RebuildViewDocument() {
    ZoomPNL->setText(QString("%1 %").arg(std::lround(ZoomFactorNow() * 100)));
    if (!ZoomBox->hasFocus()) ZoomBox->setEditText(ZoomBoxText(ViewZoom));
    actions_.FitWidth1->setChecked(ViewZoom.mode == ZoomMode::FitWidth);
    actions_.FitPage1->setChecked(ViewZoom.mode == ZoomMode::FitPage);
    if (!Document) {
        ViewDocument.reset();
        return;
    }
    ViewDocument = Document->Copy();
    ViewDocument->SetPixelsPerInch(ViewPixelsPerInch());
}

bool TCindralFrm::ZoomChangesResolution() const {
    return Document && ViewDocument && ViewDocument->PixelsPerInch() != ViewPixelsPerInch();
}

void TCindralFrm::SetZoom(const Zoom& zoom) {
    ViewZoom = zoom;
    ViewStore().setValue("Zoom", ZoomText(zoom));
    if (ZoomChangesResolution()) {
        KeepZoomAnchor();
        LayoutChanged();
    } else {
        RebuildViewDocument();
    }
}

void TCindralFrm::RefitZoom() {
    if (ViewZoom.mode != ZoomMode::Percent && ZoomChangesResolution()) {
        KeepZoomAnchor();
        LayoutChanged();
    }
}

void TCindralFrm::KeepZoomAnchor() {
    if (Continuous()) {
        if (Strip->PageSize().height() <= 0) return;
        const int top = ScrollBox1->verticalScrollBar()->value();
        strip_anchor_ = double(top - Strip->PageTop(ShownPage)) / Strip->PageSize().height();
        return;
    }
    if (DisplayedPage < 0 || Image1->width() <= 0 || Image1->height() <= 0) return;
    // The exact middle (half pixels kept), so keeping and restoring at the same size leaves
    // the view where it was.
    const QPointF centre =
        QPointF(Image1->mapFrom(ScrollBox1->viewport(), QPoint(0, 0))) +
        QPointF(ScrollBox1->viewport()->width(), ScrollBox1->viewport()->height()) / 2;
    zoom_anchor_ = {centre.x() / Image1->width(), centre.y() / Image1->height()};
}

void TCindralFrm::RestoreZoomAnchor() {
    if (zoom_anchor_.x() < 0) return;
    const QPointF anchor = zoom_anchor_;
    zoom_anchor_ = {-1, -1};
    const QSize viewport = ScrollBox1->viewport()->size();
    ScrollBox1->horizontalScrollBar()->setValue(
        int(std::lround(anchor.x() * Image1->width() - viewport.width() / 2.0)));
    ScrollBox1->verticalScrollBar()->setValue(
        int(std::lround(anchor.y() * Image1->height() - viewport.height() / 2.0)));
}

bool TCindralFrm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox1->viewport()) {
        // A plain wheel step scrolls; the magnifier follows through the scroll bars.
        if (ZoomOnCtrlWheel(event, [this](bool in) { SetZoom(ZoomStep(ZoomFactorNow(), in)); })) {
            return true;
        }
        if (event->type() == QEvent::Resize) {
            if (ViewZoom.mode != ZoomMode::Percent) refit_timer_->start(80);
            RequestVisiblePages();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace cindral::app
