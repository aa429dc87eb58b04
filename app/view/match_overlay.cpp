#include "app/view/match_overlay.h"

#include <QPaintEvent>
#include <QPainter>

namespace cindral::app {

MatchOverlay::MatchOverlay(QWidget* parent) : QWidget(parent) {
    setObjectName("MatchOverlay");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
}

const QColor& MatchOverlay::MatchColour() {
    static const QColor colour(255, 200, 0, 90);
    return colour;
}

const QColor& MatchOverlay::CurrentColour() {
    static const QColor colour(255, 110, 0, 150);
    return colour;
}

void MatchOverlay::SetBoxes(std::vector<QRectF> boxes, const QRectF& current) {
    boxes_ = std::move(boxes);
    current_ = current;
    if (parentWidget()) setGeometry(parentWidget()->rect());
    setVisible(!boxes_.empty() || !current_.isEmpty());
    raise();
    update();
}

void MatchOverlay::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRectF exposed = event->rect();
    // A little larger than the characters, so a one-letter match still shows.
    auto grown = [](const QRectF& box) { return box.adjusted(-1.5, -1.5, 1.5, 1.5); };
    painter.setPen(QPen(MatchColour().darker(150), 1));
    for (const QRectF& box : boxes_) {
        if (box.intersects(exposed)) painter.fillRect(grown(box), MatchColour());
    }
    if (!current_.isEmpty()) {
        painter.setPen(QPen(CurrentColour().darker(160), 1.5));
        painter.setBrush(CurrentColour());
        painter.drawRect(grown(current_));
    }
}

}  // namespace cindral::app
