#include "app/commands/metafile_export_command.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include "app/dialogs/metafile_options_dialog.h"
#include "app/window/cindral_frm.h"
#include "core/environment/errors.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"
#include "render/document/metafile_export.h"
#include "render/renderers/logp_object.h"

namespace cindral::app {

MetafileOptions DefaultMetafileOptions(const TCindralFrm& window) {
    MetafileOptions options;
    if (!window.windowTitle().contains("untitled", Qt::CaseInsensitive) &&
        !window.CurrentFileName.empty()) {
        const QFileInfo info(QString::fromStdString(window.CurrentFileName));
        options.file_name = (info.path() + "/" + info.completeBaseName() + ".wmf").toStdString();
    }
    return options;
}

bool ExportOpenLog(TCindralFrm& window, const MetafileOptions& options) {
    if (!window.Document) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorBack {
        ~CursorBack() { QApplication::restoreOverrideCursor(); }
    } cursor_back;
    try {
        // The log as its file has it is exported, not the interval on screen.
        const std::unique_ptr<logmf_object> log =
            MakeMetafileRenderer(*window.Document, window.Document->FileHeader());
        MetafileExportOptions export_options;
        export_options.output = options.file_name;
        export_options.format = options.format;
        export_options.header = options.header;
        export_options.footer = options.footer;
        ExportMetafile(*log, export_options);
        return true;
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
        return false;
    }
}

void WMF1Click(TCindralFrm& window) {
    MetafileOptions options = DefaultMetafileOptions(window);
    if (!ShowMetafileOptions(options, &window)) return;
    ExportOpenLog(window, options);
}

void AddMetafileExportCommands(TCindralFrm& window, QMenu* file_menu) {
    // The Export submenu of the window's design: created, and never shown.
    QMenu* hidden = window.menuBar()->addMenu("E&xport");
    hidden->setObjectName("Export1");
    QAction* wmf1 = hidden->addAction("&Metafile (wmf + emf)...");
    hidden->menuAction()->setVisible(false);
    QMenu* visible = file_menu->addMenu("&Export");
    visible->setObjectName("ExportMenu");
    QAction* whole_log = visible->addAction("Whole Log as Metafile...");
    whole_log->setObjectName("WholeLogAsMetafile1");
    whole_log->setStatusTip("Export the whole log as one WMF, EMF or SVG drawing.");
    for (QAction* action : {wmf1, whole_log}) {
        QObject::connect(action, &QAction::triggered, &window, [&window] { WMF1Click(window); });
    }
    QObject::connect(visible, &QMenu::aboutToShow, &window, [&window, whole_log] {
        whole_log->setEnabled(window.Document != nullptr && !window.CurrentFileName.empty());
    });
}

}  // namespace cindral::app
