#include "app/commands/print_command.h"

#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cerrno>
#include <cmath>
#include <memory>
#include <utility>

#include "app/window/cindral_frm.h"
#include "core/environment/atomic_file.h"
#include "core/environment/errors.h"
#include "core/environment/settings.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"
#include "render/document/print_pages.h"

namespace cindral::app {
namespace {

bool HasPrinter() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

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
// Ties the printer's life to the window's.
class PrinterHolder : public QObject {
  public:
    static constexpr const char* kName = "WindowPrinter";
    explicit PrinterHolder(QObject* parent) : QObject(parent) { setObjectName(kName); }
    QPrinter printer{QPrinter::HighResolution};
};
}  // namespace

QPrinter& WindowPrinter(TCindralFrm& window) {
    // Found by name: the holder has no meta-object of its own to be found by type.
    auto* holder = static_cast<PrinterHolder*>(
        window.findChild<QObject*>(PrinterHolder::kName, Qt::FindDirectChildrenOnly));
    if (holder == nullptr) holder = new PrinterHolder(&window);
    return holder->printer;
}

void SetPrinterOrientation(QPrinter& printer, uint8_t orientation) {
    const QPageLayout::Orientation wanted =
        orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (printer.pageLayout().orientation() == wanted) return;
    if (!printer.setPageOrientation(wanted) || printer.pageLayout().orientation() != wanted) {
        const int index =
            static_cast<int>(QPrinterInfo::availablePrinterNames().indexOf(printer.printerName()));
        char text[512];
        std::snprintf(text, sizeof text, "%s - setting printer orientation for printer index=%d",
                      "The printer does not take the orientation", index);
        throw CindralError(text);
    }
}

PrinterPage ReadPrinterPage(QPrinter& printer, const Settings& settings) {
    PrinterPage page;
    page.dpi_x = printer.logicalDpiX();
    page.dpi_y = printer.logicalDpiY();
    if (!HasPrinter()) {
        page.width = settings.DefaultPageWidth;
        page.height = settings.DefaultPageLength;
        return page;
    }
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    page.width = double(printable.width()) / page.dpi_x;
    page.height = double(printable.height()) / page.dpi_y;
    return page;
}

bool GetDefaultPrinterPage(QPrinter& printer, DefaultPrinterPage& page) {
    if (!HasPrinter()) {
        CurrentUi().ShowMessage(
            MessageKind::Warning, "",
            "No default printer is selected or available.\r\nBorneth will use a default page size.",
            Buttons::Ok);
        page.name = "No Printer Selected";
        page.physical_width = 8.5;
        page.physical_height = 11.0;
        page.printable_width = 8.0;
        page.printable_height = 10.5;
        return false;
    }
    const QPageLayout layout = printer.pageLayout();
    const QRectF full = layout.fullRect(QPageLayout::Inch);
    const QRectF paint = layout.paintRect(QPageLayout::Inch);
    page.name = printer.printerName().toStdString();
    page.physical_width = full.width();
    page.physical_height = full.height();
    page.printable_width = paint.width();
    page.printable_height = paint.height();
    return true;
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

bool RunPrintJob(TCindralFrm& window, QPrinter& printer, int first, int last) {
    window.setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool stopped = false;
    std::string failure;
    // Print to file writes a temporary file beside the chosen name, put in its place only
    // when every page is written: a failed or cancelled job leaves no half PDF behind.
    const QString chosen = printer.outputFileName();
    std::string temporary;
    try {
        ReadPrinterPage(printer, window.settings());
        printer.setDocName(PrintJobTitle(window.CurrentFileName));
        if (!chosen.isEmpty()) {
            temporary = ReserveTemporaryBeside(chosen.toStdString());
            printer.setOutputFileName(QString::fromStdString(temporary));
        }
        stopped = PrintPages(*window.Document, printer, first, last).stopped;
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
    window.setEnabled(true);
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

void Print1Click(TCindralFrm& window) {
    if (!window.Document || window.NoPages) return;
    QPrinter& printer = WindowPrinter(window);
    QPrintDialog dialog(&printer, &window);
    const int last = window.Document->LastPage();
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
        SetPrinterOrientation(printer, window.settings().PrinterOrientation);
    } catch (const CindralError& e) {
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
        return;
    }
    const PrinterPage page = ReadPrinterPage(printer, window.settings());
    const GdxHeader& header = window.Document->Header();
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
    RunPrintJob(window, printer, first, to);
}

void PrintPreview1Click(TCindralFrm& window) {
    if (!window.Document || window.NoPages) return;
    QPrinter& printer = WindowPrinter(window);
    try {
        SetPrinterOrientation(printer, window.settings().PrinterOrientation);
    } catch (const CindralError& e) {
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
        return;
    }
    printer.setDocName(PrintJobTitle(window.CurrentFileName));
    MatchResolution(printer);
    QPrintPreviewDialog preview(&printer, &window);
    preview.setWindowTitle("Print Preview");
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &window,
                     [&window](QPrinter* target) {
                         try {
                             PrintPages(*window.Document, *target, 0, window.Document->LastPage());
                         } catch (const std::exception& e) {
                             CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
                         }
                         HideStatus();
                     });
    preview.exec();
}

void AddPrintCommands(TCindralFrm& window, QMenu* file_menu) {
    QObject::connect(window.Print1, &QAction::triggered, &window,
                     [&window] { Print1Click(window); });
    auto* preview = new QAction("Print Pre&view...", &window);
    preview->setObjectName("PrintPreview1");
    preview->setStatusTip("See the printed pages before printing them.");
    QObject::connect(preview, &QAction::triggered, &window,
                     [&window] { PrintPreview1Click(window); });
    file_menu->addAction(preview);
    QObject::connect(file_menu, &QMenu::aboutToShow, &window,
                     [&window, preview] { preview->setEnabled(window.Print1->isEnabled()); });
}

}  // namespace cindral::app
