// The sample log printed through a real CUPS queue (cups-pdf) with the code the Print command
// runs after its dialog, and the file the queue produced read back by poppler's pdfinfo and
// pdftoppm. Where the queue cannot start, the same job goes to Qt's PDF printer, is checked
// the same way, and the test reports itself skipped with the reason.

#include <gtest/gtest.h>

#include <QDoubleSpinBox>
#include <QImage>
#include <QPrinter>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <thread>

#include "app/commands/print_command.h"
#include "app/dialogs/page_setup_dialog.h"
#include "app/frm_test_support.h"
#include "app/window/cindral_frm.h"
#include "core/format/gdx_header.h"
#include "private_cups.h"
#include "recording_ui.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

namespace fs = std::filesystem;
using cindral::testing::TempDir;
using cindral::testing::TheQueue;

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

int Pages(const std::string& pdf) {
    std::smatch m;
    const std::string info = Output("pdfinfo '" + pdf + "' 2>/dev/null");
    return std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(m[1]) : -1;
}

// The PDF files of a folder with their modification times: a job may write a file of the
// same name as one an earlier, timed-out run left behind.
std::map<std::string, fs::file_time_type> PdfFilesIn(const std::string& folder) {
    std::map<std::string, fs::file_time_type> files;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored)) {
        if (entry.path().extension() == ".pdf")
            files[entry.path().string()] = entry.last_write_time(ignored);
    }
    return files;
}

// The mean darkness, 0..255, of a page picture.
double Ink(const QImage& image) {
    double total = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) total += 255 - qGray(image.pixel(x, y));
    }
    return total / (double(image.width()) * image.height());
}

