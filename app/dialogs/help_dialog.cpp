#include "app/dialogs/help_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

namespace cindral::app {
namespace {

// The Index section's entries (each a "- " line and the lines that continue it) sorted by
// their text, ignoring case; the rest of the guide as it is.
QString WithSortedIndex(const QString& markdown) {
    QStringList lines = markdown.split('\n');
    const auto heading = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
        return line.trimmed().compare("## Index", Qt::CaseInsensitive) == 0;
    });
    if (heading == lines.end()) return markdown;
    const qsizetype start = heading - lines.begin() + 1;
    qsizetype end = start;
    QStringList entries;
    QStringList before;  // blank lines between the heading and the first entry
    for (; end < lines.size() && !lines[end].startsWith('#'); ++end) {
        const QString& line = lines[end];
        if (line.startsWith("- ")) {
            entries << line;
        } else if (!entries.isEmpty() && line.startsWith(' ')) {
            entries.last() += '\n' + line;
        } else if (!line.trimmed().isEmpty()) {
            break;  // the list has ended
        } else if (entries.isEmpty()) {
            before << line;
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QStringList out = lines.mid(0, start);
    out << before << entries;
    if (end < lines.size()) out << QString() << lines.mid(end);
    return out.join('\n') + (end < lines.size() ? "" : "\n");
}

QStringList WordsOf(const QString& query) {
    static const QRegularExpression blanks(R"(\s+)");
    return query.split(blanks, Qt::SkipEmptyParts);
}

}  // namespace

QString TopicAnchor(const QString& heading) {
    QString anchor;
    bool dash = false;
    for (QChar c : heading.toLower()) {
        if (c.isLetterOrNumber()) {
            if (dash && !anchor.isEmpty()) anchor += '-';
            anchor += c;
            dash = false;
        } else {
            dash = true;
        }
    }
    return anchor;
}

QString UserGuideHtml(const QString& markdown) {
    QTextDocument document;
    document.setMarkdown(WithSortedIndex(markdown));
    QString html = document.toHtml();
    // Qt's HTML has no heading ids; the topics need them. The anchor goes inside the heading,
    // where the rich-text reader keeps it.
    static const QRegularExpression heading(R"((<h([23])[^>]*>)(.*?)(</h\2>))");
    static const QRegularExpression tags("<[^>]*>");
    QString out;
    qsizetype last = 0;
    auto it = heading.globalMatch(html);
    while (it.hasNext()) {
        auto m = it.next();
        QString text = m.captured(3);
        text.remove(tags);
        out += html.mid(last, m.capturedStart() - last);
        out += m.captured(1) + "<a name=\"" + TopicAnchor(text) + "\"></a>" + m.captured(3) +
               m.captured(4);
        last = m.capturedEnd();
    }
    out += html.mid(last);
    return out;
}

QString UserGuideMarkdown() {
    QFile guide(":/help/user-guide.md");
    guide.open(QIODevice::ReadOnly);
    return QString::fromUtf8(guide.readAll());
}

QList<HelpTopic> GuideTopics(const QTextDocument& document) {
    QList<HelpTopic> topics;
    bool skipping = true;  // before the first topic, and in the contents and the index
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 2 || level == 3) {
            const QString anchor = TopicAnchor(block.text());
            skipping = anchor == help_topic::kContents || anchor == help_topic::kIndex;
            if (!skipping) topics.append({anchor, block.text().trimmed(), QString()});
        } else if (level == 1) {
            skipping = true;
        } else if (!skipping) {
            topics.last().text += block.text() + '\n';
        }
    }
    return topics;
}

QList<HelpTopic> FindTopics(const QList<HelpTopic>& topics, const QString& query) {
    const QStringList words = WordsOf(query);
    QList<HelpTopic> found;
    if (words.isEmpty()) return found;
    for (const HelpTopic& topic : topics) {
        const bool all = std::all_of(words.begin(), words.end(), [&](const QString& word) {
            return topic.title.contains(word, Qt::CaseInsensitive) ||
                   topic.text.contains(word, Qt::CaseInsensitive);
        });
        if (all) found.append(topic);
    }
    return found;
}

