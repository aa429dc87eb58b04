#pragma once
// Printing a log onto a paged device: a printer, a PDF file or a print preview. Every print
// path (the Print command, the preview, `cindral-cli print`) goes through PrintPages, so
// what the preview shows is what the printer and the PDF get.
//
// The pages come from a copy of the caller's document laid out at the device's resolution;
// the caller's document, its resolution and its page on screen are never touched, so the
// screen state after a print run is the state before it, whatever happened in between.

#include <QString>
#include <functional>
#include <string>

class QPagedPaintDevice;
class QPdfWriter;

namespace cindral {

class LogDocument;

struct PrintOutcome {
    int pages_printed = 0;
    // The user confirmed a cancel request between pages; the pages before it were printed.
    bool stopped = false;
};

// How a log page meets the sheet: at its own size from the top left of the printable area
// (clipped where it is larger), or reduced or enlarged to the printable area, keeping its
// shape, and centred in it.
enum class PageFit { ActualSize, FitToPage };

// Prints pages `first`..`last` (0-based, inclusive, inside the log) of `document` onto
// `device`, which is open for painting by nobody else. One device page per log page, each
// at the device's resolution and placed as `fit` says. Reports "Printing page N..." before and "
// Done printing page N" after each page, and asks CancelRequested() before each page. A page that
// cannot be drawn raises CindralError after the pages before it are on the device. `progress` (may
// be empty) hears (pages done, pages chosen) after each page.
PrintOutcome PrintPages(const LogDocument& document, QPagedPaintDevice& device, int first, int last,
                        const std::function<void(int, int)>& progress = {},
                        PageFit fit = PageFit::ActualSize);

// The resolution of PDF files we write. 300 dpi: pen widths and hatch tiles are whole device
// pixels, so 1/300 inch is the finest line and a hatch keeps its screen size to within 1%
// (a 96-dpi tile of 8 pixels becomes 24 of 300); coordinates stay small enough that numbers
// in the file are short.
constexpr int kPdfPixelsPerInch = 300;

// Prepares `writer` for the log's pages: the log's page size (no margins), our resolution,
// the title and creator.
void SetUpPdfWriter(QPdfWriter& writer, const LogDocument& document);

// Writes pages `first`..`last` of `document` to the PDF file `path`. The file appears only
// when all pages were written (CindralError otherwise, "Print job aborted." after a cancel,
// with nothing left behind). `progress` as for PrintPages.
void WritePdf(const LogDocument& document, const std::string& path, int first, int last,
              const std::function<void(int, int)>& progress = {});

}  // namespace cindral
