#pragma once
// The about box: program name, version and build date (both from the build), the program
// file's revision date, the revision notes (the build's version and the changes of each
// release, from the package's changelog built into the program), and the maker's web site
// and support address. When no browser or mail program can be started, the user is told
// and offered the address to copy.

#include <QDate>
#include <QDialog>
#include <QString>
#include <functional>

#include "core/environment/display_options.h"

class QLabel;
class QPushButton;
class QUrl;

namespace cindral::app {

// Where the about box's two buttons lead.
extern const char* const kMakerWebSite;
extern const char* const kSupportMail;

class TAboutDialog : public QDialog {
    Q_OBJECT
  public:
    // `options` is the process's options record, saved to `options_path` when the beta flag
    // is cleared; `program_path` names the program file (its date).
    TAboutDialog(const QString& program_name, const QString& program_path, DisplayOptions& options,
                 const QString& options_path, QWidget* parent = nullptr);

    // What Revision Information shows.
    static QString RevisionText();
    // Clicking the icon: clears the beta options flag once, telling the user.
    void IconClick();

    QLabel* ProgramLbl;
    QLabel* VersionLbl;
    QLabel* BuildLbl;
    QLabel* RevisedLbl;
    QLabel* Icon;
    QPushButton* OkBtn;
    QPushButton* RevisionBtn;
    QPushButton* WebBtn;
    QPushButton* MailBtn;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Revision Information, Web Site and E-mail Support.
    void RevisionClick();
    void WebClick();
    void MailClick();

  private:
    // Opens `url` with the desktop's program for it; when none starts, says so with
    // `failure` and offers `address` for the clipboard.
    void OpenOrOffer(const QUrl& url, const std::string& failure, const QString& address);

    DisplayOptions& options_;
    QString options_path_;
};

// "mmmm dd, yyyy" of a date, in English whatever the locale.
QString RevisionDateText(const QDate& date);

}  // namespace cindral::app
