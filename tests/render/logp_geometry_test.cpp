// Page geometry of the raster renderer: where the header, data window and footer lie on
// each page, and how rows map to depths, in every header mode and band layout.

#include <gtest/gtest.h>

#include <cmath>

#include "render/renderers/logp_object.h"

namespace cindral {
namespace {

// 100 pixels per inch, 10 depth units per inch: one depth unit is 10 rows. A log of 1000
// units is 10,000 rows on pages of 1000 rows; header 1 in, next header 0.5 in, footer
// 0.5 in, band gap 0.1 in.
GdxHeader BandedHeader(bool repeat) {
    GdxHeader h;
    h.MinX = 0;
    h.MaxX = 100;
    h.TopDepth = 1000;
    h.BottomDepth = 0;
    h.FirstHeaderHeight = 1;
    h.NextHeaderHeight = 0.5;
    h.FooterHeight = 0.5;
    h.BandGap = 0.1;
    h.RepeatBands = repeat ? 1 : 0;
    h.PageHeight = 10;
    h.PageWidth = 3;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 10;
    return h;
}

// The scale of BandedHeader at 100 pixels per inch, as the page arithmetic gives it.
PageScale Scale100() {
    const PageScale s = PageScaleAt(BandedHeader(true), 100, 100);
    EXPECT_EQ(s.DepthScale, 10);
    EXPECT_EQ(s.PageHeightPx, 1000);
    return s;
}

struct GeometryCase {
    const char* name;
    GdxHeader header;
    int page, last_page;
    Band header_mode;
    // expected
    Band mode;
    int data_top, data_bottom, footer_top;
    bool has_footer;
    int64_t origin;
};

GdxHeader WithCustomLength(GdxHeader h, double units) {
    h.CustomPageLength = 1;
    h.UnitsPerPage = units;
    return h;
}

GdxHeader WithoutNextHeader(GdxHeader h) {
    h.NextHeaderHeight = 0;
    return h;
}

class PageGeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(PageGeometryTest, PlacesBandsAndDepthOrigin) {
    const GeometryCase& c = GetParam();
    PageGeometryInput in;
    in.Scale = Scale100();
    in.CurrentPage = c.page;
    in.LastPage = c.last_page;
    in.HeaderMode = c.header_mode;
    const PageGeometry g = ComputePageGeometry(c.header, in);
    EXPECT_EQ(g.HeaderMode, c.mode);
    EXPECT_EQ(g.DataTopPx, c.data_top);
    EXPECT_EQ(g.DataBottomPx, c.data_bottom);
    EXPECT_EQ(g.FooterTopPx, c.footer_top);
    EXPECT_EQ(g.HasFooter, c.has_footer);
    EXPECT_EQ(g.DepthOriginPx, c.origin);
}

// Repeated bands: header bottom 110 on page 0 (1 in + gap), 60 later; the footer band of
// 50 rows plus the gap sits under every page. Page 0 holds 830 rows of log, later pages 880.
// Without repeated bands page 0 holds 890 rows, later pages 1000, the footer only on the
// last page, 0.25 in below the log's end.
INSTANTIATE_TEST_SUITE_P(
    Bands, PageGeometryTest,
    ::testing::Values(
        GeometryCase{"RepeatFirstPage", BandedHeader(true), 0, 11, Band::FirstHeader,
                     Band::FirstHeader, 110, 940, 950, true, 110},
        GeometryCase{"RepeatSecondPage", BandedHeader(true), 1, 11, Band::NextHeader,
                     Band::NextHeader, 60, 940, 950, true, -770},
        GeometryCase{"RepeatThirdPage", BandedHeader(true), 2, 11, Band::NextHeader,
                     Band::NextHeader, 60, 940, 950, true, -1650},
        GeometryCase{"RepeatedFirstHeader", WithoutNextHeader(BandedHeader(true)), 1, 11,
                     Band::NextHeader, Band::FirstHeader, 125, 940, 950, true, 125 - 830},
        GeometryCase{"SingleFirstPage", BandedHeader(false), 0, 10, Band::FirstHeader,
                     Band::FirstHeader, 110, 1000, 1000, false, 110},
        GeometryCase{"SingleMiddlePage", BandedHeader(false), 3, 10, Band::None, Band::None, 0,
                     1000, 1000, false, -2890},
        // The last page ends with the log (row 110) and the footer follows 25 rows lower.
        GeometryCase{"SingleLastPage", BandedHeader(false), 10, 10, Band::None, Band::None, 0, 110,
                     135, true, -9890},
        GeometryCase{"NoHeaderMode", BandedHeader(true), 1, 11, Band::None, Band::None, 0, 940, 950,
                     true, -830},
        // Custom page length of 50 units: 500 rows a page under any header.
        GeometryCase{"CustomLengthFirst", WithCustomLength(BandedHeader(true), 50), 0, 19,
                     Band::FirstHeader, Band::FirstHeader, 110, 610, 950, true, 110},
        GeometryCase{"CustomLengthLater", WithCustomLength(BandedHeader(true), 50), 2, 19,
                     Band::NextHeader, Band::NextHeader, 60, 560, 950, true, 60 - 500 - 500},
        // Shorter than a row: counts as off, as the page count does.
        GeometryCase{"CustomLengthBelowOneRow", WithCustomLength(BandedHeader(true), 0.05), 1, 11,
                     Band::NextHeader, Band::NextHeader, 60, 940, 950, true, -770},
        GeometryCase{"CustomLengthZero", WithCustomLength(BandedHeader(false), 0), 0, 10,
                     Band::FirstHeader, Band::FirstHeader, 110, 1000, 1000, false, 110}),
    [](const ::testing::TestParamInfo<GeometryCase>& info) { return info.param.name; });

TEST(PageGeometry, EachPageStartsWhereThePreviousDataWindowEnds) {
    for (bool repeat : {true, false}) {
        const GdxHeader h = BandedHeader(repeat);
        PageGeometryInput in;
        in.Scale = Scale100();
        in.LastPage = 11;
        for (int page = 0; page < 5; ++page) {
            in.CurrentPage = page;
            in.HeaderMode =
                page == 0 ? Band::FirstHeader : (repeat ? Band::NextHeader : Band::None);
            const PageGeometry g = ComputePageGeometry(h, in);
            in.CurrentPage = page + 1;
            in.HeaderMode = repeat ? Band::NextHeader : Band::None;
            const PageGeometry next = ComputePageGeometry(h, in);
            // The depth at the bottom edge of one page is the depth at the top of the next.
            const int64_t bottom_offset = g.DataBottomPx - g.DepthOriginPx;
            const int64_t top_offset = next.DataTopPx - next.DepthOriginPx;
            EXPECT_EQ(bottom_offset, top_offset) << "repeat " << repeat << " page " << page;
        }
    }
}

TEST(PageGeometry, AbsurdHeadersGiveFiniteRows) {
    GdxHeader h = BandedHeader(true);
    h.FirstHeaderHeight = 1e300;
    h.TopDepth = 1e300;
    h.BottomDepth = -1e300;
    PageGeometryInput in;
    in.Scale.PixelsPerInch = 600;
    in.Scale.DepthScale = 1e200;
    in.Scale.PageHeightPx = 6600;
    in.CurrentPage = 2000000000;
    in.LastPage = 2000000000;
    in.HeaderMode = Band::NextHeader;
    const PageGeometry g = ComputePageGeometry(h, in);
    EXPECT_LE(g.DataBottomPx, kCoordLimit);
    EXPECT_GE(g.DataBottomPx, -kCoordLimit);
}

TEST(DepthToRow, RoundsHalfToEvenAndClamps) {
    EXPECT_EQ(DepthToRow(1000, 1000, 100, 1, 20000), 100);
    EXPECT_EQ(DepthToRow(999.5, 1000, 100, 1, 20000), 100);  // 0.5 goes to 0
    EXPECT_EQ(DepthToRow(998.5, 1000, 100, 1, 20000), 102);  // 1.5 goes to 2
    EXPECT_EQ(DepthToRow(997.5, 1000, 100, 1, 20000), 102);  // 2.5 goes to 2
    EXPECT_EQ(DepthToRow(1001.5, 1000, 100, 1, 20000), 98);  // -1.5 goes to -2
    EXPECT_EQ(DepthToRow(-1e300, 1000, 100, 10, 500), 500);
    EXPECT_EQ(DepthToRow(1e300, 1000, 100, 10, 500), -500);
    EXPECT_EQ(DepthToRow(std::nan(""), 1000, 100, 10, 500), 0);
}

}  // namespace
}  // namespace cindral
