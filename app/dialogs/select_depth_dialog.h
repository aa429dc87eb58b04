#pragma once
// "Depth Interval" dialog: narrows the part of the log that is paged and shown, within the
// log's own top and base.

#include <QDialog>
#include <string>

#include "core/pages/depth_sign.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace cindral::app {

class TSelectDepthFrm : public QDialog {
    Q_OBJECT
  public:
    // `initial_top` and `initial_base` are the log's limits as read from the file; `top` and
    // `bottom` the interval shown now, all in the file's numbers (the top is the greater).
    // The dialog shows and takes them as `sign` shows depths.
    TSelectDepthFrm(double initial_top, double initial_base, double top, double bottom,
                    QWidget* parent = nullptr, DepthSign sign = {});

    // In the file's numbers.
    double StartDepth() const;
    double EndDepth() const;

    QLabel* StartLbl;
    QLabel* EndLbl;
    QDoubleSpinBox* StartEd;
    QDoubleSpinBox* EndEd;
    QPushButton* ResetStartBtn;
    QPushButton* ResetEndBtn;
    QPushButton* OKBTN;
    QPushButton* CancelBTN;
    QPushButton* HelpBTN;

  public slots:
    // Closes only when the interval passes the checks; otherwise warns and stays open.
    void accept() override;

  private:
    void ResetStartBtnClick();
    void ResetEndBtnClick();

    double initial_top_;
    double initial_base_;
    DepthSign sign_;
};

}  // namespace cindral::app