THelpDialog::THelpDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("THelpDialog");
    setWindowTitle("Cindral 2003 Help");
    Browser = new QTextBrowser(this);
    Browser->setObjectName("Browser");
    // Links inside the guide go through the browser's own source, which keeps the history.
    Browser->setOpenLinks(true);
    Browser->setOpenExternalLinks(false);
    // The guide's pictures are built in beside it.
    Browser->setSearchPaths({":/help"});
    Browser->setHtml(UserGuideHtml(UserGuideMarkdown()));
    topics_ = GuideTopics(*Browser->document());
    for (QTextBlock block = Browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            for (const QString& name : fragment.fragment().charFormat().anchorNames()) {
                anchors_.insert(name);
            }
        }
    }

    BackBtn = new QPushButton("Back", this);
    BackBtn->setObjectName("BackBtn");
    BackBtn->setToolTip("The topic shown before (Alt+Left)");
    ForwardBtn = new QPushButton("Forward", this);
    ForwardBtn->setObjectName("ForwardBtn");
    ForwardBtn->setToolTip("The topic shown after (Alt+Right)");
    // Keys of the window rather than of the buttons: a button's key takes the focus from
    // the guide and clicks a moment later.
    auto* back_key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this);
    auto* forward_key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), this);
    connect(back_key, &QShortcut::activated, Browser, &QTextBrowser::backward);
    connect(forward_key, &QShortcut::activated, Browser, &QTextBrowser::forward);
    ContentsBtn = new QPushButton("&Contents", this);
    for (QPushButton* b : {BackBtn, ForwardBtn, ContentsBtn}) b->setAutoDefault(false);
    BackBtn->setEnabled(false);
    ForwardBtn->setEnabled(false);
    connect(BackBtn, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(ForwardBtn, &QPushButton::clicked, Browser, &QTextBrowser::forward);
    // The text cursor follows the topic shown: left on a link followed, it would pull the
    // view back to that link when the history restores a topic or the window is resized.
    connect(Browser, &QTextBrowser::historyChanged, this,
            [this] { Browser->setTextCursor(Browser->cursorForPosition(QPoint(0, 0))); });
    connect(Browser, &QTextBrowser::backwardAvailable, BackBtn, &QPushButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ForwardBtn, &QPushButton::setEnabled);
    connect(ContentsBtn, &QPushButton::clicked, this, [this] { ShowTopic(help_topic::kContents); });

    SearchEd = new QLineEdit(this);
    SearchEd->setObjectName("SearchEd");
    SearchEd->setPlaceholderText("Words to find");
    SearchEd->setClearButtonEnabled(true);
    auto* search_label = new QLabel("&Search:", this);
    search_label->setBuddy(SearchEd);
    Results = new QListWidget(this);
    Results->setObjectName("Results");
    Results->hide();
    connect(SearchEd, &QLineEdit::textChanged, this, [this](const QString& q) { Search(q); });
    SearchEd->installEventFilter(this);
    Results->installEventFilter(this);
    connect(Results, &QListWidget::itemActivated, this, &THelpDialog::OpenResult);
    connect(Results, &QListWidget::itemClicked, this, &THelpDialog::OpenResult);

    auto* top = new QHBoxLayout;
    for (QPushButton* b : {BackBtn, ForwardBtn, ContentsBtn}) top->addWidget(b);
    top->addSpacing(12);
    top->addWidget(search_label);
    top->addWidget(SearchEd, 1);
    auto* split = new QSplitter(this);
    split->addWidget(Results);
    split->addWidget(Browser);
    split->setStretchFactor(1, 3);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addWidget(buttons);
    resize(760, 720);
}

bool THelpDialog::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == SearchEd || watched == Results) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QListWidgetItem* item =
                Results->currentItem() ? Results->currentItem() : Results->item(0);
            if (item != nullptr) OpenResult(item);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void THelpDialog::ShowTopic(const QString& topic) {
    if (!anchors_.contains(topic)) {
        Browser->verticalScrollBar()->setValue(0);
        return;
    }
    // The browser's own source: it remembers where the topic left was scrolled to.
    QUrl target;
    target.setFragment(topic);
    Browser->setSource(target);
}

void THelpDialog::Search(const QString& query) {
    Results->clear();
    for (const HelpTopic& topic : FindTopics(topics_, query)) {
        auto* item = new QListWidgetItem(topic.title, Results);
        item->setData(Qt::UserRole, topic.anchor);
    }
    Results->setVisible(!WordsOf(query).isEmpty());
    if (Results->count() > 0) Results->setCurrentRow(0);
    if (WordsOf(query).isEmpty()) MarkWords();
}

void THelpDialog::OpenResult(QListWidgetItem* item) {
    if (item == nullptr) return;
    ShowTopic(item->data(Qt::UserRole).toString());
    MarkWords();
}

void THelpDialog::MarkWords() {
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat mark;
    mark.setBackground(QColor(255, 230, 80));
    QTextDocument* document = Browser->document();
    for (const QString& word : WordsOf(SearchEd->text())) {
        for (QTextCursor at = document->find(word); !at.isNull(); at = document->find(word, at)) {
            marks.append({at, mark});
        }
    }
    Browser->setExtraSelections(marks);
}

THelpDialog* ShowHelpTopic(const QString& topic, QWidget* parent) {
    static QPointer<THelpDialog> without_parent;
    QWidget* owner = parent ? parent->window() : nullptr;
    THelpDialog* help = owner
                            ? owner->findChild<THelpDialog*>(QString(), Qt::FindDirectChildrenOnly)
                            : without_parent.data();
    if (!help) {
        help = new THelpDialog(owner);
        if (!owner) without_parent = help;
    }
    help->show();
    help->raise();
    help->activateWindow();
    help->ShowTopic(topic);
    return help;
}

void InstallHelpKey(QWidget* window, const char* topic) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window,
                     [window, topic] { ShowHelpTopic(topic, window); });
}

}  // namespace cindral::app
