#pragma once
// Printing as the main window offers it: File > Print (Ctrl+P, the toolbar button) and
// File > Print Preview, the printer's orientation and page, and the page size the viewer
// falls back to when there is no printer. The pages themselves come from PrintPages, the
// routine `cindral-cli print` writes PDF files with, drawn on a copy of the open document at
// the printer's resolution: the window's document and its page on screen stay untouched.

#include <QString>
#include <cstdint>
#include <string>

class QMenu;
class QPrinter;

namespace cindral {
struct Settings;
}

namespace cindral::app {

class TCindralFrm;

// The printer `window` prints with, kept with the window so its choices persist between
// commands.
QPrinter& WindowPrinter(TCindralFrm& window);

// Makes `printer` use `orientation` (0 portrait, 1 landscape). Raises CindralError naming
// the printer when the printer does not take it.
void SetPrinterOrientation(QPrinter& printer, uint8_t orientation);

// The printable area of `printer` in inches and its resolution.
struct PrinterPage {
    int dpi_x = 0;
    int dpi_y = 0;
    double width = 0;
    double height = 0;
};
// The printer's printable area; with no printer installed, the default page of `settings`.
PrinterPage ReadPrinterPage(QPrinter& printer, const Settings& settings);

struct DefaultPrinterPage {
    std::string name;
    double physical_width = 0;
    double physical_height = 0;
    double printable_width = 0;
    double printable_height = 0;
};
// Describes `printer` in inches; true when a printer is installed. With none, warns the
// user and gives "No Printer Selected", 8.5 x 11.0 physical and 8.0 x 10.5 printable.
bool GetDefaultPrinterPage(QPrinter& printer, DefaultPrinterPage& page);

// "Cindral 2003 - " and the file's name without its folder, at most 127 characters.
QString PrintJobTitle(const std::string& file_name);

// The question asked when the log page is larger than the printer page by more than 0.01
// inch either way; empty when it fits.
std::string ClippingQuestion(double page_height, double page_width, const PrinterPage& printer);

// The print command: range, orientation, clipping question, print dialog, then the job.
void Print1Click(TCindralFrm& window);

// Prints pages `first`..`last` (0-based) of the window's log on `printer`, after the print
// dialog: the window is disabled meanwhile, Cancel in the status window stops before the
// next page and "Print job aborted." follows. False when the run was stopped or failed (the
// failure is shown). The screen state afterwards is the state before.
bool RunPrintJob(TCindralFrm& window, QPrinter& printer, int first, int last);

// File > Print Preview: the print preview dialog drawing through the same routine.
void PrintPreview1Click(TCindralFrm& window);

// Connects the window's Print action and adds Print Preview to `file_menu` (after Print).
void AddPrintCommands(TCindralFrm& window, QMenu* file_menu);

}  // namespace cindral::app
