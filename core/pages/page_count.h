#pragma once
// Pagination: how many pages the current depth interval of a log spans at a resolution, and
// the page size in pixels. The viewer, the printer path and cindral-cli all count with this,
// so the page panel, a print run and `cindral-cli info` always agree.

#include "core/format/gdx_header.h"

namespace cindral {

// Pages are counted at this resolution unless another is asked for.
constexpr double kScreenPixelsPerInch = 96.0;

struct PageLayout {
    // Index of the last page (page count - 1); -1 when the log has no page.
    long LastPage = -1;
    int PageHeightPx = 0;
    int PageWidthPx = 0;
    // The header asks for a footer band (FooterHeight zero or more).
    bool HasFooter = false;
};

// Lays `header`'s interval out on pages at `pixels_per_inch`. Handles every band layout:
// one strip (header on the first page only), repeated bands without and with a continuation
// header, and a custom page length in depth units.
//
// Never loops over pages and never divides by zero: a custom page length shorter than one
// pixel (zero or negative included) counts as off, a page or usable page height below one
// pixel counts as one pixel, and counts are held below 2^31.
PageLayout Paginate(const GdxHeader& header, double pixels_per_inch);

// The last page index of Paginate().
long CountPages(const GdxHeader& header, double pixels_per_inch);

}  // namespace cindral
