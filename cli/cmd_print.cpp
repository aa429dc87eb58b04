// cindral-cli print: the pages of a log as a PDF file, one PDF page per log page at the log's
// page size, through the same print routine the viewer's Print command and preview use.

#include <QString>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/gui_application.h"
#include "cli/log_opening.h"
#include "cli/options.h"
#include "cli/page_batch.h"
#include "cli/progress_sink.h"
#include "core/base/errors.h"
#include "render/document/print_pages.h"

namespace cindral::cli {
namespace {

const char kUsage[] = "print FILE -o OUT.pdf [--pages A-B]   (pages from 1; A alone for one page)";

bool EndsWithPdf(const std::string& name) {
    return QString::fromStdString(name).endsWith(".pdf", Qt::CaseInsensitive);
}

int RunPrint(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    const std::optional<std::string> out = reader.Value("-o");
    const std::optional<std::string> pages = reader.Value("--pages");
    const CommonOptions common = reader.Common();
    const std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (!out || out->empty()) throw UsageError{"needs -o OUT.pdf"};
    std::optional<PageRange> range;
    if (pages) range = ParsePageRange("--pages", *pages, false);
    if (!EndsWithPdf(*out)) {
        throw CindralError("Cannot print to " + *out + ": the name must end in .pdf.");
    }

    const std::unique_ptr<QGuiApplication> application = EnsureGuiApplication();
    const std::unique_ptr<LogDocument> document = OpenLogDocument(files[0], common);
    const PageRange chosen = range.value_or(PageRange{1, document->PageCount()});
    RequirePageInLog(chosen.first, *document);
    RequirePageInLog(chosen.last, *document);
    ProgressLineScope line("Printing page");
    WritePdf(*document, *out, static_cast<int>(chosen.first - 1), static_cast<int>(chosen.last - 1),
             [&line](int done, int count) { line.Count(done, count); });
    return kExitOk;
}

const CommandRegistration registration({"print", kUsage, RunPrint, nullptr});

}  // namespace
}  // namespace cindral::cli
