// Find in the window under the offscreen platform: the keys of the find bar step through the
// matches in depth order across pages, the highlights lie over the ink of the text they
// mark, in the one-page and the continuous view, and Copy Text / Ctrl+C copy the string.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/view/find_bar.h"
#include "app/view/find_results_panel.h"
#include "app/view/match_overlay.h"
#include "app/view/page_strip.h"
#include "app/window/cindral_frm.h"
#include "core/format/gdx_commands.h"
#include "core/format/gdx_writer.h"
#include "frm_test_support.h"
#include "recording_ui.h"

namespace cindral::app {
namespace {

using cindral::testing::TempDir;
using cindral::testing::WaitUntil;

// Three pages of 500 rows at 100 pixels an inch (1200-700, 700-200, 200-0), one depth unit
// a row; each text drawn at its depth.
struct Text {
    double depth;
    const char* text;
};
const Text kTexts[] = {
    {1100, "Glenmore Sandstone top"}, {900, "grey shale, silty"}, {600, "Glenmore equivalent"},
    {300, "glenmore lower member"},   {100, "base of Glenmore"},
};

void WriteTexts(const std::string& path, const std::vector<Text>& texts) {
    GdxWriter w(cindral::testing::PixelHeader(1200));
    for (const Text& t : texts) {
        DrawTextRecord record;
        record.x = 40;
        record.y = t.depth;
        record.text = t.text;
        w.Write(record);
    }
    w.Save(path);
}

class Find : public ::testing::Test {
  protected:
    Find() : scoped_ui(ui) {
        cindral::testing::UseActualSizeIn(dir);
        cindral::testing::WriteEmptyLibraries(dir);
        WriteTexts(log, {std::begin(kTexts), std::end(kTexts)});
        settings = cindral::testing::TestSettings(dir);
        window = std::make_unique<TCindralFrm>(settings);
        window->ScreenPixelsPerInch = 100;
        window->resize(700, 560);
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        EXPECT_TRUE(window->OpenFile(QString::fromStdString(log)));
        EXPECT_TRUE(window->WaitForPage());
    }

    QString Summary() const { return window->FindBar1->SummaryLbl->text(); }
    bool SummaryIs(const char* text) const {
        return WaitUntil([&] { return Summary() == text; }, 15000);
    }
    MatchOverlay* Marks(QWidget* over) const { return over->findChild<MatchOverlay*>(); }
    // Dark pixels of the page on screen inside `box` (device-independent pixels).
    int InkIn(const QRectF& box) const {
        const QImage& page = window->ViewBitmap;
        int ink = 0;
        for (int y = std::max(0, int(box.top()));
             y < std::min(page.height(), int(box.bottom()) + 1); ++y) {
            for (int x = std::max(0, int(box.left()));
                 x < std::min(page.width(), int(box.right()) + 1); ++x) {
                ink += qGray(page.pixel(x, y)) < 128;
            }
        }
        return ink;
    }

    TempDir dir;
    std::string log = dir.File("log.gdx");
    RecordingUi ui;
    ScopedUi scoped_ui;
    Settings settings;
    std::unique_ptr<TCindralFrm> window;
};

TEST_F(Find, KeysStepThroughTheMatchesInDepthOrderAndHighlightThem) {
    QTest::keyClick(window->ScrollBox1, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(window->FindOpen());
    ASSERT_TRUE(window->FindBar1->Field->hasFocus());
    QTest::keyClicks(window->FindBar1->Field, "glenmore");
    ASSERT_TRUE(SummaryIs("1 of 4"));

    // Where each match is and which page is shown, step by step; the current box covers ink
    // at the row its text was drawn at.
    struct Step {
        std::function<void()> key;
        const char* summary;
        int page;
        double depth;
    };
    QWidget* field = window->FindBar1->Field;
    const Step steps[] = {
        {[] {}, "1 of 4", 0, 1100},
        {[&] { QTest::keyClick(window->ScrollBox1, Qt::Key_F3); }, "2 of 4", 1, 600},
        {[&] { QTest::keyClick(field, Qt::Key_Return); }, "3 of 4", 1, 300},
        {[&] { QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier); }, "2 of 4", 1, 600},
        {[&] { QTest::keyClick(window->ScrollBox1, Qt::Key_F3); }, "3 of 4", 1, 300},
        {[&] { QTest::keyClick(window->ScrollBox1, Qt::Key_F3); }, "4 of 4", 2, 100},
        {[&] { window->Actions().FindNext1->trigger(); }, "1 of 4", 0, 1100},
        {[&] { QTest::keyClick(window->ScrollBox1, Qt::Key_F3, Qt::ShiftModifier); }, "4 of 4", 2,
         100},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.summary);
        step.key();
        ASSERT_EQ(Summary().toStdString(), step.summary);
        ASSERT_TRUE(window->WaitForPage());
        EXPECT_EQ(window->DisplayedPage, step.page);
        const MatchOverlay* marks = Marks(window->Image1);
        ASSERT_TRUE(marks->isVisible());
        const QRectF current = marks->CurrentBox();
        const double row = (step.page == 0 ? 1200 : step.page == 1 ? 700 : 200) - step.depth;
        EXPECT_LE(std::abs(current.center().y() - row), 20) << current.top();
        EXPECT_GT(InkIn(current), 20);
        // The other matches on the same page are marked too, each over its own ink.
        const int on_page = step.page == 1 ? 2 : 1;
        EXPECT_EQ(int(marks->Boxes().size()), on_page - 1);
        for (const QRectF& other : marks->Boxes()) EXPECT_GT(InkIn(other), 20);
    }

