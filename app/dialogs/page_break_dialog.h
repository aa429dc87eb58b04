#pragma once
// "Custom Page Length" dialog: turns the custom page length on or off and sets the depth
// units per page.

#include <QDialog>
#include <string>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QPushButton;

namespace cindral::app {

class TFPageBreakDlg : public QDialog {
    Q_OBJECT
  public:
    // `most_units` is the longest page length that fits the page; a longer one is refused.
    TFPageBreakDlg(bool enabled, double units_per_page, double most_units,
                   QWidget* parent = nullptr);

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
    // The warning for a length that does not fit the page.
    static std::string TooLongWarning(double most_units);

  public slots:
    void accept() override;

  private:
    double most_units_;
    void CustomEnableCbClick();
};

}  // namespace cindral::app
