// cindral-cli trace: plays a compiled log into the trace target and prints one line per
// drawing-primitive call, with what a default reduces a call to indented beneath it.

#include <cstdio>
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/document_options.h"
#include "cli/options.h"
#include "core/interpreter/gd_object.h"
#include "core/format/gdx_header.h"
#include "core/pages/page_count.h"
#include "core/environment/program_paths.h"
#include "core/interpreter/trace_object.h"

namespace cindral::cli {
namespace {

const char kUsage[] =
    "trace FILE [--page N] [--no-annotations]   (every page plays the whole file: the trace "
    "shows all its calls whatever N is)";

int RunTrace(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    std::optional<long> page = reader.Integer("--page");
    bool annotate = !reader.Flag("--no-annotations");
    CommonOptions common = reader.Common();
    std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (page && *page < 1) throw UsageError{"--page counts from 1"};

    DocumentSettings files_from_settings = DocumentSettingsFor(common);
    trace_object trace(std::cout, files_from_settings.pattern_file,
                       files_from_settings.symbol_file, files_from_settings.default_page_length);
    trace.AnnotateCommands = annotate;
    trace.FileName = files[0];
    trace.ReadHeader();
    trace.Close();
    if (page) {
        GdxHeader paging = trace.Header();
        if (common.page_length) {
            paging.CustomPageLength = 1;
            paging.UnitsPerPage = *common.page_length;
        }
        long pages = CountPages(paging, kScreenPixelsPerInch) + 1;
        if (*page > pages) {
            throw UsageError{"--page " + std::to_string(*page) + " is beyond the log's " +
                             std::to_string(pages) + (pages == 1 ? " page" : " pages")};
        }
    }
    if (common.interval) {
        trace.TopDepth = common.interval->first;
        trace.BottomDepth = common.interval->second;
    }
    trace.PlayCommands();
    std::cout.flush();
    if (!std::cout) throw std::runtime_error("cannot write the trace to standard output");
    return kExitOk;
}

const CommandRegistration registration({"trace", kUsage, RunTrace});

}  // namespace
}  // namespace cindral::cli
