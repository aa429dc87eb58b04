#include "render/renderers/page_renderer.h"

#include <string>

#include "core/environment/errors.h"
#include "core/pages/page_count.h"
#include "core/environment/settings.h"
#include "render/canvas/qt_canvas.h"

namespace cindral {

namespace {

// A page bitmap above this many pixels (1 GB of RGB32) is refused rather than attempted.
constexpr int64_t kMostPagePixels = int64_t(1) << 28;

}  // namespace

void ApplyRenderSettings(logp_object& document, const Settings& settings) {
    document.PrintBlackOption = settings.PrintInBlack;
    document.RepeatedHeaderGap = settings.RepeatedHeaderGap;
    document.KeepParagraphsInside = settings.TextLineOption;
}

QImage RenderPageImage(logp_object& document, int page, int pixels_per_inch) {
    document.SetDeviceResolution(pixels_per_inch, pixels_per_inch);
    if (document.LastPage < 0) {
        const long last = CountPages(document.Header(), pixels_per_inch);
        document.LastPage = static_cast<int>(last);
    }
    const int pages = document.LastPage + 1;
    if (page < 0 || page >= pages) {
        throw CindralError("Page " + std::to_string(int64_t(page) + 1) + " is not in the log (" +
                           std::to_string(pages) + (pages == 1 ? " page)." : " pages)."));
    }
    const int width = document.PageWidthPx;
    const int height = document.PageHeightPx;
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMostPagePixels) {
        throw CindralError("The page of " + std::to_string(width) + " x " + std::to_string(height) +
                           " pixels cannot be drawn.");
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) throw CindralError("Not enough memory for the page bitmap.");
    image.fill(Qt::white);

    QtCanvas canvas(&image);
    struct Unbind {
        logp_object& document;
        ~Unbind() { document.Canvas = nullptr; }
    } unbind{document};
    document.Canvas = &canvas;
    document.SelectPage(page);
    document.PlayCommands();
    canvas.Finish();
    return image;
}

}  // namespace cindral
