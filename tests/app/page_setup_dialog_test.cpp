// The page setup dialog: colours against the printable size, units, and what OK stores.

#include "app/dialogs/page_setup_dialog.h"

#include <gtest/gtest.h>

#include <QDoubleSpinBox>
#include <QLabel>
#include <QPrinter>
#include <QRadioButton>

#include "core/environment/settings.h"
#include "recording_ui.h"

namespace cindral::app {
namespace {

TEST(PageSetup, AnEditTurnsRedOnlyPastThePrintableSizeToAHundredth) {
    RecordingUi ui;
    ScopedUi scoped(ui);
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    Settings settings;
    TPageSetupFrm dialog(printer, settings, 8.5, 11.0);
    dialog.printable_length = 11.0;
    dialog.printable_width = 8.5;
    dialog.Recolour();
    struct Case {
        double length;
        bool red;
    };
    for (Case c : {Case{11.0, false}, Case{11.004, false}, Case{11.006, true}, Case{10.0, false},
                   Case{12.0, true}}) {
        dialog.PageLengthRe->setValue(c.length);  // a change recolours
        EXPECT_EQ(dialog.PageLengthRe->styleSheet(), c.red ? "color: red;" : "color: blue;")
            << c.length;
    }
}

// Centimetres typed are stored as inches; a page larger than the printer's is kept when the
// question to fix it is answered No, and keeps the dialog open when answered Yes.
TEST(PageSetup, CentimetresAreStoredAsInches) {
    RecordingUi ui;
    ScopedUi scoped(ui);
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    Settings settings;
    settings.PageSetupInches = false;
    TPageSetupFrm dialog(printer, settings, 8.5, 11.0);
    EXPECT_TRUE(dialog.CMCb->isChecked());
    EXPECT_NEAR(dialog.PageLengthRe->value(), 27.94, 1e-9);
    EXPECT_NEAR(dialog.PageWidthRe->value(), 21.59, 1e-9);
    // Whatever printer is here, make the printable area exactly the page.
    dialog.printable_length = 27.94;
    dialog.printable_width = 21.59;
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_NEAR(dialog.PageLength(), 11.0, 1e-9);
    EXPECT_NEAR(dialog.PageWidth(), 8.5, 1e-9);
    EXPECT_NEAR(settings.DefaultPageLength, 11.0, 1e-9);
    EXPECT_NEAR(settings.DefaultPageWidth, 8.5, 1e-9);
    EXPECT_FALSE(settings.PageSetupInches);

    for (Answer answer : {Answer::Yes, Answer::No}) {
        TPageSetupFrm larger(printer, settings, 8.5, 11.0);
        larger.printable_length = 20;
        larger.printable_width = 20;
        larger.setResult(QDialog::Rejected);
        ui.answers = {answer};
        ui.messages.clear();
        larger.accept();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text,
                  "The user set page size is larger than the current printer page size. Do you "
                  "want to fix?");
        EXPECT_EQ(larger.result(), answer == Answer::No ? QDialog::Accepted : QDialog::Rejected);
    }
}

TEST(PageSetup, ChangingTheUnitKeepsTheNumbersAndConvertsThePrinterInfo) {
    RecordingUi ui;
    ScopedUi scoped(ui);
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    Settings settings;
    TPageSetupFrm dialog(printer, settings, 8.5, 11.0);
    const double inches = dialog.printable_length;
    dialog.UnitClick(dialog.CMCb);
    EXPECT_FALSE(dialog.InchCb->isChecked());
    EXPECT_NEAR(dialog.printable_length, inches * 2.54, 1e-9);
    EXPECT_DOUBLE_EQ(dialog.PageLengthRe->value(), 11.0);
    EXPECT_TRUE(dialog.PrintLength->text().endsWith("cm"));
    dialog.DefaultClick();
    EXPECT_NEAR(dialog.PageLengthRe->value(), dialog.printable_length, 1e-5);
}

}  // namespace
}  // namespace cindral::app
