// cindral-cli export: the whole log as one vector drawing (WMF, EMF or SVG), or as an HTML
// table of page pictures, through the same exports the viewer's dialogs run. The format
// follows the output's extension.

#include <cctype>
#include <cmath>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/gui_application.h"
#include "cli/log_opening.h"
#include "cli/options.h"
#include "cli/page_batch.h"
#include "cli/progress_sink.h"
#include "core/base/errors.h"
#include "core/environment/status.h"
#include "core/pages/page_layout.h"
#include "render/document/metafile_export.h"
#include "render/export/html_table.h"

namespace cindral::cli {
namespace {

const char kUsage[] =
    "export FILE -o OUT.wmf|OUT.emf|OUT.svg [--no-header] [--no-footer]  |  export FILE -o "
    "OUT.html [-j N] [--dpi R] [--quality Q]";

// Far beyond any printer; keeps a mistyped resolution from asking for huge pictures.
constexpr double kMostDpi = 4800;

bool IsHtml(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string ext = path.substr(dot);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".html" || ext == ".htm";
}

int RunHtmlExport(ArgumentReader& reader, const std::string& out) {
    const double dpi = reader.Number("--dpi").value_or(kScreenPixelsPerInch);
    const long quality = reader.Integer("--quality").value_or(80);
    const int jobs = JobsOption(reader);
    const CommonOptions common = reader.Common();
    const std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (!(dpi >= 1 && dpi <= kMostDpi) || std::trunc(dpi) != dpi) {
        throw UsageError{"--dpi needs a whole number of pixels per inch from 1 to 4800"};
    }
    if (quality < 1 || quality > 100)
        throw UsageError{"--quality needs a whole number from 1 to 100"};

    const std::unique_ptr<QGuiApplication> application = EnsureGuiApplication();
    const std::unique_ptr<LogDocument> document = OpenLogDocument(files[0], common);
    HtmlTableOptions options;
    options.output = out;
    options.pixels_per_inch = static_cast<int>(dpi);
    options.quality = static_cast<int>(quality);
    options.jobs = jobs;
    ProgressLineScope line("Exporting page");
    WriteHtmlTable(*document, options, [&line](int done, int count) { line.Count(done, count); });
    return kExitOk;
}

int RunExport(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    const std::optional<std::string> out = reader.Value("-o");
    if (out && IsHtml(*out)) return RunHtmlExport(reader, *out);
    MetafileExportOptions options;
    options.header = !reader.Flag("--no-header");
    options.footer = !reader.Flag("--no-footer");
    const CommonOptions common = reader.Common();
    const std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (!out || out->empty()) throw UsageError{"needs -o OUT.wmf, OUT.emf, OUT.svg or OUT.html"};
    const std::optional<MetafileFormat> format = MetafileFormatOf(*out);
    if (!format) {
        throw CindralError("Cannot export to " + *out +
                           ": the name must end in .wmf, .emf, .svg or .html.");
    }
    options.format = *format;
    options.output = *out;
    options.keep_partial = false;

    const std::unique_ptr<QGuiApplication> application = EnsureGuiApplication();
    const std::unique_ptr<LogDocument> document = OpenLogDocument(files[0], common);
    const std::unique_ptr<logmf_object> renderer =
        MakeMetafileRenderer(*document, document->Header());
    // One unpaginated drawing: its progress is the play's, through the file.
    ProgressLineScope line("Exporting", /*by_fraction=*/true);
    ExportMetafile(*renderer, options);
    ShowProgress(1);
    return kExitOk;
}

const CommandRegistration registration({"export", kUsage, RunExport, nullptr});

}  // namespace
}  // namespace cindral::cli
