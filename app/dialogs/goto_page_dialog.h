#pragma once
// "Go to page" dialog: asks for a page number between 1 and the page count.

#include <QDialog>
#include <QSpinBox>

class QLabel;
class QPushButton;

namespace cindral::app {

// A page number box that lets the user type any number; the dialog clamps it on OK, so a
// typed 0 or a number past the end still lands on a page.
class PageSpinBox : public QSpinBox {
    Q_OBJECT
  public:
    using QSpinBox::QSpinBox;
    // The typed number held to the box's range.
    int ClampedValue() const;

  protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

class TGotoDLG : public QDialog {
    Q_OBJECT
  public:
    // `last_page` and `shown_page` are 0-based.
    TGotoDLG(int last_page, int shown_page, QWidget* parent = nullptr);

    // The 0-based page chosen, after OK.
    int ChosenPage() const { return PageSE->value() - 1; }

    QLabel* Label1;
    PageSpinBox* PageSE;
    QPushButton* OKBTN;
    QPushButton* CancelBTN;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OKBTNClick();
};

}  // namespace cindral::app
