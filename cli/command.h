#pragma once
// Sub-commands of cindral-cli. Each lives in its own cmd_*.cpp file and registers itself
// with a static CommandRegistration, so adding one touches no other file.

#include <string>
#include <vector>

namespace cindral::cli {

// Exit statuses of the command-line contract.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // file refused or an operation failed
constexpr int kExitUsage = 2;    // the command line itself is wrong

// Thrown by argument parsing; main() prints the text with the usage and exits 2.
struct UsageError {
    std::string message;
};

struct Command {
    const char* name;
    const char* usage;  // one line, without the program name
    int (*run)(const std::vector<std::string>& args);
    const char* details;  // what `cindral-cli NAME --help` adds below the usage, or nullptr
};

const std::vector<Command>& Commands();

struct CommandRegistration {
    explicit CommandRegistration(const Command& command);
};

}  // namespace cindral::cli