    // Match case and whole words narrow the search; nothing found is said in the bar.
    window->FindBar1->MatchCaseCb->setChecked(true);
    window->FindBar1->Field->setText("Glenmore");
    // Each new search starts at the page shown: the one lower-case match took the view to
    // page 2, where the next search finds its second match.
    ASSERT_TRUE(SummaryIs("2 of 3"));
    EXPECT_EQ(window->ShownPage, 1);
    window->FindBar1->MatchCaseCb->setChecked(false);
    window->FindBar1->WholeWordsCb->setChecked(true);
    window->FindBar1->Field->setText("Glen");
    ASSERT_TRUE(SummaryIs("No matches"));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(Marks(window->Image1)->isVisible());

    QTest::keyClick(window->FindBar1->Field, Qt::Key_Escape);
    EXPECT_FALSE(window->FindOpen());
    // F3 with the bar closed opens it on the text last searched for.
    window->FindBar1->WholeWordsCb->setChecked(false);
    window->FindBar1->Field->setText("shale");
    window->CloseFind();
    QTest::keyClick(window->ScrollBox1, Qt::Key_F3);
    EXPECT_TRUE(window->FindOpen());
    ASSERT_TRUE(SummaryIs("1 of 1"));
}

TEST_F(Find, ContinuousViewResultsListCopyAndAnotherLog) {
    window->Actions().Continuous1->trigger();
    ASSERT_TRUE(window->Continuous());
    window->Find1Click();
    window->FindBar1->Field->setText("glenmore");
    ASSERT_TRUE(SummaryIs("1 of 4"));
    window->FindStep(true);
    window->FindStep(true);
    window->FindStep(true);
    ASSERT_EQ(Summary(), "4 of 4");
    // The strip's marks lie at the page's place in the strip, and the view has scrolled to
    // the match.
    const MatchOverlay* marks = Marks(window->Strip);
    ASSERT_TRUE(marks->isVisible());
    EXPECT_EQ(marks->Boxes().size(), 3u);
    const QRectF current = marks->CurrentBox();
    const int page_top = window->Strip->PageTop(2);
    EXPECT_LE(std::abs(current.center().y() - (page_top + 100)), 20);
    const int view_top = window->ScrollBox1->verticalScrollBar()->value();
    EXPECT_GE(current.top(), view_top);
    EXPECT_LE(current.bottom(), view_top + window->ScrollBox1->viewport()->height());

    // The results list: a row for each match with its page, depth and words; a click goes
    // there.
    window->FindBar1->ResultsBtn->click();
    ASSERT_TRUE(window->FindResults->isVisible());
    ASSERT_EQ(window->FindResults->Count(), 4);
    // The depth is the string's middle row: within its height below where it was drawn.
    const QStringList item = window->FindResults->ItemText(1).split('\n');
    ASSERT_EQ(item.size(), 2);
    EXPECT_TRUE(item[0].startsWith(QString::fromUtf8("Page 2 \u00b7 "))) << item[0].toStdString();
    const double depth = item[0].section(' ', -1).toDouble();
    EXPECT_LT(depth, 600);
    EXPECT_GT(depth, 600 - 16);
    EXPECT_EQ(item[1], "Glenmore equivalent");
    QListWidget* list = window->FindResults->List;
    emit list->itemClicked(list->item(0));
    EXPECT_EQ(Summary(), "1 of 4");
    EXPECT_EQ(window->ShownPage, 0);

    // Ctrl+C copies the current match's whole string; with the bar closed, the page.
    QGuiApplication::clipboard()->clear();
    window->Actions().Copy1->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "Glenmore Sandstone top");
    window->CloseFind();
    EXPECT_FALSE(marks->isVisible());
    window->Actions().Continuous1->trigger();
    ASSERT_TRUE(window->WaitForPage());
    window->Actions().Copy1->trigger();
    EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());

    // Copy Text on the page's menu, over the shale note and beside it.
    struct MenuCase {
        QPoint at;
        bool enabled;
    };
    for (const MenuCase& c : {MenuCase{{60, 1200 - 900 + 4}, true}, MenuCase{{250, 450}, false}}) {
        QGuiApplication::clipboard()->clear();
        bool seen = false;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            auto* copy = menu->findChild<QAction*>("CopyTextMenuItem");
            seen = copy != nullptr && copy->isEnabled() == c.enabled;
            if (copy && copy->isEnabled()) copy->trigger();
            menu->close();
        });
        emit window->Image1->customContextMenuRequested(c.at);
        EXPECT_TRUE(seen) << c.at.x() << "," << c.at.y();
        if (c.enabled) {
            EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "grey shale, silty");
        }
    }

    // Another log while the bar is open is searched for the same text.
    window->Find1Click();
    const std::string other = dir.File("other.gdx");
    WriteTexts(other, {{800, "Glenmore only here"}});
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(other)));
    ASSERT_TRUE(SummaryIs("1 of 1"));
}

}  // namespace
}  // namespace cindral::app
