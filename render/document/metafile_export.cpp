#include "render/document/metafile_export.h"

#include <cmath>
#include <cstdio>

#include "core/base/errors.h"
#include "core/environment/status.h"
#include "render/canvas/wmf_writer.h"
#include "render/document/log_document.h"

namespace cindral {
namespace {

// Larger drawings than this are refused in every format: no log comes near it, and the
// renderer's sums of coordinates stay inside int.
constexpr double kMostUnits = 1 << 30;

int RoundToInt(double v) {
    return static_cast<int>(std::nearbyint(v));
}

}  // namespace

std::string WmfTooLargeMessage(int width, int height) {
    char text[400];
    std::snprintf(text, sizeof text,
                  "The log is too large for a Windows Metafile: its drawing is %d x %d units at "
                  "96 units per inch, and a WMF holds at most 32,767 units each way. Export it "
                  "as an Enhanced Metafile (*.emf) instead, which has no such limit.",
                  width, height);
    return text;
}

MetafileExtent ComputeMetafileExtent(const GdxHeader& h, bool header_option, bool footer_option) {
    if (!(h.DepthUnitsPerInch > 0) || !(h.XUnitsPerInch > 0)) {
        throw CindralError("The log's header gives no units per inch; it cannot be drawn.");
    }
    MetafileExtent e;
    double inches = (h.TopDepth - h.BottomDepth) / h.DepthUnitsPerInch;
    if (header_option && h.FirstHeaderHeight >= 0) {
        inches += h.FirstHeaderHeight + h.BandGap;
        e.header_included = true;
    }
    if (footer_option && h.FooterHeight >= 0) {
        inches += h.FooterHeight + h.BandGap;
        e.footer_included = true;
    }
    const double width = 96 * h.PageWidth, height = 96 * inches;
    if (!(width >= 1 && width <= kMostUnits && height >= 1 && height <= kMostUnits)) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "The log's drawing of %g x %g inches cannot be exported as one picture.",
                      h.PageWidth, inches);
        throw CindralError(text);
    }
    e.width = RoundToInt(width);
    e.height = RoundToInt(height);
    return e;
}

std::unique_ptr<logmf_object> MakeMetafileRenderer(const LogDocument& document,
                                                   const GdxHeader& header) {
    const DocumentSettings& files = document.Options().files;
    auto renderer = std::make_unique<logmf_object>(files.pattern_file, files.symbol_file,
                                                   files.default_page_length);
    std::vector<int64_t> whole_file;
    document.PreparePlay(*renderer, -1, whole_file);
    renderer->Header() = header;
    return renderer;
}

MetafileExportResult ExportMetafile(logmf_object& document, const MetafileExportOptions& options) {
    MetafileExportResult result;
    result.extent = ComputeMetafileExtent(document.Header(), options.header, options.footer);
    if (options.format == MetafileFormat::Wmf &&
        (result.extent.height > kWmfMaxCoordinate || result.extent.width > kWmfMaxCoordinate)) {
        // 16-bit coordinates would wrap or be clamped into a wrong drawing.
        throw CindralError(WmfTooLargeMessage(result.extent.width, result.extent.height));
    }

    // An existing file is replaced only by a whole new one (SaveMetafile writes through a
    // temporary file): a drawing that fails still replaces it with what was drawn, a write
    // that fails leaves it as it was.
    document.Bind(options.format, result.extent);

    struct Closing {
        const std::string& name;
        ~Closing() { HideStatus(); }
    };
    try {
        document.PlayCommands();
    } catch (...) {
        // What was drawn up to the failure is still written; the failure is what is reported.
        if (document.Drawing() != nullptr && options.keep_partial) {
            Closing closing{options.output};
            ShowStatus("Closing " + options.output + " ...");
            try {
                document.SaveMetafile(options.output);
            } catch (const std::exception&) {
            }
        }
        throw;
    }
    Closing closing{options.output};
    ShowStatus("Closing " + options.output + " ...");
    result.drawing_calls = document.Drawing()->DrawingCalls();
    result.recorded_bytes = document.Drawing()->RecordedBytes();
    result.bytes = document.SaveMetafile(options.output);
    return result;
}

}  // namespace cindral
