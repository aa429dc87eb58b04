#include "app/commands/page_setup_command.h"

#include <QDialog>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QWidget>
#include <cmath>

#include "app/commands/print_command.h"
#include "app/dialogs/page_setup_dialog.h"
#include "app/dialogs/printer_page.h"
#include "core/base/errors.h"
#include "core/environment/settings.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"

namespace cindral::app {

void CheckPrinterPage(const CommandContext& context) {
    // Without a printer there is no printer page to match the log to.
    if (!HasPrinter() || !context.document) return;
    QPrinter& printer = WindowPrinter(context.parent);
    ShowStatus("  Checking printer orientation");
    SetPrinterOrientation(printer, context.settings.PrinterOrientation);
    ShowStatus("  Getting printer information");
    const PrinterPage page = ReadPrinterPage(printer, context.settings);
    const GdxHeader& header = context.document->Header();
    if (std::abs(header.PageHeight - page.height) <= 0.01 &&
        std::abs(header.PageWidth - page.width) <= 0.01) {
        return;
    }
    const Answer answer = CurrentUi().ShowMessage(
        MessageKind::Warning, "",
        "The Log and Printer Page Size do not match.\r\n\r\nDo you want to adjust the Log Page "
        "Size?",
        Buttons::YesNoCancel);
    if (answer != Answer::Yes) return;
    TPageSetupFrm setup(printer, context.settings, header.PageWidth, header.PageHeight,
                        &context.parent);
    if (setup.exec() != QDialog::Accepted) return;
    SetPrinterOrientation(printer, setup.Orientation());
    try {
        context.document->StorePageSize(setup.PageLength(), setup.PageWidth());
    } catch (const CindralError& e) {
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
    }
}

void PrinterPageSetup1Click(const CommandContext& context) {
    PrintSetup& setup = WindowPrintSetup(context.parent);
    if (!setup.paper_chosen) UseLogPaper(setup.printer, context);
    QPageSetupDialog dialog(&setup.printer, &context.parent);
    dialog.setWindowTitle("Printer Page Setup");
    if (dialog.exec() == QDialog::Accepted) setup.paper_chosen = true;
}

}  // namespace cindral::app
