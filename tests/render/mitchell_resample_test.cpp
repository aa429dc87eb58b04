// The magnifier's resampling is Mitchell-Netravali's filter (B = C = 1/3): checked against a
// plain separable convolution written here from the filter's formula, enlarging and reducing
// a known picture, and told apart from Catmull-Rom, its sharper neighbour, on the same picture.

#include "render/pictures/mitchell_resample.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace cindral {
namespace {

using Kernel = std::function<double(double)>;

// The cubic family of Mitchell and Netravali.
Kernel Cubic(double b, double c) {
    return [b, c](double x) {
        x = std::fabs(x);
        if (x < 1) {
            return ((12 - 9 * b - 6 * c) * x * x * x + (-18 + 12 * b + 6 * c) * x * x +
                    (6 - 2 * b)) /
                   6;
        }
        if (x < 2) {
            return ((-b - 6 * c) * x * x * x + (6 * b + 30 * c) * x * x + (-12 * b - 48 * c) * x +
                    (8 * b + 24 * c)) /
                   6;
        }
        return 0.0;
    };
}

// One channel resampled along one axis: pixel centres aligned, the kernel widened when
// reducing, edges repeating the border sample, weights normalised.
std::vector<double> Resample1D(const std::vector<double>& in, int out_size, const Kernel& k) {
    const int n = int(in.size());
    const double scale = double(out_size) / n;
    const double widen = scale < 1 ? 1 / scale : 1;
    std::vector<double> out(out_size);
    for (int i = 0; i < out_size; ++i) {
        const double centre = (i + 0.5) / scale - 0.5;
        double sum = 0, weights = 0;
        for (int j = int(std::floor(centre - 2 * widen)) - 1;
             j <= int(std::ceil(centre + 2 * widen)) + 1; ++j) {
            const double w = k((j - centre) / widen);
            sum += w * in[std::clamp(j, 0, n - 1)];
            weights += w;
        }
        out[i] = sum / weights;
    }
    return out;
}

QImage Reference(const QImage& source, QSize size, const Kernel& k) {
    QImage out(size, QImage::Format_RGB32);
    for (int shift : {0, 8, 16}) {
        std::vector<std::vector<double>> rows;
        for (int y = 0; y < source.height(); ++y) {
            std::vector<double> line(source.width());
            for (int x = 0; x < source.width(); ++x) line[x] = (source.pixel(x, y) >> shift) & 0xFF;
            rows.push_back(Resample1D(line, size.width(), k));
        }
        for (int x = 0; x < size.width(); ++x) {
            std::vector<double> column(source.height());
            for (int y = 0; y < source.height(); ++y) column[y] = rows[y][x];
            const std::vector<double> done = Resample1D(column, size.height(), k);
            for (int y = 0; y < size.height(); ++y) {
                const uint32_t v = uint32_t(std::clamp(std::lround(done[y]), 0L, 255L));
                out.setPixel(x, y,
                             (out.pixel(x, y) & ~(0xFFu << shift)) | (v << shift) | 0xFF000000u);
            }
        }
    }
    return out;
}

// The largest difference of any channel of any pixel.
int LargestDifference(const QImage& a, const QImage& b) {
    int most = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            for (int shift : {0, 8, 16}) {
                const int d =
                    int((a.pixel(x, y) >> shift) & 0xFF) - int((b.pixel(x, y) >> shift) & 0xFF);
                most = std::max(most, std::abs(d));
            }
        }
    }
    return most;
}

// Hard edges in three colours and a single dark pixel: where the cubic filters differ most.
QImage KnownPicture() {
    QImage image(12, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            if (x >= 4 && x < 7) image.setPixel(x, y, qRgb(200, 30, 10));
            if (y == 6) image.setPixel(x, y, qRgb(0, 0, 160));
        }
    }
    image.setPixel(9, 2, qRgb(0, 0, 0));
    return image;
}

TEST(MitchellResample, MatchesTheFilterAndNotItsNeighbours) {
    const QImage source = KnownPicture();
    for (QSize size : {QSize(48, 40), QSize(36, 30), QSize(24, 20), QSize(6, 5)}) {
        SCOPED_TRACE(size.width());
        const QImage drawn = ResampleMitchell(source, size);
        ASSERT_EQ(drawn.size(), size);
        EXPECT_LE(LargestDifference(drawn, Reference(source, size, Cubic(1.0 / 3, 1.0 / 3))), 1);
        // Catmull-Rom (B 0, C 0.5) sharpens more and rings.
        EXPECT_GE(LargestDifference(drawn, Reference(source, size, Cubic(0, 0.5))), 8);
    }
    EXPECT_TRUE(ResampleMitchell(QImage(), QSize(10, 10)).isNull());
    EXPECT_TRUE(ResampleMitchell(source, QSize(0, 10)).isNull());
}

}  // namespace
}  // namespace cindral
