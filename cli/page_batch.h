#pragma once
// Many pages of one log in one run: the page range and output-name pattern of `render
// --pages`, and the drawing of the pages on several threads, each from its own copy of the
// log document, each page written through a temporary file.

#include <functional>
#include <optional>
#include <string>

#include "render/export/picture_writers.h"

namespace cindral {
class LogDocument;
}

namespace cindral::cli {

class ArgumentReader;

// `-j N` or `--jobs N` (one of them, N from 1 to 256), else the number of processors.
int JobsOption(ArgumentReader& reader);

struct PageRange {
    long first;  // from 1
    long last;
};

// "A-B" or "A" (blanks allowed around the numbers); also "all" (nothing) when `allow_all`.
// UsageError, with `option` named, for anything else or for A < 1 or B < A.
std::optional<PageRange> ParsePageRange(const std::string& option, const std::string& text,
                                        bool allow_all);

// An output name with at most one page number in it, as printf writes an int: "%d", "%3d",
// "%03d"; "%%" is a '%'.
class PageNamePattern {
  public:
    // UsageError for any other '%', for two page numbers, and for a name without a page
    // number when `many_pages`.
    PageNamePattern(const std::string& pattern, bool many_pages);
    // The name of page `page` (from 1).
    std::string NameOf(long page) const;

  private:
    std::string before_, after_;
    bool numbered_ = false;
    bool zeros_ = false;
    int width_ = 0;
};

struct PageBatchOptions {
    PictureFormat format = PictureFormat::Png;
    int quality = 80;
    int pixels_per_inch = 96;
    int jobs = 1;  // threads drawing at once
};

// Draws pages `range` of `document` (at its resolution) on `options.jobs` threads and
// writes each to `names.NameOf(page)`, as DrawPagesInParallel delivers them: the pages
// written stay after a cancel or a failure, the page being drawn is not written.
void RenderPageBatch(const LogDocument& document, PageRange range, const PageNamePattern& names,
                     const PageBatchOptions& options,
                     const std::function<void(long, long)>& progress = {});

}  // namespace cindral::cli
