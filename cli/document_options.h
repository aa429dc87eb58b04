#pragma once
// The viewer's settings as the CLI sees them: read, never written, and turned into the
// library files and default page length a document is made with.

#include <string>

#include "cli/options.h"
#include "core/environment/document_settings.h"
#include "core/environment/settings.h"

namespace cindral::cli {

// The settings file in use: --settings FILE, else the viewer's own.
std::string SettingsPathFor(const CommonOptions& options);

// Reads the settings file without changing it. An explicit --settings FILE that does not
// exist fails; problems of a file that exists are printed to stderr and the defaults used.
SettingsReading ReadSettingsFor(const CommonOptions& options);

// The libraries and default page length for a document: --patterns/--symbols when given,
// else the files the settings name (the program's own copies when those are missing);
// --page-length when given, else the settings' custom page length. `settings_used`, when
// given, receives the settings read, for what else a command takes from them.
DocumentSettings DocumentSettingsFor(const CommonOptions& options,
                                     Settings* settings_used = nullptr);

}  // namespace cindral::cli
