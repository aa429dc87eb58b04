#include "app/commands/print_command.h"

#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
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

// Ties the print setup's life to its owner's.
class PrintSetupHolder : public QObject {
  public:
    static constexpr const char* kName = "WindowPrintSetup";
    explicit PrintSetupHolder(QObject* parent) : QObject(parent) { setObjectName(kName); }
    PrintSetup setup;
};

// The print dialog's own tab: how a page meets the paper.
QCheckBox* AddFitTab(QPrintDialog& dialog, bool fit) {
    auto* tab = new QWidget;
    tab->setWindowTitle("Page");
    auto* box = new QCheckBox("Fit to page", tab);
    box->setObjectName("FitToPage");
    box->setToolTip("Reduce or enlarge each page to the printable area, keeping its shape.");
    box->setChecked(fit);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(box);
    layout->addStretch(1);
    dialog.setOptionTabs({tab});
    return box;
}

PageFit FitOf(const PrintSetup& setup) {
    return setup.fit_to_page ? PageFit::FitToPage : PageFit::ActualSize;
}

// The paper a log page of `page_width` x `page_height` inches asks for, upright: the standard
// size its inches match either way round, else a size of its own.
QPageSize LogPaperSize(double page_width, double page_height) {
    const QSizeF upright(std::min(page_width, page_height), std::max(page_width, page_height));
    return QPageSize(upright, QPageSize::Inch, QString(), QPageSize::FuzzyMatch);
}

}  // namespace

PrintSetup& WindowPrintSetup(QWidget& owner) {
    // Found by name: the holder has no meta-object of its own to be found by type.
    auto* holder = static_cast<PrintSetupHolder*>(
        owner.findChild<QObject*>(PrintSetupHolder::kName, Qt::FindDirectChildrenOnly));
    if (holder == nullptr) holder = new PrintSetupHolder(&owner);
    return holder->setup;
}

QPrinter& WindowPrinter(QWidget& owner) {
    return WindowPrintSetup(owner).printer;
}

void UseLogPaper(QPrinter& printer, const CommandContext& context) {
    if (context.document == nullptr) return;
    const GdxHeader& header = context.document->Header();
    printer.setPageSize(LogPaperSize(header.PageWidth, header.PageHeight));
    printer.setPageOrientation(header.PageWidth > header.PageHeight ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait);
}

PrinterPage ChosenPrinterPage(const QPrinter& printer) {
    // In the printer's pixels: the layout's inches are rounded to hundredths already.
    PrinterPage page;
    page.dpi_x = page.dpi_y = std::max(printer.resolution(), 1);
    const QRect printable = printer.pageLayout().paintRectPixels(page.dpi_x);
    page.width = double(printable.width()) / page.dpi_x;
    page.height = double(printable.height()) / page.dpi_y;
    return page;
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

bool RunPrintJob(const CommandContext& context, QPrinter& printer, int first, int last,
                 PageFit fit) {
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
        stopped = PrintPages(*context.document, printer, first, last, {}, fit).stopped;
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
    PrintSetup& setup = WindowPrintSetup(context.parent);
    QPrinter& printer = setup.printer;
    if (!setup.paper_chosen) UseLogPaper(printer, context);
    QPrintDialog dialog(&printer, &context.parent);
    const int last = context.document->LastPage();
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    if (last < 1) {
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        printer.setPrintRange(QPrinter::AllPages);
        printer.setFromTo(1, 1);
    } else {
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setMinMax(1, last + 1);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(1, last + 1);
    }
    QCheckBox* fit = AddFitTab(dialog, setup.fit_to_page);
    if (dialog.exec() != QDialog::Accepted) return;
    setup.fit_to_page = fit->isChecked();
    MatchResolution(printer);
    // Asked only now: the paper and margins that count are the ones chosen in the dialog.
    if (!setup.fit_to_page) {
        const GdxHeader& header = context.document->Header();
        const std::string question =
            ClippingQuestion(header.PageHeight, header.PageWidth, ChosenPrinterPage(printer));
        if (!question.empty() && CurrentUi().ShowMessage(MessageKind::Warning, "", question,
                                                         Buttons::YesNo) != Answer::Yes) {
            return;
        }
    }
    // "All pages" leaves the range at 0..0.
    int first = 0, to = last;
    if (printer.printRange() == QPrinter::CurrentPage) {
        first = to = std::clamp(context.page, 0, last);
    } else if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::clamp(printer.fromPage() - 1, 0, last);
        to = std::clamp(printer.toPage() - 1, first, last);
    }
    RunPrintJob(context, printer, first, to, FitOf(setup));
}

void PrintPreview1Click(const CommandContext& context) {
    if (!context.HasPages()) return;
    PrintSetup& setup = WindowPrintSetup(context.parent);
    QPrinter& printer = setup.printer;
    if (!setup.paper_chosen) UseLogPaper(printer, context);
    printer.setDocName(PrintJobTitle(context.file_name));
    MatchResolution(printer);
    QPrintPreviewDialog preview(&printer, &context.parent);
    preview.setWindowTitle("Print Preview");
    LogDocument* document = context.document;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &context.parent,
                     [document, &setup](QPrinter* target) {
                         try {
                             PrintPages(*document, *target, 0, document->LastPage(), {},
                                        FitOf(setup));
                         } catch (const std::exception& e) {
                             CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
                         }
                         HideStatus();
                     });
    auto* sheets = preview.findChild<QPrintPreviewWidget*>();
    if (auto* toolbar = preview.findChild<QToolBar*>(); toolbar != nullptr && sheets != nullptr) {
        toolbar->addSeparator();
        QAction* fit = toolbar->addAction("Fit to page");
        fit->setObjectName("FitToPage");
        fit->setToolTip("Reduce or enlarge each page to the printable area, keeping its shape.");
        fit->setCheckable(true);
        fit->setChecked(setup.fit_to_page);
        QObject::connect(fit, &QAction::toggled, &preview, [&setup, sheets](bool on) {
            setup.fit_to_page = on;
            sheets->updatePreview();
        });
    }
    // The preview's own Print goes the way of File > Print: the dialog on this paper, the
    // clipping question against the paper chosen, Current page and Fit to page.
    bool print_after = false;
    if (auto* toolbar = preview.findChild<QToolBar*>()) {
        for (QAction* action : toolbar->actions()) {
            if (action->text().remove('&') != "Print") continue;
            action->setObjectName("PreviewPrint");
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            QObject::connect(action, &QAction::triggered, &preview, [&preview, &print_after] {
                print_after = true;
                preview.accept();
            });
        }
    }
    preview.exec();
    if (print_after) Print1Click(context);
}

}  // namespace cindral::app
