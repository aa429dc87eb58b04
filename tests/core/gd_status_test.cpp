// What a play tells the status sink, and how a confirmed cancel stops it.

#include <gtest/gtest.h>

#include "core/format/gdx_writer.h"
#include "core/interpreter/gd_object.h"
#include "gd_test_support.h"
#include "recording_status.h"
#include "recording_ui.h"

namespace cindral {
namespace {

using testing::PlayFixture;
using testing::TestHeader;

class LineCounter : public gd_object {
  public:
    using gd_object::gd_object;
    void DrawLine(const DrawLineRecord&) override { ++lines; }
    int lines = 0;
};

constexpr int kLines = 200;

std::string WriteLines(const PlayFixture& f) {
    GdxWriter writer(TestHeader());
    for (int i = 0; i < kLines; ++i) {
        DrawLineRecord line;
        line.x1 = i;
        line.y1 = -i;
        line.x2 = i + 1;
        line.y2 = -i - 1;
        writer.Write(line);
    }
    writer.Save(f.Log());
    return f.Log();
}

struct Play {
    RecordingStatusSink sink;
    RecordingUi ui;
    int lines = 0;
};

// Plays the test log with the user pressing Cancel during the given progress report and
// answering the confirmation with `answers`.
void RunPlay(Play& play, const PlayFixture& f, int press_cancel_at, std::deque<Answer> answers) {
    play.sink.press_cancel_at_progress = press_cancel_at;
    play.ui.answers = std::move(answers);
    ScopedStatusSink sink(play.sink);
    ScopedUi ui(play.ui);
    LineCounter doc(f.Patterns(), f.Symbols());
    doc.FileName = WriteLines(f);
    doc.PlayCommands();
    EXPECT_FALSE(doc.IsOpen);
    play.lines = doc.lines;
}

TEST(PlayStatus, ShowsOneStatusLineAndAtMostAboutTenProgressSteps) {
    PlayFixture f;
    Play play;
    RunPlay(play, f, 0, {});
    EXPECT_EQ(play.lines, kLines);
    ASSERT_EQ(play.sink.statuses.size(), 1u);
    EXPECT_EQ(play.sink.statuses[0], "Processing graphic commands within " + f.Log() + " ...");
    ASSERT_FALSE(play.sink.progress.empty());
    EXPECT_EQ(play.sink.progress.front(), 0.0);
    EXPECT_LE(play.sink.progress.size(), 11u);
    EXPECT_GE(play.sink.progress.size(), 9u);
    for (size_t i = 1; i < play.sink.progress.size(); ++i) {
        EXPECT_GT(play.sink.progress[i], play.sink.progress[i - 1] + 0.1) << i;
        EXPECT_LE(play.sink.progress[i], 1.0);
    }
    EXPECT_GT(play.sink.progress.back(), 0.85);
    EXPECT_TRUE(play.ui.messages.empty());
    EXPECT_EQ(play.sink.polls, kLines);
}

struct CancelCase {
    const char* name;
    int press_at;  // progress report during which Cancel is pressed
    Answer answer;
    bool stops;
};

class PlayCancel : public ::testing::TestWithParam<CancelCase> {};

TEST_P(PlayCancel, AConfirmedCancelStopsThePlayAndIsConsumed) {
    const CancelCase& c = GetParam();
    PlayFixture f;
    Play play;
    RunPlay(play, f, c.press_at, {c.answer});
    ASSERT_EQ(play.ui.messages.size(), 1u);
    EXPECT_EQ(play.ui.messages[0].caption, "Cancellation Confirmation");
    EXPECT_EQ(play.ui.messages[0].text,
              "Are you sure that you want to cancel the current operation?");
    EXPECT_EQ(play.ui.messages[0].buttons, Buttons::YesNo);
    EXPECT_FALSE(play.sink.CancelPending());
    if (c.stops) {
        EXPECT_LT(play.lines, kLines);
        EXPECT_GT(play.lines, 0);
        EXPECT_EQ(play.sink.hides, 1);
        EXPECT_EQ(play.ui.cursor_restores, 1);
        // No further report after the cancel.
        EXPECT_EQ(play.sink.progress.size(), static_cast<size_t>(c.press_at));
        EXPECT_EQ(play.sink.polls, play.lines);
    } else {
        EXPECT_EQ(play.lines, kLines);
        EXPECT_EQ(play.sink.hides, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PlayCancel,
                         ::testing::Values(CancelCase{"AtTheStart", 1, Answer::Yes, true},
                                           CancelCase{"MidWay", 4, Answer::Yes, true},
                                           CancelCase{"AnsweredNo", 3, Answer::No, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlayCancel, CancelPressedAtTheStartStopsAfterTheFirstCommand) {
    PlayFixture f;
    Play play;
    RunPlay(play, f, 1, {Answer::Yes});
    EXPECT_EQ(play.lines, 1);
}

}  // namespace
}  // namespace cindral
