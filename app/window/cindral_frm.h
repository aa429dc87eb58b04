#pragma once
// The viewer's main window: one open compiled log, the page on screen, the menus and the
// toolbar. It asks the renderer for page pictures and never draws records itself.

#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/commands/command_context.h"
#include "app/view/zoom.h"
#include "app/window/window_actions.h"
#include "core/pages/depth_sign.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QScrollArea;
class QToolBar;

class QTimer;

namespace cindral {
class LogDocument;
struct DisplayOptions;
struct Settings;
}  // namespace cindral

namespace cindral::app {

class CompareLink;
class LogFileWatch;
class PageStrip;
class ThumbnailPanel;
class DragPan;
class FindBar;
class FindController;
class FindResultsPanel;
class MatchOverlay;
class PageWorker;
class TMagFrm;

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
    // Reads the open log again, keeping the page and the place in it (the page held to the
    // new last page). A log that cannot be read leaves the last good state on screen: by hand
    // (F5) with a message, after a change on disk with a notice in the status bar.
    bool ReloadLog(bool by_hand);
    void Properties1Click();
    // Closes the log and keeps the window, empty, as at a start without a file.
    void CloseLog();
    bool Continuous() const;
    // Switches between one page at a time and the pages one after another.
    void SetContinuous(bool on);
    // Keeps the page, zoom and view mode of the open log for when it is opened again.
    void RememberShownView();

    void PageDownBTNClick();
    void PageUpBTNClick();
    void FirstPageClick();
    void LastPageClick();
    void PageNumBTNClick();
    void GotoDepth1Click();
    // Shows the page holding `value` (a depth, or an elevation) with the marker line at its
    // row, scrolled into view; false after saying why when the interval on screen does not
    // reach it.
    bool GoToDepth(double value, bool elevation);
    void CustomPageBreaks1Click();
    void SelectInterval1Click();
    void CopyDepth1Click();
    void Copy1Click();
    void Magnify1Click();
    void MagnifierBtnClick();
    // Edit > Find: shows the find bar (searching its text again when there is one).
    void Find1Click();
    // The next or previous match (F3, Shift+F3), opening the bar when it is closed.
    void FindStep(bool forward);
    // Closes the find bar and takes the highlights away.
    void CloseFind();
    bool FindOpen() const;
    const FindController& Finder() const;

    // Zooms the view; the page is drawn again at the new resolution when that changes.
    void SetZoom(const Zoom& zoom);
    // The zoom as a factor of the screen's resolution, and the resolution pages are drawn at
    // (with the screen's device pixel ratio).
    double ZoomFactorNow() const;
    int ViewPixelsPerInch() const;
    // Pagination of the current interval; sets NoPages.
    void CountPages();
    // Shows ShownPage: at once when it is drawn already, else as soon as the drawing thread
    // has drawn it. The window stays responsive meanwhile; the status window appears only
    // when a page takes longer than about half a second.
    void ShowCurrentPage();
    // Processes events until ShownPage is on screen (or could not be drawn); false when it
    // takes longer than `timeout_ms`.
    bool WaitForPage(int timeout_ms = 60000);
    void UpdatePageControls();
    // The options record the about box may change (its beta flag).
    void SetDisplayOptions(DisplayOptions* options) { display_options_ = options; }

    // The preferences the window was opened with, written back when it closes.
    Settings& settings() { return settings_; }
    // What a command is given: the open log, its page on screen, the settings, and the
    // window as the parent of the command's dialogs. Made afresh for each run.
    CommandContext Context();
    // Every command the window offers, as built by createActions.
    const WindowActions& Actions() const { return actions_; }

    // Enables every command from the window's state.
    void updateActions();
    // Sizes the view bitmap to the log page; false when no bitmap of that size can exist.
    bool CreateViewCanvas();
    // The depth (or elevation) read-out for a pixel row of the page.
    void ShowDepthAt(int row);

    // --- state: the open log and its page on screen ---
    std::unique_ptr<LogDocument> Document;
    // The page asked for, and the page whose picture is on screen (-1: none yet).
    int ShownPage = 0;
    int DisplayedPage = -1;
    bool NoPages = true;
    int ScreenPixelsPerInch = 96;
    QImage ViewBitmap;

    // --- controls ---
    QLineEdit* DepthEd;
    QCheckBox* ElevationCb;
    QScrollArea* ScrollBox1;
    PageImage* Image1;
    // The continuous view, in the scroll area instead of Image1 while View ▸ Continuous is on.
    PageStrip* Strip;
    QLabel* PagePNL;
    // The toolbar's page box ("3 / 300"; type a page and Enter) and zoom box (editable, with
    // the zoom steps and the fits).
    QLineEdit* PageBox;
    QComboBox* ZoomBox;
    // Small pictures of the pages at the window's side, hidden until asked for.
    ThumbnailPanel* Thumbnails;
    QLabel* ZoomPNL;
    TMagFrm* Magnifier;
    // The find bar at the window's foot, and the list of its matches at the side.
    FindBar* FindBar1 = nullptr;
    QToolBar* FindToolBar = nullptr;
    FindResultsPanel* FindResults;
    // The line under the depth last gone to, on the page that holds it.
    QWidget* DepthMarker;

