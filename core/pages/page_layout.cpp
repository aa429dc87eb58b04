#include "core/pages/page_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/base/errors.h"
#include "core/pages/rounding.h"

namespace cindral {
namespace {

constexpr double kMostPages = 2147483646.0;
// Longest custom page, in rows: far beyond any page, small enough for 64-bit row sums.
constexpr double kMostCustomRows = double(int64_t(1) << 40);

long ClampLastPage(double last_page) {
    if (!(last_page > -1)) return last_page <= -1 ? -1 : 0;
    if (last_page > kMostPages) return static_cast<long>(kMostPages);
    return static_cast<long>(std::trunc(last_page));
}

double Finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

// A band's rows: far taller than any page can be, yet small enough that the renderer's sums
// and differences of two bands (a gap below a header, a header less its gap) stay in int.
int BandPixels(double v) {
    constexpr int kMostBandPx = 1 << 29;
    return std::clamp(RoundToInt(v), -kMostBandPx, kMostBandPx);
}

}  // namespace

PageBands ComputePageBands(const GdxHeader& h, double ppi, int page_height_px, double depth_scale,
                           double repeated_header_gap) {
    PageBands b;
    b.PageHeightPx = page_height_px;
    b.DepthScale = depth_scale;
    const double H1 = std::max(h.FirstHeaderHeight, 0.0);
    const double H2 = std::max(h.NextHeaderHeight, 0.0);
    const double F = std::max(h.FooterHeight, 0.0);
    const double M = h.BandGap;
    const double G = repeated_header_gap;
    const bool repeat = h.RepeatBands != 0;

    b.BandGapPx = BandPixels(ppi * M);
    b.FirstHeaderBottomPx = BandPixels((H1 + M) * ppi);
    b.FirstHeaderHeightPx = BandPixels(ppi * H1);
    if (repeat && H2 > 0) {
        b.LaterHeader = Band::NextHeader;
        b.LaterHeaderBottomPx = BandPixels((H2 + M) * ppi);
        b.LaterHeaderHeightPx = BandPixels(ppi * H2);
    } else if (repeat) {
        // No header of its own: the first page's header repeats, with the settings' gap.
        b.LaterHeader = Band::FirstHeader;
        b.LaterHeaderBottomPx = BandPixels((H1 + G) * ppi);
        b.LaterHeaderHeightPx = BandPixels(ppi * H1);
    }
    b.FooterWanted = h.FooterHeight >= 0;
    if (b.FooterWanted) {
        b.FooterHeightPx = BandPixels(ppi * F);
        b.FooterBandPx = ClampToInt(int64_t(b.FooterHeightPx) + b.BandGapPx);
        if (!repeat) {
            b.TrailingFooterPx =
                ClampToInt(int64_t(BandPixels(std::ceil(Finite(ppi * G)))) + b.FooterHeightPx);
        }
    }

    const int64_t page = page_height_px;
    const int64_t normal_first =
        std::max<int64_t>(1, page - b.FirstHeaderBottomPx - (repeat ? b.FooterBandPx : 0));
    const int64_t normal_later =
        std::max<int64_t>(1, repeat ? page - b.FooterBandPx - b.LaterHeaderBottomPx : page);

    const double span = Finite(std::fabs(h.TopDepth - h.BottomDepth));
    b.BodyRows = Finite(span * depth_scale);
    // A page length shorter than one row would give pages without rows; it counts as off.
    const double step = h.UnitsPerPage > 0
                            ? std::trunc(std::min(h.UnitsPerPage * depth_scale, kMostCustomRows))
                            : 0;
    b.CustomPages = h.CustomPageLength == 1 && step >= 1 && span > h.UnitsPerPage;
    if (b.CustomPages) {
        // A custom page longer than the page's data window would hide the rows past its
        // bottom on every page; it is cut to what every page can show.
        const int64_t rows = std::min({static_cast<int64_t>(step), normal_first, normal_later});
        b.FirstRows = rows;
        b.LaterRows = rows;
    } else {
        b.FirstRows = normal_first;
        b.LaterRows = normal_later;
    }
    return b;
}

namespace {

// Whole device pixels of `inches`, held inside the page-count range.
int PagePixels(double ppi, double inches) {
    return static_cast<int>(
        std::clamp(Finite(std::nearbyint(ppi * inches)), -kMostPages, kMostPages));
}

// The bands of `h` at the input's resolution, on a page of at least one row.
PageBands BandsAt(const GdxHeader& h, const PagingInput& in) {
    const double ppi = in.PixelsPerInch;
    const double depth_scale = h.DepthUnitsPerInch > 0 ? ppi / h.DepthUnitsPerInch : 0;
    return ComputePageBands(h, ppi, std::max(PagePixels(ppi, h.PageHeight), 1), depth_scale,
                            in.RepeatedHeaderGap);
}

}  // namespace

PageLayout Paginate(const GdxHeader& h, const PagingInput& in) {
    PageLayout layout;
    layout.PageHeightPx = PagePixels(in.PixelsPerInch, h.PageHeight);
    layout.PageWidthPx = PagePixels(in.PixelsPerInch, h.PageWidth);
    layout.HasFooter = h.FooterHeight >= 0;
    const PageBands b = BandsAt(h, in);
    // Rows the pages must hold: the interval, and in one strip the footer after its end.
    const double need = b.BodyRows + (b.CustomPages ? 0 : b.TrailingFooterPx);
    // Within half a row the interval fits: a body of exactly n pages does not start page n + 1.
    const double beyond_first = need - 0.5 - double(b.FirstRows);
    layout.LastPage =
        beyond_first > 0 ? ClampLastPage(std::ceil(beyond_first / double(b.LaterRows))) : 0;
    return layout;
}

double LongestPageLength(const GdxHeader& h, const PagingInput& in) {
    if (!(h.DepthUnitsPerInch > 0) || !(in.PixelsPerInch > 0)) return 0;
    GdxHeader by_page_size = h;
    by_page_size.CustomPageLength = 0;
    const PageBands b = BandsAt(by_page_size, in);
    return double(std::min(b.FirstRows, b.LaterRows)) / b.DepthScale;
}

PageLayout Paginate(const GdxHeader& header, double pixels_per_inch) {
    PagingInput in;
    in.PixelsPerInch = pixels_per_inch;
    return Paginate(header, in);
}

long CountPages(const GdxHeader& header, double pixels_per_inch) {
    return Paginate(header, pixels_per_inch).LastPage;
}

Band HeaderModeOf(const GdxHeader& header, int page) {
    if (page == 0) return Band::FirstHeader;
    return header.RepeatBands ? Band::NextHeader : Band::None;
}

PageScale PageScaleAt(const GdxHeader& h, int ppi_x, int ppi_y) {
    PageScale s;
    s.PixelsPerInch = ppi_y;
    s.XScale = h.XUnitsPerInch > 0 ? ppi_x / h.XUnitsPerInch : 0;
    s.DepthScale = h.DepthUnitsPerInch > 0 ? ppi_y / h.DepthUnitsPerInch : 0;
    s.PageHeightPx = PagePixels(ppi_y, h.PageHeight);
    s.PageWidthPx = PagePixels(ppi_x, h.PageWidth);
    return s;
}

PageScale DrawablePageScale(const GdxHeader& h, int ppi_x, int ppi_y) {
    if (ppi_x <= 0 || ppi_y <= 0) {
        throw CindralError("The resolution must be at least one pixel per inch.");
    }
    const double height = ppi_y * h.PageHeight;
    const double width = ppi_x * h.PageWidth;
    constexpr double kMost = kMostDrawnPageSidePx;
    if (!(height >= 0 && height <= kMost && width >= 0 && width <= kMost)) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "The page of %g x %g inches is too large to draw at %d pixels per inch.",
                      h.PageWidth, h.PageHeight, ppi_y);
        throw CindralError(text);
    }
    return PageScaleAt(h, ppi_x, ppi_y);
}

