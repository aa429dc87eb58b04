#pragma once
// The printer as the page setup dialog and the print commands read it: its orientation, its
// printable area in inches, and the default page the viewer falls back to when there is no
// printer. Beside the dialogs because the page setup dialog shows these readings.

#include <cstdint>
#include <string>

class QPrinter;

namespace cindral {
struct Settings;
}

namespace cindral::app {

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

// Whether any printer is installed.
bool HasPrinter();

}  // namespace cindral::app
