// cindral-cli settings: where the viewer's settings file is and what it holds, and where the
// viewer writes its execution log. Reads only; a missing or damaged file is described, never
// created or repaired.

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cli/command.h"
#include "cli/document_options.h"
#include "cli/json_text.h"
#include "cli/options.h"
#include "core/environment/directories.h"
#include "core/environment/program_paths.h"

namespace cindral::cli {
namespace {

const char kUsage[] = "settings [--json] [--settings FILE]";

const char* StateName(SettingsFileState state) {
    switch (state) {
        case SettingsFileState::Good:
            return "good";
        case SettingsFileState::Missing:
            return "missing";
        case SettingsFileState::WrongSize:
            return "wrong-size";
        case SettingsFileState::Repaired:
            return "repaired";
        case SettingsFileState::Unreadable:
            return "unreadable";
    }
    return "unknown";
}

std::string Number(double v) {
    if (!std::isfinite(v)) return "null";
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// Name and value of every field the viewer uses; `json` chooses the value notation.
std::vector<std::pair<std::string, std::string>> Fields(const Settings& s, bool json) {
    auto text = [&](const std::string& v) { return json ? JsonString(v) : v; };
    auto flag = [&](bool v) { return std::string(v ? "true" : "false"); };
    auto integer = [](long v) { return std::to_string(v); };
    return {
        {"LogDesignFile", text(s.LogDesignFile)},
        {"KeywordFile", text(s.KeywordFile)},
        {"PatternFile", text(s.PatternFile)},
        {"SymbolFile", text(s.SymbolFile)},
        {"DefaultPageLength", Number(s.DefaultPageLength)},
        {"DefaultPageWidth", Number(s.DefaultPageWidth)},
        {"PrinterOrientation", integer(s.PrinterOrientation)},
        {"Maximized", flag(s.Maximized)},
        {"WindowTop", integer(s.WindowTop)},
        {"WindowLeft", integer(s.WindowLeft)},
        {"WindowWidth", integer(s.WindowWidth)},
        {"WindowHeight", integer(s.WindowHeight)},
        {"CustomPageLengthOn", flag(s.CustomPageLengthOn)},
        {"UnitsPerPage", Number(s.UnitsPerPage)},
        {"PageSetupInches", flag(s.PageSetupInches)},
        {"TextLineOption", flag(s.TextLineOption)},
        {"DepthUnitsPerInch", Number(s.DepthUnitsPerInch)},
        {"RepeatedHeaderGap", Number(s.RepeatedHeaderGap)},
        {"ExportPixelsPerInch", integer(s.ExportPixelsPerInch)},
        {"ExportQuality", integer(s.ExportQuality)},
        {"HtmlTableOption", integer(s.HtmlTableOption)},
        {"OpenTableInBrowser", flag(s.OpenTableInBrowser)},
        {"PrintInBlack", flag(s.PrintInBlack)},
    };
}

int RunSettings(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    bool json = reader.Flag("--json");
    CommonOptions common = reader.Common();
    if (!reader.Positionals().empty()) throw UsageError{"takes no FILE"};

    std::string path = SettingsPathFor(common);
    std::string log = FindViewerLogFile(ExecutableDirectory());
    SettingsReading reading = ReadSettingsFor(common);
    if (json) {
        std::printf("{\"file\": %s, \"log\": %s, \"state\": \"%s\", \"problems\": [",
                    JsonString(path).c_str(), JsonString(log).c_str(), StateName(reading.state));
        for (size_t i = 0; i < reading.problems.size(); ++i) {
            std::printf("%s%s", i ? ", " : "", JsonString(reading.problems[i]).c_str());
        }
        std::printf("], \"settings\": {");
        auto fields = Fields(reading.settings, true);
        for (size_t i = 0; i < fields.size(); ++i) {
            std::printf("%s\"%s\": %s", i ? ", " : "", fields[i].first.c_str(),
                        fields[i].second.c_str());
        }
        std::printf("}}\n");
    } else {
        std::printf("settings file: %s\n", path.c_str());
        std::printf("execution log: %s\n", log.c_str());
        std::printf("state: %s%s\n", StateName(reading.state),
                    reading.state == SettingsFileState::Good ? "" : " (values shown are in use)");
        for (const std::string& problem : reading.problems) {
            std::printf("problem: %s\n", problem.c_str());
        }
        for (const auto& [name, value] : Fields(reading.settings, false)) {
            std::printf("%s = %s\n", name.c_str(), value.c_str());
        }
    }
    if (std::fflush(stdout) != 0) throw std::runtime_error("cannot write to standard output");
    return kExitOk;
}

const CommandRegistration registration({"settings", kUsage, RunSettings, nullptr});

}  // namespace
}  // namespace cindral::cli
