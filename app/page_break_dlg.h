#pragma once
// "Custom Page Length" dialog: turns the custom page length on or off and sets the depth
// units per page.

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QPushButton;

namespace cindral::app {

class TFPageBreakDlg : public QDialog {
    Q_OBJECT
  public:
    TFPageBreakDlg(bool enabled, double units_per_page, QWidget* parent = nullptr);

    bool CustomEnabled() const;
    double UnitsPerPageValue() const;

    QCheckBox* CustomEnableCb;
    QGroupBox* UnitsPerPageGB;
    QDoubleSpinBox* UnitsPerPage;
    QPushButton* OKBTN;
    QPushButton* CancelBTN;
    QPushButton* HelpBTN;

    // Shown when OK is pressed with the custom length on and no length greater than 0.
    static const char* const kZeroLengthWarning;

  public slots:
    void accept() override;

  private:
    void CustomEnableCbClick();
};

}  // namespace cindral::app
