#pragma once
// The second log of a comparison, in a pane beside the first: its own log document, its own
// drawing thread, its pages one after another in a scroll area at its own zoom, and a line
// above them with the log's name, its read-out and what it says when it cannot show the depth
// asked for. The window moves it by depth (see cindral_frm_compare.h); it never draws records
// itself, and a page drawn once is shown from that picture.

#include <QImage>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/view/compare_depths.h"
#include "app/view/zoom.h"
#include "core/pages/depth_sign.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QTimer;
class QToolButton;

namespace cindral {
class LogDocument;
struct LogDocumentOptions;
}  // namespace cindral

namespace cindral::app {

class DragPan;
class LogFileWatch;
class PageStrip;
class PageWorker;

// The line above a view of a comparison: the log's name, the read-out at the row under the
// mouse, and a note. The pane adds its page, zoom and close buttons.
class CompareHeader : public QWidget {
    Q_OBJECT
  public:
    explicit CompareHeader(bool pane_controls, QWidget* parent = nullptr);
    void SetName(const QString& path);
    void SetReadout(const QString& text);
    void SetNote(const QString& text);
    QString Readout() const;
    QString Note() const;

    QLabel* NameLbl;
    QLineEdit* ReadoutEd;
    QLabel* NoteLbl;
    // The pane's own controls (null on the first log's line).
    QToolButton* PageUpBtn = nullptr;
    QToolButton* PageDownBtn = nullptr;
    QComboBox* ZoomBox = nullptr;
    QToolButton* CloseBtn = nullptr;
};

// On a page strip shown in a scroll area (the strip a direct child of the area's viewport):
// the value at viewport row `y` (`whole_rows`: at the drawn row there, as the read-out reads
// it), the viewport row of a value inside the log, and the area scrolled so that a value lies
// at row `y` (a value beyond the log's ends puts that end there, as near as scrolling can).
std::optional<double> StripValueAt(const PageStrip& strip, const LogDocument& view, double y,
                                   bool elevation, bool whole_rows);
std::optional<double> StripRowOf(const PageStrip& strip, const LogDocument& view, double value,
                                 bool elevation);
LogReach MoveStripTo(QScrollArea& area, const PageStrip& strip, const LogDocument& view,
                     double value, bool elevation, double y);

class ComparePane : public QWidget {
    Q_OBJECT
  public:
    explicit ComparePane(QWidget* parent = nullptr);
    ~ComparePane() override;

    // Opens `path` at `screen_pixels_per_inch` and `zoom`, its top in view. A file the viewer
    // refuses is refused here (CindralError) and the pane keeps what it showed.
    void Open(const QString& path, const LogDocumentOptions& options, int screen_pixels_per_inch,
              const Zoom& zoom);
    const QString& FileName() const { return file_name_; }
    // The log at the screen's resolution, and laid out at the zoom: the rows on screen.
    const LogDocument* Document() const { return document_.get(); }
    const LogDocument* ViewDocument() const { return view_.get(); }
    bool HasPages() const;

    QScrollArea* Area() const { return area_; }
    PageStrip* Strip() const { return strip_; }
    PageWorker* Worker() const { return worker_; }
    CompareHeader* Header() const { return header_; }

    // Zooms, keeping the value at the linked row where it was.
    void SetZoom(const Zoom& zoom);
    const Zoom& CurrentZoom() const { return zoom_; }
    double ZoomFactorNow() const;
    // The next or the previous page's top at the view's top (the page being read is the one a
    // third of the way down, as in the window's continuous view).
    void PageDown();
    void PageUp();
    // Puts `value` (a depth as `sign` shows it, or an elevation) a third of the way down; else
    // says why not, as Go to Depth says it.
    std::string GoToDepth(double value, bool elevation, const DepthSign& sign);

    // Viewport rows; see the strip functions above.
    std::optional<double> ValueAt(double y, bool elevation, bool whole_rows) const;
    std::optional<double> RowOf(double value, bool elevation) const;
    LogReach MoveValueTo(double value, bool elevation, double y);
    // Reads the log again after a change on disk, keeping the value at the linked row; a log
    // that cannot be read leaves the last good copy on screen and says so in the note.
    bool Reload();
    LogFileWatch* FileWatch() const { return watch_; }
    // Every page in view is shown drawn (for tests and timings).
    bool PagesInViewShown() const;

  signals:
    // The rows in view changed: scrolled, paged, zoomed or gone to a depth.
    void Moved();
    void CloseClicked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QSize ZoomRoom() const;
    int ViewPixelsPerInch() const;
    // Lays the pages out at the zoom; the pictures drawn before are stale.
    void LayOut();
    void Scrolled();
    void RequestVisiblePages();
    void PageDone(int page, const QImage& image, const QString& error, bool cancelled);
    void ShowZoom();

    std::unique_ptr<LogDocument> document_;
    std::unique_ptr<LogDocument> view_;
    QString file_name_;
    int screen_pixels_per_inch_ = 96;
    Zoom zoom_;
    bool laying_out_ = false;
    // Pages the renderer refused in this layout; not asked for again.
    std::set<int> failed_;

    LogFileWatch* watch_;
    CompareHeader* header_;
    QScrollArea* area_;
    PageStrip* strip_;
    PageWorker* worker_;
    DragPan* pan_;
    QTimer* refit_timer_;
    QTimer* retry_timer_;
};

}  // namespace cindral::app
