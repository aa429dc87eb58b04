// The main window's page commands that go through a dialog: go to page, custom page length
// and depth interval.

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <cmath>

#include "app/dialogs/goto_depth_dialog.h"
#include "app/dialogs/goto_page_dialog.h"
#include "app/dialogs/page_break_dialog.h"
#include "app/dialogs/select_depth_dialog.h"
#include "app/view/file_watch.h"
#include "app/view/page_strip.h"
#include "app/window/cindral_frm.h"
#include "core/base/errors.h"
#include "core/environment/settings.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"

namespace cindral::app {

void TCindralFrm::PageNumBTNClick() {
    if (NoPages || Document->LastPage() <= 0) return;
    TGotoDLG dialog(Document->LastPage(), ShownPage, this);
    if (dialog.exec() != QDialog::Accepted) return;
    ShownPage = dialog.ChosenPage();
    ShowCurrentPage();
}

void TCindralFrm::GotoDepth1Click() {
    if (NoPages) return;
    TGotoDepthDialog dialog(DepthEd->text().toDouble(), ElevationCb->isChecked(), this);
    while (dialog.exec() == QDialog::Accepted) {
        // A depth the log does not reach brings the dialog back after the message.
        if (GoToDepth(dialog.Value(), dialog.Elevation())) return;
    }
}

bool TCindralFrm::GoToDepth(double value, bool elevation) {
    if (NoPages || !Document) return false;
    // Found in the rows as drawn, so the marker sits on the row whose read-out it names.
    const LogDocument& shown = ViewDocument ? *ViewDocument : *Document;
    const DepthSearch search = FindDepth(shown, value, elevation, ShownDepths());
    if (!search.place) {
        CurrentUi().ShowMessage(MessageKind::Warning, "", search.problem, Buttons::Ok);
        return false;
    }
    ShownPage = std::min(search.place->page, Document->LastPage());
    marker_page_ = ShownPage;
    marker_row_ = search.place->row;
    marker_pending_ = true;
    ShowCurrentPage();
    return true;
}

void TCindralFrm::PlaceDepthMarker() {
    const bool shown = marker_row_ >= 0 && (Continuous() || marker_page_ == DisplayedPage);
    DepthMarker->setVisible(shown);
    if (!shown) return;
    const double ratio = devicePixelRatioF();
    int y = int(std::lround(marker_row_ / ratio));
    if (Continuous()) {
        y += Strip->PageTop(marker_page_);
        DepthMarker->setParent(Strip);
        DepthMarker->setGeometry(0, y, Strip->PageSize().width(), 2);
    } else {
        DepthMarker->setParent(Image1);
        DepthMarker->setGeometry(0, y, Image1->width(), 2);
    }
    DepthMarker->show();
    DepthMarker->raise();
    if (!marker_pending_) return;
    marker_pending_ = false;
    // The marked row a third of the way down the view, where the eye looks first.
    const int room = ScrollBox1->viewport()->height();
    scrolling_to_page_ = true;
    ScrollBox1->verticalScrollBar()->setValue(y - room / 3);
    scrolling_to_page_ = false;
    if (last_mouse_row_ >= 0) ShowDepthAt(last_mouse_row_);
}

void TCindralFrm::CustomPageBreaks1Click() {
    if (NoPages) return;
    // The dialog edits the file's own setting; the interval on screen stays.
    const GdxHeader& file = Document->FileHeader();
    TFPageBreakDlg dialog(file.CustomPageLength == 1, file.UnitsPerPage,
                          Document->LongestPageLength(), this);
    if (dialog.exec() != QDialog::Accepted) {
        updateActions();
        return;
    }
    try {
        Document->StorePageLength(dialog.CustomEnabled(), dialog.UnitsPerPageValue());
        // The viewer's own write is no change to follow.
        FileWatch->Acknowledge();
    } catch (const CindralError& e) {
        // The file is as it was; so is the paging on screen.
        updateActions();
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
        return;
    }
    settings_.CustomPageLengthOn = dialog.CustomEnabled();
    settings_.UnitsPerPage = dialog.UnitsPerPageValue();
    CountPages();
    if (Document->LastPage() < ShownPage) ShownPage = Document->LastPage();
    LayoutChanged();
}

void TCindralFrm::SelectInterval1Click() {
    if (NoPages) return;
    TSelectDepthFrm dialog(InitialTop, InitialBase, Document->Header().TopDepth,
                           Document->Header().BottomDepth, this, ShownDepths());
    if (dialog.exec() != QDialog::Accepted) return;
    Document->SetInterval(dialog.StartDepth(), dialog.EndDepth());
    CountPages();
    if (ShownPage >= Document->LastPage()) ShownPage = 0;
    LayoutChanged();
}

}  // namespace cindral::app
