// cindral-cli render: draws one page of a compiled log into a PNG, JPEG or BMP (by the output's
// extension) through the log document, the same page routine the viewer shows pages with, and
// the same picture writers as the viewer's page exports.

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/gui_application.h"
#include "cli/log_opening.h"
#include "cli/options.h"
#include "core/base/errors.h"
#include "core/pages/page_layout.h"
#include "render/export/picture_writers.h"

namespace cindral::cli {
namespace {

const char kUsage[] =
    "render FILE [--page N] [--dpi R] [--quality Q] -o OUT.png|OUT.jpg|OUT.bmp   (N from 1, R a "
    "whole number, Q 1 to 100)";

// Far beyond any printer; keeps a mistyped resolution from asking for a huge bitmap.
constexpr double kMostDpi = 4800;
// The viewer's own default for its JPEG exports.
constexpr long kDefaultQuality = 80;

int RunRender(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    const long page = reader.Integer("--page").value_or(1);
    const double dpi = reader.Number("--dpi").value_or(kScreenPixelsPerInch);
    const long quality = reader.Integer("--quality").value_or(kDefaultQuality);
    const std::optional<std::string> out = reader.Value("-o");
    CommonOptions common = reader.Common();
    std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (!out || out->empty()) throw UsageError{"needs -o OUT.png, OUT.jpg or OUT.bmp"};
    if (page < 1) throw UsageError{"--page counts from 1"};
    if (!(dpi >= 1 && dpi <= kMostDpi) || std::trunc(dpi) != dpi) {
        throw UsageError{"--dpi needs a whole number of pixels per inch from 1 to 4800"};
    }
    if (quality < 1 || quality > 100)
        throw UsageError{"--quality needs a whole number from 1 to 100"};
    const std::optional<PictureFormat> format = PictureFormatOf(*out);
    if (!format) {
        throw CindralError("Cannot render to " + *out +
                           ": the name must end in .png, .jpg, .jpeg or .bmp.");
    }

    const std::unique_ptr<QGuiApplication> application = EnsureGuiApplication();
    const std::unique_ptr<LogDocument> document =
        OpenLogDocument(files[0], common, static_cast<int>(dpi));
    RequirePageInLog(page, *document);
    const QImage image = document->RenderPage(static_cast<int>(page - 1));
    SavePicture(image, *out, *format, static_cast<int>(quality), static_cast<int>(dpi));
    return kExitOk;
}

const CommandRegistration registration({"render", kUsage, RunRender});

}  // namespace
}  // namespace cindral::cli
