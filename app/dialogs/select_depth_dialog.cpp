#include "app/dialogs/select_depth_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "app/dialogs/help_dialog.h"
#include "core/environment/ui.h"
#include "core/pages/depth_interval.h"

namespace cindral::app {
namespace {

constexpr double kMostDepth = 1e15;

QDoubleSpinBox* DepthEdit(QWidget* parent, double value) {
    auto* edit = new QDoubleSpinBox(parent);
    edit->setDecimals(6);
    edit->setRange(-kMostDepth, kMostDepth);
    edit->setValue(value);
    edit->setMinimumWidth(160);
    return edit;
}

QString Caption(const char* format, double value) {
    return QString::fromStdString(std::string(format) + " (" + FormatG(value) + ")");
}

}  // namespace

TSelectDepthFrm::TSelectDepthFrm(double initial_top, double initial_base, double top, double bottom,
                                 QWidget* parent, DepthSign sign)
    : QDialog(parent), initial_top_(initial_top), initial_base_(initial_base), sign_(sign) {
    setWindowTitle("Depth Interval");
    setWindowFlags(Qt::Tool);
    StartLbl = new QLabel(Caption("New Starting Depth", sign_.Shown(initial_top)), this);
    EndLbl = new QLabel(Caption("New Ending Depth", sign_.Shown(initial_base)), this);
    StartEd = DepthEdit(this, sign_.Shown(top));
    StartEd->setObjectName("StartEd");
    EndEd = DepthEdit(this, sign_.Shown(bottom));
    EndEd->setObjectName("EndEd");
    StartLbl->setBuddy(StartEd);
    EndLbl->setBuddy(EndEd);
    ResetStartBtn = new QPushButton("Reset", this);
    ResetEndBtn = new QPushButton("Reset", this);
    for (QPushButton* reset : {ResetStartBtn, ResetEndBtn}) {
        reset->setToolTip("Reset depth to the original value.");
        reset->setAutoDefault(false);
    }
    connect(ResetStartBtn, &QPushButton::clicked, this, &TSelectDepthFrm::ResetStartBtnClick);
    connect(ResetEndBtn, &QPushButton::clicked, this, &TSelectDepthFrm::ResetEndBtnClick);

    auto* buttons = new QDialogButtonBox(this);
    OKBTN = buttons->addButton(QDialogButtonBox::Ok);
    CancelBTN = buttons->addButton(QDialogButtonBox::Cancel);
    HelpBTN = buttons->addButton(QDialogButtonBox::Help);
    connect(OKBTN, &QPushButton::clicked, this, &TSelectDepthFrm::accept);
    connect(CancelBTN, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBTN, &QPushButton::clicked, this,
            [this] { ShowHelpTopic(help_topic::kSelectInterval, this); });
    InstallHelpKey(this, help_topic::kSelectInterval);

    auto* grid = new QGridLayout;
    grid->addWidget(StartLbl, 0, 0, 1, 2);
    grid->addWidget(StartEd, 1, 0);
    grid->addWidget(ResetStartBtn, 1, 1);
    grid->addWidget(EndLbl, 2, 0, 1, 2);
    grid->addWidget(EndEd, 3, 0);
    grid->addWidget(ResetEndBtn, 3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

double TSelectDepthFrm::StartDepth() const {
    return sign_.FromShown(StartEd->value());
}
double TSelectDepthFrm::EndDepth() const {
    return sign_.FromShown(EndEd->value());
}

void TSelectDepthFrm::ResetStartBtnClick() {
    StartEd->setValue(sign_.Shown(initial_top_));
}
void TSelectDepthFrm::ResetEndBtnClick() {
    EndEd->setValue(sign_.Shown(initial_base_));
}

void TSelectDepthFrm::accept() {
    StartEd->interpretText();
    EndEd->interpretText();
    const double start = StartDepth();
    const double end = EndDepth();
    auto refuse = [&](const std::string& text, QDoubleSpinBox* edit) {
        CurrentUi().ShowMessage(MessageKind::Warning, "", text, Buttons::Ok);
        edit->setFocus();
        edit->selectAll();
    };
    const IntervalCheck check = CheckInterval(start, end, initial_top_, initial_base_, sign_);
    if (check.problem == IntervalProblem::None) {
        QDialog::accept();
    } else {
        refuse(check.message, check.problem == IntervalProblem::EndBelowBase ? EndEd : StartEd);
    }
}

}  // namespace cindral::app
