// The Print command and its helpers on a real window with a real QPrinter writing PDF, the
// result read back by poppler's pdfinfo.

#include "app/commands/print_command.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <regex>

#include "app/window/cindral_frm.h"
#include "core/base/file_operations.h"
#include "core/environment/status.h"
#include "fault_cause.h"
#include "frm_test_support.h"
#include "recording_status.h"
#include "recording_ui.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

using cindral::testing::OnNextDialog;
using cindral::testing::TempDir;

std::string PdfInfo(const std::string& pdf) {
    FILE* pipe = popen(("pdfinfo '" + pdf + "' 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return {};
    std::string text;
    char buffer[1024];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
    return text;
}

int PdfPages(const std::string& pdf) {
    const std::string text = PdfInfo(pdf);
    std::smatch m;
    return std::regex_search(text, m, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(m[1]) : -1;
}

// The size of the PDF's first page in points, as pdfinfo reads it.
QSizeF PdfPageSize(const std::string& pdf) {
    const std::string text = PdfInfo(pdf);
    std::smatch m;
    if (!std::regex_search(text, m, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"))) {
        return {};
    }
    return {std::stod(m[1]), std::stod(m[2])};
}

// Page `page` (from 1) of the PDF as pdftoppm draws it in grey at `dpi`, without smoothing
// so that a hairline is a line of black pixels.
QImage PdfPageImage(const std::string& pdf, int page, int dpi) {
    const std::string out = pdf + "-page";
    const std::string command = "pdftoppm -gray -aa no -aaVector no -r " + std::to_string(dpi) +
                                " -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                " -singlefile '" + pdf + "' '" + out + "'";
    if (std::system(command.c_str()) != 0) return {};
    return QImage(QString::fromStdString(out + ".pgm"));
}

// The box of the dark pixels of `image` (empty when there are none).
QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

class Printing : public ::testing::Test {
  protected:
    Printing() : scoped_ui(ui) {
        cindral::testing::UseActualSizeIn(dir);
        cindral::testing::WriteEmptyLibraries(dir);
        // Five pages of 3 x 5 inches at 100 pixels per inch.
        cindral::testing::WriteLog(log, cindral::testing::PixelHeader(2200));
        settings = cindral::testing::TestSettings(dir);
        window = std::make_unique<TCindralFrm>(settings);
        window->ScreenPixelsPerInch = 100;
        EXPECT_TRUE(window->OpenFile(QString::fromStdString(log)));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(300);
    }

    TempDir dir;
    std::string log = dir.File("log.gdx");
    RecordingUi ui;
    ScopedUi scoped_ui;
    Settings settings;
    std::unique_ptr<TCindralFrm> window;
    QPrinter printer{QPrinter::HighResolution};
};

TEST_F(Printing, ARangePrintsThosePagesAndTheScreenStaysAsItWas) {
    window->ShownPage = 1;
    window->ShowCurrentPage();
    ASSERT_TRUE(window->WaitForPage());
    const QImage before = window->ViewBitmap;
    const double depth_before = window->Document->DepthAt(1, 250, false);
    const std::string pdf = dir.File("range.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));

    EXPECT_TRUE(RunPrintJob(window->Context(), printer, 1, 2));

    EXPECT_EQ(PdfPages(pdf), 2);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->Document->PixelsPerInch(), 100);
    EXPECT_EQ(window->Document->DepthAt(1, 250, false), depth_before);
    // The next page drawn is a screen page again, and the page shown is unchanged.
    window->PageDownBTNClick();
    ASSERT_TRUE(window->WaitForPage());
    EXPECT_EQ(window->ViewBitmap.size(), QSize(300, 500));
    window->PageUpBTNClick();
    ASSERT_TRUE(window->WaitForPage());
    EXPECT_EQ(window->ViewBitmap, before);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Printing, CancelBeforeAPageStopsTheJobAndSaysSo) {
    const std::string pdf = dir.File("cancelled.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    ui.answers = {Answer::Yes};  // "Are you sure ...?"
    CurrentStatusSink().RequestCancel();

    EXPECT_FALSE(RunPrintJob(window->Context(), printer, 0, 4));

    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "Print job aborted.");
    // Nothing was begun, so no sheet (and no file) came out.
    EXPECT_FALSE(std::ifstream(pdf).good());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->Document->PixelsPerInch(), 100);
}

// A cancel confirmed while a page is drawn belongs to that page: the run goes on.
TEST_F(Printing, CancelWithinAPageCutsOnlyThatPage) {
    const std::string pdf = dir.File("within.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    RecordingStatusSink sink;
    sink.press_cancel_at_progress = 2;  // while page 1 plays
    ScopedStatusSink scoped_sink(sink);
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(RunPrintJob(window->Context(), printer, 0, 4));
    EXPECT_EQ(PdfPages(pdf), 5);
    // The question was asked (and answered Yes) during the play; no abort followed.
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kCancelQuestion);
    const std::vector<std::string>& s = sink.statuses;
    EXPECT_NE(std::find(s.begin(), s.end(), "Printing page 1..."), s.end());
    EXPECT_NE(std::find(s.begin(), s.end(), "   Done printing page 5"), s.end());
    EXPECT_EQ(s.back(), "Printing finished.");
}

TEST_F(Printing, CancelAnsweredNoPrintsEverything) {
    const std::string pdf = dir.File("all.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    ui.answers = {Answer::No};
    CurrentStatusSink().RequestCancel();
    EXPECT_TRUE(RunPrintJob(window->Context(), printer, 0, 4));
    EXPECT_EQ(PdfPages(pdf), 5);
}

TEST(PrintHelpers, ClippingIsAskedBeyondOneHundredthOfAnInch) {
    const PrinterPage printer{300, 300, 8.0, 10.5};
    struct Case {
        double height, width;
        bool asks;
    };
    for (Case c : {Case{10.5, 8.0, false}, Case{10.505, 8.005, false}, Case{10.55, 8.0, true},
                   Case{10.5, 8.05, true}, Case{4, 2, false}}) {
        EXPECT_EQ(!ClippingQuestion(c.height, c.width, printer).empty(), c.asks)
            << c.height << " x " << c.width;
    }
    EXPECT_EQ(ClippingQuestion(10.55, 8.0, printer),
              "The output size (10.55 x 8.00) is larger than the printer page (10.50 x 8.00)."
              "\r\nThe printout will be clipped.\r\n\r\nDo you want to continue?");
}

TEST(PrintHelpers, JobTitleIsCutTo127Characters) {
    EXPECT_EQ(PrintJobTitle("/logs/well 7.gdx"), "Cindral 2003 - well 7.gdx");
    const std::string long_name = "/tmp/" + std::string(200, 'a') + ".gdx";
    const QString title = PrintJobTitle(long_name);
    EXPECT_EQ(title.size(), 127);
    EXPECT_TRUE(title.startsWith("Cindral 2003 - aaaa"));
}

TEST(PrintHelpers, OrientationFollowsTheSettingsValue) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    for (uint8_t o : {1, 0, 1, 1, 0}) {
        SetPrinterOrientation(printer, o);
        EXPECT_EQ(printer.pageLayout().orientation(),
                  o == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
}

TEST(PrintHelpers, WithoutAPrinterTheDefaultPageIsUsed) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        GTEST_SKIP() << "a printer is installed here; the fallback cannot be reached";
    }
    RecordingUi ui;
    ScopedUi scoped(ui);
    QPrinter printer;
    DefaultPrinterPage page;
    EXPECT_FALSE(GetDefaultPrinterPage(printer, page));
    EXPECT_EQ(page.name, "No Printer Selected");
    EXPECT_EQ(page.physical_width, 8.5);
    EXPECT_EQ(page.physical_height, 11.0);
    EXPECT_EQ(page.printable_width, 8.0);
    EXPECT_EQ(page.printable_height, 10.5);
    ASSERT_EQ(ui.messages.size(), 1u);
    Settings settings;
    settings.DefaultPageWidth = 7.25;
    settings.DefaultPageLength = 9.75;
    const PrinterPage read = ReadPrinterPage(printer, settings);
    EXPECT_EQ(read.width, 7.25);
    EXPECT_EQ(read.height, 9.75);
}

// The print dialog opens with the log's page range, the current page to choose, and the
// log's own paper (3 x 5 inches, upright), whatever orientation the settings keep;
// cancelling it prints nothing and asks nothing.
TEST_F(Printing, PrintDialogOffersEveryPageAndTheCurrentPageOnTheLogsPaper) {
    window->settings().PrinterOrientation = 1;
    int from = -1, to = -1, min = -1, max = -1;
    bool ranges = false, current = false;
    QSizeF paper;
    QPageLayout::Orientation orientation = QPageLayout::Landscape;
    OnNextDialog([&](QDialog* dialog) {
        if (auto* print = qobject_cast<QPrintDialog*>(dialog)) {
            from = print->fromPage();
            to = print->toPage();
            min = print->minPage();
            max = print->maxPage();
            ranges = print->testOption(QAbstractPrintDialog::PrintPageRange);
            current = print->testOption(QAbstractPrintDialog::PrintCurrentPage);
            paper = print->printer()->pageLayout().pageSize().size(QPageSize::Inch);
            orientation = print->printer()->pageLayout().orientation();
        }
        dialog->reject();
    });
    ASSERT_TRUE(window->Actions().Print1->isEnabled());
    window->Actions().Print1->trigger();
    EXPECT_EQ(std::make_pair(from, to), std::make_pair(1, 5));
    EXPECT_EQ(std::make_pair(min, max), std::make_pair(1, 5));
    EXPECT_TRUE(ranges);
    EXPECT_TRUE(current);
    EXPECT_NEAR(paper.width(), 3, 0.01);
    EXPECT_NEAR(paper.height(), 5, 0.01);
    EXPECT_EQ(orientation, QPageLayout::Portrait);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(ui.messages.empty());
}

// The whole command: the dialog accepted with print to file writes every page as a PDF.
TEST_F(Printing, PrintToFileFromTheDialogWritesEveryPage) {
    const std::string pdf = dir.File("dialog.pdf");
    QPrinter& printer = WindowPrinter(*window);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    OnNextDialog([](QDialog* dialog) { dialog->accept(); });
    window->Actions().Print1->trigger();
    EXPECT_EQ(PdfPages(pdf), 5);
    EXPECT_EQ(printer.docName().toStdString(), "Cindral 2003 - log.gdx");
    EXPECT_EQ(printer.resolution(), 300);
    EXPECT_TRUE(window->isEnabled());
}

// The preview draws through the print routine: one sheet per log page. (With
// CINDRAL_KEEP_PREVIEW=FILE.png the preview is saved for a look.)
TEST_F(Printing, PreviewShowsEveryPageOfTheLog) {
    int pages = -1;
    OnNextDialog([&](QDialog* dialog) {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(dialog)) {
            auto* widget = preview->findChild<QPrintPreviewWidget*>();
            if (widget != nullptr) {
                pages = widget->pageCount();
                const QImage shot = widget->grab().toImage();
                if (const char* keep = std::getenv("CINDRAL_KEEP_PREVIEW")) shot.save(keep);
            }
        }
        dialog->reject();
    });
    auto* preview = window->findChild<QAction*>("PrintPreview1");
    ASSERT_NE(preview, nullptr);
    preview->trigger();
    EXPECT_EQ(pages, 5);
    EXPECT_EQ(window->Document->PixelsPerInch(), 100);
}

}  // namespace
}  // namespace cindral::app

