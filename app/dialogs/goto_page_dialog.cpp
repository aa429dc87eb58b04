#include "app/dialogs/goto_page_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/dialogs/help_dialog.h"

namespace cindral::app {

int PageSpinBox::ClampedValue() const {
    bool ok = false;
    // Digits only: a number too long for an int is past the end.
    QString text = cleanText();
    qlonglong typed = text.toLongLong(&ok);
    if (!ok) return text.isEmpty() ? value() : maximum();
    return static_cast<int>(std::clamp<qlonglong>(typed, minimum(), maximum()));
}

QValidator::State PageSpinBox::validate(QString& input, int& pos) const {
    if (input.isEmpty()) return QValidator::Intermediate;
    for (QChar c : input) {
        if (!c.isDigit()) return QValidator::Invalid;
    }
    bool ok = false;
    qlonglong typed = input.toLongLong(&ok);
    return ok && typed >= minimum() && typed <= maximum() ? QValidator::Acceptable
                                                          : QValidator::Intermediate;
}

void PageSpinBox::fixup(QString& input) const {
    bool ok = false;
    qlonglong typed = input.toLongLong(&ok);
    int page = !ok ? (input.isEmpty() ? value() : maximum())
                   : static_cast<int>(std::clamp<qlonglong>(typed, minimum(), maximum()));
    input = QString::number(page);
}

TGotoDLG::TGotoDLG(int last_page, int shown_page, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Borneth: Page");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint);
    QFont bold("Arial");
    bold.setPixelSize(13);
    bold.setBold(true);
    setFont(bold);

    Label1 = new QLabel("Go to page:", this);
    PageSE = new PageSpinBox(this);
    PageSE->setObjectName("PageSE");
    PageSE->setRange(1, std::max(1, last_page + 1));
    PageSE->setValue(shown_page + 1);
    PageSE->setAccelerated(true);
    PageSE->installEventFilter(this);
    Label1->setBuddy(PageSE);

    auto* buttons = new QDialogButtonBox(this);
    OKBTN = buttons->addButton(QDialogButtonBox::Ok);
    CancelBTN = buttons->addButton(QDialogButtonBox::Cancel);
    connect(OKBTN, &QPushButton::clicked, this, &TGotoDLG::OKBTNClick);
    connect(CancelBTN, &QPushButton::clicked, this, &QDialog::reject);
    InstallHelpKey(this, help_topic::kGoToPage);

    auto* row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(PageSE, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    PageSE->selectAll();
    PageSE->setFocus();
}

bool TGotoDLG::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PageSE && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKBTNClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TGotoDLG::OKBTNClick() {
    PageSE->setValue(PageSE->ClampedValue());
    accept();
}

}  // namespace cindral::app
