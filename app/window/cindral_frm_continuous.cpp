// The main window's continuous view: the pages of the log one after another in the scroll
// area, each drawn by the drawing thread when it comes into view. Paging, going to a depth
// and the read-out work as in the one-page view; the page shown is the one being read.

#include <QAction>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "app/view/magnifier.h"
#include "app/view/page_strip.h"
#include "app/view/page_worker.h"
#include "app/window/cindral_frm.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

// Pages kept drawn beyond those in view, so a small scroll back shows them at once.
constexpr int kPagesKeptAround = 2;

}  // namespace

bool TCindralFrm::Continuous() const {
    return ScrollBox1->widget() == Strip;
}

void TCindralFrm::SetContinuous(bool on) {
    if (on == Continuous()) return;
    UseContinuousWidget(on);
    LayoutStrip();
    ShowCurrentPage();
}

void TCindralFrm::UseContinuousWidget(bool on) {
    {
        const QSignalBlocker quiet(actions_.Continuous1);
        actions_.Continuous1->setChecked(on);
    }
    if (on == Continuous()) return;
    // The scroll area deletes a widget it lets go of unless it is taken out first.
    QWidget* previous = ScrollBox1->takeWidget();
    previous->setParent(this);
    previous->hide();
    ScrollBox1->setWidget(on ? static_cast<QWidget*>(Strip) : Image1);
    (on ? static_cast<QWidget*>(Strip) : Image1)->show();
    mouse_page_ = -1;
    UpdateMatchMarks();
    // The magnifier looks at the one page picture; it has none to look at here.
    if (on && actions_.MagnifierBtn->isChecked()) {
        actions_.MagnifierBtn->setChecked(false);
        MagnifierBtnClick();
    }
    updateActions();
}

void TCindralFrm::LayoutStrip() {
    if (!Continuous()) return;
    if (!ViewDocument || NoPages) {
        Strip->SetLayout(0, {});
        return;
    }
    const PageLayout& layout = ViewDocument->Layout();
    const double ratio = devicePixelRatioF();
    Strip->SetLayout(Document->PageCount(), QSize(int(std::lround(layout.PageWidthPx / ratio)),
                                                  int(std::lround(layout.PageHeightPx / ratio))));
    UpdateMatchMarks();
}

void TCindralFrm::ContinuousScrolled() {
    if (!Continuous() || NoPages || !Document) return;
    if (!scrolling_to_page_) {
        // The page being read: the one a third of the way down the view.
        const int top = ScrollBox1->verticalScrollBar()->value();
        const int page = Strip->PageAt(top + ScrollBox1->viewport()->height() / 3);
        if (page != ShownPage) {
            ShownPage = page;
            UpdatePageControls();
            QImage drawn;
            if (worker_->Drawn(ShownPage, drawn)) {
                Display(ShownPage, drawn);
            } else {
                worker_->Request(ShownPage);
            }
        }
    }
    RequestVisiblePages();
}

void TCindralFrm::RequestVisiblePages() {
    if (!Continuous() || NoPages || !Document) return;
    const int top = ScrollBox1->verticalScrollBar()->value();
    const int first = Strip->PageAt(top);
    const int last = Strip->PageAt(top + ScrollBox1->viewport()->height());
    Strip->KeepOnly(first - kPagesKeptAround, last + kPagesKeptAround);
    for (int page = first; page <= last; ++page) {
        if (Strip->HasPicture(page)) continue;
        QImage drawn;
        if (worker_->Drawn(page, drawn)) {
            drawn.setDevicePixelRatio(devicePixelRatioF());
            Strip->SetPicture(page, drawn);
        } else {
            worker_->Prefetch(page);
        }
    }
}

}  // namespace cindral::app
