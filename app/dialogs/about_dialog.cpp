#include "app/dialogs/about_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
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

namespace {

// The releases of a changelog in the Debian format, newest first, as plain text: a line
// "Version V (date)" over each release's entries.
QString ChangesText(const QString& changelog) {
    static const QRegularExpression release(R"(^\S+ \(([^)]+)\))");
    static const QRegularExpression signature(R"(^ -- .*>\s+(.+)$)");
    QStringList out;
    qsizetype heading = -1;
    for (const QString& line : changelog.split('\n')) {
        if (const auto m = release.match(line); m.hasMatch()) {
            if (!out.isEmpty()) out << QString();
            heading = out.size();
            out << "Version " + m.captured(1);
        } else if (const auto s = signature.match(line); s.hasMatch() && heading >= 0) {
            const QDateTime when = QDateTime::fromString(s.captured(1).trimmed(), Qt::RFC2822Date);
            if (when.isValid()) out[heading] += " (" + RevisionDateText(when.date()) + ")";
        } else if (heading >= 0 && !line.trimmed().isEmpty()) {
            // An entry's first line under its version, the lines that continue it under its text.
            const QString text = line.trimmed();
            out << (text.startsWith('*') ? "  " : "    ") + text;
        }
    }
    return out.join('\n');
}

}  // namespace

TAboutDialog::TAboutDialog(const QString& program_name, const QString& program_path,
                           DisplayOptions& options, const QString& options_path, QWidget* parent)
    : QDialog(parent), options_(options), options_path_(options_path) {
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

QString TAboutDialog::RevisionText() {
    QFile changelog(":/about/changelog");
    const QString changes = changelog.open(QIODevice::ReadOnly)
                                ? ChangesText(QString::fromUtf8(changelog.readAll()))
                                : QString();
    return "Cindral 2003, version " + QString::fromStdString(ProgramVersionText()) + ", built " +
           RevisionDateText(
               QDate::fromString(QString::fromStdString(ProgramBuildDate()), Qt::ISODate)) +
           ".\n\nChanges:\n\n" + changes + "\n";
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
    TTextViewDialog viewer("Program Revisions", QString(), this);
    viewer.SetText(RevisionText());
    viewer.exec();
}

void TAboutDialog::OpenOrOffer(const QUrl& url, const std::string& failure,
                               const QString& address) {
    if (QDesktopServices::openUrl(url)) return;
    const Answer copy = CurrentUi().ShowMessage(
        MessageKind::Warning, "", failure + "\r\n\r\nCopy the address to the clipboard?",
        Buttons::YesNo);
    if (copy == Answer::Yes) QApplication::clipboard()->setText(address);
}

void TAboutDialog::WebClick() {
    const QUrl url(kMakerWebSite);
    OpenOrOffer(
        url, "Cindral could not start a web browser to open " + url.toString().toStdString() + ".",
        url.toString());
}

void TAboutDialog::MailClick() {
    const QUrl url(kSupportMail);
    const QString address = url.path();
    OpenOrOffer(
        url, "Cindral could not start an e-mail program to write to " + address.toStdString() + ".",
        address);
}

}  // namespace cindral::app
