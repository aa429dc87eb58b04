#pragma once
// The picture of one page of a compiled log: what the viewer shows and what
// `cindral-cli render` writes come from this one routine, so they cannot drift apart.

#include <QImage>

#include "render/renderers/logp_object.h"

namespace cindral {

struct Settings;

// Copies what the renderer follows from the settings record (black printing, the gap under
// a repeated header, whether paragraph lines are kept inside the data window).
void ApplyRenderSettings(logp_object& document, const Settings& settings);

// Renders page `page` (0-based) of `document`, whose header has been read, at
// `pixels_per_inch` on a white bitmap of Round(R x PageWidth) x Round(R x PageHeight).
// When the document is not paginated yet (LastPage < 0) it is paginated at that resolution.
// A page outside the log, or a page too large to hold in memory, fails with CindralError;
// errors of the play propagate. The document is left bound to no canvas.
QImage RenderPageImage(logp_object& document, int page, int pixels_per_inch);

}  // namespace cindral
