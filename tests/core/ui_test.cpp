#include "core/environment/ui.h"

#include <gtest/gtest.h>

#include "recording_ui.h"

namespace cindral {
namespace {

TEST(SafeDefault, TakesTheAnswerThatChangesNothing) {
    struct Row {
        Buttons buttons;
        Answer expected;
    };
    const Row rows[] = {{Buttons::Ok, Answer::Ok},
                        {Buttons::OkCancel, Answer::Cancel},
                        {Buttons::YesNo, Answer::No},
                        {Buttons::YesNoCancel, Answer::Cancel}};
    for (const Row& row : rows) EXPECT_EQ(SafeDefault(row.buttons), row.expected);
}

TEST(ScopedUi, RoutesMessagesAndRestoresThePreviousSink) {
    RecordingUi outer;
    ScopedUi install_outer(outer);
    {
        RecordingUi inner;
        inner.answers.push_back(Answer::Yes);
        ScopedUi install_inner(inner);
        EXPECT_EQ(
            CurrentUi().ShowMessage(MessageKind::Confirmation, "Confirm", "Go on?", Buttons::YesNo),
            Answer::Yes);
        ASSERT_EQ(inner.messages.size(), 1u);
        EXPECT_EQ(inner.messages[0].text, "Go on?");
    }
    CurrentUi().ShowMessage(MessageKind::Error, "Error", "after", Buttons::Ok);
    ASSERT_EQ(outer.messages.size(), 1u);
    EXPECT_EQ(outer.messages[0].text, "after");
}

// What a message box shows: line breaks as line breaks, the table's paragraph break as an
// empty line, no control character that would show as a missing glyph.
TEST(MessageDisplayText, TurnsBreaksIntoLinesAndDropsOtherControls) {
    struct Row {
        std::string text;
        std::string shown;
    };
    const Row rows[] = {
        {"Title: one\r\v two  caller", "Title: one\n\ntwo  caller"},
        {"a\r\n\r\nb", "a\n\nb"},
        {"File Corrupted\rpiece\r\x01", "File Corrupted\npiece\n"},
        {"a\vb\nc", "a\nb\nc"},
        {"tab\there\x1b\x7f, caf\xc3\xa9", "tab\there, caf\xc3\xa9"},
        {"  lead kept, inner  blanks kept", "  lead kept, inner  blanks kept"},
    };
    for (const Row& row : rows) EXPECT_EQ(MessageDisplayText(row.text), row.shown) << row.text;
}

}  // namespace
}  // namespace cindral
