// The window's commands run on a CommandContext alone: a plain widget as the parent and a log
// opened without any main window. What they write and name comes from the context.

#include "app/commands/command_context.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/commands/metafile_export_command.h"
#include "app/commands/picture_export_command.h"
#include "app/commands/print_command.h"
#include "app/dialogs/metafile_options_dialog.h"
#include "core/environment/document_settings.h"
#include "core/environment/program_paths.h"
#include "core/environment/status.h"
#include "frm_test_support.h"
#include "recording_status.h"
#include "recording_ui.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

using cindral::testing::TempDir;

// Notes whether the parent took input at each status line of a run.
class ParentWatch : public RecordingStatusSink {
  public:
    explicit ParentWatch(const QWidget& parent) : parent_(parent) {}
    void ShowStatus(const std::string& text) override {
        enabled.push_back(parent_.isEnabled());
        RecordingStatusSink::ShowStatus(text);
    }
    std::vector<bool> enabled;

  private:
    const QWidget& parent_;
};

TEST(CommandContext, CommandsRunOnAPlainWidgetWithoutTheWindow) {
    TempDir dir;
    RecordingUi ui;
    ScopedUi scoped_ui(ui);
    cindral::testing::WriteEmptyLibraries(dir);
    const std::string log = dir.File("log.gdx");
    cindral::testing::WriteLog(log, cindral::testing::PixelHeader(1200));  // three pages
    Settings settings = cindral::testing::TestSettings(dir);
    LogDocumentOptions options;
    options.files = DocumentSettingsFrom(settings, DataDirectory());
    options.settings = settings;
    LogDocument document(log, options, 100);
    QWidget parent;

    struct Case {
        const char* title;
        LogDocument* document;
        std::string file_name;
        int page;
        const char* export_name;  // empty: the export refuses
        std::string metafile_name;
    };
    const Case cases[] = {
        {"Cindral 2003 - log", &document, log, 2, "page.png", dir.File("log.wmf")},
        {"Cindral 2003 - log", &document, log, 0, "first.png", dir.File("log.wmf")},
        // The parent's title decides "untitled", as the window's caption does.
        {"Cindral 2003 - UNTITLED", &document, log, 1, "untitled.png", ""},
        {"Cindral 2003 - UNTITLED", nullptr, "", 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.title) + " page " + std::to_string(c.page));
        parent.setWindowTitle(c.title);
        CommandContext context(settings, parent);
        context.document = c.document;
        context.file_name = c.file_name;
        context.no_pages = c.document == nullptr;
        context.page = c.page;
        context.screen_pixels_per_inch = 100;

        EXPECT_EQ(DefaultMetafileOptions(context).file_name, c.metafile_name);
        EXPECT_EQ(DefaultExportName(context, ".bmp", "none"),
                  c.metafile_name.empty() ? "none" : dir.File("log.bmp"));

        const std::string picture = dir.File(*c.export_name ? c.export_name : "refused.png");
        EXPECT_EQ(ExportShownPage(context, picture, 100, 90), *c.export_name != 0);
        if (*c.export_name) {
            // The page of the context, drawn at the export's resolution.
            EXPECT_TRUE(
                QImage(QString::fromStdString(picture)).convertToFormat(QImage::Format_RGB32) ==
                document.RenderPage(c.page).convertToFormat(QImage::Format_RGB32));
        } else {
            EXPECT_FALSE(std::ifstream(picture).good());
        }

        const std::string pdf = dir.File("print.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(100);
        printer.setOutputFileName(QString::fromStdString(pdf));
        if (c.document != nullptr) {
            ParentWatch watch(parent);
            ScopedStatusSink scoped_sink(watch);
            EXPECT_TRUE(RunPrintJob(context, printer, 0, c.page));
            std::ifstream in(pdf, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
            EXPECT_EQ(printer.docName(), "Cindral 2003 - log.gdx");
            // The parent is kept from input while the job runs, and given it back after.
            ASSERT_FALSE(watch.enabled.empty());
            EXPECT_EQ(std::count(watch.enabled.begin(), watch.enabled.end(), true), 0);
            EXPECT_TRUE(parent.isEnabled());
        }

        MetafileOptions whole;
        whole.file_name = dir.File("whole.svg");
        whole.format = MetafileFormat::Svg;
        std::remove(whole.file_name.c_str());
        EXPECT_EQ(ExportOpenLog(context, whole), c.document != nullptr);
        EXPECT_EQ(std::ifstream(whole.file_name).good(), c.document != nullptr);
    }
    // Every run succeeded or refused quietly: nothing went wrong to say.
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace cindral::app
