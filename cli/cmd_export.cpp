// cindral-cli export: the whole log as one vector drawing (WMF, EMF or SVG), through the same
// export the viewer's dialog runs. The format follows the output's extension.

#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/log_opening.h"
#include "cli/gui_application.h"
#include "cli/options.h"
#include "core/environment/errors.h"
#include "render/renderers/metafile_export.h"

namespace cindral::cli {
namespace {

const char kUsage[] = "export FILE -o OUT.wmf|OUT.emf|OUT.svg [--no-header] [--no-footer]";

int RunExport(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    const std::optional<std::string> out = reader.Value("-o");
    MetafileExportOptions options;
    options.header = !reader.Flag("--no-header");
    options.footer = !reader.Flag("--no-footer");
    const CommonOptions common = reader.Common();
    const std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (!out || out->empty()) throw UsageError{"needs -o OUT.wmf, OUT.emf or OUT.svg"};
    const std::optional<MetafileFormat> format = MetafileFormatOf(*out);
    if (!format) {
        throw CindralError("Cannot export to " + *out +
                           ": the name must end in .wmf, .emf or .svg.");
    }
    options.format = *format;
    options.output = *out;
    options.keep_partial = false;

    const std::unique_ptr<QGuiApplication> application = EnsureGuiApplication();
    const std::unique_ptr<LogDocument> document = OpenLogDocument(files[0], common);
    const std::unique_ptr<logmf_object> renderer =
        MakeMetafileRenderer(*document, document->Header());
    ExportMetafile(*renderer, options);
    return kExitOk;
}

const CommandRegistration registration({"export", kUsage, RunExport});

}  // namespace
}  // namespace cindral::cli
