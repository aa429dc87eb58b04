#pragma once
// What the renderer takes from the settings record. Every page a log document draws goes
// through here, so the viewer, the CLI and printing follow the same settings.

#include "render/renderers/logp_object.h"

namespace cindral {

struct Settings;

// What the renderer follows from the settings record: black printing, and whether paragraph
// lines are kept inside the data window. (The gap under a repeated header is the page
// arithmetic's, in PagingInput and GeometryOfPage.)
RenderOptions RenderOptionsOf(const Settings& settings);

}  // namespace cindral
