// cindral-cli trace: plays a compiled log, or the commands of one of its pages, into the
// trace target and prints one line per drawing-primitive call, with what a default reduces a
// call to indented beneath it.

#include <cstdio>
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/log_opening.h"
#include "cli/options.h"
#include "core/interpreter/trace_object.h"

namespace cindral::cli {
namespace {

const char kUsage[] =
    "trace FILE [--page N] [--no-annotations]   (with --page, the commands page N plays; "
    "without, every command of the file)";

int RunTrace(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    std::optional<long> page = reader.Integer("--page");
    bool annotate = !reader.Flag("--no-annotations");
    CommonOptions common = reader.Common();
    std::vector<std::string> files = reader.Positionals();
    if (files.size() != 1) throw UsageError{"needs exactly one FILE"};
    if (page && *page < 1) throw UsageError{"--page counts from 1"};

    const std::unique_ptr<LogDocument> document = OpenLogDocument(files[0], common);
    if (page) RequirePageInLog(*page, *document);
    const DocumentSettings& libraries = document->Options().files;
    trace_object trace(std::cout, libraries.pattern_file, libraries.symbol_file,
                       libraries.default_page_length);
    trace.AnnotateCommands = annotate;
    std::vector<int64_t> offsets;
    document->PreparePlay(trace, page ? static_cast<int>(*page - 1) : -1, offsets);
    trace.PlayCommands();
    std::cout.flush();
    if (!std::cout) throw std::runtime_error("cannot write the trace to standard output");
    return kExitOk;
}

const CommandRegistration registration({"trace", kUsage, RunTrace, nullptr});

}  // namespace
}  // namespace cindral::cli
