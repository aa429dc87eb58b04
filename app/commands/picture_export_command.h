#pragma once
// The page and table exports as the main window offers them: BMP and JPEG of the page on
// screen, drawn again at the chosen resolution, and the whole log as an HTML table of JPEG
// pages. They sit in the Export submenu of the window's design and in the visible
// File > Export submenu.

#include <QUrl>
#include <functional>
#include <string>

class QMenu;

namespace cindral::app {

class TCindralFrm;

// Adds the commands to both Export submenus (the hidden one, then the visible one).
void AddPictureExportCommands(TCindralFrm& window, QMenu* hidden, QMenu* visible);

// The name a new export starts from: the open log's name with `extension` (".bmp"), or
// `untitled` while the window shows no file.
std::string DefaultExportName(const TCindralFrm& window, const QString& extension,
                              const std::string& untitled);

void BMP1Click(TCindralFrm& window);
void JPEG1Click(TCindralFrm& window);
void HTMLTable1Click(TCindralFrm& window);

// Writes the page on screen to `path` as BMP or JPEG (by the extension) at `pixels_per_inch`;
// false (after showing the error) when it cannot.
bool ExportShownPage(TCindralFrm& window, const std::string& path, int pixels_per_inch,
                     int quality);
// Writes the table and its pictures, then opens it when `open` is set; false (after showing
// the error) when it cannot be written.
bool ExportHtmlTable(TCindralFrm& window, const std::string& path, int pixels_per_inch, int quality,
                     bool open);

// Opens a finished table; QDesktopServices unless replaced (tests). False when nothing could
// open it.
extern std::function<bool(const QUrl&)> OpenInBrowser;

}  // namespace cindral::app
