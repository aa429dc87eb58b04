#include "app/view/magnifier.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <algorithm>
#include <cmath>

#include "app/view/page_worker.h"
#include "render/document/log_document.h"
#include "render/pictures/mitchell_resample.h"

namespace cindral::app {
namespace {

constexpr int kEdge = 6;  // how near an edge a press resizes instead of moving
constexpr int kSmallest = 40;

}  // namespace

QRect MagSourceRect(const QRect& window, const QPoint& picture_origin, double magnification) {
    const int w = window.width(), h = window.height();
    const int dx = int(std::nearbyint((w - w / magnification) / 2));
    const int dy = int(std::nearbyint((h - h / magnification) / 2));
    const QRect over(window.topLeft() - picture_origin, window.size());
    return over.adjusted(dx, dy, -dx, -dy);
}

TMagFrm::TMagFrm(QWidget* parent, QScrollArea* source_box, QWidget* picture, const QImage* bitmap)
    : QWidget(parent), source_box_(source_box), picture_(picture), bitmap_(bitmap) {
    setObjectName("Magnifier");
    setCursor(Qt::SizeAllCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setToolTip(
        "Magnify a section of the screen. \r\nRight click to change the magnification."
        "\r\nDrag the edges to change the size.");
    resize(300, 300);

    PopupMenu1 = new QMenu(this);
    auto* group = new QActionGroup(this);
    auto add = [&](const char* text, const char* name) {
        QAction* item = PopupMenu1->addAction(text);
        item->setObjectName(name);
        item->setCheckable(true);
        group->addAction(item);
        return item;
    };
    MagHalfmnu = add("0.5X", "MagHalfmnu");
    Mag2mnu = add("2X", "Mag2mnu");
    Mag3mnu = add("3X", "Mag3mnu");
    Mag4mnu = add("4X", "Mag4mnu");
    Mag2mnu->setChecked(true);
    connect(group, &QActionGroup::triggered, this, &TMagFrm::ChangeMag);
    sharp_worker_ = new PageWorker(this);
    connect(sharp_worker_, &PageWorker::PageDone, this,
            [this](int page, const QImage& image, const QString& error, bool cancelled) {
                // A page that cannot be drawn so large keeps the resampled bitmap.
                if (page != page_ || !error.isEmpty() || cancelled) return;
                sharp_ = image;
                update();
            });
    hide();
}

TMagFrm::~TMagFrm() = default;

void TMagFrm::ChangeMag(QAction* item) {
    item->setChecked(true);
    magnification_ = item == MagHalfmnu ? 0.5 : item == Mag3mnu ? 3 : item == Mag4mnu ? 4 : 2;
    RequestSharp();
    update();
}

void TMagFrm::SetPage(const LogDocument* document, int page) {
    document_ = document ? document->Copy() : nullptr;
    page_ = document ? page : -1;
    sharp_pixels_per_inch_ = 0;
    sharp_ = QImage();
    RequestSharp();
}

bool TMagFrm::Sharp() const {
    return !sharp_.isNull() && magnification_ > 1;
}

void TMagFrm::RequestSharp() {
    if (!document_ || page_ < 0 || page_ > document_->LastPage() || magnification_ <= 1 ||
        isHidden()) {
        return;
    }
    const int wanted = std::max(1, int(std::lround(document_->PixelsPerInch() * magnification_)));
    if (wanted == sharp_pixels_per_inch_) return;
    sharp_pixels_per_inch_ = wanted;
    sharp_ = QImage();
    std::unique_ptr<LogDocument> large = document_->Copy();
    large->SetPixelsPerInch(wanted);
    sharp_worker_->SetDocument(large.get());
    sharp_worker_->Request(page_);
}

QRect TMagFrm::SourceRect() const {
    // Where the picture's top-left corner lies in the parent: the scroll position and the
    // centring of the page are both in it.
    const QPoint origin = picture_->mapTo(parentWidget(), QPoint(0, 0));
    const QRect logical = MagSourceRect(geometry(), origin, magnification_);
    const double ratio = bitmap_->devicePixelRatio();
    if (ratio == 1) return logical;
    return QRect(
        QPoint(int(std::floor(logical.left() * ratio)), int(std::floor(logical.top() * ratio))),
        QSize(int(std::ceil(logical.width() * ratio)), int(std::ceil(logical.height() * ratio))));
}

QImage TMagFrm::Magnified() const {
    const QRect source = SourceRect();
    if (source.isEmpty() || bitmap_->isNull()) return {};
    if (Sharp()) {
        // The same part of the page, cut from the page drawn at the magnified resolution.
        const QSize out_size = size() * devicePixelRatioF();
        const double sx = double(sharp_.width()) / bitmap_->width();
        const double sy = double(sharp_.height()) / bitmap_->height();
        const QPoint from(int(std::lround(source.left() * sx)),
                          int(std::lround(source.top() * sy)));
        QImage out(out_size, QImage::Format_RGB32);
        out.fill(source_box_->palette().color(QPalette::Dark));
        {
            QPainter painter(&out);
            painter.drawImage(QPoint(0, 0), sharp_, QRect(from, out_size));
        }
        out.setDevicePixelRatio(devicePixelRatioF());
        return out;
    }
    // The part of the source off the page shows the view's own background.
    QImage working(source.size(), QImage::Format_RGB32);
    working.fill(source_box_->palette().color(QPalette::Dark));
    QImage page = *bitmap_;
    page.setDevicePixelRatio(1);
    {
        QPainter painter(&working);
        painter.drawImage(-source.topLeft(), page);
    }
    QImage out = ResampleMitchell(working, size() * devicePixelRatioF());
    out.setDevicePixelRatio(devicePixelRatioF());
    return out;
}

void TMagFrm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage magnified = Magnified();
    if (magnified.isNull()) {
        painter.fillRect(rect(), source_box_->palette().color(QPalette::Dark));
    } else {
        painter.drawImage(0, 0, magnified);
    }
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

Qt::Edges TMagFrm::EdgesAt(const QPoint& at) const {
    Qt::Edges edges;
    if (at.x() < kEdge) edges |= Qt::LeftEdge;
    if (at.x() >= width() - kEdge) edges |= Qt::RightEdge;
    if (at.y() < kEdge) edges |= Qt::TopEdge;
    if (at.y() >= height() - kEdge) edges |= Qt::BottomEdge;
    return edges;
}

void TMagFrm::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) return;  // the popup menu's
    dragging_ = true;
    dragging_edges_ = EdgesAt(event->position().toPoint());
    press_global_ = event->globalPosition().toPoint();
    press_geometry_ = geometry();
    raise();
}

