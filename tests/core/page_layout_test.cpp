#include "core/pages/page_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace cindral {
namespace {

// 600 depth units at 20 per inch on 11-inch pages, counted at 96 dpi: the body is 2880 px,
// a page 1056 px.
GdxHeader Log() {
    GdxHeader h;
    h.TopDepth = -1000;
    h.BottomDepth = -1600;
    h.DepthUnitsPerInch = 20;
    h.XUnitsPerInch = 100;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.FirstHeaderHeight = -1;
    h.NextHeaderHeight = -1;
    h.FooterHeight = -1;
    return h;
}

TEST(CountPages, FollowsEachLayout) {
    struct Row {
        const char* name;
        std::function<void(GdxHeader&)> change;
        long last_page;
    };
    const Row rows[] = {
        {"one strip with a first header", [](GdxHeader& h) { h.FirstHeaderHeight = 2; }, 2},
        {"one strip cut by a custom length",
         [](GdxHeader& h) {
             h.CustomPageLength = 1;
             h.UnitsPerPage = 100;
         },
         5},
        {"custom length equal to the interval",
         [](GdxHeader& h) {
             h.CustomPageLength = 1;
             h.UnitsPerPage = 600;
         },
         2},
        {"repeated bands, body an exact multiple of the pages",
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             // 2088 px: page 1 holds 1056, page 2 1032 below the repeated header's gap.
             h.BottomDepth = -1435;
         },
         1},
        {"repeated bands with a continuation header",
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.FirstHeaderHeight = 2;
             h.NextHeaderHeight = 1;
             h.FooterHeight = 0.5;
         },
         3},
        {"continuation header, body fits the first page",
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.NextHeaderHeight = 1;
             h.BottomDepth = -1000 - 1056 / 4.8;
         },
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        GdxHeader h = Log();
        row.change(h);
        EXPECT_EQ(CountPages(h, 96), row.last_page);
    }
}

TEST(CountPages, DegenerateHeadersStillGiveAFiniteCount) {
    struct Row {
        const char* name;
        std::function<void(GdxHeader&)> change;
        long last_page;
    };
    const Row rows[] = {
        {"custom length of zero counts as off",
         [](GdxHeader& h) {
             h.CustomPageLength = 1;
             h.UnitsPerPage = 0;
         },
         2},
        {"custom length below one pixel counts as off",
         [](GdxHeader& h) {
             h.CustomPageLength = 1;
             h.UnitsPerPage = 1e-9;
         },
         2},
        {"a log that never got an extent",
         [](GdxHeader& h) {
             h.TopDepth = -1e27;
             h.BottomDepth = 1e27;
             h.CustomPageLength = 1;
             h.UnitsPerPage = 1;
         },
         2147483646},
        {"bands taller than the page",
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.FirstHeaderHeight = 50;
         },
         2879},  // one usable pixel per page: 2880 pages
        {"page shorter than a pixel", [](GdxHeader& h) { h.PageHeight = 1e-6; }, 2879},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        GdxHeader h = Log();
        row.change(h);
        EXPECT_EQ(CountPages(h, 96), row.last_page);
    }
}

}  // namespace
}  // namespace cindral

