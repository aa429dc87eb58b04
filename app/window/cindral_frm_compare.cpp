// The main window's comparison of two logs (see cindral_frm_compare.h): the second log's pane
// in a splitter beside the first log's view, the link between them, the line at the row under
// the mouse and the marks drawn over both (what the user does to it:
// cindral_frm_compare_input.cpp).

#include "app/window/cindral_frm_compare.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/dialogs/goto_depth_dialog.h"
#include "app/view/compare_memory.h"
#include "app/view/compare_overlay.h"
#include "app/view/compare_pane.h"
#include "app/view/page_strip.h"
#include "app/window/cindral_frm.h"
#include "core/base/errors.h"
#include "core/environment/document_settings.h"
#include "core/environment/program_paths.h"
#include "core/environment/settings.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

using Side = CompareLink::Side;

Side Other(Side side) {
    return side == Side::First ? Side::Second : Side::First;
}

std::optional<int> Rounded(std::optional<double> row) {
    if (!row) return std::nullopt;
    return int(std::lround(*row));
}

}  // namespace

CompareLink::CompareLink(TCindralFrm* window) : QObject(window), window_(window) {
    first_overlay_ = new CompareOverlay(window_->ScrollBox1);
    AddCommands();
    // After the window's drag to pan, so a Shift+press reaches the measurement first.
    window_->Strip->installEventFilter(this);
    window_->Image1->installEventFilter(this);
    window_->ScrollBox1->viewport()->installEventFilter(this);
    window_->installEventFilter(this);
    connect(window_->ScrollBox1->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { Follow(Side::First); });
    connect(window_->ElevationCb, &QCheckBox::toggled, this, [this] {
        ShowOffset();
        RememberThePair();
        Follow(Side::First);
    });
    // Triggered comes after the window has taken the new choice.
    connect(window_->actions_.DepthsAsPrinted1, &QAction::triggered, this, [this] {
        ShowOffset();
        Refresh();
    });
}

CompareLink::~CompareLink() = default;

void CompareLink::AddCommands() {
    CompareWith1 = new QAction("Co&mpare With...", this);
    CompareWith1->setObjectName("CompareWith1");
    CompareWith1->setCheckable(true);
    CompareWith1->setStatusTip("Show a second log beside this one, linked by depth.");
    connect(CompareWith1, &QAction::triggered, this, &CompareLink::CompareWith1Click);
    Link1 = new QAction("&Link", this);
    Link1->setObjectName("Link1");
    Link1->setCheckable(true);
    Link1->setChecked(true);
    Link1->setEnabled(false);
    Link1->setToolTip(
        "Keep the two logs at the same depth (or elevation, with Elevation ticked) as either "
        "one moves.");
    connect(Link1, &QAction::triggered, this, [this](bool on) { SetLinked(on); });
    CopyMeasurement1 = new QAction("Copy &Measurement", this);
    CopyMeasurement1->setObjectName("CopyMeasurement1");
    CopyMeasurement1->setStatusTip(
        "Copy the top, base and thickness of the rows measured (Shift+drag over the log).");
    CopyMeasurement1->setEnabled(false);
    connect(CopyMeasurement1, &QAction::triggered, this, &CompareLink::CopyMeasurement);
    ClearMeasurement1 = new QAction("Clear Measurement", this);
    ClearMeasurement1->setObjectName("ClearMeasurement1");
    // Escape clears it when no command of the window takes Escape first (closing the find
    // bar does): see eventFilter. A second shortcut on the key would leave both ambiguous.
    ClearMeasurement1->setEnabled(false);
    connect(ClearMeasurement1, &QAction::triggered, this, &CompareLink::ClearMeasurement);

    const WindowActions& a = window_->actions_;
    for (QMenu* menu : window_->menuBar()->findChildren<QMenu*>()) {
        if (menu->actions().contains(a.Continuous1)) {
            menu->addSeparator();
            menu->addAction(CompareWith1);
            menu->addAction(Link1);
            connect(menu, &QMenu::aboutToShow, this, &CompareLink::Refresh);
        } else if (menu->actions().contains(a.CopyDepth1)) {
            menu->addAction(CopyMeasurement1);
            menu->addAction(ClearMeasurement1);
        }
    }
}

