// cindral-cli: the viewer's documents without windows, for scripts and batch work.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/command.h"

namespace cindral::cli {
namespace {

std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage:\n");
    for (const Command& c : Commands()) std::fprintf(out, "  cindral-cli %s\n", c.usage);
    std::fprintf(out,
                 "common: --patterns FILE --symbols FILE --settings FILE --page-length UNITS "
                 "--interval TOP BOTTOM\n");
}

}  // namespace

const std::vector<Command>& Commands() { return Registry(); }

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
    for (const Command& c : Commands()) {
        if (args[0] != c.name) continue;
        try {
            return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
        } catch (const UsageError& e) {
            std::fprintf(stderr, "cindral-cli %s: %s\nusage: cindral-cli %s\n", c.name,
                         e.message.c_str(), c.usage);
            return kExitUsage;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return kExitFailure;
        }
    }
    std::fprintf(stderr, "cindral-cli: unknown command '%s'\n", args[0].c_str());
    PrintUsage(stderr);
    return kExitUsage;
}
