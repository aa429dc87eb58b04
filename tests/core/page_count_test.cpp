#include "core/page_count.h"

#include <gtest/gtest.h>

#include <functional>

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
        {"repeated bands, body an exact multiple of the page",
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.BottomDepth = -1440;  // 2112 px = 2 pages
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
         1920},  // one usable pixel per page: trunc(2880 / 1.5)
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
