#pragma once
// File ▸ Properties: what the open log is, in words, as a form of labels and values (its
// file, size and date, header version, pages, depths as the log prints them, scales, page
// size and bands), with the record summary `cindral-cli info` prints on a second tab.
// Copy puts all of it on the clipboard as text.

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "core/pages/depth_sign.h"

class QFormLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace cindral {
class LogDocument;
}

namespace cindral::app {

struct PropertyRow {
    QString label;
    QString value;
};

// The rows of the form for the log open from `path`: pages counted at `pixels_per_inch`
// with the interval and page length on screen, depths shown with `depths`.
std::vector<PropertyRow> LogPropertyRows(const std::string& path, const LogDocument& document,
                                         double pixels_per_inch, DepthSign depths);

// "Letter", "A4, landscape" for a page of a standard paper size (within 0.05 in), else empty.
QString PaperName(double width_inches, double height_inches);

// "127,406 bytes (124.4 KB)": the exact count and a rounded size in KB or MB (of 1024).
QString FileSizeText(long long bytes);

class TPropertiesDialog : public QDialog {
    Q_OBJECT
  public:
    // `details` is the record summary shown on the second tab.
    TPropertiesDialog(const std::vector<PropertyRow>& rows, const QString& details,
                      QWidget* parent = nullptr);

    // Everything the dialog shows, as Copy puts it on the clipboard: one "Label: value" line
    // per row, an empty line, the record summary.
    QString Text() const;
    // The value shown for `label`, or null when there is no such row.
    QLabel* ValueLabel(const QString& label) const;

    QTabWidget* Tabs;
    QFormLayout* Form;
    QPlainTextEdit* Details;
    QPushButton* CopyBtn;
    QPushButton* CloseBtn;

  private:
    std::vector<PropertyRow> rows_;
    std::vector<QLabel*> values_;
};

}  // namespace cindral::app
