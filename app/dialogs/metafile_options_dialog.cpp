#include "app/dialogs/metafile_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/dialogs/help_dialog.h"
#include "app/dialogs/replace_question.h"
#include "core/environment/save_as.h"
#include "core/environment/ui.h"

namespace cindral::app {
namespace {

constexpr const char* kHelpTopic = "exporting-the-whole-log";

}  // namespace

const char* const TWMFDlg::kNoFileWarning = "You must enter an output file.";

TWMFDlg::TWMFDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Metafile Output Options");
    GroupBox1 = new QGroupBox("Filename", this);
    FilenameEd = new QLineEdit(GroupBox1);
    FilenameEd->setObjectName("FilenameEd");
    // The name comes from the save dialog; typing is off.
    FilenameEd->setReadOnly(true);
    FilenameEd->setMinimumWidth(320);
    FilenameBrowse = new QToolButton(GroupBox1);
    FilenameBrowse->setText("...");
    FilenameBrowse->setToolTip("Choose the output file.");
    WMFRb = new QRadioButton("&Windows Metafile (*.wmf)", GroupBox1);
    EMFRb = new QRadioButton("&Enhanced Metafile (*.emf)", GroupBox1);
    SVGRb = new QRadioButton("&Scalable Vector Graphics (*.svg)", GroupBox1);
    WMFRb->setChecked(true);
    auto* name_row = new QHBoxLayout;
    name_row->addWidget(FilenameEd);
    name_row->addWidget(FilenameBrowse);
    auto* group1 = new QVBoxLayout(GroupBox1);
    group1->addLayout(name_row);
    group1->addWidget(WMFRb);
    group1->addWidget(EMFRb);
    group1->addWidget(SVGRb);

    GroupBox2 = new QGroupBox("Options", this);
    HeaderCb = new QCheckBox("Plot &Header", GroupBox2);
    HeaderCb->setToolTip("Plot header 1 at the top\r\nof the log.");
    FooterCb = new QCheckBox("Plot &Footer", GroupBox2);
    FooterCb->setToolTip("Plot a footer at the base of \r\nthe log.");
    auto* group2 = new QVBoxLayout(GroupBox2);
    group2->addWidget(HeaderCb);
    group2->addWidget(FooterCb);

    auto* buttons = new QDialogButtonBox(this);
    OKBtn = buttons->addButton(QDialogButtonBox::Ok);
    OKBtn->setToolTip("Start the export.");
    CancelBtn = buttons->addButton(QDialogButtonBox::Cancel);
    CancelBtn->setToolTip("Cancel the export.");
    HelpBtn = buttons->addButton("Help", QDialogButtonBox::HelpRole);
    HelpBtn->setToolTip("Get help on the WMF options.");
    connect(OKBtn, &QPushButton::clicked, this, &TWMFDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpTopic); });
    connect(FilenameEd, &QLineEdit::textChanged, this, &TWMFDlg::FilenameEdChange);
    connect(FilenameBrowse, &QToolButton::clicked, this, &TWMFDlg::FilenameEdBeforeDialog);
    for (QRadioButton* b : {WMFRb, EMFRb, SVGRb}) {
        connect(b, &QRadioButton::clicked, this, &TWMFDlg::FiletypeClick);
    }

    AskFileName = [this](const QString& title, const QString& filter, const QString& suffix) {
        QFileDialog dialog(this, title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(filter);
        dialog.setDefaultSuffix(suffix);
        // The replace question comes from OK, once, not from the save dialog too.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!FileName().isEmpty()) dialog.selectFile(FileName());
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TWMFDlg::SetFileName(const QString& name) {
    FilenameEd->setText(name);
    FilenameEdChange();
}

QString TWMFDlg::FileName() const {
    return FilenameEd->text();
}

void TWMFDlg::FilenameEdChange() {
    FilenameEd->setToolTip(FilenameEd->text());
}

void TWMFDlg::FiletypeClick() {
    const QString name = FileName();
    if (name.isEmpty()) return;
    const QFileInfo info(name);
    const QString extension = WMFRb->isChecked() ? ".wmf" : EMFRb->isChecked() ? ".emf" : ".svg";
    const QString stem =
        info.suffix().isEmpty() ? name : name.left(name.size() - info.suffix().size() - 1);
    SetFileName(stem + extension);
}

void TWMFDlg::FilenameEdBeforeDialog() {
    QString filter, suffix;
    if (WMFRb->isChecked()) {
        filter = "Windows Metafile (*.wmf);;All Files (*)";
        suffix = "wmf";
    } else if (EMFRb->isChecked()) {
        filter = "Enhanced Metafile (*.emf);;All Files (*)";
        suffix = "emf";
    } else {
        filter = "Scalable Vector Graphics (*.svg);;All Files (*)";
        suffix = "svg";
    }
    const QString chosen = AskFileName("Save Metafile", filter, suffix);
    if (!chosen.isEmpty()) SetFileName(chosen);
}

void TWMFDlg::OKBtnClick() {
    const QString name = FileName();
    if (name.isEmpty()) {
        CurrentUi().ShowMessage(MessageKind::Warning, "", kNoFileWarning, Buttons::Yes);
        FilenameEd->setFocus();
        FilenameEd->selectAll();
        return;
    }
    if (!MayReplace(name, FilenameEd)) return;
    QDialog::accept();
}

bool ShowMetafileOptions(MetafileOptions& options, QWidget* parent) {
    TWMFDlg dialog(parent);
    dialog.WMFRb->setChecked(options.format == MetafileFormat::Wmf);
    dialog.EMFRb->setChecked(options.format == MetafileFormat::Emf);
    dialog.SVGRb->setChecked(options.format == MetafileFormat::Svg);
    dialog.HeaderCb->setChecked(options.header);
    dialog.FooterCb->setChecked(options.footer);
    dialog.SetFileName(QString::fromStdString(options.file_name));
    if (dialog.exec() != QDialog::Accepted) return false;
    options.header = dialog.HeaderCb->isChecked();
    options.footer = dialog.FooterCb->isChecked();
    options.format = dialog.EMFRb->isChecked()   ? MetafileFormat::Emf
                     : dialog.SVGRb->isChecked() ? MetafileFormat::Svg
                                                 : MetafileFormat::Wmf;
    options.file_name = dialog.FileName().toStdString();
    return true;
}

}  // namespace cindral::app
