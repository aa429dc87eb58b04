#pragma once
// Opens a log as the viewer does and draws its first two and its last page with the raster
// renderer onto real Qt bitmaps. The raster fuzz target runs it on every input; the
// regression test runs it on the inputs the fuzzer once failed on. A refused log raises
// CindralError. Qt must be running.

#include <QImage>
#include <cstdint>
#include <string>

#include "render/canvas/qt_canvas.h"
#include "render/document/log_document.h"

namespace cindral::fuzz {

// The screen's resolution made small, so that a page is a small bitmap and many inputs run a
// second, and a printer's, where pens, dots and fonts take their fine-device forms.
constexpr int kDrawPixelsPerInch[] = {24, 300};

// Returns the pages drawn.
inline int DrawLogPages(const std::string& path, const std::string& patterns,
                        const std::string& symbols, bool text_line_option, int pixels_per_inch) {
    // A page larger than this is drawn onto a small bitmap instead of one of its own, so
    // coordinates far outside the bitmap are still drawn (and clipped) without a huge
    // allocation per input.
    constexpr int64_t kMostPagePixels = int64_t(1) << 20;
    LogDocumentOptions options;
    options.files.pattern_file = patterns;
    options.files.symbol_file = symbols;
    options.settings.TextLineOption = text_line_option;
    LogDocument document(path, options, pixels_per_inch);
    const int last = document.LastPage();
    const int64_t width = document.Layout().PageWidthPx;
    const int64_t height = document.Layout().PageHeightPx;
    const bool own_bitmap = width > 0 && height > 0 && width * height <= kMostPagePixels;
    int drawn = 0;
    for (int page : {0, 1, last}) {
        if (page > last || (page == last && last <= 1)) continue;
        if (own_bitmap) {
            document.RenderPage(page);
        } else {
            QImage image(256, 256, QImage::Format_RGB32);
            image.fill(Qt::white);
            QtCanvas canvas(&image);
            document.DrawPage(page, canvas);
            canvas.Finish();
        }
        ++drawn;
    }
    return drawn;
}

}  // namespace cindral::fuzz
