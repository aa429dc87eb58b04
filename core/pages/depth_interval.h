#pragma once
// The checks a chosen depth interval passes before pages are laid out over it, with the
// warnings the user is shown. The interval dialog and `--interval` of the CLI share them.

#include <string>

#include "core/pages/depth_sign.h"

namespace cindral {

enum class IntervalProblem { None, StartNotAboveEnd, StartAboveTop, EndBelowBase };

struct IntervalCheck {
    IntervalProblem problem = IntervalProblem::None;
    std::string message;  // empty when the interval is accepted
};

// `start` and `end` against the log's own `top` and `base`, all in the file's numbers; a
// millionth of slack lets a value typed with six decimals match a limit that has more. The
// message names the depths as `shown`.
IntervalCheck CheckInterval(double start, double end, double top, double base,
                            const DepthSign& shown = {});

// "%g" of `value`, as the warnings print depths.
std::string FormatG(double value);

}  // namespace cindral