TEST(RealPrintQueue, TheSamplePrintsAsItsFourPages) {
    const bool real = TheQueue().started();
    TempDir dir;
    RecordingUi ui;
    ScopedUi scoped_ui(ui);
    Settings settings;
    settings.PatternFile = cindral::testing::BinDir() + "/QuenUtil.Pat";
    settings.SymbolFile = cindral::testing::BinDir() + "/QuenUtil.Sym";
    cindral::testing::UseActualSizeIn(dir);
    TCindralFrm window(settings);
    ASSERT_TRUE(window.OpenFile(
        QString::fromStdString(cindral::testing::BinDir() + "/samples/sample.gdx")));
    ASSERT_EQ(window.Document->PageCount(), 4);

    QPrinter printer(QPrinter::HighResolution);
    std::string pdf;
    std::map<std::string, fs::file_time_type> before;
    if (real) {
        printer.setPrinterName(cindral::testing::PrivateCups::kQueue);
        before = PdfFilesIn(cindral::testing::PrivateCups::OutputFolder());
    } else {
        pdf = dir.File("qt-printer.pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
    }
    printer.setPageSize(QPageSize(QPageSize::Letter));
    ASSERT_TRUE(RunPrintJob(window.Context(), printer, 0, 3));

    if (real) {
        // cups-pdf writes the file when the job has run; wait for a complete one.
        for (int i = 0; i < 600 && pdf.empty(); ++i) {
            for (const auto& [f, written] :
                 PdfFilesIn(cindral::testing::PrivateCups::OutputFolder())) {
                const auto old = before.find(f);
                if ((old == before.end() || old->second != written) && Pages(f) > 0) pdf = f;
            }
            if (pdf.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ASSERT_FALSE(pdf.empty()) << "the queue produced no file within a minute";
    }
    EXPECT_EQ(Pages(pdf), 4);
    EXPECT_NE(Output("pdfinfo '" + pdf + "'").find("612 x 792 pts"), std::string::npos);
    // Each sheet carries its page: as much ink as the screen page, within a third (the
    // printer draws thinner pens and keeps a margin).
    for (int page = 1; page <= 4; ++page) {
        const std::string n = std::to_string(page);
        const std::string png = dir.File("sheet" + n);
        ASSERT_EQ(std::system(("pdftoppm -r 96 -png -singlefile -f " + n + " -l " + n + " '" + pdf +
                               "' '" + png + "'")
                                  .c_str()),
                  0);
        const double sheet = Ink(QImage(QString::fromStdString(png + ".png")));
        const double screen = Ink(window.Document->RenderPage(page - 1));
        EXPECT_NEAR(sheet, screen, screen / 3) << "page " << page;
    }
    if (real) {
        fs::remove(pdf);
    } else {
        GTEST_SKIP() << "no real print queue (" << TheQueue().why_not()
                     << "); printed to Qt's PDF printer instead, which passed the same checks";
    }
}

// Opening a log asks to adjust its page size only when it differs from the printer's
// printable page by more than 0.01 inch.
TEST(RealPrintQueue, TheSizeQuestionComesBeyondOneHundredthOfAnInch) {
    if (!TheQueue().started()) {
        GTEST_SKIP() << "no real print queue (" << TheQueue().why_not()
                     << "); without a printer the question is never asked";
    }
    TempDir dir;
    RecordingUi ui;
    ScopedUi scoped_ui(ui);
    cindral::testing::WriteEmptyLibraries(dir);
    Settings settings = cindral::testing::TestSettings(dir);
    QPrinter probe(QPrinter::HighResolution);
    probe.setPrinterName(cindral::testing::PrivateCups::kQueue);
    const PrinterPage printer = ReadPrinterPage(probe, settings);
    ASSERT_GT(printer.height, 5);
    const char* question =
        "The Log and Printer Page Size do not match.\r\n\r\nDo you want to adjust the Log Page "
        "Size?";
    struct Case {
        double extra;  // inches added to the printable length and width
        bool asked;
    };
    for (Case c : {Case{0.0, false}, Case{0.005, false}, Case{-0.005, false}, Case{0.05, true}}) {
        GdxHeader header = cindral::testing::PixelHeader(1200);
        header.PageHeight = printer.height + c.extra;
        header.PageWidth = printer.width + c.extra;
        const std::string log = dir.File("log.gdx");
        cindral::testing::WriteLog(log, header);
        cindral::testing::UseActualSizeIn(dir);
        TCindralFrm window(settings);
        ui.messages.clear();
        ASSERT_TRUE(window.OpenFile(QString::fromStdString(log)));
        int asked = 0;
        for (const RecordedMessage& m : ui.messages) asked += m.text == question;
        EXPECT_EQ(asked, c.asked ? 1 : 0) << c.extra;
        // Answered Cancel (the recorder's safe answer): the log keeps its size.
        EXPECT_EQ(window.Document->Header().PageHeight, header.PageHeight);
    }
}

// Yes to the size question opens Page Setup; its confirmed size goes into the log file and
// the view follows it.
TEST(RealPrintQueue, AdjustingThePageSizeWritesItIntoTheLog) {
    if (!TheQueue().started()) {
        GTEST_SKIP() << "no real print queue (" << TheQueue().why_not()
                     << "); without a printer the question is never asked";
    }
    TempDir dir;
    RecordingUi ui;
    ScopedUi scoped_ui(ui);
    cindral::testing::WriteEmptyLibraries(dir);
    Settings settings = cindral::testing::TestSettings(dir);
    settings.PageSetupInches = true;
    const std::string log = dir.File("log.gdx");
    cindral::testing::WriteLog(log, cindral::testing::PixelHeader(1200));  // 3 x 5 inches
    ui.answers = {Answer::Yes};
    cindral::testing::OnNextDialog([](QDialog* dialog) {
        if (auto* setup = qobject_cast<TPageSetupFrm*>(dialog)) {
            setup->PageLengthRe->setValue(7.5);
            setup->PageWidthRe->setValue(6.25);
        }
        dialog->accept();
    });
    cindral::testing::UseActualSizeIn(dir);
    TCindralFrm window(settings);
    ASSERT_TRUE(window.OpenFile(QString::fromStdString(log)));
    EXPECT_EQ(ReadHeaderFromFile(log).PageHeight, 7.5);
    EXPECT_EQ(ReadHeaderFromFile(log).PageWidth, 6.25);
    EXPECT_EQ(window.ViewBitmap.size(), QSize(600, 720));  // at 96 pixels per inch
    EXPECT_EQ(settings.DefaultPageLength, 7.5);
}

}  // namespace
}  // namespace cindral::app
