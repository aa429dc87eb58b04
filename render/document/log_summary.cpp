#include "render/document/log_summary.h"

#include <charconv>
#include <cstdio>

#include "core/format/gdx_commands.h"
#include "render/document/log_document.h"

namespace cindral {
namespace {

std::string BandText(double inches) {
    return inches < 0 ? "none" : ShortestNumber(inches) + " in";
}

}  // namespace

GdxSummary SummaryOf(const LogDocument& document) {
    return document.Loaded()->summary;
}

std::string ShortestNumber(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string SummaryText(const std::string& shown_path, const LogDocument& document,
                        double pixels_per_inch) {
    const GdxSummary s = SummaryOf(document);
    const GdxHeader& h = s.header;
    const GdxHeader& view = document.Header();
    const long pages = document.LayoutAt(pixels_per_inch).LastPage + 1;
    auto number = ShortestNumber;
    std::string out;
    out += "File:         " + shown_path + "\n";
    out += "Version:      " + std::to_string(h.version) +
           (h.version == kOldHeaderCode ? " (older header)\n" : "\n");
    out += "Page:         " + number(h.PageWidth) + " x " + number(h.PageHeight) + " in\n";
    out += "Depth:        top " + number(h.TopDepth) + ", bottom " + number(h.BottomDepth) + " (" +
           number(h.DepthUnitsPerInch) + " units per inch)\n";
    out += "Width:        x " + number(h.MinX) + " to " + number(h.MaxX) + " (" +
           number(h.XUnitsPerInch) + " units per inch)\n";
    out += "Bands:        first header " + BandText(h.FirstHeaderHeight) + ", next header " +
           BandText(h.NextHeaderHeight) + ", footer " + BandText(h.FooterHeight) + ", gap " +
           number(h.BandGap) + " in, " +
           (h.RepeatBands ? "on every page\n" : "header on the first page only\n");
    out += "Elevation:    datum " + number(h.ElevationDatum) + "\n";
    if (view.TopDepth != h.TopDepth || view.BottomDepth != h.BottomDepth) {
        out += "Interval:     top " + number(view.TopDepth) + ", bottom " +
               number(view.BottomDepth) + "\n";
    }
    out += "Page length:  " +
           (view.CustomPageLength == 1 ? number(view.UnitsPerPage) + " depth units per page"
                                       : std::string("by page size")) +
           "\n";
    out += "Pages:        " + std::to_string(pages) + " (at " + number(pixels_per_inch) + " dpi)\n";
    out += "Commands:     " + std::to_string(s.commands) + "\n";
    for (const auto& [code, count] : s.codes) {
        const CommandInfo* info = FindCommand(static_cast<int16_t>(code));
        char line[128];
        std::snprintf(line, sizeof line, "  %6d  %-28s %lld\n", code,
                      info ? info->operation : "(unknown, skipped)", static_cast<long long>(count));
        out += line;
    }
    return out;
}

}  // namespace cindral