void TMagFrm::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        // The read-out follows the point of the page under the mouse, as seen enlarged.
        const QPoint origin = picture_->mapTo(parentWidget(), QPoint(0, 0));
        const QRect over = MagSourceRect(geometry(), origin, magnification_);
        const QPointF at = event->position();
        emit PointerOverPicture(
            QPoint(over.left() + int(std::floor(at.x() * over.width() / std::max(1, width()))),
                   over.top() + int(std::floor(at.y() * over.height() / std::max(1, height())))));
        const Qt::Edges edges = EdgesAt(event->position().toPoint());
        const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
        const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
        const bool falling = (edges & Qt::LeftEdge && edges & Qt::TopEdge) ||
                             (edges & Qt::RightEdge && edges & Qt::BottomEdge);
        setCursor(horizontal && vertical ? (falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor)
                  : horizontal           ? Qt::SizeHorCursor
                  : vertical             ? Qt::SizeVerCursor
                                         : Qt::SizeAllCursor);
        return;
    }
    const QPoint moved = event->globalPosition().toPoint() - press_global_;
    if (!dragging_edges_) {
        move(press_geometry_.topLeft() + moved);
        KeepInside();
        return;
    }
    QRect r = press_geometry_;
    if (dragging_edges_ & Qt::LeftEdge)
        r.setLeft(std::min(r.left() + moved.x(), r.right() - kSmallest));
    if (dragging_edges_ & Qt::RightEdge)
        r.setRight(std::max(r.right() + moved.x(), r.left() + kSmallest));
    if (dragging_edges_ & Qt::TopEdge)
        r.setTop(std::min(r.top() + moved.y(), r.bottom() - kSmallest));
    if (dragging_edges_ & Qt::BottomEdge)
        r.setBottom(std::max(r.bottom() + moved.y(), r.top() + kSmallest));
    setGeometry(r);
    KeepInside();
}

void TMagFrm::KeepInside() {
    const QWidget* view = source_box_->viewport();
    const QRect room(view->mapTo(parentWidget(), QPoint(0, 0)), view->size());
    if (room.width() < kSmallest || room.height() < kSmallest) return;
    QRect r = geometry();
    r.setSize(r.size().boundedTo(room.size()));
    r.moveLeft(std::clamp(r.left(), room.left(), room.right() + 1 - r.width()));
    r.moveTop(std::clamp(r.top(), room.top(), room.bottom() + 1 - r.height()));
    if (r != geometry()) setGeometry(r);
}

void TMagFrm::showEvent(QShowEvent*) {
    KeepInside();
    RequestSharp();
}

void TMagFrm::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

void TMagFrm::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
}

void TMagFrm::moveEvent(QMoveEvent*) {
    if (!isVisible()) return;
    KeepInside();
    update();
}

void TMagFrm::resizeEvent(QResizeEvent*) {
    if (!isVisible()) return;
    KeepInside();
    update();
}

}  // namespace cindral::app
