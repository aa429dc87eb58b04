// The about box and its text viewer, offscreen.

#include "app/dialogs/about_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>

#include "app/dialogs/text_view_dialog.h"
#include "core/format/gdx_writer.h"
#include "recording_status.h"
#include "recording_ui.h"
#include "temp_dir.h"

namespace cindral::app {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

TEST(AboutBox, ShowsNameVersionAndBuildDateOfTheBuildAndTheProgramFilesDate) {
    TempDir dir;
    WriteFileBytes(dir.File("viewer"), {1});
    DisplayOptions options = DefaultDisplayOptions();
    TAboutDialog box("Cindral 2003", QString::fromStdString(dir.File("viewer")), options,
                     QString::fromStdString(dir.File("viewer.CN1")));
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.ProgramLbl->text(), "Cindral 2003");
    EXPECT_EQ(box.VersionLbl->text(), "Version: " CINDRAL_VERSION);
    const QString build = box.BuildLbl->text();
    ASSERT_TRUE(build.startsWith("Build: ")) << build.toStdString();
    const QDate built = QLocale::c().toDate(build.mid(7), "MMMM dd, yyyy");
    EXPECT_TRUE(built.isValid()) << build.toStdString();
    EXPECT_LE(built, QDateTime::currentDateTimeUtc().date());
    EXPECT_EQ(box.RevisedLbl->text(), "Last Revised: " + RevisionDateText(QDate::currentDate()));
    EXPECT_EQ(box.RevisionFile(), QString::fromStdString(dir.File("viewer.INF")));
}

TEST(AboutBox, RevisionDatesAreEnglishWhateverTheLocale) {
    QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(RevisionDateText(QDate(2003, 3, 7)), "March 07, 2003");
    QLocale::setDefault(saved);
}

TEST(AboutBox, TheIconClearsTheBetaFlagOnceAndSavesIt) {
    TempDir dir;
    DisplayOptions options = DefaultDisplayOptions();
    options.BetaOptions = true;
    RecordingUi ui;
    ScopedUi scoped(ui);
    TAboutDialog box("Cindral 2003", "viewer", options, QString::fromStdString(dir.File("v.CN1")));
    box.IconClick();
    box.IconClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Beta options will no longer be displayed.");
    EXPECT_FALSE(options.BetaOptions);
    std::vector<uint8_t> saved = ReadFileBytes(dir.File("v.CN1"));
    ASSERT_EQ(saved.size(), 100u);
    EXPECT_EQ(saved[0], 0);
}

TEST(TextView, LoadsWhenShownCopiesAndPrintsEveryLine) {
    TempDir dir;
    std::string text = "first revision\nsecond revision\n";
    WriteFileBytes(dir.File("notes.INF"), std::vector<uint8_t>(text.begin(), text.end()));
    TTextViewDialog view("Program Revisions", QString::fromStdString(dir.File("notes.INF")));
    EXPECT_TRUE(view.Memo->toPlainText().isEmpty());
    view.show();
    EXPECT_EQ(view.windowTitle(), "Program Revisions");
    EXPECT_EQ(view.Memo->toPlainText(), QString::fromStdString(text));
    view.CopyBtn->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromStdString(text));

    RecordingStatusSink sink;
    ScopedStatusSink scoped(sink);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.File("notes.pdf")));
    view.PrintTo(printer);
    EXPECT_EQ(sink.statuses, std::vector<std::string>{"Initializing printer ..."});
    EXPECT_EQ(sink.hides, 1);
    ASSERT_FALSE(sink.progress.empty());
    EXPECT_EQ(sink.progress.back(), 1.0);
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", QString::fromStdString(dir.File("notes.pdf")), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    QString printed = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(printed.contains("first revision")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("second revision"));
}

}  // namespace
}  // namespace cindral::app
