#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <algorithm>
#include <functional>

#include "app/dialogs/goto_page_dialog.h"
#include "app/dialogs/help_dialog.h"
#include "app/dialogs/page_break_dialog.h"
#include "app/dialogs/select_depth_dialog.h"
#include "app/window/cindral_frm.h"
#include "frm_test_support.h"
#include "recording_ui.h"

namespace cindral::app {
namespace {

using cindral::testing::TempDir;

TEST(TopicAnchor, JoinsWordsInLowerCase) {
    struct Row {
        const char* heading;
        const char* anchor;
    };
    const Row rows[] = {
        {"Custom page length", "custom-page-length"},
        {"Reading depths and elevations", "reading-depths-and-elevations"},
        {"  Going to a page ...", "going-to-a-page"},
        {"Index", "index"},
    };
    for (const Row& row : rows) EXPECT_EQ(TopicAnchor(row.heading).toStdString(), row.anchor);
}

// Every topic the program opens, and every link of the guide's contents and index, must
// exist in the guide it carries, or help lands nowhere.
TEST(UserGuide, HasAnAnchorForEveryTopicAndLink) {
    const QString html = UserGuideHtml(UserGuideMarkdown());
    QStringList targets = {help_topic::kContents,       help_topic::kIndex,
                           help_topic::kOpen,           help_topic::kSaveAs,
                           help_topic::kGoToPage,       help_topic::kCustomPageLength,
                           help_topic::kSelectInterval, help_topic::kSystemFiles};
    static const QRegularExpression link(R"re(href="#([^"]+)")re");
    for (auto it = link.globalMatch(html); it.hasNext();) targets << it.next().captured(1);
    EXPECT_GT(targets.size(), 30);
    for (const QString& target : targets) {
        EXPECT_TRUE(html.contains(QString("<a name=\"%1\">").arg(target))) << target.toStdString();
    }
    // Every picture the guide shows is built in where the help window looks for it.
    static const QRegularExpression picture(R"re(<img src="([^"]+)")re");
    int pictures = 0;
    for (auto it = picture.globalMatch(html); it.hasNext(); ++pictures) {
        const QString source = it.next().captured(1);
        EXPECT_FALSE(QImage(":/help/" + source).isNull()) << source.toStdString();
    }
    EXPECT_GE(pictures, 1);
}

// The heading of `topic` lies in the part of the guide the help window shows.
::testing::AssertionResult ShowsTopic(THelpDialog* help, const QString& topic) {
    if (!help || !help->isVisible()) return ::testing::AssertionFailure() << "no help window";
    QTextDocument* document = help->Browser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || TopicAnchor(block.text()) != topic) continue;
        const double top = document->documentLayout()->blockBoundingRect(block).top();
        const int scrolled = help->Browser->verticalScrollBar()->value();
        const int height = help->Browser->viewport()->height();
        if (top >= scrolled && top < scrolled + height) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << topic.toStdString() << " at " << top << ", shown " << scrolled << " + " << height;
    }
    return ::testing::AssertionFailure() << "no heading for " << topic.toStdString();
}

// F1 and the Help items of the main window and the dialogs' Help buttons and F1 all open the
// guide in the program's own window, at their topic, whatever browser the desktop has.
TEST(HelpWindow, EveryHelpPathOpensItsTopicInTheProgramsOwnWindow) {
    TempDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(dir.path()));
    cindral::testing::WriteEmptyLibraries(dir);
    RecordingUi ui;
    ScopedUi scoped(ui);
    Settings settings = cindral::testing::TestSettings(dir);
    TCindralFrm frm(settings);
    TFPageBreakDlg page_break(true, 100, 1000);
    TSelectDepthFrm interval(1200, 0, 1200, 0);
    TGotoDLG go_to(3, 0);
    auto press_f1 = [](QWidget* window) {
        window->show();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_F1);
    };
    struct Row {
        const char* path;
        QWidget* window;
        std::function<void()> ask;
        const char* topic;
    };
    const Row rows[] = {
        {"F1 in the main window", &frm, [&] { press_f1(&frm); }, help_topic::kContents},
        {"Help > Index", &frm, [&] { frm.Actions().Index1->trigger(); }, help_topic::kIndex},
        {"Help > Contents", &frm, [&] { frm.Actions().Contents1->trigger(); },
         help_topic::kContents},
        {"page length Help button", &page_break, [&] { page_break.HelpBTN->click(); },
         help_topic::kCustomPageLength},
        {"F1 in the interval dialog", &interval, [&] { press_f1(&interval); },
         help_topic::kSelectInterval},
        {"interval Help button", &interval, [&] { interval.HelpBTN->click(); },
         help_topic::kSelectInterval},
        {"F1 in the go-to dialog", &go_to, [&] { press_f1(&go_to); }, help_topic::kGoToPage},
    };
    for (const Row& row : rows) {
        row.ask();
        auto* help = row.window->findChild<THelpDialog*>();
        ASSERT_NE(help, nullptr) << row.path;
        EXPECT_TRUE(ShowsTopic(help, row.topic)) << row.path;
        EXPECT_EQ(row.window->findChildren<THelpDialog*>().size(), 1) << row.path;
    }
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace cindral::app

namespace cindral::app {
namespace {

// The entries of the list under the heading "Index" in `document`, as the reader sees them.
QStringList IndexEntries(const QTextDocument& document) {
    QStringList entries;
    bool in_index = false;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0) {
            in_index = block.text().trimmed() == "Index";
        } else if (in_index && block.textList() != nullptr) {
            entries << block.text().simplified();
        }
    }
    return entries;
}

bool CaseInsensitiveOrder(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

// The index is alphabetical, upper and lower case alike, whatever order the guide has it
// in; entries that run over two lines stay whole and the sections after it stay.
TEST(HelpWindow, TheIndexIsAlphabeticalIgnoringCase) {
    QTextDocument small;
    small.setHtml(
        UserGuideHtml("# Guide\n\n## Index\n\n- beta: [B](#b)\n- Alpha: [A](#a)\n"
                      "- gamma, which runs\n  over two lines\n- Delta\n\n## After\n\n"
                      "The end.\n"));
    EXPECT_EQ(IndexEntries(small),
              QStringList({"Alpha: A", "beta: B", "Delta", "gamma, which runs over two lines"}));
    EXPECT_TRUE(small.toPlainText().contains("The end."));

    THelpDialog help;
    const QStringList entries = IndexEntries(*help.Browser->document());
    const QString markdown = UserGuideMarkdown();
    const QString index_part = markdown.mid(markdown.indexOf("## Index"));
    EXPECT_EQ(entries.size(),
              index_part.count(QRegularExpression("^- ", QRegularExpression::MultilineOption)));
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(), CaseInsensitiveOrder))
        << entries.join(" | ").toStdString();
}

// The topics of the guide's Markdown (headings of level 2 and 3, not the contents and the
// index) whose words, without the link targets and the emphasis marks, hold every word.
QStringList TopicsHolding(const QStringList& words) {
    QStringList found;
    static const QRegularExpression heading(R"(^#{2,3} (.+)$)",
                                            QRegularExpression::MultilineOption);
    const QString markdown = UserGuideMarkdown();
    QList<QRegularExpressionMatch> headings;
    for (auto it = heading.globalMatch(markdown); it.hasNext();) headings << it.next();
    for (qsizetype i = 0; i < headings.size(); ++i) {
        const QString title = headings[i].captured(1).trimmed();
        if (title == "Contents" || title == "Index") continue;
        const qsizetype end =
            i + 1 < headings.size() ? headings[i + 1].capturedStart() : markdown.size();
        QString text = markdown.mid(headings[i].capturedStart(), end - headings[i].capturedStart());
        text.remove(QRegularExpression(R"(\]\([^)]*\))")).remove('*').remove('`');
        if (std::all_of(words.begin(), words.end(),
                        [&](const QString& w) { return text.contains(w, Qt::CaseInsensitive); })) {
            found << title;
        }
    }
    return found;
}

// Search lists the topics holding every word typed, Enter opens the first with the words
// marked, and emptying the field hides the list and the marks.
TEST(HelpWindow, SearchListsTheTopicsHoldingEveryWordAndOpensThem) {
    THelpDialog help;
    help.show();
    QApplication::setActiveWindow(&help);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
    struct Row {
        const char* query;
        QStringList words;
    };
    const Row rows[] = {
        {"magnifier", {"magnifier"}},
        {"PAGE   length", {"page", "length"}},
        {"fit paper", {"fit", "paper"}},
        {"xylophone", {"xylophone"}},
    };
    help.SearchEd->setFocus();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.query);
        help.SearchEd->clear();
        QTest::keyClicks(help.SearchEd, row.query);
        const QStringList expected = TopicsHolding(row.words);
        QStringList listed;
        for (int i = 0; i < help.Results->count(); ++i) listed << help.Results->item(i)->text();
        EXPECT_EQ(listed, expected);
        EXPECT_TRUE(help.Results->isVisible());
        if (expected.isEmpty()) continue;
        QTest::keyClick(help.SearchEd, Qt::Key_Return);
        EXPECT_TRUE(ShowsTopic(&help, TopicAnchor(expected.first())));
        const QList<QTextEdit::ExtraSelection> marks = help.Browser->extraSelections();
        EXPECT_FALSE(marks.isEmpty());
        for (const QTextEdit::ExtraSelection& mark : marks) {
            EXPECT_TRUE(row.words.contains(mark.cursor.selectedText(), Qt::CaseInsensitive))
                << mark.cursor.selectedText().toStdString();
        }
    }
    // A click on a result opens it too.
    help.SearchEd->clear();
    QTest::keyClicks(help.SearchEd, "magnifier");
    ASSERT_GT(help.Results->count(), 1);
    QListWidgetItem* second = help.Results->item(1);
    QTest::mouseClick(help.Results->viewport(), Qt::LeftButton, {},
                      help.Results->visualItemRect(second).center());
    EXPECT_TRUE(ShowsTopic(&help, TopicAnchor(second->text())));
    help.SearchEd->clear();
    EXPECT_FALSE(help.Results->isVisible());
    EXPECT_TRUE(help.Browser->extraSelections().isEmpty());
}