void CompareLink::ShowToolBar(bool on) {
    if (!on && !tool_bar_) return;
    if (!tool_bar_) {
        // Made at the first comparison, on a row of its own: the other rows stay as they are.
        window_->addToolBarBreak();
        tool_bar_ = window_->addToolBar("Compare");
        tool_bar_->setObjectName("CompareBar");
        tool_bar_->setMovable(false);
        tool_bar_->addAction(CompareWith1);
        tool_bar_->addAction(Link1);
        tool_bar_->addSeparator();
        OffsetLbl = new QLabel(tool_bar_);
        OffsetLbl->setObjectName("OffsetLbl");
        OffsetLbl->setToolTip(
            "Second log = first log + offset, set by Align Here on a row of each.");
        tool_bar_->addWidget(OffsetLbl);
    }
    tool_bar_->setVisible(on);
}

void CompareLink::CompareWith1Click() {
    if (!CompareWith1->isChecked()) {
        EndComparison();
        return;
    }
    // Ticked only once a second log is open.
    CompareWith1->setChecked(Comparing());
    TCindralFrm& w = *window_;
    if (!w.Document || w.NoPages) return;
    const QString first = QString::fromStdString(w.CurrentFileName);
    const std::optional<RememberedPair> pair = RecallPair(first);
    if (pair && QFileInfo(pair->partner).isFile()) {
        const Answer answer = CurrentUi().ShowMessage(
            MessageKind::Confirmation, "",
            "Compare this log with \"" + pair->partner.toStdString() + "\" again?",
            Buttons::YesNoCancel);
        if (answer == Answer::Yes) {
            CompareWith(pair->partner, &*pair);
            return;
        }
        if (answer != Answer::No) return;
    }
    QFileDialog dialog(window_, "Compare With a Compiled Log", QFileInfo(first).absolutePath(),
                       "Borneth (*.gdx);;All Files (*)");
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        CompareWith(dialog.selectedFiles().first());
    }
}

bool CompareLink::CompareWith(const QString& path, const RememberedPair* restore) {
    TCindralFrm& w = *window_;
    if (!w.Document || w.NoPages) {
        CompareWith1->setChecked(Comparing());
        return false;
    }
    const QString name = QFileInfo(path).absoluteFilePath();
    const bool fresh = !pane_;
    ComparePane* pane = fresh ? new ComparePane : pane_;
    const bool same_pair = !fresh && pane->FileName() == name;
    try {
        LogDocumentOptions options;
        options.files = DocumentSettingsFrom(w.settings_, DataDirectory());
        options.settings = w.settings_;
        pane->Open(name, options, w.ScreenPixelsPerInch, w.ViewZoom);
    } catch (const CindralError& e) {
        HideStatus();
        if (fresh) delete pane;
        CompareWith1->setChecked(Comparing());
        w.ShowError(e.what());
        return false;
    }
    if (fresh) {
        pane_ = pane;
        ShowToolBar(true);
        StartLayout();
        // The pages one after another, as in the second log, so either can stop at any row.
        was_continuous_ = w.Continuous();
        w.SetContinuous(true);
    }
    first_file_ = w.CurrentFileName;
    first_header_->SetName(QString::fromStdString(first_file_));
    if (!same_pair) {
        first_mark_.reset();
        second_mark_.reset();
    }
    bool linked = true;
    if (restore) {
        first_mark_ = restore->first_mark;
        second_mark_ = restore->second_mark;
        linked = restore->linked;
        window_->ElevationCb->setChecked(restore->by_elevation);
    }
    {
        const QSignalBlocker quiet(Link1);
        Link1->setChecked(linked);
    }
    CompareWith1->setChecked(true);
    ShowOffset();
    RememberThePair();
    Follow(Side::First);
    // Again once the splitter has given both views their size.
    FollowLater();
    return true;
}

