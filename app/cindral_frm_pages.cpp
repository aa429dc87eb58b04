// The main window's page commands that go through a dialog: go to page, custom page length
// and depth interval.

#include "app/cindral_frm.h"
#include "app/goto_dlg.h"
#include "app/page_break_dlg.h"
#include "app/select_depth_frm.h"
#include "core/environment/errors.h"
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
                           Document->Header().BottomDepth, this);
    if (dialog.exec() != QDialog::Accepted) return;
    Document->SetInterval(dialog.StartDepth(), dialog.EndDepth());
    CountPages();
    if (ShownPage >= Document->LastPage()) ShownPage = 0;
    LayoutChanged();
}

}  // namespace cindral::app
