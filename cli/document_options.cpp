#include "cli/document_options.h"

#include <cstdio>
#include <filesystem>

#include "core/base/errors.h"
#include "core/environment/directories.h"
#include "core/environment/program_paths.h"

namespace cindral::cli {
namespace {

SettingsEnvironment EnvironmentFor(const std::string& settings_path) {
    SettingsEnvironment e;
    e.program_directory = ExecutableDirectory();
    std::filesystem::path path(settings_path);
    e.user_directory = path.has_parent_path() ? path.parent_path().string() + "/" : "./";
    e.exe_base_name = kViewerBaseName;
    return e;
}

}  // namespace

std::string SettingsPathFor(const CommonOptions& options) {
    return options.settings.empty() ? FindViewerSettingsFile(ExecutableDirectory())
                                    : options.settings;
}

SettingsReading ReadSettingsFor(const CommonOptions& options) {
    std::string path = SettingsPathFor(options);
    SettingsReading reading = ReadSettingsFile(path, EnvironmentFor(path));
    if (!options.settings.empty() && reading.state == SettingsFileState::Missing) {
        throw CindralError("Cannot find the settings file " + path);
    }
    return reading;
}

DocumentSettings DocumentSettingsFor(const CommonOptions& options, Settings* settings_used) {
    SettingsReading reading = ReadSettingsFor(options);
    if (settings_used != nullptr) *settings_used = reading.settings;
    for (const std::string& problem : reading.problems) {
        std::fprintf(stderr, "warning: settings file %s: %s\n", SettingsPathFor(options).c_str(),
                     problem.c_str());
    }
    DocumentSettings d =
        DocumentSettingsFrom(reading.settings, DataDirectory(), options.patterns, options.symbols);
    if (options.page_length) d.default_page_length = *options.page_length;
    return d;
}

}  // namespace cindral::cli
