// The status interface: sinks, the cancel confirmation, the execution log, the program's
// directories, the options file and the version texts.

#include "core/environment/status.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/base/errors.h"
#include "core/environment/directories.h"
#include "core/environment/display_options.h"
#include "core/environment/platform_info.h"
#include "core/environment/program_paths.h"
#include "core/format/gdx_writer.h"
#include "recording_status.h"
#include "recording_ui.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(StatusSink, FreeFunctionsReachTheInstalledSinkUntilTheScopeEnds) {
    RecordingStatusSink outer, inner;
    ScopedStatusSink a(outer);
    {
        ScopedStatusSink b(inner);
        ShowStatus("one");
        ShowProgress(0.5);
        HideStatus();
    }
    ShowStatus("two");
    EXPECT_EQ(inner.statuses, std::vector<std::string>{"one"});
    EXPECT_EQ(inner.progress, std::vector<double>{0.5});
    EXPECT_EQ(inner.hides, 1);
    EXPECT_EQ(outer.statuses, std::vector<std::string>{"two"});
}

TEST(StatusSink, WithoutASinkNothingIsReportedAndNothingIsCancelled) {
    StatusSink* previous = SetStatusSink(nullptr);
    ShowStatus("ignored");
    ShowProgress(1.0);
    EXPECT_FALSE(CancelRequested());
    SetStatusSink(previous);
}

struct ConfirmCase {
    const char* name;
    bool pressed;
    Answer answer;
    bool result;
    size_t questions;
    int hides;
};

class CancelConfirmation : public ::testing::TestWithParam<ConfirmCase> {};

TEST_P(CancelConfirmation, ConsumesTheRequestWhateverTheAnswer) {
    const ConfirmCase& c = GetParam();
    RecordingStatusSink sink;
    RecordingUi ui;
    ui.answers = {c.answer};
    ScopedStatusSink s(sink);
    ScopedUi u(ui);
    if (c.pressed) sink.RequestCancel();
    EXPECT_EQ(CancelRequested(), c.result);
    EXPECT_EQ(ui.messages.size(), c.questions);
    if (c.questions) {  // the stop icon
        EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    }
    EXPECT_EQ(sink.hides, c.hides);
    EXPECT_FALSE(sink.CancelPending());
    EXPECT_FALSE(CancelRequested());  // asked once per press
    EXPECT_EQ(ui.messages.size(), c.questions);
}

