#include "cli/log_opening.h"

#include "cli/command.h"
#include "cli/document_options.h"
#include "core/base/errors.h"
#include "core/pages/depth_interval.h"

namespace cindral::cli {

std::unique_ptr<LogDocument> OpenLogDocument(const std::string& path, const CommonOptions& options,
                                             int pixels_per_inch) {
    if (options.page_length && !(*options.page_length > 0)) {
        throw UsageError{"--page-length needs a length greater than 0"};
    }
    LogDocumentOptions opening;
    opening.files = DocumentSettingsFor(options, &opening.settings);
    auto document = std::make_unique<LogDocument>(path, opening, pixels_per_inch);
    if (options.page_length) document->SetPageLength(true, *options.page_length);
    if (options.interval) {
        const auto [top, bottom] = *options.interval;
        const IntervalCheck check = CheckInterval(top, bottom, document->FileHeader().TopDepth,
                                                  document->FileHeader().BottomDepth);
        if (check.problem != IntervalProblem::None) throw CindralError(check.message);
        document->SetInterval(top, bottom);
    }
    return document;
}

void RequirePageInLog(long page, const LogDocument& document) {
    const long pages = document.PageCount();
    if (page < 1 || page > pages) {
        throw CindralError("Page " + std::to_string(page) + " is beyond the log's " +
                           std::to_string(pages) + (pages == 1 ? " page." : " pages."));
    }
}

}  // namespace cindral::cli
