#pragma once
// The whole-log export: one unpaginated vector drawing of a compiled log at 96 units per
// inch, from its top depth to its bottom depth, with the header band above and the footer
// band below when asked, written as a placeable WMF, an EMF or an SVG. The viewer's dialog
// and `cindral-cli export` both come through here.

#include <cstdint>
#include <memory>
#include <string>

#include "core/environment/document_settings.h"
#include "render/renderers/logmf_object.h"

namespace cindral {

class LogDocument;

struct MetafileExportOptions {
    std::string output;
    MetafileFormat format = MetafileFormat::Wmf;
    bool header = true;
    bool footer = true;
    // When reading or drawing fails (or is cancelled): write what was drawn so far (the
    // viewer), or write nothing (the command line, which promises no half-made output).
    bool keep_partial = true;
};

// Size of the drawing of the log whose header `document` holds, as ExportMetafile sets it.
MetafileExtent ComputeMetafileExtent(const GdxHeader& header, bool header_option,
                                     bool footer_option);

struct MetafileExportResult {
    MetafileExtent extent;
    uint64_t bytes = 0;
    size_t drawing_calls = 0;
    size_t recorded_bytes = 0;  // the size of the recording the file was written from
};

// The metafile renderer for the log `document` holds: the document's libraries and the bytes
// it read at open, with `header` (the file's own, or the document's with an interval set).
std::unique_ptr<logmf_object> MakeMetafileRenderer(const LogDocument& document,
                                                   const GdxHeader& header);

// Renders the log `document` (its header read; a depth interval set on it is kept) into
// `options.output`. A WMF of a log whose drawing would need
// coordinates beyond 16 bits is refused with a CindralError before anything is written (an
// existing file of that name is kept). Otherwise an existing file is replaced; when reading
// or drawing fails, what was drawn so far is still written and the error propagates.
MetafileExportResult ExportMetafile(logmf_object& document, const MetafileExportOptions& options);

// The message of the WMF refusal for a drawing `height` units tall.
std::string WmfTooLargeMessage(int width, int height);

}  // namespace cindral