namespace cindral::app {
namespace {

// Print to file reaches the chosen name only when the whole PDF is on disk: a failure to
// reserve, flush or rename the file leaves an existing file as it was, no temporary file
// behind, and the user is told.
TEST_F(Printing, AFailedPrintToFileKeepsTheOldFileAndSaysSo) {
    namespace ops = file_operations;
    const std::string pdf = dir.File("kept.pdf");
    for (const ops::Fault& fault : {ops::Fault{ops::Step::Create, 1, EACCES, false},
                                    ops::Fault{ops::Step::Sync, 1, EIO, false},
                                    ops::Fault{ops::Step::Rename, 1, EXDEV, false}}) {
        SCOPED_TRACE(static_cast<int>(fault.step));
        { std::ofstream(pdf) << "old"; }
        const auto before = std::filesystem::directory_iterator(dir.path());
        const size_t files = std::distance(before, std::filesystem::directory_iterator());
        printer.setOutputFileName(QString::fromStdString(pdf));
        ui.messages.clear();
        ops::InjectFault(fault);
        EXPECT_FALSE(RunPrintJob(window->Context(), printer, 0, 1));
        ops::ClearFault();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
        EXPECT_TRUE(cindral::testing::NamesCause(ui.messages[0].text, fault.error))
            << ui.messages[0].text;
        std::ifstream in(pdf);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                                std::filesystem::directory_iterator()),
                  static_cast<std::ptrdiff_t>(files));
        EXPECT_EQ(printer.outputFileName().toStdString(), pdf);
    }
    printer.setOutputFileName(QString::fromStdString(pdf));
    EXPECT_TRUE(RunPrintJob(window->Context(), printer, 0, 1));
    EXPECT_EQ(PdfPages(pdf), 2);
}

}  // namespace
}  // namespace cindral::app

