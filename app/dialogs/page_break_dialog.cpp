#include "app/dialogs/page_break_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/help_dialog.h"
#include "core/environment/ui.h"
#include "core/pages/depth_interval.h"

namespace cindral::app {

const char* const TFPageBreakDlg::kZeroLengthWarning =
    "The depth units per page must be greater than 0.";

std::string TFPageBreakDlg::TooLongWarning(double most_units) {
    return "A page holds at most " + FormatG(most_units) +
           " depth units; a longer page length would leave part of the log on no page.";
}

TFPageBreakDlg::TFPageBreakDlg(bool enabled, double units_per_page, double most_units,
                               QWidget* parent)
    : QDialog(parent), most_units_(most_units) {
    setWindowTitle("Custom Page Length");
    CustomEnableCb = new QCheckBox("&Enable Custom Page Breaks", this);
    CustomEnableCb->setChecked(enabled);
    UnitsPerPageGB = new QGroupBox("Depth Units Per Page", this);
    UnitsPerPage = new QDoubleSpinBox(UnitsPerPageGB);
    UnitsPerPage->setObjectName("UnitsPerPage");
    UnitsPerPage->setDecimals(5);
    UnitsPerPage->setRange(0, 1e12);
    UnitsPerPage->setValue(units_per_page);
    auto* group = new QVBoxLayout(UnitsPerPageGB);
    group->addWidget(UnitsPerPage);

    auto* buttons = new QDialogButtonBox(this);
    OKBTN = buttons->addButton(QDialogButtonBox::Ok);
    CancelBTN = buttons->addButton(QDialogButtonBox::Cancel);
    HelpBTN = buttons->addButton(QDialogButtonBox::Help);
    connect(OKBTN, &QPushButton::clicked, this, &TFPageBreakDlg::accept);
    connect(CancelBTN, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBTN, &QPushButton::clicked, this,
            [this] { ShowHelpTopic(help_topic::kCustomPageLength, this); });
    InstallHelpKey(this, help_topic::kCustomPageLength);
    connect(CustomEnableCb, &QCheckBox::toggled, this, &TFPageBreakDlg::CustomEnableCbClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CustomEnableCb);
    layout->addWidget(UnitsPerPageGB);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    CustomEnableCbClick();
}

bool TFPageBreakDlg::CustomEnabled() const {
    return CustomEnableCb->isChecked();
}

double TFPageBreakDlg::UnitsPerPageValue() const {
    return UnitsPerPage->value();
}

void TFPageBreakDlg::CustomEnableCbClick() {
    UnitsPerPageGB->setEnabled(CustomEnableCb->isChecked());
}

void TFPageBreakDlg::accept() {
    UnitsPerPage->interpretText();
    // A page of zero depth units would cut the log into no pages at all.
    if (CustomEnabled() && !(UnitsPerPage->value() > 0)) {
        CurrentUi().ShowMessage(MessageKind::Warning, "", kZeroLengthWarning, Buttons::Ok);
        UnitsPerPage->setFocus();
        UnitsPerPage->selectAll();
        return;
    }
    // A page taller than the page's data window would leave its lower rows on no page.
    if (CustomEnabled() && UnitsPerPage->value() > most_units_) {
        CurrentUi().ShowMessage(MessageKind::Warning, "", TooLongWarning(most_units_), Buttons::Ok);
        UnitsPerPage->setFocus();
        UnitsPerPage->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace cindral::app
