// Message boxes as the user sees them, offscreen.
#include "app/window/qt_ui.h"

#include <gtest/gtest.h>

#include <QMessageBox>

#include "core/environment/error_table.h"
#include "frm_test_support.h"

namespace cindral::app {
namespace {

// The error table's paragraph break (carriage return + vertical tab) and the line breaks of
// other messages reach the box as line breaks, never as missing-character boxes.
TEST(QtUi, MessagesShowLineBreaksAndNoControlCharacters) {
    cindral::testing::TempDir dir;
    const std::string table = dir.File("Quen.Err");
    std::ofstream(table) << "#1033 Unknown version\nFirst paragraph.\n\nSecond paragraph.\n=====\n";
    struct Row {
        std::string text;
        QString shown;
    };
    const Row rows[] = {
        {ExplainError(1033, "File: log.gdx", table),
         "Unknown version: First paragraph.\n\nSecond paragraph.  File: log.gdx"},
        {"Page Size: 8.50 x 11.00\r\nScreen colors: 16777216",
         "Page Size: 8.50 x 11.00\nScreen colors: 16777216"},
    };
    for (const Row& row : rows) {
        QString shown;
        cindral::testing::OnNextDialog([&](QDialog* dialog) {
            if (auto* box = qobject_cast<QMessageBox*>(dialog)) shown = box->text();
            dialog->reject();
        });
        QtUi().ShowMessage(MessageKind::Error, "Error", row.text, Buttons::Ok);
        EXPECT_EQ(shown.toStdString(), row.shown.toStdString());
    }
}

}  // namespace
}  // namespace cindral::app
