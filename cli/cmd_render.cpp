// cindral-cli render: draws one page of a compiled log into a PNG, through the same page
// routine the viewer shows pages with.

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/document_options.h"
#include "cli/gui_application.h"
#include "cli/options.h"
#include "cli/png_output.h"
#include "core/environment/errors.h"
#include "core/pages/page_count.h"
#include "core/environment/program_paths.h"
#include "render/renderers/logp_object.h"
#include "render/renderers/page_renderer.h"

namespace cindral::cli {
namespace {

const char kUsage[] = "render FILE [--page N] [--dpi R] -o OUT.png   (N from 1, R a whole number)";

// Far beyond any printer; keeps a mistyped resolution from asking for a huge bitmap.
constexpr double kMostDpi = 4800;

int RunRender(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    const long page = reader.Integer("--page").value_or(1);
    const double dpi = reader.Number("--dpi").value_or(kScreenPixelsPerInch);
    const std::optional<std::string> out = reader.Value("-o");
    CommonOptions common = reader.Common();
    std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (!out || out->empty()) throw UsageError{"needs -o OUT.png"};
    if (page < 1) throw UsageError{"--page counts from 1"};
    if (!(dpi >= 1 && dpi <= kMostDpi) || std::trunc(dpi) != dpi) {
        throw UsageError{"--dpi needs a whole number of pixels per inch from 1 to 4800"};
    }
    if (common.page_length && *common.page_length <= 0) {
        throw UsageError{"--page-length needs a length greater than 0"};
    }
    if (common.interval && common.interval->first <= common.interval->second) {
        throw UsageError{"--interval needs TOP greater than BOTTOM"};
    }

    Settings settings;
    const DocumentSettings files_from_settings = DocumentSettingsFor(common, &settings);

    const std::unique_ptr<QGuiApplication> application = EnsureGuiApplication();
    logp_object document(files_from_settings.pattern_file, files_from_settings.symbol_file,
                         files_from_settings.default_page_length);
    // Black printing and the repeated-header gap follow the settings, as in the viewer.
    ApplyRenderSettings(document, settings);
    document.FileName = files[0];
    document.ReadHeader();
    document.Close();
    if (common.page_length) {
        document.CustomPageLength = 1;
        document.UnitsPerPage = *common.page_length;
    }
    if (common.interval) {
        document.TopDepth = common.interval->first;
        document.BottomDepth = common.interval->second;
    }
    const int pixels_per_inch = static_cast<int>(dpi);
    document.SetDeviceResolution(pixels_per_inch, pixels_per_inch);
    const long pages = CountPages(document.Header(), pixels_per_inch) + 1;
    if (page > pages) {
        throw CindralError("Page " + std::to_string(page) + " is beyond the log's " +
                           std::to_string(pages) + (pages == 1 ? " page." : " pages."));
    }
    document.LastPage = static_cast<int>(pages - 1);
    const QImage image = RenderPageImage(document, static_cast<int>(page - 1), pixels_per_inch);
    SavePng(image, *out);
    return kExitOk;
}

const CommandRegistration registration({"render", kUsage, RunRender});

}  // namespace
}  // namespace cindral::cli
