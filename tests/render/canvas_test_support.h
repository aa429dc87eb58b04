#pragma once
// Helpers for probing what a canvas painted into a QImage.

#include <QImage>
#include <set>
#include <utility>

#include "render/canvas/gdi_types.h"

namespace cindral::testing {

inline QImage WhiteImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

inline Color PixelAt(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RgbColor(qRed(p), qGreen(p), qBlue(p));
}

using PixelSet = std::set<std::pair<int, int>>;

// Every pixel that is not white.
inline PixelSet Painted(const QImage& image) {
    PixelSet out;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) out.insert({x, y});
        }
    }
    return out;
}

// The bounding box of the painted pixels, right/bottom exclusive.
inline Rect PaintedBox(const QImage& image) {
    const PixelSet p = Painted(image);
    if (p.empty()) return {};
    Rect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const auto& [x, y] : p) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
    }
    return r;
}

}  // namespace cindral::testing
