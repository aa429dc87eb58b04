#pragma once
// "Metafile Output Options": the output file, its format (WMF, EMF or SVG) and whether the
// header and footer bands go into the whole-log drawing. The file name is chosen through a
// save dialog, not typed; choosing a format changes the name's extension to match.

#include <QDialog>
#include <functional>
#include <string>

#include "render/renderers/logmf_object.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace cindral::app {

class TWMFDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TWMFDlg(QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLineEdit* FilenameEd;
    QToolButton* FilenameBrowse;
    QRadioButton* WMFRb;
    QRadioButton* EMFRb;
    QRadioButton* SVGRb;
    QGroupBox* GroupBox2;
    QCheckBox* HeaderCb;
    QCheckBox* FooterCb;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;

    void SetFileName(const QString& name);
    QString FileName() const;

    static const char* const kNoFileWarning;

    // Where the save dialog is asked for a name; tests replace it. It gets the title, the
    // filter and the default suffix and returns the chosen name, empty when cancelled.
    std::function<QString(const QString& title, const QString& filter, const QString& suffix)>
        AskFileName;

    // Checks the name before the dialog closes with OK: asks for one when there is none,
    // and before replacing an existing file.
    void OKBtnClick();

  public slots:
    void accept() override { OKBtnClick(); }

  private:
    void FilenameEdChange();
    void FiletypeClick();
    void FilenameEdBeforeDialog();
};

struct MetafileOptions {
    std::string file_name;
    MetafileFormat format = MetafileFormat::Wmf;
    bool header = true;
    bool footer = true;
};

// Shows the dialog preset from `options`; on OK copies its choices back and returns true,
// else leaves `options` as they were.
bool ShowMetafileOptions(MetafileOptions& options, QWidget* parent = nullptr);

}  // namespace cindral::app
