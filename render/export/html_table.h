#pragma once
// The whole log as an HTML table of page pictures: one JPEG per page, drawn at the export's
// resolution (never the screen bitmap stretched), written beside the HTML file, and one table
// row per page with its number and the depth range it shows.

#include <functional>
#include <string>
#include <vector>

#include "core/pages/depth_sign.h"

namespace cindral {

class LogDocument;

struct HtmlTableOptions {
    std::string output;  // the HTML file; pictures go into its folder
    int pixels_per_inch = 96;
    int quality = 80;
    int jobs = 1;      // pages drawn at once, each thread from its own copy of the log
    DepthSign depths;  // how the Top and Bottom columns show depths
};

// The picture of page `page` (0-based) beside `html`: "NAME_pN.jpg" for "NAME.html".
std::string HtmlPagePictureName(const std::string& html, int page);

// Writes the pictures and the table, all under temporary names, and puts them in place
// together once every one is written; returns every file written, the table last.
// `progress` (may be empty) hears (pages done, page count) on the calling thread. IoError or
// CindralError when a page or file cannot be written, Cancelled when the work is cancelled:
// then no file of those names has changed and no temporary file remains.
std::vector<std::string> WriteHtmlTable(const LogDocument& document,
                                        const HtmlTableOptions& options,
                                        const std::function<void(int, int)>& progress = {});

}  // namespace cindral
