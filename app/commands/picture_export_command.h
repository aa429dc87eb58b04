#pragma once
// The page and table exports as the main window offers them: BMP and JPEG of the page on
// screen, drawn again at the chosen resolution, and the whole log as an HTML table of JPEG
// pages.

#include <QUrl>
#include <functional>
#include <string>

#include "app/commands/command_context.h"

namespace cindral::app {

// The name a new export starts from: the open log's name with `extension` (".bmp"), or
// `untitled` while no file is shown.
std::string DefaultExportName(const CommandContext& context, const QString& extension,
                              const std::string& untitled);

void BMP1Click(const CommandContext& context);
void JPEG1Click(const CommandContext& context);
void HTMLTable1Click(const CommandContext& context);

// Writes the page on screen to `path` as BMP or JPEG (by the extension) at `pixels_per_inch`;
// false (after showing the error) when it cannot, false and nothing written when the user
// cancels. The status window the drawing brings up is hidden again either way.
bool ExportShownPage(const CommandContext& context, const std::string& path, int pixels_per_inch,
                     int quality);
// Writes the table and its pictures, then opens it when `open` is set; false (after showing
// the error) when it cannot be written, false without a message when the user cancels.
bool ExportHtmlTable(const CommandContext& context, const std::string& path, int pixels_per_inch,
                     int quality, bool open);

// Opens a finished table; QDesktopServices unless replaced (tests). False when nothing could
// open it.
extern std::function<bool(const QUrl&)> OpenInBrowser;

}  // namespace cindral::app
