#include "app/help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextDocument>
#include <QUrl>

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
    // Qt's HTML has no heading ids; the topics need them.
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
        out += "<a name=\"" + TopicAnchor(text) + "\"></a>" + m.captured(0);
        last = m.capturedEnd();
    }
    out += html.mid(last);
    return out;
}

bool ShowHelpTopic(const QString& topic) {
    QFile guide(QCoreApplication::applicationDirPath() + "/docs/user-guide.md");
    if (!guide.open(QIODevice::ReadOnly)) return false;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    QDir().mkpath(folder);
    QFile html(folder + "/user-guide.html");
    if (!html.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    html.write(UserGuideHtml(QString::fromUtf8(guide.readAll())).toUtf8());
    html.close();
    QUrl url = QUrl::fromLocalFile(html.fileName());
    if (!topic.isEmpty()) url.setFragment(topic);
    return QDesktopServices::openUrl(url);
}

}  // namespace cindral::app
