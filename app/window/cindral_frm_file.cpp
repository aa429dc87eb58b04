// The main window's commands on the open log's file: reading it again when it changes on
// disk or on F5, its properties, and the view kept for it.

#include <QStatusBar>
#include <algorithm>

#include "app/dialogs/properties_dialog.h"
#include "app/view/file_watch.h"
#include "app/view/view_memory.h"
#include "app/window/cindral_frm.h"
#include "core/base/errors.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"
#include "render/document/log_summary.h"

namespace cindral::app {

bool TCindralFrm::ReloadLog(bool by_hand) {
    if (!Document) return false;
    // Taken before the read: a change made while reading is reported again.
    FileWatch->Acknowledge();
    try {
        Document->Reload();
    } catch (const CindralError& e) {
        if (by_hand) {
            ShowError(e.what());
        } else {
            // A log being recompiled may be caught half written; one quiet line instead of a
            // box for every change, and the next change tries again.
            const QString reason =
                QString::fromStdString(MessageDisplayText(e.what())).simplified();
            ShowStatusLine(
                "The log on disk cannot be read; the last good copy stays "
                "on screen. " +
                reason);
        }
        return false;
    }
    InitialTop = Document->FileHeader().TopDepth;
    InitialBase = Document->FileHeader().BottomDepth;
    CountPages();
    ShownPage = std::clamp(ShownPage, 0, std::max(0, Document->LastPage()));
    // The same place on the page once it is drawn again.
    KeepZoomAnchor();
    ShowStatusLine("Reloaded " + QString::fromStdString(CurrentFileName), 5000);
    LayoutChanged();
    return true;
}

void TCindralFrm::Properties1Click() {
    if (!Document) return;
    TPropertiesDialog dialog(
        LogPropertyRows(CurrentFileName, *Document, ScreenPixelsPerInch, ShownDepths()),
        QString::fromStdString(SummaryText(CurrentFileName, *Document, ScreenPixelsPerInch)), this);
    dialog.exec();
}

void TCindralFrm::RememberShownView() {
    if (!Document || CurrentFileName.empty()) return;
    RememberedView view;
    view.page = ShownPage;
    view.zoom = ZoomText(ViewZoom);
    view.continuous = Continuous();
    RememberView(QString::fromStdString(CurrentFileName), view);
}

}  // namespace cindral::app
