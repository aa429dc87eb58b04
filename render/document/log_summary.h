#pragma once
// What a compiled log holds, as the readable summary `cindral-cli info` prints and the
// viewer's File ▸ Properties shows. One formatter for both, so they cannot drift apart.

#include <string>

#include "core/format/gdx_reader.h"

namespace cindral {

class LogDocument;

// The file's header, its command count and the count of each command code.
GdxSummary SummaryOf(const LogDocument& document);

// Shortest text that reads back as the same double.
std::string ShortestNumber(double value);

// The summary text: `shown_path` names the file, the pages are counted at `pixels_per_inch`
// with the interval and page length the document shows.
std::string SummaryText(const std::string& shown_path, const LogDocument& document,
                        double pixels_per_inch);

}  // namespace cindral
