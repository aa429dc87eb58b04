#include "app/dialogs/jpeg_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "app/dialogs/help_dialog.h"
#include "app/dialogs/replace_question.h"
#include "core/environment/save_as.h"
#include "core/environment/settings.h"
#include "core/environment/ui.h"
#include "render/canvas/mul_div.h"

namespace cindral::app {
namespace {

constexpr const char* kHelpTopic = "exporting-pages";

}  // namespace

const char* const TJPEGOptsFrm::kNoFileWarning = "Enter a filename for your JPEG bitmap.";
const char* const TJPEGOptsFrm::kFolderWarning =
    "%1 is a folder. Enter a name for the file to write in it.";
const char* const TJPEGOptsFrm::kCannotOpen = "Unable to create or open the JPEG Options dialog.";

QString PictureSizeText(const QString& prefix, int width, int height, int pixels_per_inch,
                        int screen_pixels_per_inch) {
    return QString("%1 Size = %2 x %3")
        .arg(prefix)
        .arg(MulDiv(width, pixels_per_inch, screen_pixels_per_inch))
        .arg(MulDiv(height, pixels_per_inch, screen_pixels_per_inch));
}

TJPEGOptsFrm::TJPEGOptsFrm(JpegOptionsMode mode, int width, int height, int screen_pixels_per_inch,
                           QWidget* parent)
    : QDialog(parent),
      mode_(mode),
      width_(width),
      height_(height),
      screen_pixels_per_inch_(screen_pixels_per_inch > 0 ? screen_pixels_per_inch : 96) {
    setObjectName("TJPEGOptsFrm");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    const QString caption = "JPEG Options";
    setWindowTitle(mode == JpegOptionsMode::Html     ? "HTML Table " + caption
                   : mode == JpegOptionsMode::Bitmap ? QString("BMP Options")
                                                     : caption);

    FilenameEd = new QLineEdit(this);
    FilenameEd->setObjectName("FilenameEd");
    FilenameEd->setMinimumWidth(320);
    FilenameEd->setToolTip("The file to write; type its name or choose it with \"...\".");
    FilenameBrowse = new QToolButton(this);
    FilenameBrowse->setText("...");
    FilenameBrowse->setToolTip("Choose the output file.");
    PixPerInchEd = new QSpinBox(this);
    PixPerInchEd->setObjectName("PixPerInchEd");
    PixPerInchEd->setRange(1, 4800);
    SizeLbl = new QLabel(this);
    SizeLbl->setObjectName("SizeLbl");

    BuildQualityPanel();
    ShowHTMLPnl = new QWidget(this);
    ShowHTMLPnl->setObjectName("ShowHTMLPnl");
    AutoDisplayCb = new QCheckBox("&Open in Browser", ShowHTMLPnl);
    AutoDisplayCb->setObjectName("AutoDisplayCb");
    AutoDisplayCb->setToolTip(
        "Opens the table in your default Internet Browser (ie. Netscape, Internet Explorer).");
    auto* html = new QHBoxLayout(ShowHTMLPnl);
    html->setContentsMargins(0, 0, 0, 0);
    html->addWidget(AutoDisplayCb);

    QDialogButtonBox* buttons = BuildButtons();
    AskFileName = [this](const QString& filter, const QString& suffix) {
        QFileDialog dialog(this,
                           mode_ == JpegOptionsMode::Html ? "Save HTML Table" : "Save Picture");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(filter);
        dialog.setDefaultSuffix(suffix);
        // The replace question comes from OK, once, not from the save dialog too.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!FilenameEd->text().isEmpty()) dialog.selectFile(FilenameEd->text());
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };

    LayOut(buttons);
    // A bitmap has no compression; only a table can be opened in the browser.
    QualityPnl->setVisible(mode != JpegOptionsMode::Bitmap);
    ShowHTMLPnl->setVisible(mode == JpegOptionsMode::Html);
    UpdateForm();
}

// The compression scroll bar between its Low and High ends.
void TJPEGOptsFrm::BuildQualityPanel() {
    QualityPnl = new QWidget(this);
    QualitySb = new QScrollBar(Qt::Horizontal, QualityPnl);
    QualitySb->setObjectName("QualitySb");
    QualitySb->setRange(1, 100);
    QualitySb->setPageStep(10);
    QualitySb->setValue(80);
    QualitySb->setToolTip(
        "Larger numbers provide higher quality output and bigger graphics files.");
    CompQualLbl = new QLabel("Compression Quality = 80", QualityPnl);
    CompQualLbl->setObjectName("CompQualLbl");
    auto* quality = new QGridLayout(QualityPnl);
    quality->setContentsMargins(0, 0, 0, 0);
    quality->addWidget(new QLabel("Compression", QualityPnl), 0, 0);
    quality->addWidget(CompQualLbl, 0, 1, 1, 2);
    quality->addWidget(new QLabel("Low", QualityPnl), 1, 0);
    quality->addWidget(QualitySb, 1, 1);
    quality->addWidget(new QLabel("High", QualityPnl), 1, 2);
    auto* ends = new QHBoxLayout;
    ends->addWidget(new QLabel("1", QualityPnl));
    ends->addStretch();
    ends->addWidget(new QLabel("100", QualityPnl));
    quality->addLayout(ends, 2, 1);
}

QDialogButtonBox* TJPEGOptsFrm::BuildButtons() {
    auto* buttons = new QDialogButtonBox(this);
    OKBtn = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setToolTip("Start the JPEG export.");
    CancelBtn = buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setToolTip("Cancel the JPEG export.");
    HelpBtn = buttons->addButton("Help", QDialogButtonBox::HelpRole);
    HelpBtn->setToolTip("Get help on JPEG options (sorry under construction).");
    connect(OKBtn, &QPushButton::clicked, this, &TJPEGOptsFrm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpTopic); });
    connect(FilenameBrowse, &QToolButton::clicked, this, &TJPEGOptsFrm::Browse);
    connect(PixPerInchEd, qOverload<int>(&QSpinBox::valueChanged), this, &TJPEGOptsFrm::UpdateForm);
    connect(QualitySb, &QScrollBar::valueChanged, this, &TJPEGOptsFrm::QualitySbChange);
    return buttons;
}

