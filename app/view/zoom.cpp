#include "app/view/zoom.h"

#include <QScrollArea>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace cindral::app {

const std::vector<int>& ZoomSteps() {
    static const std::vector<int> steps{25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400};
    return steps;
}

double ZoomFactor(const Zoom& zoom, QSize page, QSize room) {
    if (zoom.mode == ZoomMode::Percent) {
        return std::clamp(zoom.percent, kLeastZoom, kMostZoom) / 100.0;
    }
    if (page.isEmpty() || room.isEmpty()) return 1;
    double factor = double(room.width()) / page.width();
    if (zoom.mode == ZoomMode::FitPage) {
        factor = std::min(factor, double(room.height()) / page.height());
    }
    return std::clamp(factor, kLeastZoom / 100.0, kMostZoom / 100.0);
}

QSize FitRoom(const QScrollArea& area) {
    const int frame = 2 * area.frameWidth() + 8;
    const int bar = area.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return {area.width() - frame - bar, area.height() - frame};
}

int ZoomedPixelsPerInch(int screen_pixels_per_inch, double factor, double device_pixel_ratio) {
    return std::max(1, int(std::lround(screen_pixels_per_inch * factor * device_pixel_ratio)));
}

Zoom ZoomStep(double factor, bool in) {
    // A factor within half a percent of a step counts as that step.
    const double percent = factor * 100;
    const std::vector<int>& steps = ZoomSteps();
    Zoom next{ZoomMode::Percent, in ? steps.back() : steps.front()};
    if (in) {
        for (int step : steps) {
            if (step > percent + 0.5) return {ZoomMode::Percent, step};
        }
    } else {
        for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
            if (*it < percent - 0.5) return {ZoomMode::Percent, *it};
        }
    }
    return next;
}

QString ZoomText(const Zoom& zoom) {
    switch (zoom.mode) {
        case ZoomMode::FitWidth:
            return "fit-width";
        case ZoomMode::FitPage:
            return "fit-page";
        case ZoomMode::Percent:
            break;
    }
    return QString::number(zoom.percent);
}

Zoom ZoomFromText(const QString& text) {
    if (text == "fit-page") return {ZoomMode::FitPage, 100};
    bool ok = false;
    const int percent = text.toInt(&ok);
    if (ok && percent >= kLeastZoom && percent <= kMostZoom) return {ZoomMode::Percent, percent};
    return {};
}

QString ZoomBoxText(const Zoom& zoom) {
    switch (zoom.mode) {
        case ZoomMode::FitWidth:
            return "Fit Width";
        case ZoomMode::FitPage:
            return "Fit Page";
        case ZoomMode::Percent:
            break;
    }
    return QString("%1 %").arg(zoom.percent);
}

std::optional<Zoom> ZoomFromTyped(const QString& typed) {
    QString text = typed.simplified().toLower();
    text.remove(' ');
    if (text == "fitwidth" || text == "fit-width") return Zoom{ZoomMode::FitWidth, 100};
    if (text == "fitpage" || text == "fit-page") return Zoom{ZoomMode::FitPage, 100};
    if (text.endsWith('%')) text.chop(1);
    bool ok = false;
    const double percent = text.toDouble(&ok);
    if (!ok || !std::isfinite(percent)) return std::nullopt;
    return Zoom{ZoomMode::Percent,
                std::clamp(static_cast<int>(std::lround(percent)), kLeastZoom, kMostZoom)};
}

}  // namespace cindral::app
