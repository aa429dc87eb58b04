#pragma once
// The in-app help: the user guide (docs/user-guide.md installed beside the program) shown
// as HTML in the desktop's browser, at a topic.

#include <QString>

namespace cindral::app {

// Topics of the user guide the program links to.
namespace help_topic {
inline constexpr const char* kContents = "";
inline constexpr const char* kIndex = "index";
inline constexpr const char* kOpen = "opening-a-log";
inline constexpr const char* kSaveAs = "saving-a-copy";
inline constexpr const char* kGoToPage = "going-to-a-page";
inline constexpr const char* kCustomPageLength = "custom-page-length";
inline constexpr const char* kSelectInterval = "selecting-a-depth-interval";
inline constexpr const char* kSystemFiles = "system-files";
}  // namespace help_topic

// The guide's Markdown as HTML; every second- and third-level heading gets an anchor named
// after its text (lower case, words joined by '-').
QString UserGuideHtml(const QString& markdown);

// The anchor a heading text gets.
QString TopicAnchor(const QString& heading);

// Writes the guide as HTML into the user's cache folder and opens it at `topic`. False when
// the guide is missing or no browser opened it.
bool ShowHelpTopic(const QString& topic);

}  // namespace cindral::app
