#pragma once
// File ▸ Properties: the summary of the open log that `cindral-cli info` prints, read-only
// and copyable.

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace cindral::app {

class TPropertiesDialog : public QDialog {
    Q_OBJECT
  public:
    TPropertiesDialog(const QString& summary, QWidget* parent = nullptr);

    QPlainTextEdit* Memo;
    QPushButton* CopyBtn;
    QPushButton* CloseBtn;
};

}  // namespace cindral::app
