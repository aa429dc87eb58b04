#include "app/commands/metafile_export_command.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

#include "app/dialogs/metafile_options_dialog.h"
#include "core/base/errors.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"
#include "render/document/metafile_export.h"
#include "render/renderers/logp_object.h"

namespace cindral::app {

MetafileOptions DefaultMetafileOptions(const CommandContext& context) {
    MetafileOptions options;
    if (!context.parent.windowTitle().contains("untitled", Qt::CaseInsensitive) &&
        !context.file_name.empty()) {
        const QFileInfo info(QString::fromStdString(context.file_name));
        options.file_name = (info.path() + "/" + info.completeBaseName() + ".wmf").toStdString();
    }
    return options;
}

bool ExportOpenLog(const CommandContext& context, const MetafileOptions& options) {
    if (!context.document) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorBack {
        ~CursorBack() { QApplication::restoreOverrideCursor(); }
    } cursor_back;
    // A play that fails before its file is closed would leave the status window up.
    HideStatusOnExit status_back;
    try {
        // The log as its file has it is exported, not the interval on screen.
        const std::unique_ptr<logmf_object> log =
            MakeMetafileRenderer(*context.document, context.document->FileHeader());
        MetafileExportOptions export_options;
        export_options.output = options.file_name;
        export_options.format = options.format;
        export_options.header = options.header;
        export_options.footer = options.footer;
        ExportMetafile(*log, export_options);
        return true;
    } catch (const std::exception& e) {
        HideStatus();
        QApplication::restoreOverrideCursor();
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
        return false;
    }
}

void WMF1Click(const CommandContext& context) {
    MetafileOptions options = DefaultMetafileOptions(context);
    if (!ShowMetafileOptions(options, &context.parent)) return;
    ExportOpenLog(context, options);
}

}  // namespace cindral::app
