#pragma once
// "Go to depth": asks for a depth, or an elevation when its box is ticked, and finds the page
// and row of the view that show it.

#include <QDialog>
#include <optional>
#include <string>

#include "core/pages/depth_sign.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cindral {
class LogDocument;
}

namespace cindral::app {

// Where a depth lies in the laid-out log: its page and the row of that page whose read-out
// depth is the nearest one at or above it (rows grow downward), so the read-out under the
// marker never shows a depth below the one asked for.
struct DepthPlace {
    int page = 0;
    int row = 0;
};

// The place of `depth` in `document`'s pages, or why it cannot be shown (the depth lies
// outside the interval on screen). `elevation`: `value` is an elevation, the header's datum
// above the depth; else a depth as `sign` shows depths, and the problem names them so.
struct DepthSearch {
    std::optional<DepthPlace> place;
    std::string problem;
};
DepthSearch FindDepth(const LogDocument& document, double value, bool elevation,
                      const DepthSign& sign = {});

// The page whose data window holds `value` (a depth in the file's numbers, or an elevation):
// the last page starting at or above it, the first when none does. The log has a page.
int PageHolding(const LogDocument& document, double value, bool elevation);

class TGotoDepthDialog : public QDialog {
    Q_OBJECT
  public:
    TGotoDepthDialog(double value, bool elevation, QWidget* parent = nullptr);

    // The number typed, after OK.
    double Value() const;
    bool Elevation() const;

    QLabel* ValueLbl;
    QLineEdit* ValueEd;
    QCheckBox* ElevationCb;
    QPushButton* OKBTN;
    QPushButton* CancelBTN;
};

}  // namespace cindral::app
