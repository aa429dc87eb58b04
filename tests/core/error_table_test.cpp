#include "core/environment/error_table.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/environment/program_paths.h"
#include "recording_ui.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::TempDir;

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(FormatThousands, GroupsDigitsInThrees) {
    struct Row {
        int64_t number;
        const char* expected;
    };
    const Row rows[] = {{0, "0"},
                        {999, "999"},
                        {1000, "1,000"},
                        {1033, "1,033"},
                        {999999, "999,999"},
                        {1000000, "1,000,000"},
                        {999999999, "999,999,999"},
                        {1000000000, "1,000,000,000"},
                        {-5000, "-5000"}};
    for (const Row& row : rows) EXPECT_EQ(FormatThousands(row.number, ','), row.expected);
    EXPECT_EQ(FormatThousands(1234567, '.'), "1.234.567");
    EXPECT_EQ(FormatThousands(1033), "1,033");  // the C locale has no separator of its own
}

TEST(ExplainError, AssemblesTheTableEntry) {
    TempDir dir;
    struct Row {
        const char* name;
        const char* table;
        const char* text;
        const char* expected;
    };
    const Row rows[] = {
        {"title, body and the caller's text", "#1033 T\nB\n=\n", "", "T: B  "},
        {"key after other text", "junk #1033 Title words\nBody\n====\n", "x",
         "#1033 Title words: Body  x"},
        {"paragraphs and CRLF lines", "#1033 T\r\nOne\r\n\r\nTwo\r\n=\r\n#1034 U\r\nno\r\n", "end",
         "T: One\r\v Two  end"},
        {"entry running to the end of the file", "#1033 T\nB", "", "T: B  "},
        {"other entries skipped", "#10330 no\nX\n=\n#1 no\n=\n#1033 yes\nY\n=\n", "", "yes: Y  "},
        {"number not defined", "#1034 Other\nA\n=\n", "ignored",
         "Error # 1,033 not defined within error table file (\\ProgDir\\Quen.Err). Please "
         "contact Quentara."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteText(dir.File("Quen.Err"), row.table);
        RecordingUi ui;
        ScopedUi install(ui);
        EXPECT_EQ(ExplainError(1033, row.text, dir.File("Quen.Err")), row.expected);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST(ExplainError, SaysWhereTheMissingTableWasLookedFor) {
    TempDir dir;
    std::string path = dir.File("Tables/Quen.Err");
    std::string text = ExplainError(1033, "caller", path);
    EXPECT_EQ(text.rfind(
                  "Normally, this screen is used to display an extended error description with", 0),
              0u);
    EXPECT_NE(text.find(" The error message file (" + path + ") is either;"), std::string::npos);
    EXPECT_NE(
        text.find(" (3) currently being edited/examined by another user on your network.caller"),
        std::string::npos);
}

TEST(ErrorMessage, OverflowShowsOneFileCorruptedBoxAndKeepsTheFirst1000Characters) {
    TempDir dir;
    std::string body(1100, 'b');
    WriteText(dir.File("Quen.Err"), "#1033 T\n" + body + "\n=\n");
    RecordingUi ui;
    ScopedUi install(ui);
    std::string text = ExplainError(1033, "tail", dir.File("Quen.Err"));
    EXPECT_EQ(text.size(), kMessageBufferSize);
    EXPECT_EQ(text.substr(0, 4), "T: b");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(ui.messages[0].text, "File Corrupted\r " + body + "\rb");
}

TEST(ErrorMessage, FillsExactlyToTheLimitWithoutComplaint) {
    RecordingUi ui;
    ScopedUi install(ui);
    ErrorMessage message;
    message.AppendToMessage(std::string(kMessageBufferSize, 'a'));
    EXPECT_FALSE(message.overflowed());
    message.AppendToMessage("xy");
    EXPECT_TRUE(message.overflowed());
    message.AppendToMessage("more");  // dropped, no second box
    EXPECT_EQ(message.text(), std::string(kMessageBufferSize, 'a'));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "File Corrupted\rxy\rx");
}

TEST(ReportError, ShowsPlainAndNumberedMessages) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("Tables"));
    WriteText(dir.File("Tables/Quen.Err"), "#1033 Bad version\nExplained.\n=\n");
    SetExecutableDirectoryForTesting(dir.path());
    RecordingUi ui;
    {
        ScopedUi install(ui);
        ReportError(0, "Not enough disk space.");
        ReportError(-1, "Just so you know.");
        ReportError(1033, "File x.");
    }
    SetExecutableDirectoryForTesting("");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(ui.messages[0].text, "Not enough disk space.");
    EXPECT_EQ(ui.messages[1].kind, MessageKind::Information);
    EXPECT_EQ(ui.messages[1].text, "Just so you know.");
    EXPECT_EQ(ui.messages[2].caption, "Error");
    EXPECT_EQ(ui.messages[2].text, "Bad version: Explained.  File x.");
    for (const auto& m : ui.messages) EXPECT_EQ(m.buttons, Buttons::Ok);
    EXPECT_EQ(ui.cursor_restores, 3);
}

TEST(ReportError, FindsTheTableBesideTheProgramNotInTheCurrentFolder) {
    TempDir elsewhere;
    std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(elsewhere.path());
    std::string text = ExplainError(kErrorUnknownFileVersion, "");
    std::filesystem::current_path(previous);
    EXPECT_EQ(text.rfind("Unknown compiled log version:", 0), 0u) << text;
}

TEST(ErrorTable, EveryShippedEntryFitsTheBuffer) {
    std::ifstream table(testing::SourceDir() + "/data/Tables/Quen.Err");
    ASSERT_TRUE(table);
    RecordingUi ui;
    ScopedUi install(ui);
    for (int number : {1033, 1034, 1037}) {
        std::string text = ExplainError(number, "", testing::SourceDir() + "/data/Tables/Quen.Err");
        EXPECT_EQ(text.find("not defined"), std::string::npos) << number;
    }
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace cindral
