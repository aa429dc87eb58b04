// The main window's page commands that go through a dialog: go to page, custom page length
// and depth interval.

#include "app/cindral_frm.h"
#include "app/goto_dlg.h"
#include "app/page_break_dlg.h"
#include "app/select_depth_frm.h"
#include "core/environment/errors.h"
#include "core/environment/settings.h"
#include "core/environment/ui.h"
#include "render/renderers/logp_object.h"

namespace cindral::app {

void TCindralFrm::PageNumBTNClick() {
    if (NoPages || Document->LastPage <= 0) return;
    TGotoDLG dialog(Document->LastPage, ShownPage, this);
    if (dialog.exec() != QDialog::Accepted) return;
    ShownPage = dialog.ChosenPage();
    ShowCurrentPage();
}

void TCindralFrm::CustomPageBreaks1Click() {
    if (NoPages) return;
    // The dialog edits the file's own settings; the interval on screen is put back after.
    const double top = Document->TopDepth;
    const double bottom = Document->BottomDepth;
    const GdxHeader before = Document->Header();
    auto restore_interval = [&] {
        Document->TopDepth = top;
        Document->BottomDepth = bottom;
    };
    try {
        Document->ReadHeader();
    } catch (const CindralError& e) {
        Document->Header() = before;
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
        return;
    }
    TFPageBreakDlg dialog(Document->CustomPageLength == 1, Document->UnitsPerPage, this);
    if (dialog.exec() != QDialog::Accepted) {
        Document->Close();
        restore_interval();
        updateActions();
        return;
    }
    const GdxHeader file_header = Document->Header();
    Document->CustomPageLength = dialog.CustomEnabled() ? 1 : 0;
    Document->UnitsPerPage = dialog.UnitsPerPageValue();
    try {
        Document->WriteHeader();
    } catch (const CindralError& e) {
        // The file is as it was; so is the paging on screen.
        if (Document->IsOpen) Document->Close();
        Document->Header() = file_header;
        restore_interval();
        updateActions();
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
        return;
    }
    settings_.CustomPageLengthOn = dialog.CustomEnabled();
    settings_.UnitsPerPage = dialog.UnitsPerPageValue();
    restore_interval();
    CountPages();
    if (Document->LastPage < ShownPage) ShownPage = Document->LastPage;
    ShowCurrentPage();
}

void TCindralFrm::SelectInterval1Click() {
    if (NoPages) return;
    TSelectDepthFrm dialog(InitialTop, InitialBase, Document->TopDepth, Document->BottomDepth,
                           this);
    if (dialog.exec() != QDialog::Accepted) return;
    Document->TopDepth = dialog.StartDepth();
    Document->BottomDepth = dialog.EndDepth();
    CountPages();
    if (ShownPage >= Document->LastPage) ShownPage = 0;
    ShowCurrentPage();
}

}  // namespace cindral::app
