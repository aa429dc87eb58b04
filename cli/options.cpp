#include "cli/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "cli/command.h"

namespace cindral::cli {

double ParseNumber(const std::string& option, const std::string& text) {
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value)) {
        throw UsageError{option + " needs a number, not '" + text + "'"};
    }
    return value;
}

long ParseInteger(const std::string& option, const std::string& text) {
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE) {
        throw UsageError{option + " needs a whole number, not '" + text + "'"};
    }
    return value;
}

ArgumentReader::ArgumentReader(std::vector<std::string> args)
    : args_(std::move(args)), used_(args_.size(), false) {}

long ArgumentReader::Find(const std::string& name) {
    for (size_t i = 0; i < args_.size(); ++i) {
        if (!used_[i] && args_[i] == name) return static_cast<long>(i);
    }
    return -1;
}

bool ArgumentReader::Flag(const std::string& name) {
    long i = Find(name);
    if (i < 0) return false;
    used_[i] = true;
    return true;
}

std::optional<std::string> ArgumentReader::Value(const std::string& name) {
    long i = Find(name);
    if (i < 0) return std::nullopt;
    if (static_cast<size_t>(i) + 1 >= args_.size()) throw UsageError{name + " needs a value"};
    used_[i] = used_[i + 1] = true;
    return args_[i + 1];
}

std::optional<double> ArgumentReader::Number(const std::string& name) {
    auto v = Value(name);
    if (!v) return std::nullopt;
    return ParseNumber(name, *v);
}

std::optional<long> ArgumentReader::Integer(const std::string& name) {
    auto v = Value(name);
    if (!v) return std::nullopt;
    return ParseInteger(name, *v);
}

CommonOptions ArgumentReader::Common() {
    CommonOptions o;
    if (auto v = Value("--patterns")) o.patterns = *v;
    if (auto v = Value("--symbols")) o.symbols = *v;
    if (auto v = Value("--settings")) o.settings = *v;
    o.page_length = Number("--page-length");
    long i = Find("--interval");
    if (i >= 0) {
        if (static_cast<size_t>(i) + 2 >= args_.size()) {
            throw UsageError{"--interval needs two depths: TOP BOTTOM"};
        }
        double top = ParseNumber("--interval", args_[i + 1]);
        double bottom = ParseNumber("--interval", args_[i + 2]);
        used_[i] = used_[i + 1] = used_[i + 2] = true;
        o.interval = std::make_pair(top, bottom);
    }
    return o;
}

std::vector<std::string> ArgumentReader::Positionals() {
    std::vector<std::string> rest;
    for (size_t i = 0; i < args_.size(); ++i) {
        if (used_[i]) continue;
        if (args_[i].size() > 1 && args_[i][0] == '-') {
            throw UsageError{"unknown option " + args_[i]};
        }
        rest.push_back(args_[i]);
    }
    return rest;
}

}  // namespace cindral::cli
