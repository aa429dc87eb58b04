#pragma once
// The options shared by every cindral-cli command, and a small parser for the rest.

#include <optional>
#include <string>
#include <vector>

namespace cindral::cli {

struct CommonOptions {
    std::string patterns;                               // --patterns FILE
    std::string symbols;                                // --symbols FILE
    std::string settings;                               // --settings FILE
    std::optional<double> page_length;                  // --page-length UNITS
    std::optional<std::pair<double, double>> interval;  // --interval TOP BOTTOM
};

// Walks the arguments of one command. Known options are taken with their values; the
// remaining words are positionals. Every malformed option raises UsageError.
class ArgumentReader {
  public:
    explicit ArgumentReader(std::vector<std::string> args);

    // True (and consumed) when the flag is present.
    bool Flag(const std::string& name);
    // The value after the option, if the option is present.
    std::optional<std::string> Value(const std::string& name);
    std::optional<double> Number(const std::string& name);
    std::optional<long> Integer(const std::string& name);
    CommonOptions Common();
    // Everything not consumed; refuses words that look like unknown options.
    std::vector<std::string> Positionals();

  private:
    std::vector<std::string> args_;
    std::vector<bool> used_;
    long Find(const std::string& name);
};

double ParseNumber(const std::string& option, const std::string& text);
long ParseInteger(const std::string& option, const std::string& text);

}  // namespace cindral::cli
