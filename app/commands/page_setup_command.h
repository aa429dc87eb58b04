#pragma once
// The printer steps of sizing the view when a log is opened: the printer takes the settings'
// orientation, its page is read, and when the log's page differs from it by more than 0.01
// inch the user is asked whether to adjust the log's page size; Yes opens the page setup,
// whose confirmed size is written into the log file.

#include "app/commands/command_context.h"

namespace cindral::app {

// Only asked while a printer is installed.
void CheckPrinterPage(const CommandContext& context);

// File > Printer Page Setup: the paper, orientation and margins of the window's printer,
// starting from the open log's paper. What it confirms is what Print and Print Preview use
// for the rest of the session; the log's own page size is not touched.
void PrinterPageSetup1Click(const CommandContext& context);

}  // namespace cindral::app
