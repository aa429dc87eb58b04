#pragma once
// The in-app help: the user guide (docs/user-guide.md, built into the program) shown in the
// program's own help window at a topic. Nothing outside the program is needed to read it.

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace cindral::app {

// Topics of the user guide the program links to.
namespace help_topic {
inline constexpr const char* kContents = "contents";
inline constexpr const char* kIndex = "index";
inline constexpr const char* kOpen = "opening-a-log";
inline constexpr const char* kSaveAs = "saving-a-copy";
inline constexpr const char* kGoToPage = "going-to-a-page";
inline constexpr const char* kGoToDepth = "going-to-a-depth";
inline constexpr const char* kCustomPageLength = "custom-page-length";
inline constexpr const char* kSelectInterval = "selecting-a-depth-interval";
inline constexpr const char* kSystemFiles = "system-files";
}  // namespace help_topic

// The guide's Markdown as HTML; every second- and third-level heading gets an anchor named
// after its text (lower case, words joined by '-').
QString UserGuideHtml(const QString& markdown);

// The anchor a heading text gets.
QString TopicAnchor(const QString& heading);

// The user guide as built into the program.
QString UserGuideMarkdown();

// The help window: the guide, its links followed inside the window.
class THelpDialog : public QDialog {
    Q_OBJECT
  public:
    explicit THelpDialog(QWidget* parent = nullptr);
    // Scrolls the guide so that `topic`'s heading is at the top (the start for an unknown one).
    void ShowTopic(const QString& topic);

    QTextBrowser* Browser;
};

// Shows the help window of `parent`'s window (one per window, made on first use; a window
// without a parent when `parent` is null) at `topic`, raised, and returns it. From a modal
// dialog the help window belongs to the dialog, so it can be read while the dialog is open.
THelpDialog* ShowHelpTopic(const QString& topic, QWidget* parent = nullptr);

// F1 in `window` (a dialog, or the main window) opens the help at `topic`.
void InstallHelpKey(QWidget* window, const char* topic);

}  // namespace cindral::app
