// The whole-log export in the viewer: the options dialog's name and extension rules and its
// refusals, and the window's commands, which export the open log's file through the menu.

#include "app/dialogs/metafile_options_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QToolButton>

#include "app/commands/metafile_export_command.h"
#include "app/window/cindral_frm.h"
#include "core/environment/save_as.h"
#include "frm_test_support.h"
#include "recording_ui.h"

namespace cindral::app {
namespace {

using cindral::testing::OnNextDialog;
using cindral::testing::ReadFileBytes;
using cindral::testing::TempDir;

class MetafileOptionsDialog : public ::testing::Test {
  protected:
    MetafileOptionsDialog() : scoped_ui(ui) {}
    TempDir dir;
    RecordingUi ui;
    ScopedUi scoped_ui;
};

TEST_F(MetafileOptionsDialog, FormatButtonsChangeTheExtension) {
    TWMFDlg dialog;
    struct Step {
        QRadioButton* button;
        const char* name;
    };
    dialog.SetFileName("/logs/well.7.wmf");
    // Extensions in lower case, as file managers and other programs expect them.
    for (Step s : {Step{dialog.EMFRb, "/logs/well.7.emf"}, Step{dialog.SVGRb, "/logs/well.7.svg"},
                   Step{dialog.WMFRb, "/logs/well.7.wmf"}}) {
        s.button->click();
        EXPECT_EQ(dialog.FileName().toStdString(), s.name);
        EXPECT_EQ(dialog.FilenameEd->toolTip(), dialog.FileName()) << "the hint follows";
    }
    dialog.SetFileName("");
    dialog.EMFRb->click();
    EXPECT_TRUE(dialog.FileName().isEmpty()) << "no name is made up";
}

TEST_F(MetafileOptionsDialog, SaveDialogIsAskedWithTheFormatsFilter) {
    TWMFDlg dialog;
    QString filter, suffix;
    dialog.AskFileName = [&](const QString& title, const QString& f, const QString& s) {
        EXPECT_EQ(title, "Save Metafile");
        filter = f;
        suffix = s;
        return QString("/tmp/chosen.emf");
    };
    dialog.EMFRb->click();
    dialog.FilenameBrowse->click();
    EXPECT_TRUE(filter.startsWith("Enhanced Metafile (*.emf)"));
    EXPECT_EQ(suffix, "emf");
    EXPECT_EQ(dialog.FileName(), "/tmp/chosen.emf");
}

TEST_F(MetafileOptionsDialog, OkInsistsOnANameAndAsksBeforeReplacing) {
    const std::string existing = dir.File("old.wmf");
    cindral::testing::WriteBytes(existing, {1, 2, 3});
    struct Case {
        std::string name;
        std::vector<Answer> answers;
        bool accepted;
        std::string message;
        Buttons buttons;
    };
    const std::vector<Case> cases = {
        {"", {}, false, "You must enter an output file.", Buttons::Yes},
        {existing, {Answer::No}, false, OverwriteQuestion(existing), Buttons::YesNo},
        {existing, {Answer::Yes}, true, OverwriteQuestion(existing), Buttons::YesNo},
        {dir.File("new.wmf"), {}, true, "", Buttons::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        ui.answers.assign(c.answers.begin(), c.answers.end());
        TWMFDlg dialog;
        dialog.SetFileName(QString::fromStdString(c.name));
        dialog.show();
        dialog.OKBtn->click();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
        if (c.message.empty()) {
            EXPECT_TRUE(ui.messages.empty());
        } else {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, c.message);
            EXPECT_EQ(ui.messages[0].buttons, c.buttons);
        }
    }
    EXPECT_EQ(ReadFileBytes(existing).size(), 3u) << "the dialog itself deletes nothing";
}

class MetafileExportCommand : public ::testing::Test {
  protected:
    MetafileExportCommand() : scoped_ui(ui) {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(dir.path()));
        cindral::testing::WriteEmptyLibraries(dir);
        cindral::testing::WriteLog(log, cindral::testing::PixelHeader(1200));
        settings = cindral::testing::TestSettings(dir);
        window = std::make_unique<TCindralFrm>(settings);
    }

    QAction* Action(const QString& text) {
        for (QAction* a : window->findChildren<QAction*>()) {
            if (a->text() == text) return a;
        }
        return nullptr;
    }

    TempDir dir;
    std::string log = dir.File("log.gdx");
    RecordingUi ui;
    ScopedUi scoped_ui;
    Settings settings;
    std::unique_ptr<TCindralFrm> window;
};

TEST_F(MetafileExportCommand, HiddenSubmenuAndVisibleCommandExportTheOpenLog) {
    // The Export submenu exists but is never shown; File > Export is.
    bool hidden_found = false;
    for (QAction* a : window->menuBar()->actions()) {
        if (a->text() == "E&xport") {
            hidden_found = true;
            EXPECT_FALSE(a->isVisible());
        }
    }
    EXPECT_TRUE(hidden_found);
    ASSERT_NE(Action("&Metafile (wmf + emf)..."), nullptr);
    QAction* command = Action("Whole Log as Metafile...");
    ASSERT_NE(command, nullptr);

    EXPECT_EQ(DefaultMetafileOptions(window->Context()).file_name, "") << "no file open";
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(log)));
    EXPECT_EQ(DefaultMetafileOptions(window->Context()).file_name, dir.File("log.wmf"));

    const std::string out = dir.File("log.emf");
    OnNextDialog([&](QDialog* d) {
        auto* dialog = qobject_cast<TWMFDlg*>(d);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Metafile Output Options");
        dialog->EMFRb->click();
        dialog->OKBtn->click();
    });
    command->trigger();
    const std::vector<uint8_t> bytes = ReadFileBytes(out);
    ASSERT_GE(bytes.size(), 44u) << "the EMF was written";
    EXPECT_EQ(bytes[40], 0x20);  // " EMF"
    EXPECT_EQ(bytes[41], 'E');
    EXPECT_TRUE(ui.messages.empty());

    // Cancel exports nothing.
    OnNextDialog([](QDialog* d) { d->reject(); });
    command->trigger();
    EXPECT_TRUE(ReadFileBytes(dir.File("log.wmf")).empty());
}

}  // namespace
}  // namespace cindral::app
