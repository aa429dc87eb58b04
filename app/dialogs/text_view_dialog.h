#pragma once
// A read-only viewer for a text file, with copy, save and print; the about box shows the
// program's revision notes in it.

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace cindral::app {

class TTextViewDialog : public QDialog {
    Q_OBJECT
  public:
    TTextViewDialog(const QString& caption, const QString& file_name, QWidget* parent = nullptr);

    // Loads the file into the memo (done when the dialog is first shown). A file that cannot
    // be read leaves the memo empty.
    void LoadFile();
    // Shows `text` instead of a file's.
    void SetText(const QString& text);
    // Prints every line indented by ten blanks, reporting progress through the status sink.
    void PrintTo(QPrinter& printer);

    QPlainTextEdit* Memo;
    QPushButton* OkBtn;
    QPushButton* CopyBtn;
    QPushButton* SaveAsBtn;
    QPushButton* PrintBtn;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void CopyClick();
    void SaveAsClick();
    void PrintClick();

    QString file_name_;
    bool loaded_ = false;
};

}  // namespace cindral::app
