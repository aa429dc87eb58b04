#pragma once
// The whole-log export as the main window offers it (File > Export > Whole Log as
// Metafile...): asks for the options and exports the open log's file.

#include "app/commands/command_context.h"

namespace cindral::app {

struct MetafileOptions;

// The options a new export starts from: the open log's name with ".wmf", WMF, both bands;
// no name while no file is shown.
MetafileOptions DefaultMetafileOptions(const CommandContext& context);

// Asks for the options and exports; errors are shown, the view stays as it was.
void WMF1Click(const CommandContext& context);

// Exports the open log's file with `options`; false (after showing the error) on failure.
bool ExportOpenLog(const CommandContext& context, const MetafileOptions& options);

}  // namespace cindral::app