namespace cindral {
namespace {

// At 100 dpi and 100 depth units per inch one depth unit is one pixel; an 11-inch page is
// 1100 px. Bodies are given in pixels.
GdxHeader PixelLog(double body) {
    GdxHeader h;
    h.TopDepth = 0;
    h.BottomDepth = -body;
    h.DepthUnitsPerInch = 100;
    h.XUnitsPerInch = 100;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.FirstHeaderHeight = -1;
    h.NextHeaderHeight = -1;
    h.FooterHeight = -1;
    return h;
}

struct BoundaryRow {
    const char* name;
    double body;
    std::function<void(GdxHeader&)> change;
    long last_page;
};

void Strip(GdxHeader&) {}
void Bands(GdxHeader& h) {
    h.FirstHeaderHeight = 1;  // 110 px with the gap
    h.FooterHeight = 0.5;     // 60 px with the gap
    h.BandGap = 0.1;
}
void CustomStrip(GdxHeader& h) {
    h.CustomPageLength = 1;
    h.UnitsPerPage = 300;
}
void Repeat(GdxHeader& h) {
    h.RepeatBands = 1;
}
void RepeatCustom(GdxHeader& h) {
    h.RepeatBands = 1;
    h.CustomPageLength = 1;
    h.UnitsPerPage = 500;
}
void Continuation(GdxHeader& h) {
    h.RepeatBands = 1;
    h.FirstHeaderHeight = 2;  // first page holds 900 px of body
    h.NextHeaderHeight = 1;   // later pages 1000 px
}

TEST(CountPages, BoundariesOfEveryLayout) {
    const BoundaryRow rows[] = {
        {"strip: exactly one page", 1100, Strip, 0},
        {"strip: half a pixel over still fits", 1100.5, Strip, 0},
        {"strip: exactly two pages", 2200, Strip, 1},
        {"strip: empty interval", 0, Strip, 0},
        // The footer follows the log's end 0.25 in (25 px) lower: 110 + 915 + 25 + 50 rows.
        {"strip with bands: fits", 915, Bands, 0},
        {"strip with bands: one pixel over", 916, Bands, 1},
        {"custom: length equals interval", 300, CustomStrip, 0},
        {"custom: one unit more", 301, CustomStrip, 1},
        {"custom: exactly two pages", 600, CustomStrip, 1},
        {"custom: just over two pages", 601, CustomStrip, 2},
        {"custom off: the length is ignored", 5000,
         [](GdxHeader& h) {
             h.CustomPageLength = 0;
             h.UnitsPerPage = 10;
         },
         4},
        // Later pages repeat the (empty) first header with the settings' 0.25 in gap: 1075 px.
        {"repeat: one page", 1100, Repeat, 0},
        {"repeat: exact multiple is not one more", 1100 + 2 * 1075, Repeat, 2},
        {"repeat: one pixel over", 1100 + 2 * 1075 + 1, Repeat, 3},
        {"repeat: half a pixel over still fits", 1100.5, Repeat, 0},
        {"repeat: long log keeps its tail", 1100 + 999 * 1075 + 499, Repeat, 1000},
        {"repeat: custom shorter than the page", 1000, RepeatCustom, 1},
        // A custom page taller than the data window is cut to it, so no depth falls between
        // pages: 5000 px in pages of 1075.
        {"repeat: custom longer than the page is cut to the page", 5000,
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.CustomPageLength = 1;
             h.UnitsPerPage = 1500;
         },
         4},
        {"continuation: fits the first page", 900, Continuation, 0},
        {"continuation: half a pixel over still fits", 900.5, Continuation, 0},
        {"continuation: one pixel over", 901, Continuation, 1},
        {"continuation: exactly two pages", 1900, Continuation, 1},
        {"continuation: just over two pages", 1901, Continuation, 2},
        {"zero-height continuation header is no band", 1050 + 2 * 1075,
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.NextHeaderHeight = 0;
             h.BandGap = 0.5;
         },
         2},
    };
    for (const BoundaryRow& row : rows) {
        SCOPED_TRACE(row.name);
        GdxHeader h = PixelLog(row.body);
        row.change(h);
        EXPECT_EQ(CountPages(h, 100), row.last_page);
    }
}

TEST(CountPages, IntervalDirectionDoesNotMatter) {
    GdxHeader h = PixelLog(2500);
    std::swap(h.TopDepth, h.BottomDepth);
    EXPECT_EQ(CountPages(h, 100), 2);
}

TEST(Paginate, GivesPageSizeAndFooterFlag) {
    GdxHeader h = PixelLog(100);
    h.PageWidth = 8.504;
    PageLayout layout = Paginate(h, 100);
    EXPECT_EQ(layout.PageHeightPx, 1100);
    EXPECT_EQ(layout.PageWidthPx, 850);
    EXPECT_FALSE(layout.HasFooter);
    h.FooterHeight = 0;
    EXPECT_TRUE(Paginate(h, 100).HasFooter);
}

TEST(CountPages, ScreenResolutionScalesTheCount) {
    // The same log counted at twice the resolution keeps its page count.
    GdxHeader h = PixelLog(5000);
    h.FirstHeaderHeight = 1;
    EXPECT_EQ(CountPages(h, 100), CountPages(h, 200));
}

}  // namespace
}  // namespace cindral