namespace cindral::app {
namespace {

// A log of one `width` x `height` inch page with a line from its top left corner to its
// bottom right, so its ink shows where the page went on the sheet.
std::string WriteCornerToCornerLog(const TempDir& dir, double width, double height) {
    const std::string path = dir.File("corner-" + std::to_string(width) + ".gdx");
    GdxHeader header = cindral::testing::PixelHeader(height * 100);
    header.MaxX = width * 100;
    header.PageWidth = width;
    header.PageHeight = height;
    cindral::testing::WriteLog(path, header, /*left=*/0, /*right=*/width * 100);
    return path;
}

// The print command from the dialog to the PDF: the paper offered, the paper chosen there,
// the clipping question asked after the dialog against the paper chosen (never with "Fit
// to page"), the sheet the PDF gets, and where the page's ink lands on it.
TEST_F(Printing, ThePaperChosenInTheDialogDecidesTheQuestionTheSheetAndThePlace) {
    using L = QPageLayout;
    const QPageLayout letter_landscape_bare(QPageSize(QPageSize::Letter), L::Landscape,
                                            QMarginsF(0, 0, 0, 0), L::Millimeter);
    const QPageLayout a4_10mm(QPageSize(QPageSize::A4), L::Portrait, QMarginsF(10, 10, 10, 10),
                              L::Millimeter);
    const QPageLayout a3_10mm(QPageSize(QPageSize::A3), L::Portrait, QMarginsF(10, 10, 10, 10),
                              L::Millimeter);
    struct Row {
        const char* log;
        double width, height;  // the log's page, inches
        const char* paper;
        std::optional<QPageLayout> chosen;  // none: the paper the dialog offers
        QSizeF sheet;                       // points
        // The printable height and width the question names, inches; none when it fits.
        std::optional<std::pair<double, double>> printer_page;
    };
    const QSizeF letter_l(792, 612), a4(595.28, 841.89), a3(841.89, 1190.55);
    using Page = std::pair<double, double>;
    // The offered paper keeps the printer's margins: 10 points on a PDF printer.
    const Row rows[] = {
        {"Letter landscape", 11, 8.5, "offered", {}, letter_l, Page{8.22, 10.72}},
        {"Letter landscape",
         11,
         8.5,
         "Letter landscape, no margins",
         letter_landscape_bare,
         letter_l,
         {}},
        {"Letter landscape", 11, 8.5, "A4 portrait, 10 mm", a4_10mm, a4, Page{10.91, 7.48}},
        {"Letter landscape", 11, 8.5, "A3 portrait, 10 mm", a3_10mm, a3, Page{15.75, 10.91}},
        {"A4 portrait", 8.27, 11.69, "offered", {}, a4, Page{11.42, 7.99}},
        {"A4 portrait", 8.27, 11.69, "Letter landscape, no margins", letter_landscape_bare,
         letter_l, Page{8.50, 11.00}},
        {"A4 portrait", 8.27, 11.69, "A4 portrait, 10 mm", a4_10mm, a4, Page{10.91, 7.48}},
        {"A4 portrait", 8.27, 11.69, "A3 portrait, 10 mm", a3_10mm, a3, {}},
    };
    constexpr int kDpi = 50;
    int n = 0;
    for (const Row& row : rows) {
        ASSERT_TRUE(window->OpenFile(
            QString::fromStdString(WriteCornerToCornerLog(dir, row.width, row.height))));
        for (bool fit : {false, true}) {
            SCOPED_TRACE(std::string(row.log) + " log on " + row.paper + (fit ? ", fitted" : ""));
            const std::string pdf = dir.File("paper-" + std::to_string(++n) + ".pdf");
            QPrinter& printer = WindowPrinter(*window);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Point);
            QSizeF offered;
            bool fit_box = false;
            OnNextDialog([&](QDialog* dialog) {
                offered = printer.pageLayout().fullRect(QPageLayout::Point).size();
                if (row.chosen) printer.setPageLayout(*row.chosen);
                if (auto* box = dialog->findChild<QCheckBox*>("FitToPage")) {
                    fit_box = true;
                    box->setChecked(fit);
                }
                dialog->accept();
            });
            ui.messages.clear();
            ui.answers = {Answer::Yes};
            window->Actions().Print1->trigger();

            ASSERT_TRUE(fit_box);
            // The dialog starts on the log's paper, the right way round.
            EXPECT_NEAR(offered.width(), row.width * 72, 1.5);
            EXPECT_NEAR(offered.height(), row.height * 72, 1.5);
            const bool asked = !fit && row.printer_page;
            ASSERT_EQ(ui.messages.size(), asked ? 1u : 0u);
            if (asked) {
                const std::string& text = ui.messages[0].text;
                std::smatch m;
                ASSERT_TRUE(std::regex_search(
                    text, m, std::regex(R"(printer page \(([\d.]+) x ([\d.]+)\))")))
                    << text;
                EXPECT_NEAR(std::stod(m[1]), row.printer_page->first, 0.015) << text;
                EXPECT_NEAR(std::stod(m[2]), row.printer_page->second, 0.015) << text;
            }
            const QSizeF sheet = PdfPageSize(pdf);
            EXPECT_NEAR(sheet.width(), row.sheet.width(), 1) << pdf;
            EXPECT_NEAR(sheet.height(), row.sheet.height(), 1);

            const QImage image = PdfPageImage(pdf, 1, kDpi);
            ASSERT_FALSE(image.isNull());
            const QRect ink = InkBox(image);
            ASSERT_FALSE(ink.isEmpty());
            const QRectF area = printer.pageLayout().paintRectPixels(kDpi);
            if (fit) {
                // Inside the printable area, as wide or as high as it, centred, the page's
                // shape kept.
                EXPECT_TRUE(area.adjusted(-1.5, -1.5, 1.5, 1.5).contains(QRectF(ink)))
                    << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x"
                    << ink.height();
                EXPECT_TRUE(ink.width() >= area.width() - 3 || ink.height() >= area.height() - 3);
                EXPECT_NEAR(ink.left() - area.left(), area.right() - ink.right() - 1, 3);
                EXPECT_NEAR(ink.top() - area.top(), area.bottom() - ink.bottom() - 1, 3);
                EXPECT_NEAR(double(ink.width()) / ink.height(), row.width / row.height, 0.04);
            } else {
                // At its own size from the printable area's corner; the diagonal is cut where
                // it leaves the printable area (give or take the few device pixels beyond
                // it that the canvas cuts geometry at).
                EXPECT_NEAR(ink.left(), area.left(), 2);
                EXPECT_NEAR(ink.top(), area.top(), 2);
                const double kept = std::min(
                    {1.0, area.width() / (row.width * kDpi), area.height() / (row.height * kDpi)});
                EXPECT_NEAR(ink.width(), row.width * kDpi * kept, 6);
                EXPECT_NEAR(ink.height(), row.height * kDpi * kept, 6);
            }
        }
    }
}

// "No" to the clipping question prints nothing.
TEST_F(Printing, NoToTheClippingQuestionPrintsNothing) {
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(WriteCornerToCornerLog(dir, 11, 8.5))));
    const std::string pdf = dir.File("refused.pdf");
    QPrinter& printer = WindowPrinter(*window);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    auto answer_print_dialog = [&] {
        OnNextDialog([&](QDialog* dialog) {
            printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                              QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
            dialog->accept();
        });
    };
    // From File > Print, and from the preview's own Print button, which goes the same way.
    struct Way {
        const char* name;
        std::function<void()> print;
    };
    const Way ways[] = {
        {"File > Print",
         [&] {
             answer_print_dialog();
             window->Actions().Print1->trigger();
         }},
        {"the preview's Print",
         [&] {
             bool pressed = false;
             OnNextDialog([&](QDialog* preview) {
                 auto* print = preview->findChild<QAction*>("PreviewPrint");
                 if (print == nullptr) return preview->reject();
                 answer_print_dialog();
                 pressed = true;
                 print->trigger();
             });
             window->Actions().PrintPreview1->trigger();
             EXPECT_TRUE(pressed);
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        ui.messages.clear();
        ui.answers = {Answer::No};
        way.print();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text,
                  "The output size (8.50 x 11.00) is larger than the printer page (10.91 x 7.48)."
                  "\r\nThe printout will be clipped.\r\n\r\nDo you want to continue?");
        EXPECT_FALSE(std::ifstream(pdf).good());
    }
}

