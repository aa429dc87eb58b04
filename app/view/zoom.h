#pragma once
// The main view's zoom: fit the page's width, fit the whole page, or a fixed percentage from
// 25 % to 400 % in steps. The page is drawn at the zoomed resolution, so this only decides
// the resolution; it is kept between runs as text ("fit-width", "fit-page", "150").

#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class QScrollArea;

namespace cindral::app {

enum class ZoomMode { FitWidth, FitPage, Percent };

struct Zoom {
    ZoomMode mode = ZoomMode::FitWidth;
    int percent = 100;  // for ZoomMode::Percent
};

constexpr int kLeastZoom = 25;
constexpr int kMostZoom = 400;
const std::vector<int>& ZoomSteps();

// The zoom as a factor of the screen's resolution: `page` is the page's size at 100 %,
// `room` the room the view has for it. Fitting stays within 25 % to 400 %.
double ZoomFactor(const Zoom& zoom, QSize page, QSize room);

// The room a page view in `area` has for a fitted page: the vertical bar's width is always
// kept free, so showing it never changes the fit.
QSize FitRoom(const QScrollArea& area);

// The resolution a view draws its pages at: the screen's times the zoom factor times the
// screen's device pixel ratio, at least 1.
int ZoomedPixelsPerInch(int screen_pixels_per_inch, double factor, double device_pixel_ratio);

// One step in (larger) or out (smaller) from `factor`, as a fixed percentage.
Zoom ZoomStep(double factor, bool in);

QString ZoomText(const Zoom& zoom);
// Reads ZoomText(); anything else gives fit width.
Zoom ZoomFromText(const QString& text);

// What the toolbar's zoom box shows: "Fit Width", "Fit Page" or "150 %".
QString ZoomBoxText(const Zoom& zoom);
// What a user typed into the zoom box: "150", "150 %", "150%", "fit width", "Fit Page" (any
// case); a percentage is held to 25 % to 400 %. Nothing for anything else.
std::optional<Zoom> ZoomFromTyped(const QString& typed);

}  // namespace cindral::app
