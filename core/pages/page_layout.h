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

// What the arithmetic needs besides the header.
struct PagingInput {
    double PixelsPerInch = kScreenPixelsPerInch;  // vertical resolution
    // Gap below a repeated first-page header, and above a footer that follows the end of
    // the log, in inches (a settings value).
    double RepeatedHeaderGap = 0.25;
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

// Where the bands of one page lie, in device rows.
struct PageGeometry {
    int HeaderMode = 0;  // turns from 2 into 1 when the first header is repeated
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
    int PixelsPerInch = 96;
    double DepthScale = 1;  // pixels per depth unit
    int PageHeightPx = 0;
    int CurrentPage = 0;
    int LastPage = -1;
    int HeaderMode = 0;
    double RepeatedHeaderGap = 0.25;
    int CoordLimit = 1073741822;
};

// The header mode a page is drawn with before a repeated first header turns 2 into 1.
int HeaderModeOf(const GdxHeader& header, int page);

PageGeometry ComputePageGeometry(const GdxHeader& header, const PageGeometryInput& input);

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
                              int page_height_px, double depth_scale, int page, int last_page,
                              int margin_rows);

}  // namespace cindral
