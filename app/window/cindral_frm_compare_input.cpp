// What the user does to a comparison: the mouse over either log (the cursor line, Shift+drag
// to measure), the keys, a log dropped with Ctrl, the row's menu (Align Here, Go to Depth in
// This Log), the measurement's copy, and the pair kept for next time.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "app/dialogs/goto_depth_dialog.h"
#include "app/view/compare_memory.h"
#include "app/view/compare_overlay.h"
#include "app/view/compare_pane.h"
#include "app/view/page_strip.h"
#include "app/window/cindral_frm.h"
#include "app/window/cindral_frm_compare.h"
#include "core/base/errors.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

using Side = CompareLink::Side;

const char* const kAlignPrompt = "Choose Align Here on the matching row of the other log.";

// The one local .gdx file a drop carries, or an empty string.
QString DroppedLog(const QMimeData* data) {
    if (!data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl& url = data->urls().first();
    if (!url.isLocalFile()) return {};
    const QString path = url.toLocalFile();
    return path.endsWith(".gdx", Qt::CaseInsensitive) ? path : QString();
}

}  // namespace

QString CompareLink::MeasurementText() const {
    if (!measurement_) return {};
    const DepthSign sign = SignOf(measurement_->side);
    const double top = sign.Shown(std::max(measurement_->first, measurement_->last));
    const double base = sign.Shown(std::min(measurement_->first, measurement_->last));
    return QString::asprintf("%.2f, %.2f, %.2f", top, base, std::abs(base - top));
}

void CompareLink::CopyMeasurement() {
    if (measurement_) QGuiApplication::clipboard()->setText(MeasurementText());
}

void CompareLink::ClearMeasurement() {
    measurement_.reset();
    measuring_ = false;
    Refresh();
}

void CompareLink::AlignHere(Side side, int y) {
    if (!Comparing()) return;
    const std::optional<double> depth = ValueAt(side, y, false, true);
    if (!depth) return;
    (side == Side::First ? first_mark_ : second_mark_) = *depth;
    if (first_mark_ && second_mark_) {
        if (window_->statusBar()->currentMessage() == kAlignPrompt) {
            window_->statusBar()->clearMessage();
        }
        {
            const QSignalBlocker quiet(Link1);
            Link1->setChecked(true);
        }
        Follow(Side::First);
        const std::optional<double> a = RowOf(Side::First, *first_mark_, false);
        const std::optional<double> b = RowOf(Side::Second, *second_mark_, false);
        if (!a || !b || std::abs(*a - *b) > 1) {
            // Logs of other scales are level at the linked row only: the marks go there.
            const double datum = Elevation() ? DatumOf(Side::First) : 0;
            linking_ = true;
            MoveTo(Side::First, *first_mark_ + datum, Elevation(), LinkRow(Side::First));
            linking_ = false;
            Follow(Side::First);
        }
    } else {
        window_->ShowStatusLine(kAlignPrompt, 8000);
    }
    ShowOffset();
    RememberThePair();
    Refresh();
}

std::unique_ptr<QMenu> CompareLink::MenuForRow(Side side, int y) {
    auto menu = std::make_unique<QMenu>(window_);
    QAction* align = menu->addAction("Align Here", this, [this, side, y] { AlignHere(side, y); });
    align->setObjectName("AlignHere1");
    align->setStatusTip("Level this row with the row chosen in the other log.");
    align->setEnabled(Comparing() && ValueAt(side, y, false, true).has_value());
    if (side == Side::Second) {
        menu->addAction("Go to Depth in This Log...", this, &CompareLink::GoToDepthInSecond);
    }
    if (measurement_) menu->addAction(CopyMeasurement1);
    return menu;
}

void CompareLink::GoToDepthInSecond() {
    if (!Comparing()) return;
    TGotoDepthDialog dialog(pane_->Header()->Readout().toDouble(), Elevation(), window_);
    while (dialog.exec() == QDialog::Accepted) {
        const std::string problem =
            pane_->GoToDepth(dialog.Value(), dialog.Elevation(), SignOf(Side::Second));
        if (problem.empty()) return;
        CurrentUi().ShowMessage(MessageKind::Warning, "", problem, Buttons::Ok);
    }
}

void CompareLink::RememberThePair() {
    if (!Comparing() || first_file_.empty()) return;
    RememberedPair pair;
    pair.partner = pane_->FileName();
    pair.linked = Linked();
    pair.by_elevation = Elevation();
    pair.first_mark = first_mark_;
    pair.second_mark = second_mark_;
    RememberPair(QString::fromStdString(first_file_), pair);
}

bool CompareLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        // Escape that no shortcut and no control took reaches the window.
        if (event->type() == QEvent::KeyPress && measurement_ &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            ClearMeasurement();
            return true;
        }
        // A log dropped with Ctrl held opens beside the one on screen.
        if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = DroppedLog(drop->mimeData());
            if ((drop->modifiers() & Qt::ControlModifier) && !path.isEmpty() && window_->Document) {
                drop->acceptProposedAction();
                CompareWith(path);
                return true;
            }
        }
        return false;
    }
    if (event->type() == QEvent::Resize) {
        FollowLater();
        return false;
    }
    const std::optional<Side> side = SideOf(watched);
    if (!side) return false;
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* viewport = AreaOf(*side)->viewport();
    auto row_of = [&](const QPoint& at) { return widget->mapTo(viewport, at).y(); };
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* press = static_cast<QMouseEvent*>(event);
            if (press->button() != Qt::LeftButton || !(press->modifiers() & Qt::ShiftModifier)) {
                break;
            }
            const std::optional<double> depth =
                ValueAt(*side, row_of(press->position().toPoint()), false, true);
            if (!depth) break;
            measurement_ = Measurement{*side, *depth, *depth};
            measuring_ = true;
            Refresh();
            return true;
        }
        case QEvent::MouseMove: {
            auto* move = static_cast<QMouseEvent*>(event);
            const int y = row_of(move->position().toPoint());
            cursor_ = std::make_pair(*side, y);
            if (measuring_ && measurement_ && measurement_->side == *side) {
                if (const std::optional<double> depth = ValueAt(*side, y, false, true)) {
                    measurement_->last = *depth;
                }
            }
            Refresh();
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* release = static_cast<QMouseEvent*>(event);
            if (!measuring_ || release->button() != Qt::LeftButton) break;
            measuring_ = false;
            if (const std::optional<double> depth =
                    ValueAt(*side, row_of(release->position().toPoint()), false, true)) {
                if (measurement_ && measurement_->side == *side) measurement_->last = *depth;
            }
            Refresh();
            return true;
        }
        case QEvent::Leave:
            cursor_.reset();
            Refresh();
            break;
        case QEvent::ContextMenu: {
            if (!Comparing()) break;
            auto* asked = static_cast<QContextMenuEvent*>(event);
            std::unique_ptr<QMenu> menu = MenuForRow(*side, row_of(asked->pos()));
            menu->exec(asked->globalPos());
            return true;
        }
        default:
            break;
    }
    return false;
}

}  // namespace cindral::app
