#include "app/commands/print_command.h"

#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>
#include <cerrno>
#include <cmath>
#include <memory>
#include <utility>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/environment/settings.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"
#include "render/document/print_pages.h"

namespace cindral::app {
namespace {

// Print to file writes PDF at our PDF resolution; a real printer keeps its own.
void MatchResolution(QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        printer.setResolution(kPdfPixelsPerInch);
    }
}

std::string TwoDecimals(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

}  // namespace

namespace {
// Ties the printer's life to its owner's.
class PrinterHolder : public QObject {
  public:
    static constexpr const char* kName = "WindowPrinter";
    explicit PrinterHolder(QObject* parent) : QObject(parent) { setObjectName(kName); }
    QPrinter printer{QPrinter::HighResolution};
};
}  // namespace

QPrinter& WindowPrinter(QWidget& owner) {
    // Found by name: the holder has no meta-object of its own to be found by type.
    auto* holder = static_cast<PrinterHolder*>(
        owner.findChild<QObject*>(PrinterHolder::kName, Qt::FindDirectChildrenOnly));
    if (holder == nullptr) holder = new PrinterHolder(&owner);
    return holder->printer;
}

QString PrintJobTitle(const std::string& file_name) {
    const QString name = QFileInfo(QString::fromStdString(file_name)).fileName();
    return ("Cindral 2003 - " + name).left(127);
}

std::string ClippingQuestion(double page_height, double page_width, const PrinterPage& printer) {
    if (!(page_height - 0.01 > printer.height || page_width - 0.01 > printer.width)) return {};
    return "The output size (" + TwoDecimals(page_height) + " x " + TwoDecimals(page_width) +
           ") is larger than the printer page (" + TwoDecimals(printer.height) + " x " +
           TwoDecimals(printer.width) + ")." + "\r\n" + "The printout will be clipped." + "\r\n" +
           "\r\n" + "Do you want to continue?";
}

bool RunPrintJob(const CommandContext& context, QPrinter& printer, int first, int last) {
    context.parent.setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool stopped = false;
    std::string failure;
    // Print to file writes a temporary file beside the chosen name, put in its place only
    // when every page is written: a failed or cancelled job leaves no half PDF behind.
    const QString chosen = printer.outputFileName();
    std::string temporary;
    try {
        ReadPrinterPage(printer, context.settings);
        printer.setDocName(PrintJobTitle(context.file_name));
        if (!chosen.isEmpty()) {
            temporary = ReserveTemporaryBeside(chosen.toStdString());
            printer.setOutputFileName(QString::fromStdString(temporary));
        }
        stopped = PrintPages(*context.document, printer, first, last).stopped;
        if (!temporary.empty()) {
            printer.setOutputFileName(chosen);
            if (printer.printerState() == QPrinter::Error) {
                throw IoError("Cannot write " + chosen.toStdString(), EIO);
            }
            if (!stopped && !CancelRequested()) {
                PutInPlace(std::exchange(temporary, {}), chosen.toStdString());
            }
        }
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (!temporary.empty()) {
        printer.setOutputFileName(chosen);
        ::unlink(temporary.c_str());
    }
    context.parent.setEnabled(true);
    QApplication::restoreOverrideCursor();
    HideStatus();
    if (!failure.empty()) {
        CurrentUi().ShowMessage(MessageKind::Error, "", failure, Buttons::Ok);
        return false;
    }
    if (stopped || CancelRequested()) {
        CurrentUi().ShowMessage(MessageKind::Warning, "", "Print job aborted.", Buttons::Ok);
        return false;
    }
    return true;
}

void Print1Click(const CommandContext& context) {
    if (!context.HasPages()) return;
    QPrinter& printer = WindowPrinter(context.parent);
    QPrintDialog dialog(&printer, &context.parent);
    const int last = context.document->LastPage();
    if (last < 1) {
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        printer.setPrintRange(QPrinter::AllPages);
        printer.setFromTo(1, 1);
    } else {
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setMinMax(1, last + 1);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(1, last + 1);
    }
    try {
        SetPrinterOrientation(printer, context.settings.PrinterOrientation);
    } catch (const CindralError& e) {
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
        return;
    }
    const PrinterPage page = ReadPrinterPage(printer, context.settings);
    const GdxHeader& header = context.document->Header();
    const std::string question = ClippingQuestion(header.PageHeight, header.PageWidth, page);
    if (!question.empty() && CurrentUi().ShowMessage(MessageKind::Warning, "", question,
                                                     Buttons::YesNo) != Answer::Yes) {
        return;
    }
    if (dialog.exec() != QDialog::Accepted) return;
    MatchResolution(printer);
    // "All pages" leaves the range at 0..0.
    int first = 0, to = last;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::clamp(printer.fromPage() - 1, 0, last);
        to = std::clamp(printer.toPage() - 1, first, last);
    }
    RunPrintJob(context, printer, first, to);
}

void PrintPreview1Click(const CommandContext& context) {
    if (!context.HasPages()) return;
    QPrinter& printer = WindowPrinter(context.parent);
    try {
        SetPrinterOrientation(printer, context.settings.PrinterOrientation);
    } catch (const CindralError& e) {
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
        return;
    }
    printer.setDocName(PrintJobTitle(context.file_name));
    MatchResolution(printer);
    QPrintPreviewDialog preview(&printer, &context.parent);
    preview.setWindowTitle("Print Preview");
    LogDocument* document = context.document;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &context.parent,
                     [document](QPrinter* target) {
                         try {
                             PrintPages(*document, *target, 0, document->LastPage());
                         } catch (const std::exception& e) {
                             CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
                         }
                         HideStatus();
                     });
    preview.exec();
}

}  // namespace cindral::app
