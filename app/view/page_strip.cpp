#include "app/view/page_strip.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace cindral::app {

PageStrip::PageStrip(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
}

void PageStrip::SetLayout(int page_count, QSize page_size) {
    page_count_ = std::max(0, page_count);
    page_size_ = page_size;
    pictures_.clear();
    resize(sizeHint());
    update();
}

QSize PageStrip::sizeHint() const {
    if (page_count_ == 0 || page_size_.isEmpty()) return {0, 0};
    return {page_size_.width(), PageTop(page_count_) - kGap};
}

int PageStrip::PageAt(int y) const {
    if (page_count_ == 0) return 0;
    const int pitch = std::max(1, page_size_.height() + kGap);
    return std::clamp(y / pitch, 0, page_count_ - 1);
}

void PageStrip::SetPicture(int page, const QImage& picture) {
    if (page < 0 || page >= page_count_) return;
    pictures_[page] = picture;
    update(0, PageTop(page), page_size_.width(), page_size_.height());
}

void PageStrip::KeepOnly(int first, int last) {
    for (auto it = pictures_.begin(); it != pictures_.end();) {
        it = it->first < first || it->first > last ? pictures_.erase(it) : std::next(it);
    }
}

void PageStrip::paintEvent(QPaintEvent* event) {
    if (page_count_ == 0) return;
    QPainter painter(this);
    const QRect exposed = event->rect();
    const int last = PageAt(exposed.bottom());
    for (int page = PageAt(exposed.top()); page <= last; ++page) {
        const QRect place(QPoint(0, PageTop(page)), page_size_);
        if (!place.intersects(exposed)) continue;
        auto found = pictures_.find(page);
        if (found != pictures_.end()) {
            painter.drawImage(place, found->second);
        } else {
            // A page still being drawn shows as blank paper.
            painter.fillRect(place, Qt::white);
        }
    }
}

void PageStrip::mouseMoveEvent(QMouseEvent* event) {
    const int y = static_cast<int>(event->position().y());
    const int page = PageAt(y);
    emit MouseAt(page, y - PageTop(page));
    QWidget::mouseMoveEvent(event);
}

}  // namespace cindral::app
