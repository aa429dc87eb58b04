// The Print command and its helpers on a real window with a real QPrinter writing PDF, the
// result read back by poppler's pdfinfo.

#include "app/commands/print_command.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

int PdfPages(const std::string& pdf) {
    FILE* pipe = popen(("pdfinfo '" + pdf + "' 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return -1;
    std::string text;
    char buffer[1024];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
    std::smatch m;
    return std::regex_search(text, m, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(m[1]) : -1;
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

// The print dialog opens with the log's page range and the printer in the settings'
// orientation; cancelling it prints nothing.
TEST_F(Printing, PrintDialogOffersEveryPageInTheSettingsOrientation) {
    window->settings().PrinterOrientation = 1;
    int from = -1, to = -1, min = -1, max = -1;
    bool ranges = false;
    OnNextDialog([&](QDialog* dialog) {
        if (auto* print = qobject_cast<QPrintDialog*>(dialog)) {
            from = print->fromPage();
            to = print->toPage();
            min = print->minPage();
            max = print->maxPage();
            ranges = print->testOption(QAbstractPrintDialog::PrintPageRange);
        }
        dialog->reject();
    });
    ASSERT_TRUE(window->Actions().Print1->isEnabled());
    window->Actions().Print1->trigger();
    EXPECT_EQ(std::make_pair(from, to), std::make_pair(1, 5));
    EXPECT_EQ(std::make_pair(min, max), std::make_pair(1, 5));
    EXPECT_TRUE(ranges);
    EXPECT_EQ(WindowPrinter(*window).pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(window->isEnabled());
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
