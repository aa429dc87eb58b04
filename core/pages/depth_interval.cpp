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

IntervalCheck CheckInterval(double start, double end, double top, double base) {
    if (!(end < start)) {
        return {IntervalProblem::StartNotAboveEnd, "The Starting Depth (" + FormatG(start) +
                                                       ") must be greater than the Ending Depth (" +
                                                       FormatG(end) + ")"};
    }
    if (start > top + kLimitSlack) {
        return {IntervalProblem::StartAboveTop, "The Starting Depth (" + FormatG(start) +
                                                    ") is higher than the log's top (" +
                                                    FormatG(top) + ")"};
    }
    if (end < base - kLimitSlack) {
        return {IntervalProblem::EndBelowBase, "The Ending Depth (" + FormatG(end) +
                                                   ") is lower than the log's base (" +
                                                   FormatG(base) + ")"};
    }
    return {};
}

}  // namespace cindral
