#pragma once
// Comparing a page as another program draws it with the raster renderer's page: grey means
// of blocks, so sub-pixel placement, other fonts and other antialiasing are forgiven while a
// missing, moved or scaled figure is not.

#include <QImage>
#include <algorithm>
#include <cmath>
#include <vector>

namespace cindral {

// Means of k x k blocks of grey, row by row (the partial blocks at the edges left out).
inline std::vector<double> BlockMeans(const QImage& image, int k) {
    // Both pictures go to grey by the same weights, whatever the reader's own grey would be.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<double> means;
    for (int by = 0; by + k <= rgb.height(); by += k) {
        for (int bx = 0; bx + k <= rgb.width(); bx += k) {
            long sum = 0;
            for (int y = by; y < by + k; ++y) {
                const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
                for (int x = bx; x < bx + k; ++x) sum += qGray(row[x]);
            }
            means.push_back(double(sum) / (k * k));
        }
    }
    return means;
}

struct Difference {
    double mean8 = 0;    // mean |difference| of 8 x 8 block means: forgives sub-pixel placement
    double worst32 = 0;  // largest difference of 32 x 32 block means: a local fault
    double mean1 = 0;    // mean |difference| of single pixels: a line half a pixel off
};

inline Difference Compare(const QImage& screen, const QImage& paper) {
    Difference d;
    const std::vector<double> a8 = BlockMeans(screen, 8), b8 = BlockMeans(paper, 8);
    for (size_t i = 0; i < a8.size(); ++i) d.mean8 += std::abs(a8[i] - b8[i]);
    d.mean8 /= double(a8.size());
    const std::vector<double> a32 = BlockMeans(screen, 32), b32 = BlockMeans(paper, 32);
    for (size_t i = 0; i < a32.size(); ++i)
        d.worst32 = std::max(d.worst32, std::abs(a32[i] - b32[i]));
    const QImage a = screen.convertToFormat(QImage::Format_RGB32);
    const QImage b = paper.convertToFormat(QImage::Format_RGB32);
    const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
    long sum = 0;
    for (int y = 0; y < h; ++y) {
        const QRgb* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < w; ++x) sum += std::abs(qGray(ra[x]) - qGray(rb[x]));
    }
    d.mean1 = w > 0 && h > 0 ? double(sum) / (double(w) * h) : 0;
    return d;
}

}  // namespace cindral