namespace cindral {
namespace {

// The page count and the page geometry come from the same band heights: over every layout,
// consecutive data windows meet row for row, page 1 starts at the top of the interval, the
// last page's window reaches its bottom, and the page before the last does not.
TEST(PageLayout, CountAndGeometryAgreeOnEveryLayout) {
    struct Row {
        const char* name;
        std::function<void(GdxHeader&)> change;
    };
    const Row rows[] = {
        {"one strip", [](GdxHeader&) {}},
        {"one strip with header and footer",
         [](GdxHeader& h) {
             h.FirstHeaderHeight = 1.5;
             h.FooterHeight = 0.7;
             h.BandGap = 0.1;
         }},
        {"one strip ending just above a page bottom, footer on a page of its own",
         [](GdxHeader& h) {
             h.FirstHeaderHeight = 1.5;
             h.FooterHeight = 0.7;
             h.BandGap = 0.1;
             h.BottomDepth = h.TopDepth - (902 + 1056 - 10) / 4.8;
         }},
        {"repeated bands, first header repeated",
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.FirstHeaderHeight = 1.2;
             h.FooterHeight = 0.4;
             h.BandGap = 0.05;
         }},
        {"repeated bands with a continuation header",
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.FirstHeaderHeight = 2;
             h.NextHeaderHeight = 0.6;
             h.FooterHeight = 0.4;
             h.BandGap = 0.1;
         }},
        {"custom page length, one strip",
         [](GdxHeader& h) {
             h.CustomPageLength = 1;
             h.UnitsPerPage = 73;
         }},
        {"custom page length, repeated bands",
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.FirstHeaderHeight = 1;
             h.FooterHeight = 0.5;
             h.CustomPageLength = 1;
             h.UnitsPerPage = 120;
         }},
        {"custom page longer than the page",
         [](GdxHeader& h) {
             h.CustomPageLength = 1;
             h.UnitsPerPage = 2000;
         }},
        {"narrowed interval",
         [](GdxHeader& h) {
             h.FirstHeaderHeight = 1;
             h.TopDepth = -1033.3;
             h.BottomDepth = -1421.7;
         }},
    };
    for (const Row& row : rows) {
        for (double ppi : {96.0, 300.0}) {
            SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(int(ppi)));
            GdxHeader h = Log();
            row.change(h);
            PagingInput paging;
            paging.PixelsPerInch = ppi;
            const PageLayout layout = Paginate(h, paging);
            ASSERT_GE(layout.LastPage, 1);
            const double scale = ppi / h.DepthUnitsPerInch;
            // Fractional row of the interval's bottom on a page of origin `origin`.
            auto bottom_row = [&](const PageGeometry& g) {
                return double(g.DepthOriginPx) + (h.TopDepth - h.BottomDepth) * scale;
            };
            const PageScale page_scale = PageScaleAt(h, int(ppi), int(ppi));
            ASSERT_EQ(page_scale.DepthScale, scale);
            ASSERT_EQ(page_scale.PageHeightPx, layout.PageHeightPx);
            auto geometry = [&](int page) {
                return GeometryOfPage(h, page_scale, page, int(layout.LastPage));
            };
            const PageGeometry first = geometry(0);
            EXPECT_EQ(first.DepthOriginPx, first.DataTopPx);
            for (int page = 0; page < layout.LastPage; ++page) {
                const PageGeometry g = geometry(page);
                const PageGeometry next = geometry(page + 1);
                // Log rows from the top of the interval: where this window ends, the next begins.
                EXPECT_EQ(g.DataBottomPx - g.DepthOriginPx, next.DataTopPx - next.DepthOriginPx)
                    << "page " << page;
                EXPECT_GE(g.DataTopPx, 0);
                EXPECT_LE(g.DataBottomPx, layout.PageHeightPx) << "page " << page;
            }
            // The page before the last cannot hold the bottom (with the footer that follows it
            // in one strip); the last page holds both.
            const bool custom = h.CustomPageLength == 1;
            const double tail = h.FooterHeight >= 0 && !h.RepeatBands && !custom
                                    ? std::ceil(0.25 * ppi) + std::lround(h.FooterHeight * ppi)
                                    : 0.0;
            const PageGeometry before_last = geometry(int(layout.LastPage) - 1);
            EXPECT_LT(before_last.DataBottomPx + 0.5, bottom_row(before_last) + tail);
            const PageGeometry last = geometry(int(layout.LastPage));
            EXPECT_LE(bottom_row(last), double(layout.PageHeightPx) + 0.5);
            if (last.HasFooter && !h.RepeatBands) {
                EXPECT_LE(last.FooterTopPx + std::lround(h.FooterHeight * ppi),
                          layout.PageHeightPx);
            }
        }
    }
}

// A depth lands on the nearest row: within four tenths of a row of a row's own depth it
// stays on that row, six tenths away it moves to the neighbour, on either side, at any
// scale and origin; and a row's depth maps back to the row.
TEST(DepthRows, ADepthLandsOnTheNearestRow) {
    const double scales[] = {1, 0.37, 2.5, 96.0 / 50, 300.0 / 7};
    const int64_t origins[] = {0, 57, -123456};
    for (double scale : scales) {
        for (int64_t origin : origins) {
            SCOPED_TRACE(::testing::Message() << "scale " << scale << " origin " << origin);
            const double top = 1234.5;
            for (int row = -40; row <= 40; row += 7) {
                const double at = RowToDepth(row, top, origin, scale);
                const double row_depth = 1 / scale;  // depth units per row
                EXPECT_EQ(DepthToRow(at, top, origin, scale, 1 << 30), row);
                EXPECT_EQ(DepthToRow(at + 0.4 * row_depth, top, origin, scale, 1 << 30), row);
                EXPECT_EQ(DepthToRow(at - 0.4 * row_depth, top, origin, scale, 1 << 30), row);
                EXPECT_EQ(DepthToRow(at + 0.6 * row_depth, top, origin, scale, 1 << 30), row - 1);
                EXPECT_EQ(DepthToRow(at - 0.6 * row_depth, top, origin, scale, 1 << 30), row + 1);
            }
        }
    }
}

}  // namespace
}  // namespace cindral
