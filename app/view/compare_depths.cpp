#include "app/view/compare_depths.h"

#include <algorithm>

#include "render/document/log_document.h"

namespace cindral::app {

QString ReachNote(LogReach reach) {
    switch (reach) {
        case LogReach::AboveTop:
            return "Above the top of this log";
        case LogReach::BelowBase:
            return "Below the base of this log";
        case LogReach::Inside:
            break;
    }
    return {};
}

// Depth is linear in the row on a page, so two rows give every other one, fractions too.
double ValueAtRow(const LogDocument& view, int page, double row, bool elevation) {
    const double first = view.DepthAt(page, 0, elevation);
    const double step = view.DepthAt(page, 1, elevation) - first;
    return first + step * row;
}

double RowOfValue(const LogDocument& view, int page, double value, bool elevation) {
    const double first = view.DepthAt(page, 0, elevation);
    const double step = view.DepthAt(page, 1, elevation) - first;
    return step == 0 ? 0 : (value - first) / step;
}

std::optional<ValuePlace> PlaceOfValue(const LogDocument& view, double value, bool elevation) {
    const int last = view.LastPage();
    if (last < 0) return std::nullopt;
    const GdxHeader& header = view.Header();
    const double datum = elevation ? header.ElevationDatum : 0;
    // The file's y grows upwards: the top is the greater number.
    const double top = std::max(header.TopDepth, header.BottomDepth) + datum;
    const double base = std::min(header.TopDepth, header.BottomDepth) + datum;
    ValuePlace place;
    if (value > top) {
        place.reach = LogReach::AboveTop;
        value = top;
    } else if (value < base) {
        place.reach = LogReach::BelowBase;
        value = base;
    }
    // Pages go down the log: the page holding the value is the last one whose data window
    // starts at or above it.
    auto page_top = [&](int page) {
        return view.DepthAt(page, view.Geometry(page).DataTopPx, elevation);
    };
    int low = 0;
    int high = last;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (page_top(middle) >= value) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    place.page = low;
    place.row = RowOfValue(view, low, value, elevation);
    return place;
}

}  // namespace cindral::app
