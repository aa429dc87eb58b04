// A page drawn small (a thumbnail, a zoom below 100 %, a small export) looks like the page
// at full size made smaller: as dark overall, and block by block like ImageMagick's own
// reduction of the full-size page, for the sample and for a page full of patterns and text.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <string>

#include "bundled_libraries.h"
#include "core/format/gdx_commands.h"
#include "core/format/gdx_writer.h"
#include "render/document/log_document.h"
#include "temp_dir.h"

namespace cindral {
namespace {

LogDocumentOptions Options() {
    return testing::BundledLibraryOptions();
}

double MeanGrey(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) sum += qGray(image.pixel(x, y));
    }
    return sum / (double(image.width()) * image.height());
}

// The largest difference of mean grey between 8 x 8 blocks of two pictures of one size.
double WorstBlock(const QImage& a, const QImage& b) {
    double worst = 0;
    for (int by = 0; by + 8 <= a.height(); by += 8) {
        for (int bx = 0; bx + 8 <= a.width(); bx += 8) {
            double sa = 0, sb = 0;
            for (int y = by; y < by + 8; ++y) {
                for (int x = bx; x < bx + 8; ++x) {
                    sa += qGray(a.pixel(x, y));
                    sb += qGray(b.pixel(x, y));
                }
            }
            worst = std::max(worst, std::abs(sa - sb) / 64);
        }
    }
    return worst;
}

// Lithology boxes of many patterns and a column of labels, on one page.
std::string WritePatternPage(const testing::TempDir& dir) {
    GdxHeader h;
    h.TopDepth = 0;
    h.BottomDepth = -200;
    h.MinX = 0;
    h.MaxX = 800;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 20;
    h.FirstHeaderHeight = -1;
    h.NextHeaderHeight = -1;
    h.FooterHeight = -1;
    GdxWriter w(h);
    for (int n = 0; n < 20; ++n) {
        PatternFillBoxRecord box;
        box.x1 = 50;
        box.x2 = 450;
        box.y1 = -10.0 * n;
        box.y2 = -10.0 * n - 10;
        box.pattern = 1 + n * 7;
        box.outline = 1;
        w.Write(box);
        DrawTextRecord label;
        label.x = 480;
        label.y = -10.0 * n - 2;
        label.text = "Sandstone, fine, " + std::to_string(n);
        w.Write(label);
    }
    const std::string path = dir.File("patterns.gdx");
    w.Save(path);
    return path;
}

TEST(SmallPages, LookLikeTheFullSizePageReduced) {
    testing::TempDir dir;
    const std::string logs[] = {testing::BinDir() + "/samples/sample.gdx", WritePatternPage(dir)};
    for (const std::string& log : logs) {
        LogDocument full(log, Options(), 96);
        const QImage big = full.RenderPage(0);
        const std::string big_png = dir.File("big.png");
        ASSERT_TRUE(big.save(QString::fromStdString(big_png)));
        for (int dpi : {24, 48, 72}) {
            SCOPED_TRACE(log + " at " + std::to_string(dpi) + " dpi");
            LogDocument small(log, Options(), dpi);
            const QImage page = small.RenderPage(0);
            ASSERT_EQ(page.width(), small.Layout().PageWidthPx);
            ASSERT_EQ(page.height(), small.Layout().PageHeightPx);
            // As dark overall as the full-size page: no pattern turned black, no text grown.
            EXPECT_NEAR(MeanGrey(page), MeanGrey(big), 3);
            const std::string reduced = dir.File("reduced.png");
            const std::string command = "convert '" + big_png + "' -filter Triangle -resize " +
                                        std::to_string(page.width()) + "x" +
                                        std::to_string(page.height()) + "! '" + reduced + "'";
            ASSERT_EQ(std::system(command.c_str()), 0);
            const QImage reference =
                QImage(QString::fromStdString(reduced)).convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(reference.size(), page.size());
            EXPECT_LT(WorstBlock(page, reference), 48);
        }
    }
}

}  // namespace
}  // namespace cindral
