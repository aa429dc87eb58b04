#pragma once
// File > System Files...: the system files dialog on the settings, so that each log opened
// afterwards loads the libraries chosen there.

#include "app/commands/command_context.h"

namespace cindral::app {

void SystemFiles1Click(const CommandContext& context);

}  // namespace cindral::app
