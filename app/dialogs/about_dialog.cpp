#include "app/dialogs/about_dialog.h"

#include <QApplication>
#include <QDate>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dialogs/text_view_dialog.h"
#include "core/base/errors.h"
#include "core/environment/platform_info.h"
#include "core/environment/ui.h"

namespace cindral::app {

// Reserved example addresses until the maker's real ones are configured.
const char* const kMakerWebSite = "https://www.quentara.example/";
const char* const kSupportMail = "mailto:support@quentara.example";

QString RevisionDateText(const QDate& date) {
    return QLocale::c().toString(date, "MMMM dd, yyyy");
}

TAboutDialog::TAboutDialog(const QString& program_name, const QString& program_path,
                           DisplayOptions& options, const QString& options_path, QWidget* parent)
    : QDialog(parent), program_path_(program_path), options_(options), options_path_(options_path) {
    setWindowTitle("About");
    QString version = QString::fromStdString(ProgramVersionText());
    ProgramLbl = new QLabel(program_name, this);
    VersionLbl = new QLabel("Version: " + version, this);
    // The build is told apart by its date; the version's fourth number stays 0 here.
    const QDate built = QDate::fromString(QString::fromStdString(ProgramBuildDate()), Qt::ISODate);
    BuildLbl = new QLabel("Build: " + RevisionDateText(built), this);
    QDateTime modified = QFileInfo(program_path).lastModified();
    RevisedLbl = new QLabel("Last Revised: " + RevisionDateText(modified.date()), this);

    Icon = new QLabel(this);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    Icon->setPixmap(icon.pixmap(48, 48));
    Icon->installEventFilter(this);

    OkBtn = new QPushButton("&Ok", this);
    RevisionBtn = new QPushButton("&Revision Information", this);
    WebBtn = new QPushButton("&Web Site", this);
    MailBtn = new QPushButton("&E-mail Support", this);
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(RevisionBtn, &QPushButton::clicked, this, [this] { RevisionClick(); });
    connect(WebBtn, &QPushButton::clicked, this, [this] { WebClick(); });
    connect(MailBtn, &QPushButton::clicked, this, [this] { MailClick(); });

    auto* texts = new QVBoxLayout;
    for (QLabel* l : {ProgramLbl, VersionLbl, BuildLbl, RevisedLbl}) texts->addWidget(l);
    auto* top = new QHBoxLayout;
    top->addWidget(Icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {RevisionBtn, WebBtn, MailBtn, OkBtn}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

QString TAboutDialog::RevisionFile() const {
    QFileInfo info(program_path_);
    return info.path() + "/" + info.completeBaseName() + ".INF";
}

bool TAboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Icon && event->type() == QEvent::MouseButtonRelease) {
        IconClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutDialog::IconClick() {
    if (!options_.BetaOptions) return;
    CurrentUi().ShowMessage(MessageKind::Information, "",
                            "Beta options will no longer be displayed.", Buttons::Ok);
    options_.BetaOptions = false;
    try {
        SaveDisplayOptions(options_, options_path_.toStdString());
    } catch (const IoError& e) {
        CurrentUi().ShowMessage(MessageKind::Error, "", e.what(), Buttons::Ok);
    }
}

void TAboutDialog::RevisionClick() {
    TTextViewDialog viewer("Program Revisions", RevisionFile(), this);
    viewer.exec();
}

void TAboutDialog::WebClick() {
    if (!QDesktopServices::openUrl(QUrl(kMakerWebSite))) {
        CurrentUi().ShowMessage(MessageKind::Error, "", "Unable to access your Internet Browser.",
                                Buttons::Ok);
    }
}

void TAboutDialog::MailClick() {
    if (!QDesktopServices::openUrl(QUrl(kSupportMail))) {
        CurrentUi().ShowMessage(MessageKind::Error, "", "Unable to access your email application.",
                                Buttons::Ok);
    }
}

}  // namespace cindral::app
