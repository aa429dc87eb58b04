#include "app/dialogs/text_view_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QTextStream>
#include <QVBoxLayout>

#include "core/environment/status.h"
#include "core/environment/ui.h"

namespace cindral::app {

TTextViewDialog::TTextViewDialog(const QString& caption, const QString& file_name, QWidget* parent)
    : QDialog(parent), file_name_(file_name) {
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose, false);
    Memo = new QPlainTextEdit(this);
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    OkBtn = new QPushButton("&Ok", this);
    CopyBtn = new QPushButton("&Copy", this);
    SaveAsBtn = new QPushButton("Save &As", this);
    PrintBtn = new QPushButton("&Print", this);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CopyBtn, &QPushButton::clicked, this, [this] { CopyClick(); });
    connect(SaveAsBtn, &QPushButton::clicked, this, [this] { SaveAsClick(); });
    connect(PrintBtn, &QPushButton::clicked, this, [this] { PrintClick(); });

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {OkBtn, CopyBtn, SaveAsBtn, PrintBtn}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo, 1);
    layout->addLayout(buttons);
    resize(560, 420);
}

void TTextViewDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!loaded_) LoadFile();
}

void TTextViewDialog::LoadFile() {
    loaded_ = true;
    QFile file(file_name_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        Memo->clear();
        return;
    }
    Memo->setPlainText(QString::fromLocal8Bit(file.readAll()));
}

void TTextViewDialog::SetText(const QString& text) {
    loaded_ = true;
    Memo->setPlainText(text);
}

void TTextViewDialog::CopyClick() {
    Memo->selectAll();
    Memo->copy();
}

void TTextViewDialog::SaveAsClick() {
    QFileDialog dialog(this, "Save As ...", QString(), "Text File (*.TXT);;All Files (*.*)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("TXT");
    dialog.selectFile("*.TXT");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    QString name = dialog.selectedFiles().first();
    QSaveFile out(name);
    bool ok = out.open(QIODevice::WriteOnly | QIODevice::Text);
    if (ok) {
        out.write(Memo->toPlainText().toLocal8Bit());
        if (!Memo->toPlainText().endsWith('\n')) out.write("\n");
        ok = out.commit();
    }
    if (!ok) {
        CurrentUi().ShowMessage(MessageKind::Error, "",
                                "Unable to save file to " + name.toStdString(), Buttons::Ok);
    }
}

void TTextViewDialog::PrintClick() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintTo(printer);
}

void TTextViewDialog::PrintTo(QPrinter& printer) {
    ShowStatus("Initializing printer ...");
    QStringList lines = Memo->toPlainText().split('\n');
    QPainter painter(&printer);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    painter.setFont(font);
    const int line_height = painter.fontMetrics().lineSpacing();
    const QRect page = painter.viewport();
    const QString indent(10, ' ');
    int y = line_height;
    for (int i = 0; i < lines.size(); ++i) {
        if (y > page.height() - line_height) {
            printer.newPage();
            y = line_height;
        }
        painter.drawText(0, y, indent + lines[i]);
        y += line_height;
        ShowProgress(static_cast<double>(i + 1) / lines.size());
    }
    painter.end();
    HideStatus();
}

}  // namespace cindral::app
