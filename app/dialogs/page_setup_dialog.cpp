#include "app/dialogs/page_setup_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/dialogs/printer_page.h"
#include "core/base/errors.h"
#include "core/environment/settings.h"
#include "core/environment/ui.h"

namespace cindral::app {
namespace {

constexpr double kCmPerInch = 2.54;

QDoubleSpinBox* SizeEdit(QWidget* parent) {
    auto* edit = new QDoubleSpinBox(parent);
    edit->setDecimals(5);
    edit->setRange(1.0, 10000.0);
    return edit;
}

}  // namespace

bool LargerThanPrintable(double value, double printable) {
    return std::lround(value * 100) > std::lround(printable * 100);
}

TPageSetupFrm::TPageSetupFrm(QPrinter& printer, Settings& settings, double page_width,
                             double page_height, QWidget* parent)
    : QDialog(parent), printer_(printer), settings_(settings) {
    setWindowTitle("Page Setup");
    auto* layout = new QVBoxLayout(this);

    auto* info = new QGroupBox("Printer Info", this);
    auto* info_layout = new QVBoxLayout(info);
    PrinterLbl = new QLabel(info);
    Page = new QLabel(info);
    PrintLength = new QLabel(info);
    PrintWidth = new QLabel(info);
    Printers = new QPushButton("&Printers", info);
    for (QWidget* w :
         std::initializer_list<QWidget*>{PrinterLbl, Page, PrintLength, PrintWidth, Printers}) {
        info_layout->addWidget(w);
    }
    layout->addWidget(info);

    auto* sizes = new QGroupBox("Page Settings", this);
    auto* form = new QFormLayout(sizes);
    PageLengthRe = SizeEdit(sizes);
    PageWidthRe = SizeEdit(sizes);
    Default = new QPushButton("&Set Default Size", sizes);
    form->addRow("Length", PageLengthRe);
    form->addRow("Width", PageWidthRe);
    form->addRow(Default);
    layout->addWidget(sizes);

    auto* units = new QGroupBox("Units", this);
    auto* unit_layout = new QHBoxLayout(units);
    InchCb = new QRadioButton("Inches", units);
    CMCb = new QRadioButton("CM's", units);
    unit_layout->addWidget(InchCb);
    unit_layout->addWidget(CMCb);
    layout->addWidget(units);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    (settings_.PageSetupInches ? InchCb : CMCb)->setChecked(true);
    SetPrinterOrientation(printer_, settings_.PrinterOrientation);
    RefreshPrinterInfo();
    const double factor = settings_.PageSetupInches ? 1.0 : kCmPerInch;
    PageLengthRe->setValue(page_height * factor);
    PageWidthRe->setValue(page_width * factor);
    Recolour();

    connect(PageLengthRe, &QDoubleSpinBox::valueChanged, this, [this] { Recolour(); });
    connect(PageWidthRe, &QDoubleSpinBox::valueChanged, this, [this] { Recolour(); });
    connect(InchCb, &QRadioButton::clicked, this, [this] { UnitClick(InchCb); });
    connect(CMCb, &QRadioButton::clicked, this, [this] { UnitClick(CMCb); });
    connect(Default, &QPushButton::clicked, this, [this] { DefaultClick(); });
    connect(Printers, &QPushButton::clicked, this, [this] {
        QPageSetupDialog setup(&printer_, this);
        if (setup.exec() == QDialog::Accepted) RefreshPrinterInfo();
    });
}

void TPageSetupFrm::RefreshPrinterInfo() {
    const bool inches = InchCb->isChecked();
    const QString mark = inches ? "\"" : "cm";
    const double factor = inches ? 1.0 : kCmPerInch;
    DefaultPrinterPage page;
    GetDefaultPrinterPage(printer_, page);
    PrinterLbl->setText(QString::fromStdString(page.name));
    Page->setText(QString::asprintf("Page = %.2f%s x %.2f%s", page.physical_height * factor,
                                    qPrintable(mark), page.physical_width * factor,
                                    qPrintable(mark)));
    printable_length = page.printable_height * factor;
    printable_width = page.printable_width * factor;
    PrintLength->setText(
        QString::asprintf("Printable Length = %.2f%s", printable_length, qPrintable(mark)));
    PrintWidth->setText(
        QString::asprintf("Printable Width = %.2f%s", printable_width, qPrintable(mark)));
    Recolour();
}

void TPageSetupFrm::Recolour() {
    auto paint = [](QDoubleSpinBox* edit, bool red) {
        edit->setStyleSheet(red ? "color: red;" : "color: blue;");
    };
    paint(PageLengthRe, LargerThanPrintable(PageLengthRe->value(), printable_length));
    paint(PageWidthRe, LargerThanPrintable(PageWidthRe->value(), printable_width));
}

void TPageSetupFrm::UnitClick(QRadioButton* clicked) {
    clicked->setChecked(true);
    (clicked == InchCb ? CMCb : InchCb)->setChecked(false);
    RefreshPrinterInfo();
}

void TPageSetupFrm::DefaultClick() {
    PageLengthRe->setValue(printable_length);
    PageWidthRe->setValue(printable_width);
}

void TPageSetupFrm::accept() {
    double length = PageLengthRe->value();
    double width = PageWidthRe->value();
    if (LargerThanPrintable(length, printable_length) ||
        LargerThanPrintable(width, printable_width)) {
        const Answer fix = CurrentUi().ShowMessage(
            MessageKind::Confirmation, "",
            "The user set page size is larger than the current printer page size. Do you want "
            "to fix?",
            Buttons::YesNo);
        if (fix == Answer::Yes) return;
    }
    orientation_ = printer_.pageLayout().orientation() == QPageLayout::Landscape ? 1 : 0;
    if (CMCb->isChecked()) {
        length /= kCmPerInch;
        width /= kCmPerInch;
    }
    length_ = length;
    width_ = width;
    settings_.PageSetupInches = InchCb->isChecked();
    settings_.PrinterOrientation = orientation_;
    settings_.DefaultPageLength = length;
    settings_.DefaultPageWidth = width;
    QDialog::accept();
}

}  // namespace cindral::app
