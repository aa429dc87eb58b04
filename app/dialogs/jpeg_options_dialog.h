#pragma once
// "JPEG Options": the output file, the resolution the picture is drawn at and the JPEG
// quality, with the picture's size shown as the resolution changes. In HTML mode it also
// offers to open the finished table in the browser; in bitmap mode there is no quality.

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QToolButton;
class QWidget;

class QDialogButtonBox;

namespace cindral {
struct Settings;
}

namespace cindral::app {

enum class JpegOptionsMode { Jpeg, Html, Bitmap };

// "JPEG Size = W x H": the view's size scaled from the screen's resolution to `pixels_per_inch`,
// each side rounded to the nearest pixel. `prefix` names the format ("JPEG", "BMP").
QString PictureSizeText(const QString& prefix, int width, int height, int pixels_per_inch,
                        int screen_pixels_per_inch);

class TJPEGOptsFrm : public QDialog {
    Q_OBJECT
  public:
    // `width` and `height` are the picture's size at `screen_pixels_per_inch`.
    TJPEGOptsFrm(JpegOptionsMode mode, int width, int height, int screen_pixels_per_inch,
                 QWidget* parent = nullptr);

    QLineEdit* FilenameEd;
    QToolButton* FilenameBrowse;
    QSpinBox* PixPerInchEd;
    QLabel* SizeLbl;
    QScrollBar* QualitySb;
    QLabel* CompQualLbl;
    QWidget* QualityPnl;
    QWidget* ShowHTMLPnl;
    QCheckBox* AutoDisplayCb;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;

    static const char* const kNoFileWarning;
    // Shown for a name that is only a folder; %1 is the name.
    static const char* const kFolderWarning;
    static const char* const kCannotOpen;

    // Puts `name` in the field; a name typed later without a folder goes into its folder.
    void SetFileName(const QString& name);
    // The field's name as it will be written: trimmed, made absolute, with the format's
    // extension when it has none.
    QString TypedFileName() const;

    // Where the save dialog is asked for a name; tests replace it. It gets the filter and the
    // default suffix and returns the chosen name, empty when cancelled.
    std::function<QString(const QString& filter, const QString& suffix)> AskFileName;

    void UpdateForm();
    void QualitySbChange();
    // Checks the name before the dialog closes with OK: asks for one when there is none,
    // refuses a folder, and asks before a page picture replaces an existing file.
    void OKBtnClick();
    JpegOptionsMode Mode() const { return mode_; }

  public slots:
    void accept() override { OKBtnClick(); }

  private:
    void BuildQualityPanel();
    QDialogButtonBox* BuildButtons();
    void LayOut(QDialogButtonBox* buttons);
    bool Browse();
    QString DefaultSuffix() const;
    void RefuseName(const std::string& text);
    JpegOptionsMode mode_;
    QString folder_;
    int width_, height_, screen_pixels_per_inch_;
};

// Shows the dialog with `file_name` and the settings' resolution, quality and browser choice.
// On OK stores them in `settings`, sets `file_name` and returns true; Cancel gives false. A
// dialog that cannot be shown is reported and gives false.
bool ShowJpegOptions(JpegOptionsMode mode, std::string& file_name, int width, int height,
                     int screen_pixels_per_inch, Settings& settings, QWidget* parent = nullptr);

}  // namespace cindral::app
