#pragma once
// The page arithmetic of a log: how its depth interval is cut into pages at a resolution,
// and where the bands and the data window of each page lie. The page count, the renderer's
// page geometry, the depth read-out and the page index all come from the band heights
// computed here, so consecutive pages always meet and the count always matches what is drawn.

#include <cstdint>

#include "core/format/gdx_header.h"

namespace cindral {

// Pages are counted at this resolution unless another is asked for.
constexpr double kScreenPixelsPerInch = 96.0;

// No page longer or wider than this many device pixels is drawn, so a position held to it
// still lies off every page, and sums of a few such positions stay in int.
constexpr int kMostPageSidePx = 1 << 28;

// The bands of a page, by the numbers the header mode and the region byte of a command use.
enum class Band : uint8_t { None = 0, FirstHeader = 1, NextHeader = 2, Footer = 3 };
// The band a command's region byte names.
constexpr Band BandOf(uint8_t region) {
    return static_cast<Band>(region);
}

// The settings' gap below a repeated first-page header unless the settings say otherwise.
constexpr double kDefaultRepeatedHeaderGap = 0.25;

// What the arithmetic needs besides the header.
struct PagingInput {
    double PixelsPerInch = kScreenPixelsPerInch;  // vertical resolution
    // Gap below a repeated first-page header, and above a footer that follows the end of
    // the log, in inches (a settings value).
    double RepeatedHeaderGap = kDefaultRepeatedHeaderGap;
};

// Band and body heights in device rows: the single place they are computed.
struct PageBands {
    int PageHeightPx = 0;
    double DepthScale = 0;  // rows per depth unit
    int BandGapPx = 0;
    int FirstHeaderBottomPx = 0;
    int FirstHeaderHeightPx = 0;
    // On later pages: which header band is drawn and where it ends (none in one strip).
    Band LaterHeader = Band::None;
    int LaterHeaderBottomPx = 0;
    int LaterHeaderHeightPx = 0;
    bool FooterWanted = false;  // FooterHeight zero or more
    int FooterHeightPx = 0;
    int FooterBandPx = 0;      // footer plus its gap, taken off every page when bands repeat
    int TrailingFooterPx = 0;  // one strip: rows the footer needs below the log's end
    bool CustomPages = false;  // the custom page length cuts the pages
    // Rows of log on the first page and on each later page; at least 1.
    int64_t FirstRows = 1;
    int64_t LaterRows = 1;
    double BodyRows = 0;  // the whole interval, fractional
};

PageBands ComputePageBands(const GdxHeader& header, double pixels_per_inch, int page_height_px,
                           double depth_scale, double repeated_header_gap);

struct PageLayout {
    // Index of the last page (page count - 1); -1 when the log has no page.
    long LastPage = -1;
    int PageHeightPx = 0;
    int PageWidthPx = 0;
    // The header asks for a footer band (FooterHeight zero or more).
    bool HasFooter = false;
};

// Lays the header's interval out on pages: as many as the data windows of the page geometry
// need to hold the whole interval (within half a row), plus the footer that follows the
// log in one strip. Never loops and never divides by zero; counts stay below 2^31.
PageLayout Paginate(const GdxHeader& header, const PagingInput& input);
PageLayout Paginate(const GdxHeader& header, double pixels_per_inch);

// The longest custom page length, in depth units, whose pages still fit the data window of
// every page; 0 when the scale is unusable.
double LongestPageLength(const GdxHeader& header, const PagingInput& input);

// The last page index of Paginate().
long CountPages(const GdxHeader& header, double pixels_per_inch);

// Rows and columns of a page are held to +-this bound (the device-coordinate limit of the
// platform the renderer reports), far beyond any page side that is drawn.
constexpr int kCoordLimit = 0x3FFFFFFF - 1;
static_assert(kMostPageSidePx < kCoordLimit, "a drawn page lies inside the coordinate bound");

// Largest page side, in device pixels, a page is drawn with: far beyond any real page at
// printer resolution, small enough that row arithmetic and bitmaps stay sane.
constexpr int kMostDrawnPageSidePx = 1 << 20;

// The scale of a log's pages on one device; the same for every page.
struct PageScale {
    int PixelsPerInch = 96;  // vertical resolution
    double XScale = 1;       // device columns per x unit
    double DepthScale = 1;   // device rows per depth unit
    int PageHeightPx = 0;
    int PageWidthPx = 0;
};

// The scale at a device of `pixels_per_inch_x` by `pixels_per_inch_y`. Never throws: sides
// are held inside int, a unit scale of 0 or less gives a scale of 0.
PageScale PageScaleAt(const GdxHeader& header, int pixels_per_inch_x, int pixels_per_inch_y);
// The same for a page that is to be drawn: refuses (CindralError) a resolution below one pixel
// per inch and a page side beyond kMostDrawnPageSidePx.
PageScale DrawablePageScale(const GdxHeader& header, int pixels_per_inch_x, int pixels_per_inch_y);

// Everything a renderer needs to place one page: its scale, which page it is, and where its
// bands, data window and depth origin lie in device rows.
struct PageGeometry : PageScale {
    int Page = 0;
    int LastPage = -1;
    // The band whose graphics the header shows: a repeated first header turns NextHeader
    // into FirstHeader.
    Band HeaderMode = Band::None;
    int BandGapPx = 0;
    int HeaderHeightPx = 0;
    int HeaderBottomPx = 0;
    int DataTopPx = 0;
    int DataBottomPx = 0;
    int FooterTopPx = 0;
    bool HasFooter = false;
    int64_t FirstHeightPx = 0;
    int64_t LaterHeightPx = 0;
    // Row at which TopDepth would lie; far negative on late pages of long logs.
    int64_t DepthOriginPx = 0;
};

struct PageGeometryInput {
    PageScale Scale;
    int CurrentPage = 0;
    int LastPage = -1;
    Band HeaderMode = Band::None;  // as HeaderModeOf gives it for the page
    double RepeatedHeaderGap = kDefaultRepeatedHeaderGap;
};

// The header mode a page is drawn with before a repeated first header turns 2 into 1.
Band HeaderModeOf(const GdxHeader& header, int page);

PageGeometry ComputePageGeometry(const GdxHeader& header, const PageGeometryInput& input);

// Page `page` of a log whose last page is `last_page`, at `scale`: the one place the input of
// ComputePageGeometry is put together (the document, the renderer's tests and the fuzz
// harness all come here).
PageGeometry GeometryOfPage(const GdxHeader& header, const PageScale& scale, int page,
                            int last_page, double repeated_header_gap = kDefaultRepeatedHeaderGap);

// Row of `depth` for an origin and scale, clamped to +-limit. Round half to even.
int DepthToRow(double depth, double top_depth, int64_t origin_px, double depth_scale, int limit);
// Depth at `row`, the inverse of DepthToRow without its rounding; the top depth when the
// scale is 0.
double RowToDepth(int row, double top_depth, int64_t origin_px, double depth_scale);

// The depths the rows of a page reach, top (greater) and bottom, with `margin_rows` more on
// either side. The first page reaches up without end and the last page down without end, so
// nothing above or below the interval is ever left off a page that would show it.
struct PageDepthWindow {
    double top = 0;
    double bottom = 0;
};
PageDepthWindow DepthWindowOf(const GdxHeader& header, const PageGeometry& geometry,
                              int margin_rows);

}  // namespace cindral