int DepthToRow(double depth, double top_depth, int64_t origin_px, double depth_scale, int limit) {
    const double offset = (top_depth - depth) * depth_scale;
    double row = static_cast<double>(origin_px) + std::nearbyint(offset);
    if (!(row == row)) row = 0;  // NaN from a broken command lands on the top row
    return static_cast<int>(std::clamp(row, -static_cast<double>(limit), double(limit)));
}

double RowToDepth(int row, double top_depth, int64_t origin_px, double depth_scale) {
    if (depth_scale == 0) return top_depth;
    return top_depth - double(int64_t(row) - origin_px) / depth_scale;
}

PageGeometry ComputePageGeometry(const GdxHeader& h, const PageGeometryInput& in) {
    const PageScale& s = in.Scale;
    const PageBands b =
        ComputePageBands(h, s.PixelsPerInch, s.PageHeightPx, s.DepthScale, in.RepeatedHeaderGap);
    PageGeometry g;
    static_cast<PageScale&>(g) = s;
    g.Page = in.CurrentPage;
    g.LastPage = in.LastPage;
    g.HeaderMode = in.HeaderMode;
    g.BandGapPx = b.BandGapPx;

    if (b.FooterWanted && (h.RepeatBands || in.CurrentPage == in.LastPage)) {
        g.HasFooter = true;
        g.FooterTopPx = ClampToInt(int64_t(s.PageHeightPx) - b.FooterHeightPx);
    } else {
        g.FooterTopPx = s.PageHeightPx;
    }

    switch (in.HeaderMode) {
        case Band::FirstHeader:
            g.HeaderBottomPx = b.FirstHeaderBottomPx;
            g.HeaderHeightPx = b.FirstHeaderHeightPx;
            break;
        case Band::NextHeader:
            g.HeaderBottomPx = b.LaterHeaderBottomPx;
            g.HeaderHeightPx = b.LaterHeaderHeightPx;
            // A repeated first header draws the graphics of the first header's band.
            if (b.LaterHeader == Band::FirstHeader) g.HeaderMode = Band::FirstHeader;
            break;
        default:
            break;
    }
    g.DataTopPx = g.HeaderBottomPx;
    g.FirstHeightPx = b.FirstRows;
    g.LaterHeightPx = b.LaterRows;
    if (b.CustomPages) {
        g.DataBottomPx = ClampToInt(int64_t(g.DataTopPx) + b.FirstRows);
    } else {
        g.DataBottomPx =
            h.RepeatBands ? ClampToInt(int64_t(s.PageHeightPx) - b.FooterBandPx) : s.PageHeightPx;
    }

    if (in.CurrentPage <= 0) {
        g.DepthOriginPx = g.HeaderBottomPx;
    } else {
        // Rows per page come from the header and may be huge; a page far down such a log
        // puts its origin beyond any row, not around the 64-bit range.
        const double origin = double(g.HeaderBottomPx) -
                              double(in.CurrentPage - 1) * double(b.LaterRows) -
                              double(b.FirstRows);
        constexpr double kFarthest = 4.0e18;
        g.DepthOriginPx = static_cast<int64_t>(std::clamp(origin, -kFarthest, kFarthest));
    }

    if (in.CurrentPage >= in.LastPage) {
        // The last page ends at the log's end.
        g.DataBottomPx =
            DepthToRow(h.BottomDepth, h.TopDepth, g.DepthOriginPx, s.DepthScale, kCoordLimit);
        if (!h.RepeatBands && g.HasFooter) {
            // The footer follows the end of the log instead of sitting at the page bottom.
            g.FooterTopPx =
                ClampToInt(int64_t(b.TrailingFooterPx - b.FooterHeightPx) + g.DataBottomPx);
            // When the log ends too low on the page before for the footer to follow it there,
            // this page holds the footer alone: whole, from its top, not cut by the page edge.
            g.FooterTopPx = std::max(g.FooterTopPx, g.DataTopPx);
        }
    }
    return g;
}

PageGeometry GeometryOfPage(const GdxHeader& header, const PageScale& scale, int page,
                            int last_page, double repeated_header_gap) {
    PageGeometryInput in;
    in.Scale = scale;
    in.CurrentPage = page;
    in.LastPage = last_page;
    in.HeaderMode = HeaderModeOf(header, page);
    in.RepeatedHeaderGap = repeated_header_gap;
    return ComputePageGeometry(header, in);
}

PageDepthWindow DepthWindowOf(const GdxHeader& h, const PageGeometry& g, int margin_rows) {
    const double depth_scale = g.DepthScale;
    const int page = g.Page;
    constexpr double kEndless = std::numeric_limits<double>::infinity();
    if (!(depth_scale > 0)) return {kEndless, -kEndless};
    PageDepthWindow w;
    // Row r of the page shows depth TopDepth - (r - origin) / scale.
    const double origin = double(g.DepthOriginPx);
    w.top = page <= 0 ? kEndless : h.TopDepth + (origin + margin_rows) / depth_scale;
    w.bottom = page >= g.LastPage
                   ? -kEndless
                   : h.TopDepth - (double(g.PageHeightPx) + margin_rows - origin) / depth_scale;
    return w;
}

}  // namespace cindral
