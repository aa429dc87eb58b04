// cindral-cli info: what a compiled log holds, as text or JSON.

#include <charconv>
#include <cstdio>
#include <string>
#include <type_traits>

#include "cli/command.h"
#include "cli/log_opening.h"
#include "cli/options.h"
#include "core/format/gdx_commands.h"
#include "core/format/gdx_reader.h"
#include "core/pages/page_layout.h"

namespace cindral::cli {
namespace {

// Shortest text that reads back as the same double; JSON-safe for the finite values a
// readable header holds.
std::string Number(double v) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

template <class T>
std::string Field(T v) {
    if constexpr (std::is_same_v<T, double>) {
        return Number(v);
    } else {
        return std::to_string(+v);
    }
}

std::string Json(const std::string& path, const GdxSummary& s, long pages) {
    std::string out = "{\"version\": " + std::to_string(s.header.version) + ", \"header\": {";
    bool first = true;
    GdxHeader header = s.header;
    ForEachHeaderField(header, [&](const char* name, auto& v) {
        out += (first ? "\"" : ", \"") + std::string(name) + "\": " + Field(v);
        first = false;
    });
    out += "}, \"pages\": " + std::to_string(pages) +
           ", \"commands\": " + std::to_string(s.commands) + ", \"codes\": {";
    first = true;
    for (const auto& [code, count] : s.codes) {
        out += (first ? "\"" : ", \"") + std::to_string(code) + "\": " + std::to_string(count);
        first = false;
    }
    return out + "}}";
}

std::string Band(double inches) {
    return inches < 0 ? "none" : Number(inches) + " in";
}

std::string Text(const std::string& path, const GdxSummary& s, const GdxHeader& view, long pages,
                 double dpi) {
    const GdxHeader& h = s.header;
    std::string out;
    out += "File:         " + path + "\n";
    out += "Version:      " + std::to_string(h.version) +
           (h.version == kOldHeaderCode ? " (older header)\n" : "\n");
    out += "Page:         " + Number(h.PageWidth) + " x " + Number(h.PageHeight) + " in\n";
    out += "Depth:        top " + Number(h.TopDepth) + ", bottom " + Number(h.BottomDepth) + " (" +
           Number(h.DepthUnitsPerInch) + " units per inch)\n";
    out += "Width:        x " + Number(h.MinX) + " to " + Number(h.MaxX) + " (" +
           Number(h.XUnitsPerInch) + " units per inch)\n";
    out += "Bands:        first header " + Band(h.FirstHeaderHeight) + ", next header " +
           Band(h.NextHeaderHeight) + ", footer " + Band(h.FooterHeight) + ", gap " +
           Number(h.BandGap) + " in, " +
           (h.RepeatBands ? "on every page\n" : "header on the first page only\n");
    out += "Elevation:    datum " + Number(h.ElevationDatum) + "\n";
    if (view.TopDepth != h.TopDepth || view.BottomDepth != h.BottomDepth) {
        out += "Interval:     top " + Number(view.TopDepth) + ", bottom " +
               Number(view.BottomDepth) + "\n";
    }
    out += "Page length:  " +
           (view.CustomPageLength == 1 ? Number(view.UnitsPerPage) + " depth units per page"
                                       : std::string("by page size")) +
           "\n";
    out += "Pages:        " + std::to_string(pages) + " (at " + Number(dpi) + " dpi)\n";
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

int RunInfo(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    bool json = reader.Flag("--json");
    double dpi = reader.Number("--dpi").value_or(kScreenPixelsPerInch);
    CommonOptions common = reader.Common();
    std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (!(dpi > 0)) throw UsageError{"--dpi needs a resolution greater than 0"};

    const std::unique_ptr<LogDocument> document = OpenLogDocument(files[0], common);
    GdxSummary summary;
    summary.header = document->FileHeader();
    summary.commands = document->Loaded()->commands;
    summary.codes = document->Loaded()->codes;
    const long pages = document->LayoutAt(dpi).LastPage + 1;
    std::string out = json ? Json(files[0], summary, pages) + "\n"
                           : Text(files[0], summary, document->Header(), pages, dpi);
    std::fputs(out.c_str(), stdout);
    return kExitOk;
}

const CommandRegistration registration({"info", "info FILE [--json] [--dpi R]", RunInfo});

}  // namespace
}  // namespace cindral::cli
