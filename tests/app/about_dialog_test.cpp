// The about box and its text viewer, offscreen.

#include "app/dialogs/about_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <cstdlib>
#include <optional>

#include "app/dialogs/text_view_dialog.h"
#include "core/format/gdx_writer.h"
#include "frm_test_support.h"
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

// Revision Information: the build's version and every change the package's changelog lists,
// under the version it came with.
TEST(AboutBox, RevisionInformationShowsTheVersionAndEveryChange) {
    DisplayOptions options = DefaultDisplayOptions();
    TAboutDialog box("Cindral 2003", "viewer", options, "unused.CN1");
    QString shown;
    QString caption;
    cindral::testing::OnNextDialog([&](QDialog* dialog) {
        if (auto* view = qobject_cast<TTextViewDialog*>(dialog)) {
            shown = view->Memo->toPlainText();
            caption = view->windowTitle();
        }
        dialog->accept();
    });
    box.RevisionBtn->click();
    EXPECT_EQ(caption, "Program Revisions");
    EXPECT_TRUE(shown.contains(CINDRAL_VERSION)) << shown.toStdString();
    QFile changelog(QT_TESTCASE_SOURCEDIR "/../data/packaging/changelog");
    ASSERT_TRUE(changelog.open(QIODevice::ReadOnly));
    int changes = 0;
    qsizetype after = 0;
    static const QRegularExpression release(R"(^\S+ \(([^)]+)\))");
    for (const QString& line : QString::fromUtf8(changelog.readAll()).split('\n')) {
        if (const auto m = release.match(line); m.hasMatch()) {
            after = shown.indexOf("Version " + m.captured(1), after);
            EXPECT_GE(after, 0) << m.captured(1).toStdString();
        } else if (line.startsWith("  * ")) {
            ++changes;
            const qsizetype at = shown.indexOf(line.mid(4).trimmed());
            EXPECT_GT(at, after) << line.toStdString();
        }
    }
    EXPECT_GT(changes, 0);
}

// Sets an environment variable (or unsets it) for a scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// Web Site and E-mail Support when the desktop cannot start a browser or a mail program (no
// opener on the path, no BROWSER, no desktop named; the offscreen platform opens nothing
// either): the user is told which, and Yes puts the address on the clipboard.
TEST(AboutBox, WhenNoBrowserOrMailProgramStartsTheAddressIsOfferedToCopy) {
    TempDir dir;
    ScopedEnv path("PATH", dir.path().c_str());
    ScopedEnv browser("BROWSER", nullptr);
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", nullptr);
    ScopedEnv session("DESKTOP_SESSION", nullptr);
    RecordingUi ui;
    ScopedUi scoped(ui);
    DisplayOptions options = DefaultDisplayOptions();
    TAboutDialog box("Cindral 2003", "viewer", options, "unused.CN1");
    struct Row {
        QPushButton* button;
        Answer answer;
        const char* message;
        const char* clipboard;
    };
    const Row rows[] = {
        {box.WebBtn, Answer::Yes,
         "Cindral could not start a web browser to open https://www.quentara.example/.",
         "https://www.quentara.example/"},
        {box.MailBtn, Answer::Yes,
         "Cindral could not start an e-mail program to write to support@quentara.example.",
         "support@quentara.example"},
        {box.WebBtn, Answer::No,
         "Cindral could not start a web browser to open https://www.quentara.example/.",
         "left alone"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        QApplication::clipboard()->setText("left alone");
        ui.messages.clear();
        ui.answers = {row.answer};
        row.button->click();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
        EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
        EXPECT_EQ(ui.messages[0].text,
                  std::string(row.message) + "\r\n\r\nCopy the address to the clipboard?");
        EXPECT_EQ(QApplication::clipboard()->text(), row.clipboard);
    }
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