void CompareLink::StartLayout() {
    TCindralFrm& w = *window_;
    first_header_ = new CompareHeader(false);
    first_column_ = new QWidget;
    first_column_->setObjectName("FirstColumn");
    auto* column = new QVBoxLayout(first_column_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(first_header_);
    column->addWidget(w.takeCentralWidget(), 1);
    // Both lines equally high, so both views start at the same screen row.
    const int height =
        std::max(first_header_->sizeHint().height(), pane_->Header()->sizeHint().height());
    first_header_->setFixedHeight(height);
    pane_->Header()->setFixedHeight(height);
    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setObjectName("CompareSplitter");
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(first_column_);
    splitter_->addWidget(pane_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 1);
    w.setCentralWidget(splitter_);
    const int half = std::max(1, w.width() / 2);
    splitter_->setSizes({half, half});
    second_overlay_ = new CompareOverlay(pane_->Area());
    pane_->Strip()->installEventFilter(this);
    pane_->Area()->viewport()->installEventFilter(this);
    connect(pane_, &ComparePane::Moved, this, [this] { Follow(Side::Second); });
    connect(pane_, &ComparePane::CloseClicked, this, &CompareLink::EndComparison);
}

void CompareLink::EndComparison() {
    if (!Comparing()) {
        CompareWith1->setChecked(false);
        return;
    }
    TCindralFrm& w = *window_;
    ComparePane* pane = pane_;
    pane_ = nullptr;
    second_overlay_ = nullptr;
    pane->disconnect(this);
    pane->Strip()->removeEventFilter(this);
    pane->Area()->viewport()->removeEventFilter(this);
    QWidget* splitter = w.takeCentralWidget();
    w.setCentralWidget(w.ScrollBox1);
    w.ScrollBox1->show();
    // Later: the close button that asked for this is inside the pane.
    splitter->hide();
    splitter->deleteLater();
    splitter_ = nullptr;
    first_column_ = nullptr;
    first_header_ = nullptr;
    first_mark_.reset();
    second_mark_.reset();
    if (measurement_ && measurement_->side == Side::Second) measurement_.reset();
    measuring_ = false;
    cursor_.reset();
    CompareWith1->setChecked(false);
    ShowOffset();
    ShowToolBar(false);
    if (!was_continuous_) w.SetContinuous(false);
    w.ScrollBox1->setFocus();
    Refresh();
}

bool CompareLink::Linked() const {
    return Link1->isChecked();
}

void CompareLink::SetLinked(bool on) {
    {
        const QSignalBlocker quiet(Link1);
        Link1->setChecked(on);
    }
    if (!on) {
        // Ticked on again, the two logs link at equal depths.
        first_mark_.reset();
        second_mark_.reset();
        for (Side side : {Side::First, Side::Second}) {
            if (CompareHeader* header = HeaderOf(side)) header->SetNote(QString());
        }
    }
    ShowOffset();
    RememberThePair();
    Follow(Side::First);
}

bool CompareLink::Elevation() const {
    return window_->ElevationCb->isChecked();
}

double CompareLink::Offset() const {
    if (!first_mark_ || !second_mark_ || !Comparing()) return 0;
    const bool elevation = Elevation();
    return (*second_mark_ + (elevation ? DatumOf(Side::Second) : 0)) -
           (*first_mark_ + (elevation ? DatumOf(Side::First) : 0));
}

double CompareLink::LinkedValue(Side from, double value) const {
    return from == Side::First ? value + Offset() : value - Offset();
}

double CompareLink::LinkedDepth(Side from, double depth) const {
    const double datum_from = Elevation() ? DatumOf(from) : 0;
    const double datum_to = Elevation() ? DatumOf(Other(from)) : 0;
    return LinkedValue(from, depth + datum_from) - datum_to;
}

void CompareLink::FollowLater() {
    if (follow_pending_) return;
    follow_pending_ = true;
    QTimer::singleShot(0, this, [this] {
        follow_pending_ = false;
        Follow(Side::First);
    });
}

void CompareLink::Follow(Side source) {
    if (linking_) return;
    if (Comparing() && Linked()) {
        linking_ = true;
        const Side other = Other(source);
        const bool elevation = Elevation();
        const int row = AnchorRow(source);
        if (const std::optional<double> value = ValueAt(source, row, elevation, false)) {
            const LogReach reach =
                MoveTo(other, LinkedValue(source, *value), elevation, MapRow(source, other, row));
            HeaderOf(other)->SetNote(ReachNote(reach));
            HeaderOf(source)->SetNote(QString());
        }
        linking_ = false;
    }
    Refresh();
}

void CompareLink::MainPageShown() {
    if (linking_) return;
    const TCindralFrm& w = *window_;
    if (w.CurrentFileName != first_file_) {
        // Another first log: what was measured and aligned belonged to the one before.
        first_file_ = w.CurrentFileName;
        measurement_.reset();
        measuring_ = false;
        first_mark_.reset();
        second_mark_.reset();
        ShowOffset();
        if (Comparing() && !w.Document) {
            QTimer::singleShot(0, this, &CompareLink::EndComparison);
        } else if (Comparing()) {
            first_header_->SetName(QString::fromStdString(first_file_));
            RememberThePair();
        }
    }
    FollowLater();
}

QScrollArea* CompareLink::AreaOf(Side side) const {
    if (side == Side::First) return window_->ScrollBox1;
    return pane_ ? pane_->Area() : nullptr;
}

CompareOverlay* CompareLink::OverlayOf(Side side) const {
    return side == Side::First ? first_overlay_ : second_overlay_;
}

CompareHeader* CompareLink::HeaderOf(Side side) const {
    if (side == Side::First) return first_header_;
    return pane_ ? pane_->Header() : nullptr;
}

const LogDocument* CompareLink::ShownDocument(Side side) const {
    if (side == Side::Second) return pane_ ? pane_->ViewDocument() : nullptr;
    const TCindralFrm& w = *window_;
    if (!w.Document || w.NoPages) return nullptr;
    return w.ViewDocument ? w.ViewDocument.get() : w.Document.get();
}

DepthSign CompareLink::SignOf(Side side) const {
    const LogDocument* document = ShownDocument(side);
    return document ? DepthSign::Of(document->FileHeader(), window_->depths_as_printed_)
                    : DepthSign();
}

double CompareLink::DatumOf(Side side) const {
    const LogDocument* document = ShownDocument(side);
    return document ? document->Header().ElevationDatum : 0;
}

int CompareLink::LinkRow(Side side) const {
    const QScrollArea* area = AreaOf(side);
    if (!area) return 0;
    // The same row for both (their tops are level), however their bars take room.
    int height = area->viewport()->height();
    if (Comparing()) height = std::min(height, AreaOf(Other(side))->viewport()->height());
    return height / 3;
}

int CompareLink::AnchorRow(Side side) const {
    const std::optional<double>& mark = side == Side::First ? first_mark_ : second_mark_;
    if (!first_mark_ || !second_mark_) return LinkRow(side);
    const std::optional<double> row = RowOf(side, *mark, false);
    if (!row) return LinkRow(side);
    // The marked row while it is in view, else the edge nearest to it: the marks stay level
    // whatever the scales, and the other log never jumps as the mark leaves the view.
    const int height = AreaOf(side)->viewport()->height();
    return std::clamp(int(std::lround(*row)), 0, std::max(0, height - 1));
}

double CompareLink::MapRow(Side from, Side to, double y) const {
    const QWidget* a = AreaOf(from)->viewport();
    const QWidget* b = AreaOf(to)->viewport();
    return y + b->mapFrom(window_, a->mapTo(window_, QPoint(0, 0))).y();
}

std::optional<double> CompareLink::ValueAt(Side side, double y, bool elevation,
                                           bool whole_rows) const {
    if (side == Side::Second) {
        return pane_ ? pane_->ValueAt(y, elevation, whole_rows) : std::nullopt;
    }
    const LogDocument* view = ShownDocument(side);
    if (!view) return std::nullopt;
    const TCindralFrm& w = *window_;
    if (w.Continuous()) return StripValueAt(*w.Strip, *view, y, elevation, whole_rows);
    double row = (y - w.Image1->y()) * w.devicePixelRatioF();
    if (whole_rows) row = std::floor(row);
    return ValueAtRow(*view, w.ShownPage, row, elevation);
}

std::optional<double> CompareLink::RowOf(Side side, double value, bool elevation) const {
    if (side == Side::Second) return pane_ ? pane_->RowOf(value, elevation) : std::nullopt;
    const LogDocument* view = ShownDocument(side);
    if (!view) return std::nullopt;
    const TCindralFrm& w = *window_;
    if (w.Continuous()) return StripRowOf(*w.Strip, *view, value, elevation);
    const std::optional<ValuePlace> place = PlaceOfValue(*view, value, elevation);
    if (!place || place->reach != LogReach::Inside || place->page != w.ShownPage) {
        return std::nullopt;
    }
    return w.Image1->y() + place->row / w.devicePixelRatioF();
}

LogReach CompareLink::MoveTo(Side side, double value, bool elevation, double y) {
    if (side == Side::Second) return pane_->MoveValueTo(value, elevation, y);
    const LogDocument* view = ShownDocument(side);
    if (!view) return LogReach::Inside;
    TCindralFrm& w = *window_;
    if (w.Continuous()) return MoveStripTo(*w.ScrollBox1, *w.Strip, *view, value, elevation, y);
    const std::optional<ValuePlace> place = PlaceOfValue(*view, value, elevation);
    if (!place) return LogReach::Inside;
    if (place->page != w.ShownPage) {
        w.ShownPage = std::min(place->page, w.Document->LastPage());
        w.ShowCurrentPage();
    }
    // The pages of a log are all of one size: the picture's place is right before it is drawn.
    QScrollBar* bar = w.ScrollBox1->verticalScrollBar();
    const int rest = w.Image1->y() + bar->value();
    bar->setValue(int(std::lround(place->row / w.devicePixelRatioF() + rest - y)));
    return place->reach;
}

std::optional<Side> CompareLink::SideOf(QObject* watched) const {
    if (watched == window_->Strip || watched == window_->Image1) return Side::First;
    if (pane_ && watched == pane_->Strip()) return Side::Second;
    return std::nullopt;
}

QString CompareLink::ValueText(Side side, double value) const {
    return QString::asprintf("%.2f", Elevation() ? value : SignOf(side).Shown(value));
}

QStringList CompareLink::Figures(Side side, double upper, double lower) const {
    const DepthSign sign = SignOf(side);
    const double top = sign.Shown(upper);
    const double base = sign.Shown(lower);
    QStringList figures{QString::asprintf("Top %.2f", top), QString::asprintf("Base %.2f", base),
                        QString::asprintf("Thickness %.2f", std::abs(base - top))};
    if (Elevation()) {
        const double datum = DatumOf(side);
        figures << QString::asprintf("Elevation %.2f to %.2f", upper + datum, lower + datum);
    }
    return figures;
}

std::optional<std::pair<int, int>> CompareLink::BracketRows(Side side, double* upper,
                                                            double* lower) const {
    if (!measurement_) return std::nullopt;
    double a = measurement_->first;
    double b = measurement_->last;
    if (side != measurement_->side) {
        if (!Comparing() || !Linked()) return std::nullopt;
        a = LinkedDepth(measurement_->side, a);
        b = LinkedDepth(measurement_->side, b);
    }
    // The file's y grows upwards: the greater depth is the upper row.
    *upper = std::max(a, b);
    *lower = std::min(a, b);
    const std::optional<int> top = Rounded(RowOf(side, *upper, false));
    const std::optional<int> base = Rounded(RowOf(side, *lower, false));
    if (!top || !base) return std::nullopt;
    return std::make_pair(*top, *base);
}

void CompareLink::Refresh() {
    const bool elevation = Elevation();
    for (Side side : {Side::First, Side::Second}) {
        CompareOverlay* overlay = OverlayOf(side);
        if (!overlay) continue;
        // A view's own page widget may have been put in front of it.
        overlay->raise();
        std::optional<int> cursor;
        if (cursor_ && (cursor_->first == side || Comparing())) {
            cursor = cursor_->first == side
                         ? cursor_->second
                         : int(std::lround(MapRow(cursor_->first, side, cursor_->second)));
        }
        overlay->SetCursorRow(cursor);
        if (cursor) {
            const std::optional<double> value = ValueAt(side, *cursor, elevation, true);
            const QString text = value ? ValueText(side, *value) : QString();
            if (CompareHeader* header = HeaderOf(side)) header->SetReadout(text);
            // The window's own read-out follows its mouse; over the second log, it reads here.
            if (side == Side::First && cursor_->first == Side::Second) {
                window_->DepthEd->setText(text);
            }
        }
        double upper = 0;
        double lower = 0;
        if (const auto rows = BracketRows(side, &upper, &lower)) {
            overlay->SetBracket(
                CompareOverlay::Bracket{rows->first, rows->second, Figures(side, upper, lower)});
        } else {
            overlay->SetBracket(std::nullopt);
        }
        const std::optional<double>& mark = side == Side::First ? first_mark_ : second_mark_;
        overlay->SetMarkRow(mark && Comparing() ? Rounded(RowOf(side, *mark, false))
                                                : std::nullopt);
    }
    const TCindralFrm& w = *window_;
    CompareWith1->setEnabled(Comparing() || (w.Document && !w.NoPages));
    Link1->setEnabled(Comparing());
    CopyMeasurement1->setEnabled(measurement_.has_value());
    ClearMeasurement1->setEnabled(measurement_.has_value());
}

void CompareLink::ShowOffset() {
    if (!OffsetLbl) return;
    if (!first_mark_ || !second_mark_ || !Comparing()) {
        OffsetLbl->clear();
        return;
    }
    // As the read-outs show the values: depths as printed, elevations as they are.
    const double shown = Elevation() ? Offset()
                                     : SignOf(Side::Second).Shown(*second_mark_) -
                                           SignOf(Side::First).Shown(*first_mark_);
    OffsetLbl->setText(QString::asprintf("Offset %+.2f", shown + 0.0));
}

}  // namespace cindral::app
