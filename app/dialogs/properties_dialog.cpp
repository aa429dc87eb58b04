#include "app/dialogs/properties_dialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cindral::app {

TPropertiesDialog::TPropertiesDialog(const QString& summary, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Log Properties");
    Memo = new QPlainTextEdit(summary, this);
    Memo->setObjectName("Memo");
    Memo->setReadOnly(true);
    // The summary lines up in columns.
    Memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    const QFontMetrics metrics(Memo->font());
    Memo->setMinimumSize(metrics.horizontalAdvance(QString(64, 'x')), metrics.height() * 20);

    auto* buttons = new QDialogButtonBox(this);
    CopyBtn = buttons->addButton("&Copy", QDialogButtonBox::ActionRole);
    CloseBtn = buttons->addButton(QDialogButtonBox::Close);
    connect(CopyBtn, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(Memo->toPlainText()); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo);
    layout->addWidget(buttons);
    CloseBtn->setDefault(true);
}

}  // namespace cindral::app
