#include "app/view/compare_overlay.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace cindral::app {

CompareOverlay::CompareOverlay(QAbstractScrollArea* area) : QWidget(area->viewport()) {
    setObjectName("CompareOverlay");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(area->viewport()->rect());
    area->viewport()->installEventFilter(this);
    show();
    raise();
}

void CompareOverlay::SetCursorRow(std::optional<int> row) {
    if (row == cursor_) return;
    cursor_ = row;
    update();
}

void CompareOverlay::SetBracket(std::optional<Bracket> bracket) {
    const bool same =
        bracket.has_value() == bracket_.has_value() &&
        (!bracket || (bracket->top == bracket_->top && bracket->base == bracket_->base &&
                      bracket->figures == bracket_->figures));
    if (same) return;
    bracket_ = std::move(bracket);
    update();
}

void CompareOverlay::SetMarkRow(std::optional<int> row) {
    if (row == mark_) return;
    mark_ = row;
    update();
}

bool CompareOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(static_cast<QWidget*>(watched)->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void CompareOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (mark_) {
        painter.setPen(QPen(QColor(230, 120, 0), 2));
        painter.drawLine(0, *mark_, width(), *mark_);
    }
    if (bracket_) {
        const int left = 6;
        const int tick = 10;
        QColor ink(0, 128, 64);
        painter.setPen(QPen(ink, 2));
        painter.drawLine(left, bracket_->top, left, bracket_->base);
        painter.drawLine(left, bracket_->top, left + tick, bracket_->top);
        painter.drawLine(left, bracket_->base, left + tick, bracket_->base);
        ink.setAlpha(110);
        painter.setPen(QPen(ink, 1, Qt::DashLine));
        painter.drawLine(left + tick, bracket_->top, width(), bracket_->top);
        painter.drawLine(left + tick, bracket_->base, width(), bracket_->base);
        if (!bracket_->figures.isEmpty()) {
            // The figures in a box beside the bracket, kept inside the view.
            const QFontMetrics metrics(font());
            const QString text = bracket_->figures.join('\n');
            QRect box = metrics.boundingRect(QRect(0, 0, width(), height()), Qt::AlignLeft, text);
            box.adjust(-4, -2, 4, 2);
            const int middle = (bracket_->top + bracket_->base) / 2;
            box.moveTopLeft({left + tick + 6, middle - box.height() / 2});
            if (box.bottom() > height()) box.moveBottom(height() - 1);
            if (box.top() < 0) box.moveTop(0);
            painter.setPen(QColor(0, 96, 48));
            painter.setBrush(QColor(255, 255, 235, 230));
            painter.drawRect(box);
            painter.drawText(box.adjusted(4, 2, -4, -2), Qt::AlignLeft, text);
        }
    }
    if (cursor_) {
        painter.setPen(QPen(QColor(0, 90, 200), 1));
        painter.drawLine(0, *cursor_, width(), *cursor_);
    }
}

}  // namespace cindral::app
