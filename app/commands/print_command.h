#pragma once
// Printing as the main window offers it: File > Print (Ctrl+P, the toolbar button) and
// File > Print Preview. The pages themselves come from PrintPages, the routine
// `cindral-cli print` writes PDF files with, drawn on a copy of the open document at the
// printer's resolution: the window's document and its page on screen stay untouched.

#include <QString>
#include <string>

#include "app/commands/command_context.h"
#include "app/dialogs/printer_page.h"

class QPrinter;
class QWidget;

namespace cindral::app {

// The printer commands on `owner` print with, kept with it so its choices persist between
// commands.
QPrinter& WindowPrinter(QWidget& owner);

// "Cindral 2003 - " and the file's name without its folder, at most 127 characters.
QString PrintJobTitle(const std::string& file_name);

// The question asked when the log page is larger than the printer page by more than 0.01
// inch either way; empty when it fits.
std::string ClippingQuestion(double page_height, double page_width, const PrinterPage& printer);

// The print command: range, orientation, clipping question, print dialog, then the job.
void Print1Click(const CommandContext& context);

// Prints pages `first`..`last` (0-based) of the open log on `printer`, after the print
// dialog: the parent is disabled meanwhile, Cancel in the status window stops before the
// next page and "Print job aborted." follows. False when the run was stopped or failed (the
// failure is shown). The screen state afterwards is the state before.
bool RunPrintJob(const CommandContext& context, QPrinter& printer, int first, int last);

// File > Print Preview: the print preview dialog drawing through the same routine.
void PrintPreview1Click(const CommandContext& context);

}  // namespace cindral::app
