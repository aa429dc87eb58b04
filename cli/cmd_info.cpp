// cindral-cli info: what a compiled log holds, as text or JSON.

#include <cstdio>
#include <string>
#include <type_traits>

#include "cli/command.h"
#include "cli/log_opening.h"
#include "cli/options.h"
#include "core/format/gdx_commands.h"
#include "core/format/gdx_reader.h"
#include "core/pages/page_layout.h"
#include "render/document/log_summary.h"

namespace cindral::cli {
namespace {

template <class T>
std::string Field(T v) {
    if constexpr (std::is_same_v<T, double>) {
        return ShortestNumber(v);
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

int RunInfo(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    bool json = reader.Flag("--json");
    double dpi = reader.Number("--dpi").value_or(kScreenPixelsPerInch);
    CommonOptions common = reader.Common();
    std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (!(dpi > 0)) throw UsageError{"--dpi needs a resolution greater than 0"};

    const std::unique_ptr<LogDocument> document = OpenLogDocument(files[0], common);
    const long pages = document->LayoutAt(dpi).LastPage + 1;
    std::string out = json ? Json(files[0], SummaryOf(*document), pages) + "\n"
                           : SummaryText(files[0], *document, dpi);
    std::fputs(out.c_str(), stdout);
    return kExitOk;
}

const CommandRegistration registration({"info", "info FILE [--json] [--dpi R]", RunInfo, nullptr});

}  // namespace
}  // namespace cindral::cli
