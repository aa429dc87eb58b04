// The system files dialog on a real window: its names reach the settings, and from there the
// next log opened, not the one on screen.

#include "app/dialogs/system_files_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>

#include "app/window/cindral_frm.h"
#include "frm_test_support.h"
#include "recording_ui.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

using cindral::testing::OnNextDialog;
using cindral::testing::TempDir;

TEST(SystemFiles, ChosenLibrariesServeTheNextLogNotTheOneOnScreen) {
    TempDir dir;
    RecordingUi ui;
    ScopedUi scoped_ui(ui);
    cindral::testing::WriteEmptyLibraries(dir);
    cindral::testing::WriteBytes(dir.File("other.pat"), std::vector<uint8_t>(251 * 206, 0));
    const std::string log = dir.File("log.gdx");
    cindral::testing::WriteLog(log, cindral::testing::PixelHeader(1200));
    Settings settings = cindral::testing::TestSettings(dir);
    TCindralFrm window(settings);
    ASSERT_TRUE(window.OpenFile(QString::fromStdString(log)));
    auto* command = window.findChild<QAction*>("SystemFiles1");
    ASSERT_NE(command, nullptr);

    struct Case {
        std::string pattern;  // typed into the pattern edit
        bool accepted;        // OK closes the dialog
    };
    const std::string too_long = "/" + std::string(kSettingsTextCapacity, 'p') + ".pat";
    for (const Case& c : {Case{too_long, false}, Case{dir.File("other.pat"), true}}) {
        bool closed = false;
        OnNextDialog([&](QDialog* dialog) {
            auto* files = qobject_cast<TSysFilesDlg*>(dialog);
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->windowTitle(), "System Files");
            EXPECT_EQ(files->Frame->SymbolEd->text().toStdString(), settings.SymbolFile);
            files->Frame->PatternEd->setText(QString::fromStdString(c.pattern));
            files->accept();
            closed = !files->isVisible();
            if (!closed) files->reject();
        });
        ui.messages.clear();
        command->trigger();
        EXPECT_EQ(closed, c.accepted) << c.pattern.size();
        // A name too long for its field is refused with a message, never cut.
        EXPECT_EQ(ui.messages.size(), c.accepted ? 0u : 1u);
        EXPECT_EQ(settings.PatternFile, c.accepted ? c.pattern : dir.File("lib.pat"));
    }
    EXPECT_EQ(window.Document->Options().files.pattern_file, dir.File("lib.pat"));
    ASSERT_TRUE(window.OpenFile(QString::fromStdString(log)));
    EXPECT_EQ(window.Document->Options().files.pattern_file, dir.File("other.pat"));
}

}  // namespace
}  // namespace cindral::app
