#pragma once
// Comparing two logs in the main window: a second log in a pane beside the first, the two
// linked by depth (or elevation) so that either one moving moves the other to the same depth
// at the same screen row, a line at the row under the mouse across both, a measurement of the
// rows dragged over with Shift held, two rows aligned to flatten the logs on a marker, and the
// pair remembered for the first log. The measurement works on the first log alone too.
// The pane draws its pages through its own log document and drawing thread; the lines and
// brackets lie over the pages, so no page is drawn again for them.

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/view/compare_depths.h"
#include "core/pages/depth_sign.h"

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QSplitter;
class QToolBar;
class QWidget;

namespace cindral {
class LogDocument;
}

namespace cindral::app {

class CompareHeader;
class CompareOverlay;
class ComparePane;
class TCindralFrm;
struct RememberedPair;

class CompareLink : public QObject {
    Q_OBJECT
  public:
    // The first log's view and the second's pane.
    enum class Side { First, Second };

    // Adds its commands to the window's View and Edit menus (and a toolbar of its own while
    // comparing).
    explicit CompareLink(TCindralFrm* window);
    ~CompareLink() override;

    // View > Compare With...: the remembered partner of the log on screen offered first, else
    // a file chosen; unticked, back to one log.
    void CompareWith1Click();
    // Opens `path` beside the log on screen (or in place of the second log); false after
    // saying why when it cannot be opened. `restore`: the link and alignment to take.
    bool CompareWith(const QString& path, const RememberedPair* restore = nullptr);
    // Back to one log.
    void EndComparison();
    bool Comparing() const { return pane_ != nullptr; }
    ComparePane* Pane() const { return pane_; }

    bool Linked() const;
    void SetLinked(bool on);
    // Second = first + offset, in the values linked (depths, or elevations when the window's
    // Elevation box is ticked); 0 until both logs are aligned.
    double Offset() const;
    // Takes the row at viewport row `y` of `side` as that log's marker; with both marked, the
    // two marked rows are put level and linked scrolling keeps them so.
    void AlignHere(Side side, int y);

    // "top, base, thickness" of the rows measured, as shown ("1200.00, 1250.50, 50.50"); empty
    // when nothing is measured.
    QString MeasurementText() const;
    void CopyMeasurement();
    void ClearMeasurement();

    // The menu of a row of a view while comparing (Align Here, Go to Depth in the second log).
    std::unique_ptr<QMenu> MenuForRow(Side side, int y);

    // The window's hook: its page or layout changed, or a log was opened or closed.
    void MainPageShown();

    QScrollArea* AreaOf(Side side) const;
    CompareOverlay* OverlayOf(Side side) const;
    // The read-out and note line above a view; none for the first log when not comparing.
    CompareHeader* HeaderOf(Side side) const;
    // The value at viewport row `y` of `side` (`whole_rows`: at the drawn row, as read out).
    std::optional<double> ValueAt(Side side, double y, bool elevation, bool whole_rows) const;
    // The viewport row of a value inside the log of `side`.
    std::optional<double> RowOf(Side side, double value, bool elevation) const;
    // The viewport row a view's link is kept at: a third of the way down, where Go to Depth
    // puts its marker.
    int LinkRow(Side side) const;
    // The row the link holds: the link row, or with the logs aligned the marked row (held
    // inside the view).
    int AnchorRow(Side side) const;

    QAction* CompareWith1;
    QAction* Link1;
    QAction* CopyMeasurement1;
    QAction* ClearMeasurement1;
    // On the comparison's toolbar; made with it.
    QLabel* OffsetLbl = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Measurement {
        Side side = Side::First;
        double first = 0;  // depths as the file has them, at the press and the current row
        double last = 0;
    };

    void AddCommands();
    // The comparison's toolbar (Link and the offset), shown while comparing.
    void ShowToolBar(bool on);
    void StartLayout();
    // `source` moved: the other view follows (when linked), the lines and read-outs follow.
    void Follow(Side source);
    void FollowLater();
    LogReach MoveTo(Side side, double value, bool elevation, double y);
    // A viewport row of one side as a viewport row of the other (the same screen row).
    double MapRow(Side from, Side to, double y) const;
    // The value of the other side linked to `value` of `from`, and the same for depths (as
    // the files have them) whatever is linked.
    double LinkedValue(Side from, double value) const;
    double LinkedDepth(Side from, double depth) const;
    std::optional<Side> SideOf(QObject* watched) const;
    bool Elevation() const;
    DepthSign SignOf(Side side) const;
    double DatumOf(Side side) const;
    const LogDocument* ShownDocument(Side side) const;
    QString ValueText(Side side, double value) const;
    QStringList Figures(Side side, double upper, double lower) const;
    std::optional<std::pair<int, int>> BracketRows(Side side, double* upper, double* lower) const;
    void GoToDepthInSecond();
    // The overlays, read-outs and offset as the state is now.
    void Refresh();
    void RememberThePair();
    void ShowOffset();

    TCindralFrm* window_;
    ComparePane* pane_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QToolBar* tool_bar_ = nullptr;
    QWidget* first_column_ = nullptr;
    CompareHeader* first_header_ = nullptr;
    CompareOverlay* first_overlay_;
    CompareOverlay* second_overlay_ = nullptr;
    std::string first_file_;
    // The first log's view mode before comparing (it shows its pages continuously meanwhile).
    bool was_continuous_ = false;
    bool linking_ = false;
    bool follow_pending_ = false;
    // The row under the mouse: the view it is over and its viewport row.
    std::optional<std::pair<Side, int>> cursor_;
    std::optional<Measurement> measurement_;
    bool measuring_ = false;
    std::optional<double> first_mark_;
    std::optional<double> second_mark_;
};

}  // namespace cindral::app
