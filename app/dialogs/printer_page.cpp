#include "app/dialogs/printer_page.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>

#include "core/base/errors.h"
#include "core/environment/settings.h"
#include "core/environment/ui.h"

namespace cindral::app {

bool HasPrinter() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void SetPrinterOrientation(QPrinter& printer, uint8_t orientation) {
    const QPageLayout::Orientation wanted =
        orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (printer.pageLayout().orientation() == wanted) return;
    if (!printer.setPageOrientation(wanted) || printer.pageLayout().orientation() != wanted) {
        const int index =
            static_cast<int>(QPrinterInfo::availablePrinterNames().indexOf(printer.printerName()));
        char text[512];
        std::snprintf(text, sizeof text, "%s - setting printer orientation for printer index=%d",
                      "The printer does not take the orientation", index);
        throw CindralError(text);
    }
}

PrinterPage ReadPrinterPage(QPrinter& printer, const Settings& settings) {
    PrinterPage page;
    page.dpi_x = printer.logicalDpiX();
    page.dpi_y = printer.logicalDpiY();
    if (!HasPrinter()) {
        page.width = settings.DefaultPageWidth;
        page.height = settings.DefaultPageLength;
        return page;
    }
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    page.width = double(printable.width()) / page.dpi_x;
    page.height = double(printable.height()) / page.dpi_y;
    return page;
}

bool GetDefaultPrinterPage(QPrinter& printer, DefaultPrinterPage& page) {
    if (!HasPrinter()) {
        CurrentUi().ShowMessage(
            MessageKind::Warning, "",
            "No default printer is selected or available.\r\nBorneth will use a default page size.",
            Buttons::Ok);
        page.name = "No Printer Selected";
        page.physical_width = 8.5;
        page.physical_height = 11.0;
        page.printable_width = 8.0;
        page.printable_height = 10.5;
        return false;
    }
    const QPageLayout layout = printer.pageLayout();
    const QRectF full = layout.fullRect(QPageLayout::Inch);
    const QRectF paint = layout.paintRect(QPageLayout::Inch);
    page.name = printer.printerName().toStdString();
    page.physical_width = full.width();
    page.physical_height = full.height();
    page.printable_width = paint.width();
    page.printable_height = paint.height();
    return true;
}

}  // namespace cindral::app
