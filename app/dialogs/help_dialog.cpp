#include "app/dialogs/help_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace cindral::app {

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
    document.setMarkdown(markdown);
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

THelpDialog::THelpDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("THelpDialog");
    setWindowTitle("Cindral 2003 Help");
    Browser = new QTextBrowser(this);
    Browser->setObjectName("Browser");
    Browser->setOpenLinks(true);
    Browser->setOpenExternalLinks(false);
    Browser->setHtml(UserGuideHtml(UserGuideMarkdown()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* contents = buttons->addButton("&Contents", QDialogButtonBox::ActionRole);
    connect(contents, &QPushButton::clicked, this, [this] { ShowTopic(help_topic::kContents); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Browser);
    layout->addWidget(buttons);
    resize(640, 720);
}

void THelpDialog::ShowTopic(const QString& topic) {
    Browser->verticalScrollBar()->setValue(0);
    if (!topic.isEmpty()) Browser->scrollToAnchor(topic);
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