    // A second log beside the first, linked by depth, and the measurement
    // (cindral_frm_compare.cpp); it reads and moves the view through the window's own state.
    CompareLink* Compare = nullptr;
    friend class CompareLink;

    // Recently opened logs, newest first, as kept between runs.
    static QStringList RecentFiles();
    static constexpr int kMostRecentFiles = 8;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Every action, its menu and toolbar place and its command (cindral_frm_actions.cpp).
    void createActions();
    void makeActions();
    void makeFileActions();
    void makePageActions();
    void makeZoomAndHelpActions();
    template <typename Slot>
    QAction* MakeAction(const QString& text, const QKeySequence& key, const QString& tip,
                        Slot slot);
    std::vector<QMenu*> buildFileMenu();
    std::vector<QMenu*> buildOtherMenus();
    void buildToolbars();
    std::function<void()> RunOnContext(void (*command)(const CommandContext&));
    void createControls();
    // The magnifier, the thumbnails, the zoom read-out and the view's zoom (cindral_frm_view.cpp).
    void createViewControls();
    // The find bar, its highlights and the page's context menu (cindral_frm_find.cpp).
    void createFindControls();
    void FindChanged();
    void FindCurrentChanged();
    void UpdateMatchMarks();
    void ScrollToMatch();
    QSizeF ShownPixelsPerInch() const;
    std::optional<QString> TextUnder(QWidget* page_widget, const QPoint& at) const;
    void ShowPageMenu(QWidget* page_widget, const QPoint& at);
    FindController* find_ = nullptr;
    MatchOverlay* page_marks_ = nullptr;
    MatchOverlay* strip_marks_ = nullptr;
    // A search or step asked by the user goes to its match once it is known.
    bool jump_to_match_ = false;
    // The room the view has for the page when it fits.
    QSize ZoomRoom() const;
    // Lays the view document out again at the current zoom.
    void RebuildViewDocument();
    bool ZoomChangesResolution() const;
    void RefitZoom();
    void RepaintMagnifier();
    void Open1Click();
    void SaveAs1Click();
    void RememberRecentFile(const QString& path);
    void FillRecentMenu();
    void ShowResourceWarning(int width, int height);
    void ShowError(const std::string& text);
    // The drawing thread has finished `page`.
    void PageDone(int page, const QImage& image, const QString& error, bool cancelled);
    void Display(int page, const QImage& image);
    // The page layout changed (interval, page length, a new log): drawn pages are stale.
    void LayoutChanged();
    void SlowPageCheck();

    Settings& settings_;
    DisplayOptions* display_options_ = nullptr;
    WindowActions actions_;
    std::string CurrentFileName;
    // The same log laid out at the zoomed resolution: what the view draws and reads depths
    // from.
    std::unique_ptr<LogDocument> ViewDocument;
    Zoom ViewZoom;
    // The log's own top and base, as its file has them; the interval dialog keeps within them.
    double InitialTop = 0;
    double InitialBase = 0;
    QToolBar* ToolBar;
    QToolBar* DepthBar;
    QMenu* RecentMenu;
    // Says when the open log has changed on disk and the change has settled.
    LogFileWatch* FileWatch;
    int last_mouse_row_ = -1;
    DragPan* pan_;
    // A status-bar message, whole in its tooltip however narrow the window.
    void ShowStatusLine(const QString& text, int timeout_ms = 0);
    void PageBoxEntered();
    void ZoomBoxEntered(const QString& text);
    void ToggleFullScreen();
    // Depths shown and typed as the log prints them (remembered), else with the file's sign.
    bool depths_as_printed_ = true;
    void SetDepthsAsPrinted(bool on);
    DepthSign ShownDepths() const;
    PageWorker* worker_;
    // Shows the status window when a page takes long, then follows its progress and Cancel.
    QTimer* slow_page_timer_;
    QElapsedTimer slow_timer_started_;
    bool status_shown_ = false;
    QTimer* refit_timer_;
    // Where in the page the view's centre was before a zoom (fractions of the page's width
    // and height), restored once the page is drawn at the new zoom; x < 0: nothing to keep.
    QPointF zoom_anchor_{-1, -1};
    void KeepZoomAnchor();
    void RestoreZoomAnchor();
    // The marker row (in drawn rows of `marker_page_`) waiting for its page to be shown, and
    // the marker placed and scrolled to once it is; -1: no marker.
    int marker_page_ = -1;
    int marker_row_ = -1;
    bool marker_pending_ = false;
    void PlaceDepthMarker();
    // The continuous view: the scroll area shows the strip or Image1; the strip is laid out
    // for the view document's pages; the pages in view are asked for.
    void UseContinuousWidget(bool on);
    void LayoutStrip();
    void ContinuousScrolled();
    void RequestVisiblePages();
    // Scroll moves made by the window, which must not change the page shown.
    bool scrolling_to_page_ = false;
    // Where in the page shown the view's top was (a fraction of the page), kept across a
    // reload or zoom in the continuous view.
    std::optional<double> strip_anchor_;
    // The page under the mouse in the continuous view.
    int mouse_page_ = -1;
};

// "Cindral 2003 - " + the file name, or "UNTITLED".
QString WindowCaption(const std::string& file_name);

}  // namespace cindral::app