void TJPEGOptsFrm::LayOut(QDialogButtonBox* buttons) {
    auto* form = new QGridLayout;
    form->addWidget(new QLabel("Filename", this), 0, 0);
    auto* name_row = new QHBoxLayout;
    name_row->addWidget(FilenameEd);
    name_row->addWidget(FilenameBrowse);
    form->addLayout(name_row, 0, 1);
    form->addWidget(new QLabel("Pixels/Inch", this), 1, 0);
    auto* size_row = new QHBoxLayout;
    size_row->addWidget(PixPerInchEd);
    size_row->addWidget(SizeLbl, 1);
    form->addLayout(size_row, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(QualityPnl);
    layout->addWidget(ShowHTMLPnl);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TJPEGOptsFrm::UpdateForm() {
    SizeLbl->setText(PictureSizeText(mode_ == JpegOptionsMode::Bitmap ? "BMP" : "JPEG", width_,
                                     height_, PixPerInchEd->value(), screen_pixels_per_inch_));
}

void TJPEGOptsFrm::QualitySbChange() {
    CompQualLbl->setText(QString("Compression Quality = %1").arg(QualitySb->value()));
}

QString TJPEGOptsFrm::DefaultSuffix() const {
    switch (mode_) {
        case JpegOptionsMode::Html:
            return "html";
        case JpegOptionsMode::Jpeg:
            return "jpg";
        case JpegOptionsMode::Bitmap:
            break;
    }
    return "bmp";
}

void TJPEGOptsFrm::SetFileName(const QString& name) {
    FilenameEd->setText(name);
    // A name typed without a folder goes where the proposed one was.
    if (!name.isEmpty()) folder_ = QFileInfo(name).absolutePath();
}

QString TJPEGOptsFrm::TypedFileName() const {
    QString name = FilenameEd->text().trimmed();
    if (name.isEmpty() || name.endsWith('/')) return name;
    if (QFileInfo(name).isRelative()) name = QDir(folder_).absoluteFilePath(name);
    if (QFileInfo(name).suffix().isEmpty() && !QFileInfo(name).isDir()) {
        if (!name.endsWith('.')) name += '.';
        name += DefaultSuffix();
    }
    return QDir::cleanPath(name);
}

void TJPEGOptsFrm::RefuseName(const std::string& text) {
    CurrentUi().ShowMessage(MessageKind::Warning, "", text, Buttons::Ok);
    FilenameEd->setFocus();
    FilenameEd->selectAll();
}

bool TJPEGOptsFrm::Browse() {
    QString chosen;
    switch (mode_) {
        case JpegOptionsMode::Html:
            chosen = AskFileName("HTML (*.htm *.html);;All Files (*)", "html");
            break;
        case JpegOptionsMode::Jpeg:
            chosen = AskFileName("JPEG (*.jpg);;All Files (*)", "jpg");
            break;
        case JpegOptionsMode::Bitmap:
            chosen = AskFileName("BMP (*.bmp);;All Files (*)", "bmp");
            break;
    }
    if (chosen.isEmpty()) return false;
    FilenameEd->setText(chosen);
    FilenameEd->setToolTip(chosen);
    return true;
}

void TJPEGOptsFrm::OKBtnClick() {
    if (FilenameEd->text().trimmed().isEmpty()) {
        CurrentUi().ShowMessage(MessageKind::Warning, "", kNoFileWarning, Buttons::Ok);
        if (!Browse()) {
            FilenameEd->setFocus();
            return;
        }
    }
    const QString name = TypedFileName();
    if (name.endsWith('/') || QFileInfo(name).isDir()) {
        RefuseName(QString(kFolderWarning).arg(name).toStdString());
        return;
    }
    // A page picture replaces a file only when the user says so (a table is many files,
    // replaced together once all are written).
    if (mode_ != JpegOptionsMode::Html && !MayReplace(name, FilenameEd)) return;
    FilenameEd->setText(name);
    QDialog::accept();
}

bool ShowJpegOptions(JpegOptionsMode mode, std::string& file_name, int width, int height,
                     int screen_pixels_per_inch, Settings& settings, QWidget* parent) {
    try {
        TJPEGOptsFrm dialog(mode, width, height, screen_pixels_per_inch, parent);
        dialog.SetFileName(QString::fromStdString(file_name));
        dialog.PixPerInchEd->setValue(settings.ExportPixelsPerInch);
        dialog.QualitySb->setValue(settings.ExportQuality);
        dialog.QualitySbChange();
        dialog.AutoDisplayCb->setChecked(settings.OpenTableInBrowser);
        dialog.UpdateForm();
        if (dialog.exec() != QDialog::Accepted) return false;
        file_name = dialog.FilenameEd->text().toStdString();
        settings.ExportPixelsPerInch = dialog.PixPerInchEd->value();
        if (mode != JpegOptionsMode::Bitmap) settings.ExportQuality = dialog.QualitySb->value();
        if (mode == JpegOptionsMode::Html)
            settings.OpenTableInBrowser = dialog.AutoDisplayCb->isChecked();
        return true;
    } catch (const std::exception&) {
        CurrentUi().ShowMessage(MessageKind::Error, "", TJPEGOptsFrm::kCannotOpen, Buttons::Ok);
        return false;
    }
}

}  // namespace cindral::app
