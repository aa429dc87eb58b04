#pragma once
// The in-app help: the user guide (docs/user-guide.md, built into the program) shown in the
// program's own help window at a topic, with a search over its topics and a history of the
// topics visited. Nothing outside the program is needed to read it.

#include <QDialog>
#include <QList>
#include <QSet>
#include <QString>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTextBrowser;
class QTextDocument;

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
// after its text (lower case, words joined by '-'), and the entries of the Index section
// are in alphabetical order whatever order the guide lists them in.
QString UserGuideHtml(const QString& markdown);

// A topic of the guide: a second- or third-level heading and its text up to the next one.
struct HelpTopic {
    QString anchor;
    QString title;
    QString text;
};
// The topics of the guide in `document`, in the guide's order; the contents and the index,
// which name every topic, are not topics to be found.
QList<HelpTopic> GuideTopics(const QTextDocument& document);
// The topics whose title or text hold every word of `query`, ignoring case; none for a
// query without words.
QList<HelpTopic> FindTopics(const QList<HelpTopic>& topics, const QString& query);

// The anchor a heading text gets.
QString TopicAnchor(const QString& heading);

// The user guide as built into the program.
QString UserGuideMarkdown();

// The help window: the guide, its links followed inside the window, Back (Alt+Left) and
// Forward (Alt+Right) through the topics shown, and a search field whose results open their
// topic with the words marked.
class THelpDialog : public QDialog {
    Q_OBJECT
  public:
    explicit THelpDialog(QWidget* parent = nullptr);
    // Scrolls the guide so that `topic`'s heading is at the top (the start for an unknown one)
    // and remembers it in the history.
    void ShowTopic(const QString& topic);
    // Lists the topics holding every word of `query` (the list hides for an empty query).
    void Search(const QString& query);
    // The topic a result names, its words marked.
    void OpenResult(QListWidgetItem* item);

    QPushButton* BackBtn;
    QPushButton* ForwardBtn;
    QPushButton* ContentsBtn;
    QLineEdit* SearchEd;
    QListWidget* Results;
    QTextBrowser* Browser;

  protected:
    // Enter in the search field or the results opens a topic; it does not close the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Marks every place the words of the last search occur in the guide.
    void MarkWords();

    QList<HelpTopic> topics_;
    QSet<QString> anchors_;
};

// Shows the help window of `parent`'s window (one per window, made on first use; a window
// without a parent when `parent` is null) at `topic`, raised, and returns it. From a modal
// dialog the help window belongs to the dialog, so it can be read while the dialog is open.
THelpDialog* ShowHelpTopic(const QString& topic, QWidget* parent = nullptr);

// F1 in `window` (a dialog, or the main window) opens the help at `topic`.
void InstallHelpKey(QWidget* window, const char* topic);

}  // namespace cindral::app
