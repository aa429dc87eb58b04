#pragma once
// The page setup dialog: the log's page length and width against the printer's printable
// area, in inches or centimetres. What it confirms becomes the default page size and the
// printer orientation in the settings, and (through the caller) the log's own page size.

#include <QDialog>
#include <cstdint>
#include <string>

class QDoubleSpinBox;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace cindral {
struct Settings;
}

namespace cindral::app {

class TPageSetupFrm : public QDialog {
    Q_OBJECT
  public:
    // `page_width` and `page_height` are the log's, in inches; the unit and orientation come
    // from `settings`, which OK updates.
    TPageSetupFrm(QPrinter& printer, Settings& settings, double page_width, double page_height,
                  QWidget* parent = nullptr);

    // After OK: the page in inches and the printer's orientation (0 portrait, 1 landscape).
    double PageLength() const { return length_; }
    double PageWidth() const { return width_; }
    uint8_t Orientation() const { return orientation_; }

    // The printer information again, in the selected unit, and the edits recoloured.
    void RefreshPrinterInfo();
    // Red when the edit's value is larger than the printable size (to 0.01 of a unit), else
    // blue.
    void Recolour();
    void UnitClick(QRadioButton* clicked);
    void DefaultClick();
    void accept() override;

    QLabel* PrinterLbl;
    QLabel* Page;
    QLabel* PrintLength;
    QLabel* PrintWidth;
    QPushButton* Printers;
    QDoubleSpinBox* PageLengthRe;
    QDoubleSpinBox* PageWidthRe;
    QPushButton* Default;
    QRadioButton* InchCb;
    QRadioButton* CMCb;

    // The kept printable size, in the selected unit.
    double printable_length = 0;
    double printable_width = 0;

  private:
    QPrinter& printer_;
    Settings& settings_;
    double length_ = 0;
    double width_ = 0;
    uint8_t orientation_ = 0;
};

// Whether `value` is shown red against `printable` (both in one unit).
bool LargerThanPrintable(double value, double printable);

}  // namespace cindral::app
