#pragma once
// The about box: program name, version and build date (both from the build), the program
// file's revision date, the revision notes, and the maker's web site and support address.

#include <QDate>
#include <QDialog>
#include <QString>

#include "core/environment/display_options.h"

class QLabel;
class QPushButton;

namespace cindral::app {

// Where the about box's two buttons lead.
extern const char* const kMakerWebSite;
extern const char* const kSupportMail;

class TAboutDialog : public QDialog {
    Q_OBJECT
  public:
    // `options` is the process's options record, saved to `options_path` when the beta flag
    // is cleared; `program_path` names the program file (its date and revision notes).
    TAboutDialog(const QString& program_name, const QString& program_path, DisplayOptions& options,
                 const QString& options_path, QWidget* parent = nullptr);

    // The notes file beside the program: its path without extension plus ".INF".
    QString RevisionFile() const;
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

  private:
    void RevisionClick();
    void WebClick();
    void MailClick();

    QString program_path_;
    DisplayOptions& options_;
    QString options_path_;
};

// "mmmm dd, yyyy" of a date, in English whatever the locale.
QString RevisionDateText(const QDate& date);

}  // namespace cindral::app