// Back and Forward, buttons and Alt+Left / Alt+Right, go through the topics shown, however
// they were reached: the window's topic, a link followed, a search result.
TEST(HelpWindow, BackAndForwardGoThroughTheTopicsShown) {
    THelpDialog help;
    help.show();
    QApplication::setActiveWindow(&help);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
    help.ShowTopic(help_topic::kContents);
    EXPECT_FALSE(help.BackBtn->isEnabled());
    // The contents' link to Printing, clicked.
    QTextCursor link = help.Browser->document()->find("Printing");
    ASSERT_FALSE(link.isNull());
    const QPoint at = help.Browser->cursorRect(link).center() - QPoint(4, 0);
    QTest::mouseClick(help.Browser->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(ShowsTopic(&help, "printing"));
    QTest::keyClicks(help.SearchEd, "magnifier");
    QTest::keyClick(help.SearchEd, Qt::Key_Return);
    const QString found = TopicAnchor(help.Results->item(0)->text());
    ASSERT_TRUE(ShowsTopic(&help, found));

    auto press = [&](Qt::Key key) { QTest::keyClick(help.Browser, key, Qt::AltModifier); };
    press(Qt::Key_Left);
    EXPECT_TRUE(ShowsTopic(&help, "printing"));
    press(Qt::Key_Left);
    EXPECT_TRUE(ShowsTopic(&help, help_topic::kContents));
    EXPECT_FALSE(help.BackBtn->isEnabled());
    EXPECT_TRUE(help.ForwardBtn->isEnabled());
    press(Qt::Key_Right);
    EXPECT_TRUE(ShowsTopic(&help, "printing"));
    help.ForwardBtn->click();
    EXPECT_TRUE(ShowsTopic(&help, found));
    EXPECT_FALSE(help.ForwardBtn->isEnabled());
    // A new topic after going back drops the topics ahead.
    help.BackBtn->click();
    help.ShowTopic(help_topic::kGoToPage);
    EXPECT_FALSE(help.ForwardBtn->isEnabled());
    help.BackBtn->click();
    EXPECT_TRUE(ShowsTopic(&help, "printing"));
}

}  // namespace
}  // namespace cindral::app