// "Current page" in the dialog prints one sheet: the page on screen, whose ink (the part of
// the log's diagonal on it) lands where the screen shows it.
TEST_F(Printing, CurrentPagePrintsThePageOnScreenAlone) {
    window->ShownPage = 2;
    window->ShowCurrentPage();
    ASSERT_TRUE(window->WaitForPage());
    const QRect shown = InkBox(window->ViewBitmap);
    ASSERT_FALSE(shown.isEmpty());
    const std::string pdf = dir.File("current.pdf");
    QPrinter& printer = WindowPrinter(*window);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    bool chose = false;
    OnNextDialog([&](QDialog* dialog) {
        if (auto* current = dialog->findChild<QRadioButton*>("printCurrentPage")) {
            chose = current->isEnabled();
            current->click();
        }
        dialog->accept();
    });
    window->Actions().Print1->trigger();
    ASSERT_TRUE(chose);
    EXPECT_EQ(PdfPages(pdf), 1);
    // The screen shows 100 pixels to the inch.
    const QImage sheet = PdfPageImage(pdf, 1, 100);
    const QPoint corner = printer.pageLayout().paintRectPixels(100).topLeft();
    const QRect printed = InkBox(sheet).translated(-corner);
    EXPECT_NEAR(printed.left(), shown.left(), 2);
    EXPECT_NEAR(printed.right(), shown.right(), 2);
    EXPECT_NEAR(printed.top(), shown.top(), 2);
    EXPECT_NEAR(printed.bottom(), shown.bottom(), 2);
    EXPECT_TRUE(ui.messages.empty());
}

