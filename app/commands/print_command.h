#pragma once
// Printing as the main window offers it: File > Print (Ctrl+P, the toolbar button) and
// File > Print Preview. The pages themselves come from PrintPages, the routine
// `cindral-cli print` writes PDF files with, drawn on a copy of the open document at the
// printer's resolution: the window's document and its page on screen stay untouched.

#include <QPrinter>
#include <QString>
#include <string>

#include "app/commands/command_context.h"
#include "app/dialogs/printer_page.h"
#include "render/document/print_pages.h"

class QWidget;

namespace cindral::app {

// The printer the commands on a window print with and the choices kept with it for the
// session (the window's life).
struct PrintSetup {
    QPrinter printer{QPrinter::HighResolution};
    // File > Printer Page Setup chose the paper: it holds instead of the log's own.
    bool paper_chosen = false;
    // Each page reduced or enlarged to the printable area (the print dialog's and the
    // preview's "Fit to page").
    bool fit_to_page = false;
};
PrintSetup& WindowPrintSetup(QWidget& owner);
QPrinter& WindowPrinter(QWidget& owner);

// Puts the open log's paper on `printer`: the standard size its page's inches match either
// way round, else a size of its own, landscape when the page is wider than high; the
// printer's margins stay.
void UseLogPaper(QPrinter& printer, const CommandContext& context);

// The printable area of the paper and margins `printer` has now, in inches, whether or not
// a printer is installed (print to file has a paper too).
PrinterPage ChosenPrinterPage(const QPrinter& printer);

// "Cindral 2003 - " and the file's name without its folder, at most 127 characters.
QString PrintJobTitle(const std::string& file_name);

// The question asked when the log page is larger than the printer page by more than 0.01
// inch either way; empty when it fits.
std::string ClippingQuestion(double page_height, double page_width, const PrinterPage& printer);

// The print command: the print dialog on the log's paper (or the one Printer Page Setup
// chose) with the range, the current page and "Fit to page", then, unless the page is
// fitted, the clipping question against the paper chosen, then the job.
void Print1Click(const CommandContext& context);

// Prints pages `first`..`last` (0-based) of the open log on `printer`, after the print
// dialog: the parent is disabled meanwhile, Cancel in the status window stops before the
// next page and "Print job aborted." follows. False when the run was stopped or failed (the
// failure is shown). The screen state afterwards is the state before.
bool RunPrintJob(const CommandContext& context, QPrinter& printer, int first, int last,
                 PageFit fit = PageFit::ActualSize);

// File > Print Preview: the print preview dialog drawing through the same routine, on the
// paper the print dialog starts on, with "Fit to page" on its toolbar.
void PrintPreview1Click(const CommandContext& context);

}  // namespace cindral::app
