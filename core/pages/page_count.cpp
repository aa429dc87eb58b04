#include "core/pages/page_count.h"

#include <cmath>

namespace cindral {
namespace {

constexpr double kMostPages = 2147483646.0;

// Pixel sizes are rounded to whole pixels; absurd sizes are held inside the int range.
double RoundedPixels(double v) {
    if (!(v == v)) return 0;
    if (v > kMostPages) return kMostPages;
    if (v < -kMostPages) return -kMostPages;
    return std::nearbyint(v);
}

// A band of `height` inches (negative: none) with the gap added.
double BandPixels(double height, double gap_px, double ppi) {
    return height >= 0 ? RoundedPixels(height * ppi + gap_px) : 0.0;
}

long Clamp(double last_page) {
    if (!(last_page > -1)) return last_page <= -1 ? -1 : 0;
    if (last_page > kMostPages) return static_cast<long>(kMostPages);
    return static_cast<long>(std::trunc(last_page));
}

long LastPage(const GdxHeader& h, double ppi) {
    const double depth_scale = ppi / h.DepthUnitsPerInch;
    const double interval = std::fabs(h.TopDepth - h.BottomDepth);
    const double body = interval * depth_scale;
    double custom = 0;
    if (h.CustomPageLength == 1 && h.UnitsPerPage > 0) {
        custom = std::trunc(std::fmin(h.UnitsPerPage * depth_scale, kMostPages));
    }
    // A custom page shorter than one pixel would cut the log into endless pages.
    const bool custom_on = custom >= 1;
    const double gap = ppi * h.BandGap;
    const double first_header = BandPixels(h.FirstHeaderHeight, gap, ppi);
    // A continuation header of zero height is no band: the renderer then repeats the
    // first-page header, so counting a gap-only band here would disagree with what it draws.
    const double next_header =
        h.NextHeaderHeight > 0 ? BandPixels(h.NextHeaderHeight, gap, ppi) : 0;
    const double footer = BandPixels(h.FooterHeight, gap, ppi);
    const double page = std::fmax(RoundedPixels(ppi * h.PageHeight), 1.0);

    if (h.RepeatBands == 0) {
        if (custom_on && interval > h.UnitsPerPage) {
            // Pages after the first while the rest of the body is longer than a page.
            double rest = body - custom;
            return Clamp(rest > 0 ? std::ceil(rest / custom) : 0);
        }
        return Clamp(std::trunc((first_header + body + footer - 0.5) / page));
    }
    // Usable body height of a page; at least one pixel, so bands taller than the page
    // still give a finite count.
    auto usable = [&](double header) {
        double s = page - header - footer;
        if (custom_on && custom < s) s = custom;
        return std::fmax(s, 1.0);
    };
    if (next_header == 0) {
        // As many pages as hold the body, within half a pixel; a body of exactly n pages
        // does not start an empty page n + 1, and no tail is left past the last page however
        // long the log.
        double s = usable(first_header);
        return Clamp(std::fmax(std::ceil((body - 0.5) / s) - 1, 0.0));
    }
    double rest = body - usable(first_header);
    // Within half a pixel the body fits the first page.
    if (!(rest > 0.5)) return 0;
    double s2 = usable(next_header);
    double last = std::trunc(rest / s2);
    if (rest / s2 > last) last += 1;
    return Clamp(last);
}

}  // namespace

PageLayout Paginate(const GdxHeader& h, double ppi) {
    PageLayout layout;
    layout.PageHeightPx = static_cast<int>(RoundedPixels(ppi * h.PageHeight));
    layout.PageWidthPx = static_cast<int>(RoundedPixels(ppi * h.PageWidth));
    layout.HasFooter = h.FooterHeight >= 0;
    layout.LastPage = LastPage(h, ppi);
    return layout;
}

long CountPages(const GdxHeader& header, double pixels_per_inch) {
    return Paginate(header, pixels_per_inch).LastPage;
}

}  // namespace cindral
