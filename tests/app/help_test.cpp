#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
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
