#pragma once
// What the renderer takes from the settings record. Every renderer a log document makes goes
// through here, so the viewer, the CLI and printing follow the same settings.

#include "render/renderers/logp_object.h"

namespace cindral {

struct Settings;

// Copies what the renderer follows from the settings record (black printing, the gap under
// a repeated header, whether paragraph lines are kept inside the data window).
void ApplyRenderSettings(logp_object& document, const Settings& settings);

}  // namespace cindral
