// The status window on the offscreen platform: its lines, gauge and Cancel button.

#include "app/dialogs/status_dialog.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "recording_ui.h"

namespace cindral::app {
namespace {

TEST(StatusForm, StartsHiddenWithItsCaptionAndShowsItselfForAStatusLine) {
    TStatusForm form;
    EXPECT_TRUE(form.isHidden());
    EXPECT_EQ(form.windowTitle(), "Please stand-by ...");
    EXPECT_EQ(form.CancelButton->text(), "&Cancel");
    EXPECT_EQ(form.CancelButton->toolTip(), "Cancel current operation.");
    form.ShowStatus("Calculating the number of pages...");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), "Processing");
    EXPECT_EQ(form.StatusMemo->toPlainText(), "Calculating the number of pages...");
    form.HideStatus();
    EXPECT_TRUE(form.isHidden());
    EXPECT_TRUE(form.StatusMemo->toPlainText().isEmpty());
}

TEST(StatusForm, TheMemoIsClearedOnEvery51stLineCountedFromCreation) {
    TStatusForm form;
    for (int i = 1; i <= 50; ++i) form.ShowStatus("line " + std::to_string(i));
    EXPECT_EQ(form.StatusMemo->blockCount(), 50);
    // Hiding does not restart the count.
    form.HideStatus();
    form.ShowStatus("line 51");
    EXPECT_EQ(form.StatusMemo->toPlainText(), "line 51");
    EXPECT_EQ(form.LineCount(), 0);
    for (int i = 52; i <= 101; ++i) form.ShowStatus("line " + std::to_string(i));
    EXPECT_EQ(form.StatusMemo->blockCount(), 51);
    form.ShowStatus("line 102");
    EXPECT_EQ(form.StatusMemo->toPlainText(), "line 102");
}

struct GaugeCase {
    double fraction;
    int percent;
};

class Gauge : public ::testing::TestWithParam<GaugeCase> {};

TEST_P(Gauge, ShowsTheRoundedPercentage) {
    TStatusForm form;
    form.ShowProgress(GetParam().fraction);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.StatusGauge->value(), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(Cases, Gauge,
                         ::testing::Values(GaugeCase{0.0, 0}, GaugeCase{0.999, 100},
                                           GaugeCase{0.125, 12}, GaugeCase{0.135, 14},
                                           GaugeCase{0.5, 50}, GaugeCase{1.7, 100},
                                           GaugeCase{-0.2, 0},
                                           GaugeCase{std::numeric_limits<double>::quiet_NaN(), 0}));

TEST(StatusForm, CancelHidesTheWindowAndAsksOnceAtTheNextPoll) {
    TStatusForm form;
    RecordingUi ui;
    ui.answers = {Answer::No, Answer::Yes};
    ScopedUi scoped(ui);
    form.ShowStatus("Printing page 1...");
    QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    EXPECT_TRUE(form.isHidden());
    EXPECT_TRUE(form.CancelPending());
    EXPECT_FALSE(form.CancelRequested());  // answered No: the work goes on
    EXPECT_FALSE(form.CancelPending());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Cancellation Confirmation");
    form.ShowStatus("Printing page 2...");  // the next line shows the window again
    EXPECT_TRUE(form.isVisible());

    QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    EXPECT_TRUE(form.CancelRequested());
    EXPECT_TRUE(form.isHidden());
    EXPECT_FALSE(form.CancelRequested());
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST(StatusForm, SitsAtTheRightEdgeWithTheGaugeBesideTheButton) {
    TStatusForm normal;
    QRect screen = normal.screen()->geometry();
    EXPECT_EQ(normal.geometry().right(), screen.right());
    EXPECT_EQ(normal.StatusGauge->width(), normal.CancelButton->x());
    EXPECT_EQ(normal.CancelButton->geometry().right(), normal.width() - 1);
    TStatusForm diagnostic(true);
    EXPECT_EQ(diagnostic.height(), screen.height());
    EXPECT_EQ(diagnostic.width(), normal.width() - 34);
    diagnostic.ShowStatus("x");
    EXPECT_TRUE(diagnostic.windowTitle().endsWith(") Processing"))
        << diagnostic.windowTitle().toStdString();
}

// With a window manager's frame and panels at the screen's edges, the whole window, frame
// and all, stays on screen; the size still comes from the whole screen where it fits.
TEST(StatusWindowPlace, KeepsTheFramedWindowInsideThePanels) {
    const QRect screen(0, 0, 1920, 1080);
    struct Case {
        const char* name;
        QRect available;
        QMargins frame;
        bool diagnostic;
    };
    const Case cases[] = {
        {"no frame, no panels", screen, {}, false},
        {"frame", screen, {4, 28, 4, 4}, false},
        {"bottom and right panels", QRect(0, 0, 1872, 1032), {4, 28, 4, 4}, false},
        {"top panel, diagnostic", QRect(0, 32, 1920, 1048), {4, 28, 4, 4}, true},
        {"second screen to the right", QRect(1920, 0, 1920, 1080), {1, 1, 1, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect at = c.available.x() >= 1920 ? QRect(1920, 0, 1920, 1080) : screen;
        const QRect place = StatusWindowPlace(at, c.available, c.frame, c.diagnostic);
        const QRect framed = place.marginsAdded(c.frame);
        EXPECT_TRUE(c.available.contains(framed))
            << framed.x() << "," << framed.y() << " " << framed.width() << "x" << framed.height();
        // Against the right edge it can reach, and as wide as the screen asks.
        EXPECT_EQ(framed.right(), c.available.right());
        EXPECT_EQ(place.width(), int(std::nearbyint(1920 / 3.5)) - (c.diagnostic ? 34 : 0));
        if (!c.diagnostic) EXPECT_EQ(place.height(), 360);
    }
}

}  // namespace
}  // namespace cindral::app
