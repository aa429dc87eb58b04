#pragma once
// The viewer's main window: one open compiled log, the page on screen, the menus and the
// toolbar. It asks the renderer for page pictures and never draws records itself.

#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QScrollArea;
class QToolBar;

namespace cindral {
class logp_object;
struct DisplayOptions;
struct Settings;
}  // namespace cindral

namespace cindral::app {

// The page picture; reports the mouse row so the window can show the depth under it.
class PageImage : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void MouseRow(int row);

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
};

class TCindralFrm : public QMainWindow {
    Q_OBJECT
  public:
    // Reads its placement and preferences from `settings`, which it updates when it closes.
    explicit TCindralFrm(Settings& settings, QWidget* parent = nullptr);
    ~TCindralFrm() override;

    // The open sequence for `path`; false (after telling the user why) when the file cannot
    // be opened, the previous log then stays on screen.
    bool OpenFile(const QString& path);
    // Opens the first command-line parameter, or says it cannot be found.
    void OpenFromCommandLine(const QStringList& parameters);
    // Save As onto `typed` after the Save dialog: extension check, overwrite question, copy.
    // False when nothing was saved (the user declined, or the copy failed and was reported).
    bool SaveAsTo(const QString& typed);

    void PageDownBTNClick();
    void PageUpBTNClick();
    void FirstPageClick();
    void LastPageClick();
    void PageNumBTNClick();
    void CustomPageBreaks1Click();
    void SelectInterval1Click();
    void CopyDepth1Click();
    void Copy1Click();

    // Pagination of the current interval; sets LastPage and NoPages.
    void CountPages();
    // Plays ShownPage into the view bitmap and shows it.
    void ShowCurrentPage();
    void UpdatePageControls();
    // The options record the about box may change (its beta flag).
    void SetDisplayOptions(DisplayOptions* options) { display_options_ = options; }

    // Enables every command from the window's state.
    void updateActions();
    // Sizes the view bitmap to the log page; false when no bitmap of that size can exist.
    bool CreateViewCanvas();
    // The depth (or elevation) read-out for a pixel row of the page.
    void ShowDepthAt(int row);

    // --- state ---
    std::string CurrentFileName;
    std::unique_ptr<logp_object> Document;
    int ShownPage = 0;
    bool NoPages = true;
    double InitialTop = 0;
    double InitialBase = 0;
    int ScreenPixelsPerInch = 96;
    QImage ViewBitmap;

    // --- controls ---
    QToolBar* ToolBar;
    QLineEdit* DepthEd;
    QCheckBox* ElevationCb;
    QScrollArea* ScrollBox1;
    PageImage* Image1;
    QLabel* PagePNL;
    QMenu* RecentMenu;

    QAction* Open1;
    QAction* SaveAs1;
    QAction* Print1;
    QAction* Exit1;
    QAction* Quit1;
    QAction* Copy1;
    QAction* CopyDepth1;
    QAction* PageDown1;
    QAction* PageUp1;
    QAction* FirstPage1;
    QAction* LastPage1;
    QAction* Gotopage1;
    QAction* CustomPageBreaks1;
    QAction* SelectInterval1;
    QAction* Contents1;
    QAction* Index1;
    QAction* AboutCindral1;

    // Recently opened logs, newest first, as kept between runs.
    static QStringList RecentFiles();
    static constexpr int kMostRecentFiles = 8;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void createActions();
    void createControls();
    void Open1Click();
    void SaveAs1Click();
    void Contents1Click();
    void AboutCindral1Click();
    void RememberRecentFile(const QString& path);
    void FillRecentMenu();
    void ShowResourceWarning(int width, int height);
    void ShowError(const std::string& text);

    Settings& settings_;
    DisplayOptions* display_options_ = nullptr;
    int last_mouse_row_ = -1;
};

// "Cindral 2003 - " + the file name, or "UNTITLED".
QString WindowCaption(const std::string& file_name);

}  // namespace cindral::app
