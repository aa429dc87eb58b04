#pragma once
// A page count from the header alone, for reports that have no window: how many pages the
// depth interval spans at a resolution. The main window's pagination replaces it.

#include "core/gdx_header.h"

namespace cindral {

// Pages are counted at this resolution unless another is asked for.
constexpr double kScreenPixelsPerInch = 96.0;

// The last page index (page count - 1) of `header` at `pixels_per_inch`; -1 when the log has
// no page. Never loops over pages and never divides by zero: a custom page length of zero or
// less counts as off, and counts are held below 2^31.
long CountPages(const GdxHeader& header, double pixels_per_inch);

}  // namespace cindral
