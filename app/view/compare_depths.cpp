#include "app/view/compare_depths.h"

#include <algorithm>

#include "app/dialogs/goto_depth_dialog.h"
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
    if (view.LastPage() < 0) return std::nullopt;
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
    place.page = PageHolding(view, value, elevation);
    place.row = RowOfValue(view, place.page, value, elevation);
    return place;
}

}  // namespace cindral::app
