// cindral-cli render: draws one page of a compiled log, or a range of pages in one run, into
// PNG, JPEG or BMP files (by the output's extension) through the log document, the same page
// routine the viewer shows pages with, and the same picture writers as the viewer's page
// exports.

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/gui_application.h"
#include "cli/log_opening.h"
#include "cli/options.h"
#include "cli/page_batch.h"
#include "cli/progress_sink.h"
#include "core/base/errors.h"
#include "core/pages/page_layout.h"
#include "render/export/picture_writers.h"

namespace cindral::cli {
namespace {

const char kUsage[] =
    "render FILE [--page N] [--dpi R] [--quality Q] -o OUT.png|OUT.jpg|OUT.bmp   (N from 1, R a "
    "whole number, Q 1 to 100)  |  render FILE --pages A-B|all [-j N] [--dpi R] [--quality Q] "
    "-o NAME-%d.png|.jpg|.bmp";

const char kDetails[] =
    "--page N       the page to draw, from 1 (default 1)\n"
    "--pages A-B    pages A to B in one run; A alone for one page, all for every page\n"
    "-j N, --jobs N draw N pages at once (default: the number of processors)\n"
    "--dpi R        pixels per inch, a whole number from 1 to 4800 (default 96)\n"
    "--quality Q    JPEG quality, 1 to 100 (default 80)\n"
    "-o OUT         the picture; its extension (.png, .jpg, .jpeg, .bmp) is the format.\n"
    "               With --pages, %d in the name is the page number (%03d: three digits,\n"
    "               zeros in front; %% a '%'); more than one page needs it.\n";

// Far beyond any printer; keeps a mistyped resolution from asking for a huge bitmap.
constexpr double kMostDpi = 4800;
// The viewer's own default for its JPEG exports.
constexpr long kDefaultQuality = 80;

int RunRender(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    const std::optional<long> single = reader.Integer("--page");
    const long page = single.value_or(1);
    const std::optional<std::string> pages = reader.Value("--pages");
    const int jobs = JobsOption(reader);
    const double dpi = reader.Number("--dpi").value_or(kScreenPixelsPerInch);
    const long quality = reader.Integer("--quality").value_or(kDefaultQuality);
    const std::optional<std::string> out = reader.Value("-o");
    CommonOptions common = reader.Common();
    std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (!out || out->empty()) throw UsageError{"needs -o OUT.png, OUT.jpg or OUT.bmp"};
    if (page < 1) throw UsageError{"--page counts from 1"};
    if (single && pages) throw UsageError{"--page and --pages cannot be given together"};
    if (!(dpi >= 1 && dpi <= kMostDpi) || std::trunc(dpi) != dpi) {
        throw UsageError{"--dpi needs a whole number of pixels per inch from 1 to 4800"};
    }
    if (quality < 1 || quality > 100)
        throw UsageError{"--quality needs a whole number from 1 to 100"};
    // With --pages the name is a pattern; "all" is many pages whatever the log holds.
    std::optional<PageRange> range;
    std::optional<PageNamePattern> names;
    if (pages) {
        range = ParsePageRange("--pages", *pages, /*allow_all=*/true);
        names.emplace(*out, !range || range->last > range->first);
    }
    const std::optional<PictureFormat> format = PictureFormatOf(names ? names->NameOf(1) : *out);
    if (!format) {
        throw CindralError("Cannot render to " + *out +
                           ": the name must end in .png, .jpg, .jpeg or .bmp.");
    }

    const std::unique_ptr<QGuiApplication> application = EnsureGuiApplication();
    const std::unique_ptr<LogDocument> document =
        OpenLogDocument(files[0], common, static_cast<int>(dpi));
    if (pages) {
        const PageRange chosen = range.value_or(PageRange{1, document->PageCount()});
        RequirePageInLog(chosen.first, *document);
        RequirePageInLog(chosen.last, *document);
        PageBatchOptions options;
        options.format = *format;
        options.quality = static_cast<int>(quality);
        options.pixels_per_inch = static_cast<int>(dpi);
        options.jobs = jobs;
        ProgressLineScope line("Rendering page");
        RenderPageBatch(*document, chosen, *names, options,
                        [&line](long done, long count) { line.Count(done, count); });
        return kExitOk;
    }
    RequirePageInLog(page, *document);
    const QImage image = document->RenderPage(static_cast<int>(page - 1));
    SavePicture(image, *out, *format, static_cast<int>(quality), static_cast<int>(dpi));
    return kExitOk;
}

const CommandRegistration registration({"render", kUsage, RunRender, kDetails});

}  // namespace
}  // namespace cindral::cli
