// What pages keep at their breaks, drawn through the log document: a one-strip log's footer
// shows whole on the page that holds it, whether it fits under the log's end or not, and a
// slanted line crossing page breaks meets its continuation on the next page.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
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

// Letter pages at 48 depth units an inch: a first header of 1.25 in, a footer of 0.5 in, a
// band gap of 0.125 in, one strip (no repeated bands) unless `repeat`.
GdxHeader Strip(double top, bool repeat) {
    GdxHeader h;
    h.TopDepth = top;
    h.BottomDepth = 0;
    h.MinX = 0;
    h.MaxX = 800;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 48;
    h.FirstHeaderHeight = 1.25;
    h.NextHeaderHeight = repeat ? 0.75 : -1;
    h.FooterHeight = 0.5;
    h.BandGap = 0.125;
    h.RepeatBands = repeat ? 1 : 0;
    return h;
}

// The rows of `image` whose pixel in column `x` is not white.
int InkRows(const QImage& image, int x) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) rows += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return rows;
}

struct FooterCase {
    const char* name;
    double top;  // 20 in of log does not leave room for the footer on page 2; 18.75 in does
    int dpi;
    int pages;
};

class OneStripFooter : public ::testing::TestWithParam<FooterCase> {};

TEST_P(OneStripFooter, ShowsWholeOnThePageThatHoldsIt) {
    const FooterCase& c = GetParam();
    testing::TempDir dir;
    const std::string path = dir.File("strip.gdx");
    GdxWriter w(Strip(c.top, false));
    FillBoxRecord fill;  // the whole footer band, in a colour of its own
    fill.x1 = 100;
    fill.x2 = 200;
    fill.y1 = 0;
    fill.y2 = 0.5;
    fill.color = 0x2080FF;
    fill.region = 3;
    w.Write(fill);
    w.Save(path);
    LogDocument document(path, Options(), c.dpi);
    ASSERT_EQ(document.PageCount(), c.pages);

    const int column = c.dpi * 150 / 100;  // x 150: inside the fill
    const int footer_rows = static_cast<int>(std::lround(0.5 * c.dpi));
    for (int page = 0; page < c.pages; ++page) {
        SCOPED_TRACE("page " + std::to_string(page + 1));
        const int rows = InkRows(document.RenderPage(page), column);
        EXPECT_NEAR(rows, page == c.pages - 1 ? footer_rows : 0, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, OneStripFooter,
                         ::testing::Values(FooterCase{"Fits96", 900, 96, 2},
                                           FooterCase{"Fits300", 900, 300, 2},
                                           FooterCase{"OverflowsAPage96", 960, 96, 3},
                                           FooterCase{"OverflowsAPage300", 960, 300, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

// The first column with ink in `row`, or -1.
int InkColumn(const QImage& image, int row) {
    for (int x = 0; x < image.width(); ++x) {
        if ((image.pixel(x, row) & 0xFFFFFF) != 0xFFFFFF) return x;
    }
    return -1;
}

class SlantedLine : public ::testing::TestWithParam<std::pair<bool, int>> {};

TEST_P(SlantedLine, MeetsItsContinuationAcrossEveryPageBreak) {
    const auto [repeat, dpi] = GetParam();
    testing::TempDir dir;
    const std::string path = dir.File("slant.gdx");
    GdxWriter w(Strip(2000, repeat));
    // From x 50 at the top to x 750 at the bottom: 0.15 in across per inch down.
    w.Write(DrawLineRecord{50, 2000, 0, 750, 0, 0});
    w.Save(path);
    LogDocument document(path, Options(), dpi);
    ASSERT_GE(document.PageCount(), 4);
    // Columns a row: 700 x units over 2000 depth units, 48 / dpi depth units a row, dpi / 100
    // columns an x unit.
    const double per_row = 700.0 / 2000 * 48 / 100;
    for (int page = 0; page + 1 < document.PageCount(); ++page) {
        SCOPED_TRACE("break after page " + std::to_string(page + 1));
        const PageGeometry above = document.Geometry(page);
        const PageGeometry below = document.Geometry(page + 1);
        // The rows on either side of the break hold consecutive depths.
        const double depth_above = document.DepthAt(page, above.DataBottomPx - 1, false);
        const double depth_below = document.DepthAt(page + 1, below.DataTopPx, false);
        ASSERT_NEAR(depth_above - depth_below, 48.0 / dpi, 1e-6);
        const int end = InkColumn(document.RenderPage(page), above.DataBottomPx - 1);
        const int start = InkColumn(document.RenderPage(page + 1), below.DataTopPx);
        ASSERT_GE(end, 0);
        ASSERT_GE(start, 0);
        EXPECT_LE(std::abs(start - end), std::ceil(per_row));  // within a pixel
        // And both lie on the line.
        const double expected = (50 + 700 * (2000 - depth_above) / 2000) / 100 * dpi;
        EXPECT_NEAR(end, expected, 1.5);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, SlantedLine,
                         ::testing::Values(std::pair{false, 96}, std::pair{false, 300},
                                           std::pair{true, 96}, std::pair{true, 300}),
                         [](const auto& info) {
                             return std::string(info.param.first ? "Repeated" : "OneStrip") +
                                    std::to_string(info.param.second);
                         });

}  // namespace
}  // namespace cindral
