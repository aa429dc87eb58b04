#pragma once
// How every cindral-cli command opens a log: through the log document, with the libraries
// and settings of the viewer and the paging options of the command line applied to the view
// (never to the file).

#include <memory>
#include <string>

#include "cli/options.h"
#include "render/document/log_document.h"

namespace cindral::cli {

// Opens `path` at `pixels_per_inch`. --page-length must be greater than 0 (UsageError);
// --interval passes the interval dialog's checks against the log's own depths, or the
// dialog's warning is the refusal (CindralError).
std::unique_ptr<LogDocument> OpenLogDocument(const std::string& path, const CommonOptions& options,
                                             int pixels_per_inch = 96);

// Refuses page `page` (from 1) outside the document with the message `render` gives.
void RequirePageInLog(long page, const LogDocument& document);

}  // namespace cindral::cli