INSTANTIATE_TEST_SUITE_P(Cases, CancelConfirmation,
                         ::testing::Values(ConfirmCase{"NotPressed", false, Answer::Yes, false, 0,
                                                       0},
                                           ConfirmCase{"Yes", true, Answer::Yes, true, 1, 1},
                                           ConfirmCase{"No", true, Answer::No, false, 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

class LogFileTest : public ::testing::Test {
  protected:
    void TearDown() override { SetLogFile(""); }
    TempDir dir;
};

TEST_F(LogFileTest, StartRewritesTheFileAndEachLineIsAppendedOnItsOwn) {
    std::string log = dir.File("viewer.LOG");
    WriteFileBytes(log, {'o', 'l', 'd', '\n'});
    StartLogFile(log, "Execution Log for viewer");
    LogLine("first");
    EXPECT_EQ(ReadText(log), "Execution Log for viewer\nfirst\n");
    // The file is reopened for every line: one removed meanwhile comes back.
    std::filesystem::remove(log);
    LogLine("second");
    EXPECT_EQ(ReadText(log), "second\n");
    EXPECT_EQ(CurrentLogFile(), log);
}

TEST_F(LogFileTest, ALogThatCannotBeWrittenRaisesAnIoError) {
    EXPECT_THROW(StartLogFile(dir.File("missing/x.LOG"), "x"), IoError);
    SetLogFile(dir.File("missing/x.LOG"));
    EXPECT_THROW(LogLine("line"), IoError);
}

TEST_F(LogFileTest, WithoutALogFileLinesAreDropped) {
    SetLogFile("");
    EXPECT_NO_THROW(LogLine("nowhere"));
}

struct LocateCase {
    const char* path;
    const char* directory;
    const char* base;
};

class LocateProgramTest : public ::testing::TestWithParam<LocateCase> {};

TEST_P(LocateProgramTest, SplitsDirectoryAndBaseName) {
    TempDir dir;
    std::string path = dir.path() + GetParam().path;
    ProgramLocation l = LocateProgram(path);
    EXPECT_EQ(l.program_directory, dir.path() + GetParam().directory);
    EXPECT_EQ(l.exe_base_name, GetParam().base);
    EXPECT_EQ(l.user_directory, l.program_directory);  // writable
}

INSTANTIATE_TEST_SUITE_P(Cases, LocateProgramTest,
                         ::testing::Values(LocateCase{"/cindral", "/", "cindral"},
                                           LocateCase{"/Viewer.exe", "/", "Viewer"},
                                           LocateCase{"/cindral-cli", "/", "cindral-cli"},
                                           LocateCase{"/a.b.c", "/", "a.b"}));

// Sets an environment variable for one scope; nullptr unsets it.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        if (old) saved_ = old;
        had_ = old != nullptr;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { had_ ? setenv(name_, saved_.c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::string saved_;
    bool had_ = false;
};

enum class Program { Writable, Unwritable, InstalledWritable };

struct FolderCase {
    const char* name;
    Program program;
    // XDG_CONFIG_HOME and XDG_STATE_HOME: nullptr unsets, a leading '/' is under the test's
    // folder, anything else is used as it is.
    const char* config;
    const char* state;
    // Expected, under the test's folder ("program/" is the program folder).
    const char* settings;
    const char* log;
    const char* cli_log;  // what the CLI names before anything was created
};

class UserFolders : public ::testing::TestWithParam<FolderCase> {};

TEST_P(UserFolders, FollowTheProgramFolderOrTheXdgFolders) {
    const FolderCase& c = GetParam();
    TempDir dir;
    std::string root = dir.path();
    std::string program =
        c.program == Program::Unwritable ? "/nonexistent-program-folder/" : root + "/program/bin/";
    if (c.program != Program::Unwritable) std::filesystem::create_directories(program);
    if (c.program == Program::InstalledWritable) {
        std::string data = InstalledDataDirectory(program);
        ASSERT_EQ(data.rfind(root, 0), 0u) << data;  // the install layout stays in the prefix
        std::filesystem::create_directories(data + "Tables");
        WriteFileBytes(data + "Tables/Quen.Err", {'#'});
    }
    WriteFileBytes(root + "/file", {1});  // a folder cannot be made below a file
    auto value = [&](const char* v) { return v && *v == '/' ? root + v : std::string(v ? v : ""); };
    std::string config = value(c.config), state = value(c.state);
    ScopedVariable home("HOME", (root + "/home").c_str());
    ScopedVariable xdg_config("XDG_CONFIG_HOME", c.config ? config.c_str() : nullptr);
    ScopedVariable xdg_state("XDG_STATE_HOME", c.state ? state.c_str() : nullptr);
    auto expected = [&](const char* folder) {
        return std::string(folder).rfind("program/", 0) == 0 ? program : root + "/" + folder;
    };

    EXPECT_EQ(FindViewerSettingsFile(program), expected(c.settings) + "cindral.Cn2");
    EXPECT_EQ(FindViewerLogFile(program), expected(c.cli_log) + "cindral.LOG");
    EXPECT_EQ(ChooseUserDirectory(program), expected(c.settings));
    EXPECT_EQ(ChooseLogDirectory(program), expected(c.log));
    EXPECT_TRUE(std::filesystem::is_directory(expected(c.settings)));
    EXPECT_TRUE(std::filesystem::is_directory(expected(c.log)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserFolders,
    ::testing::Values(FolderCase{"WritableProgramFolder", Program::Writable, "/c", "/s", "program/",
                                 "program/", "program/"},
                      FolderCase{"InstalledProgramEvenWhenWritable", Program::InstalledWritable,
                                 "/c", "/s", "c/cindral/", "s/cindral/", "s/cindral/"},
                      FolderCase{"XdgFolders", Program::Unwritable, "/c", "/s", "c/cindral/",
                                 "s/cindral/", "s/cindral/"},
                      FolderCase{"HomeDefaults", Program::Unwritable, nullptr, nullptr,
                                 "home/.config/cindral/", "home/.local/state/cindral/",
                                 "home/.local/state/cindral/"},
                      FolderCase{"RelativeXdgPathsAreIgnored", Program::Unwritable, "c", "s",
                                 "home/.config/cindral/", "home/.local/state/cindral/",
                                 "home/.local/state/cindral/"},
                      FolderCase{"UnmakeableStateFolderFallsBackToConfig", Program::Unwritable,
                                 "/c", "/file/s", "c/cindral/", "c/cindral/", "file/s/cindral/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UserDirectory, TheFilesAreNamedAfterTheProgram) {
    ProgramLocation saved{ProgramDirectory(), UserDirectory(), ExeBaseName()};
    SetProgramLocation({"/p", "/u", "viewer"});
    EXPECT_EQ(ProgramDirectory(), "/p/");
    EXPECT_EQ(SettingsFilePath(), "/u/viewer.Cn2");
    EXPECT_EQ(OptionsFilePath(), "/u/viewer.CN1");
    EXPECT_EQ(ExecutionLogPath(), "/u/viewer.LOG");
    SetProgramLocation(saved);
}

TEST(DisplayOptions, DefaultsAtTheirOffsets) {
    std::vector<uint8_t> r = EncodeDisplayOptions(DefaultDisplayOptions());
    std::vector<uint8_t> expected(100, 0);
    auto put = [&](size_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i) expected[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(84, 500);
    put(88, 1);
    put(92, 0x00FFFF00);
    put(96, 1);
    EXPECT_EQ(r, expected);
}

TEST(DisplayOptions, AFileOfTheWrongSizeIsReplacedByTheDefaults) {
    for (size_t size : {0u, 99u, 101u}) {
        TempDir dir;
        std::string path = dir.File("viewer.CN1");
        WriteFileBytes(path, std::vector<uint8_t>(size, 1));
        DisplayOptions o = LoadDisplayOptions(path);
        EXPECT_FALSE(o.BetaOptions) << size;
        EXPECT_EQ(ReadFileBytes(path), EncodeDisplayOptions(DefaultDisplayOptions())) << size;
    }
}

TEST(DisplayOptions, AGoodFileKeepsItsFlagsAndOtherBytes) {
    TempDir dir;
    std::string path = dir.File("viewer.CN1");
    std::vector<uint8_t> bytes(100, 0);
    bytes[0] = 1;
    bytes[1] = 1;
    bytes[50] = 42;
    WriteFileBytes(path, bytes);
    DisplayOptions o = LoadDisplayOptions(path);
    EXPECT_TRUE(o.BetaOptions);
    EXPECT_TRUE(o.DiagnosticStatusLayout);
    o.BetaOptions = false;
    SaveDisplayOptions(o, path);
    bytes[0] = 0;
    EXPECT_EQ(ReadFileBytes(path), bytes);
}

TEST(DisplayOptions, AMissingFileIsCreated) {
    TempDir dir;
    LoadDisplayOptions(dir.File("viewer.CN1"));
    EXPECT_EQ(ReadFileBytes(dir.File("viewer.CN1")).size(), 100u);
}

struct VersionCase {
    int platform, major, minor;
    const char* text;
};

class VersionText : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionText, NamesTheFamilyAndTheNumbers) {
    const VersionCase& c = GetParam();
    EXPECT_EQ(WindowsVersionText(c.platform, c.major, c.minor), c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, VersionText,
                         ::testing::Values(VersionCase{1, 4, 0, "Windows 95: 1.4.0"},
                                           VersionCase{1, 4, 10, "Windows 98: 1.4.10"},
                                           VersionCase{1, 5, 0, "Windows 98: 1.5.0"},
                                           VersionCase{1, 3, 95, "Windows 95: 1.3.95"},
                                           VersionCase{2, 4, 0, "Windows NT: 2.4.0"},
                                           VersionCase{2, 5, 1, "Windows 2000: 2.5.1"},
                                           VersionCase{0, 3, 1, "Unknown: 0.3.1"}));

}  // namespace
}  // namespace cindral
