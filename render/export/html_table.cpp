#include "render/export/html_table.h"

#include <QString>
#include <QUrl>
#include <algorithm>
#include <memory>
#include <mutex>

#include "core/base/atomic_file.h"
#include "render/document/log_document.h"
#include "render/export/parallel_pages.h"
#include "render/export/picture_writers.h"

namespace cindral {
namespace {

std::string Stem(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Escaped(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped().toStdString();
}

// A file name as a relative link: percent-encoded, so blanks, '#' and '?' survive.
std::string Link(const std::string& file_name) {
    return QUrl::toPercentEncoding(QString::fromStdString(file_name)).toStdString();
}

std::string Depth(double value) {
    return QString::number(value, 'f', 2).toStdString();
}

}  // namespace

std::string HtmlPagePictureName(const std::string& html, int page) {
    return Stem(html) + "_p" + std::to_string(page + 1) + ".jpg";
}

std::vector<std::string> WriteHtmlTable(const LogDocument& document,
                                        const HtmlTableOptions& options,
                                        const std::function<void(int, int)>& progress) {
    const std::unique_ptr<LogDocument> pages = document.Copy();
    pages->SetPixelsPerInch(options.pixels_per_inch);
    const GdxHeader& header = pages->Header();
    const int count = pages->PageCount();
    const std::string title = Escaped(BaseName(document.FileName()));

    // Every picture and the table go in place together, after all are written: a failure or
    // a cancel half-way leaves no picture of the new export beside an old table.
    AtomicFileGroup files;
    std::mutex files_mutex;
    std::vector<std::string> rows(count);
    DrawPagesInParallel(
        *pages, 0, count - 1, options.jobs,
        [&](const LogDocument& drawn, int page, const QImage& image) {
            const std::string picture = HtmlPagePictureName(options.output, page);
            const std::vector<uint8_t> jpeg =
                EncodeJpeg(image, options.quality, options.pixels_per_inch);
            // The page's log rows, limited to the interval: bands above and below show no
            // depth.
            const PageGeometry g = drawn.Geometry(page);
            const double top = std::min(drawn.DepthAt(page, g.DataTopPx, false), header.TopDepth);
            const double bottom =
                std::max(drawn.DepthAt(page, g.DataBottomPx, false), header.BottomDepth);
            const std::string number = std::to_string(page + 1);
            std::lock_guard<std::mutex> lock(files_mutex);
            AtomicFile& file = files.Add(picture);
            file.Write(jpeg.data(), jpeg.size());
            file.Finish();  // one open file per thread at most, however many pages
            rows[page] = "<tr><td>" + number + "</td><td>" + Depth(options.depths.Shown(top)) +
                         "</td><td>" + Depth(options.depths.Shown(bottom)) +
                         "</td><td><img src=\"" + Link(BaseName(picture)) + "\" width=\"" +
                         std::to_string(image.width()) + "\" height=\"" +
                         std::to_string(image.height()) + "\" alt=\"Page " + number +
                         "\"></td></tr>\n";
        },
        [&progress](long done, long all) {
            if (progress) progress(static_cast<int>(done), static_cast<int>(all));
        });

    std::string html = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                       title + "</title>\n</head>\n<body>\n<h1>" + title +
                       "</h1>\n<table border=\"1\">\n"
                       "<tr><th>Page</th><th>Top</th><th>Bottom</th><th>Picture</th></tr>\n";
    std::vector<std::string> written;
    for (int page = 0; page < count; ++page) {
        html += rows[page];
        written.push_back(HtmlPagePictureName(options.output, page));
    }
    html += "</table>\n</body>\n</html>\n";
    AtomicFile& table = files.Add(options.output);
    table.Write(html.data(), html.size());
    files.Commit();
    written.push_back(options.output);
    return written;
}

}  // namespace cindral