// The sheet in the preview: white, on the preview's grey, and what is drawn on it (reduced
// to the preview's scale, a line is a pale one).
struct PreviewSheet {
    QRect sheet;
    QRect ink;
};
PreviewSheet GrabSheet(QPrintPreviewWidget* widget) {
    const QImage shot = widget->grab().toImage();
    PreviewSheet found;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb c = shot.pixel(x, y);
            if (c == qRgb(255, 255, 255)) found.sheet |= QRect(x, y, 1, 1);
        }
    }
    for (int y = found.sheet.top(); y <= found.sheet.bottom(); ++y) {
        for (int x = found.sheet.left(); x <= found.sheet.right(); ++x) {
            if (qGray(shot.pixel(x, y)) < 235) found.ink |= QRect(x, y, 1, 1);
        }
    }
    return found;
}

// File > Printer Page Setup chooses the paper the print dialog and the preview then use for
// the session instead of the log's; the preview's "Fit to page" puts the page inside the
// sheet and is what the print dialog then starts with.
TEST_F(Printing, PrinterPageSetupAndThePreviewShareThePaperAndTheFit) {
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(WriteCornerToCornerLog(dir, 11, 8.5))));
    QAction* setup = window->findChild<QAction*>("PrinterPageSetup1");
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(setup->text().remove('&'), "Printer Page Setup...");
    bool picked = false;
    OnNextDialog([&](QDialog* dialog) {
        auto* sizes = dialog->findChild<QComboBox*>("pageSizeCombo");
        auto* portrait = dialog->findChild<QRadioButton*>("portrait");
        if (sizes != nullptr && portrait != nullptr) {
            const int a4 = sizes->findData(QVariant::fromValue(QPageSize(QPageSize::A4)));
            sizes->setCurrentIndex(a4 >= 0 ? a4 : sizes->findText("A4", Qt::MatchStartsWith));
            portrait->click();
            picked = sizes->currentText().startsWith("A4");
        }
        dialog->accept();
    });
    setup->trigger();
    ASSERT_TRUE(picked);

    std::optional<PreviewSheet> actual, fitted;
    QPageLayout::Orientation preview_orientation = QPageLayout::Landscape;
    OnNextDialog([&](QDialog* dialog) {
        auto* widget = dialog->findChild<QPrintPreviewWidget*>();
        auto* fit = dialog->findChild<QAction*>("FitToPage");
        if (widget != nullptr && fit != nullptr) {
            preview_orientation = widget->orientation();
            actual = GrabSheet(widget);
            fit->setChecked(true);
            fitted = GrabSheet(widget);
        }
        dialog->reject();
    });
    window->findChild<QAction*>("PrintPreview1")->trigger();
    ASSERT_TRUE(actual && fitted);
    EXPECT_EQ(preview_orientation, QPageLayout::Portrait);
    // Upright A4: higher than wide.
    EXPECT_GT(actual->sheet.height(), actual->sheet.width() * 1.3);
    // At its own size the 11-inch page is cut at the 8.27-inch sheet's printable edge, its
    // diagonal high on the sheet; fitted, the whole diagonal is there, centred.
    ASSERT_FALSE(actual->ink.isEmpty());
    ASSERT_FALSE(fitted->ink.isEmpty());
    const int actual_top = actual->ink.top() - actual->sheet.top();
    const int fitted_top = fitted->ink.top() - fitted->sheet.top();
    const int fitted_bottom = fitted->sheet.bottom() - fitted->ink.bottom();
    EXPECT_LT(actual_top * 4, fitted_top);
    EXPECT_NEAR(fitted_top, fitted_bottom, 3);
    EXPECT_NEAR(fitted->ink.left() - fitted->sheet.left(),
                fitted->sheet.right() - fitted->ink.right(), 3);
    EXPECT_NEAR(double(fitted->ink.width()) / fitted->ink.height(), 11 / 8.5, 0.08);

    // The print dialog starts on the chosen paper, fitted.
    QSizeF offered;
    bool fit_checked = false;
    OnNextDialog([&](QDialog* dialog) {
        offered = WindowPrinter(*window).pageLayout().fullRect(QPageLayout::Millimeter).size();
        if (auto* box = dialog->findChild<QCheckBox*>("FitToPage")) fit_checked = box->isChecked();
        dialog->reject();
    });
    window->Actions().Print1->trigger();
    EXPECT_NEAR(offered.width(), 210, 1);
    EXPECT_NEAR(offered.height(), 297, 1);
    EXPECT_TRUE(fit_checked);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace cindral::app
