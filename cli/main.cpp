// cindral-cli: the viewer's documents without windows, for scripts and batch work.

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/progress_sink.h"
#include "core/environment/platform_info.h"
#include "core/environment/status.h"

namespace cindral::cli {
namespace {

std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

const char kCommon[] =
    "common: --patterns FILE --symbols FILE --settings FILE --page-length UNITS "
    "--interval TOP BOTTOM\n";

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage:\n");
    for (const Command& c : Commands()) std::fprintf(out, "  cindral-cli %s\n", c.usage);
    std::fprintf(out, "%s", kCommon);
}

void PrintVersion() {
    std::printf("cindral-cli %s\n", cindral::ProgramVersionText().c_str());
}

bool IsHelp(const std::string& word) {
    return word == "--help" || word == "-h";
}

bool IsVersion(const std::string& word) {
    return word == "--version" || word == "-V";
}

// Columns of the terminal on stderr, or 0 when stderr is not a terminal.
int TerminalWidth() {
    if (!::isatty(STDERR_FILENO)) return 0;
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

}  // namespace

const std::vector<Command>& Commands() {
    return Registry();
}

CommandRegistration::CommandRegistration(const Command& command) {
    Registry().push_back(command);
}

}  // namespace cindral::cli

int main(int argc, char** argv) {
    using namespace cindral::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        PrintUsage(args.empty() ? stderr : stdout);
        return args.empty() ? kExitUsage : kExitOk;
    }
    if (IsVersion(args[0])) {
        PrintVersion();
        return kExitOk;
    }
    int width = TerminalWidth();
    ProgressSink progress(stderr, width > 0, width);
    cindral::ScopedStatusSink status(progress);
    CancelOnInterrupt(progress);
    for (const Command& c : Commands()) {
        if (args[0] != c.name) continue;
        // Asked anywhere among the command's words, help and version answer before any
        // other word is looked at: `cindral-cli render FILE -o x.png --help` draws nothing.
        for (size_t i = 1; i < args.size(); ++i) {
            if (IsHelp(args[i])) {
                std::printf("usage: cindral-cli %s\n%s%s", c.usage, c.details ? c.details : "",
                            kCommon);
                return kExitOk;
            }
            if (IsVersion(args[i])) {
                PrintVersion();
                return kExitOk;
            }
        }
        try {
            return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
        } catch (const UsageError& e) {
            std::fprintf(stderr, "cindral-cli %s: %s\nusage: cindral-cli %s\n", c.name,
                         e.message.c_str(), c.usage);
            return kExitUsage;
        } catch (const std::exception& e) {
            progress.HideStatus();
            std::fprintf(stderr, "%s\n", e.what());
            return kExitFailure;
        }
    }
    std::fprintf(stderr, "cindral-cli: unknown command '%s'\n", args[0].c_str());
    PrintUsage(stderr);
    return kExitUsage;
}
