#include "core/pages/depth_interval.h"

#include <cstdio>

namespace cindral {
namespace {

constexpr double kLimitSlack = 0.000001;

}  // namespace

std::string FormatG(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

IntervalCheck CheckInterval(double start, double end, double top, double base,
                            const DepthSign& shown) {
    auto g = [&shown](double depth) { return FormatG(shown.Shown(depth)); };
    if (!(end < start)) {
        // Shown growing downward, the start is the smaller number.
        return {IntervalProblem::StartNotAboveEnd,
                "The Starting Depth (" + g(start) +
                    (shown.Flipped() ? ") must be less than the Ending Depth ("
                                     : ") must be greater than the Ending Depth (") +
                    g(end) + ")"};
    }
    if (start > top + kLimitSlack) {
        return {
            IntervalProblem::StartAboveTop,
            "The Starting Depth (" + g(start) + ") is higher than the log's top (" + g(top) + ")"};
    }
    if (end < base - kLimitSlack) {
        return {IntervalProblem::EndBelowBase,
                "The Ending Depth (" + g(end) + ") is lower than the log's base (" + g(base) + ")"};
    }
    return {};
}

}  // namespace cindral
