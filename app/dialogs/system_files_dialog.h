#pragma once
// The system files dialog: which keyword, pattern and symbol library files the viewer uses.
// Its choices go into the settings record; each log opened afterwards loads the libraries
// named there, the log on screen keeps the ones it was opened with.

#include <QDialog>
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace cindral {
struct Settings;
}

namespace cindral::app {

// The three file names, each shown read-only with a "Select" browse button.
class TSysFilesFra : public QWidget {
    Q_OBJECT
  public:
    explicit TSysFilesFra(QWidget* parent = nullptr);

    QLineEdit* KeywordEd;
    QLineEdit* PatternEd;
    QLineEdit* SymbolEd;
    QPushButton* KeywordBtn;
    QPushButton* PatternBtn;
    QPushButton* SymbolBtn;
};

class TSysFilesDlg : public QDialog {
    Q_OBJECT
  public:
    // Shows the names in `settings`; OK copies the edited names back into it.
    explicit TSysFilesDlg(Settings& settings, QWidget* parent = nullptr);

    TSysFilesFra* Frame;

    // Refuses (with a message, keeping the dialog open) a name too long for its settings
    // field; a name is never cut to another file's name.
    void accept() override;

  private:
    Settings& settings_;
};

}  // namespace cindral::app
