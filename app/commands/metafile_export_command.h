#pragma once
// The whole-log export as the main window offers it: the Export submenu's metafile command
// (the submenu itself stays hidden) and the visible File > Export > Whole Log as Metafile...,
// both asking for the options and exporting the open log's file.

class QMenu;

namespace cindral::app {

class TCindralFrm;
struct MetafileOptions;

// Adds both commands; `file_menu` receives the visible Export submenu.
void AddMetafileExportCommands(TCindralFrm& window, QMenu* file_menu);

// The options a new export starts from: the open log's name with ".wmf", WMF, both bands;
// no name while the window shows no file.
MetafileOptions DefaultMetafileOptions(const TCindralFrm& window);

// Asks for the options and exports; errors are shown, the window stays as it was.
void WMF1Click(TCindralFrm& window);

// Exports the open log's file with `options`; false (after showing the error) on failure.
bool ExportOpenLog(TCindralFrm& window, const MetafileOptions& options);

}  // namespace cindral::app
