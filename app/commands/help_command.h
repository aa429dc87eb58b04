#pragma once
// The Help menu's commands: the user guide at its contents or its index, and the about box.

#include "app/commands/command_context.h"

namespace cindral {
struct DisplayOptions;
}

namespace cindral::app {

void Contents1Click(const CommandContext& context);
void Index1Click(const CommandContext& context);
// `options` is the process's options record (its beta flag may be cleared); null for a
// window made without one, whose about box then changes nothing that is kept.
void AboutCindral1Click(const CommandContext& context, DisplayOptions* options);

}  // namespace cindral::app
