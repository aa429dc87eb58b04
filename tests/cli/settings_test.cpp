// cindral-cli settings, the common --settings option, and Ctrl-C during a long play.

#include "core/environment/settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "cli_run.h"
#include "core/format/gdx_header.h"
#include "core/format/gdx_writer.h"
#include "gdx_fixtures.h"
#include "temp_dir.h"

extern char** environ;

namespace cindral {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

using testing::CliRun;

CliRun Cli(const std::string& args) {
    return testing::RunCli(args);
}

SettingsEnvironment Environment(const TempDir& dir) {
    SettingsEnvironment e;
    e.program_directory = dir.path() + "/";
    e.user_directory = dir.path() + "/";
    e.exe_base_name = "cindral";
    return e;
}

// A settings file whose library entries name the shipped libraries, with a few choices.
std::vector<uint8_t> ChosenSettings(const TempDir& dir) {
    Settings s = DefaultSettings(Environment(dir));
    s.PatternFile = testing::BinDir() + "/QuenUtil.Pat";
    s.SymbolFile = testing::BinDir() + "/QuenUtil.Sym";
    s.UnitsPerPage = 275.5;
    s.PrintInBlack = true;
    s.WindowTop = 42;
    return EncodeSettings(s);
}

TEST(CliSettings, PrintsTheFileAndItsValuesAndChangesNothing) {
    TempDir dir;
    std::string path = dir.File("my.Cn2");
    std::vector<uint8_t> bytes = ChosenSettings(dir);
    WriteFileBytes(path, bytes);

    CliRun text = Cli("settings --settings '" + path + "'");
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("settings file: " + path + "\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("state: good\n"), std::string::npos);
    EXPECT_NE(text.out.find("UnitsPerPage = 275.5\n"), std::string::npos);
    EXPECT_NE(text.out.find("PrintInBlack = true\n"), std::string::npos);
    EXPECT_NE(text.out.find("WindowTop = 42\n"), std::string::npos);

    CliRun json = Cli("settings --json --settings '" + path + "'");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_TRUE(std::regex_search(json.out, std::regex("\"state\": \"good\"")));
    EXPECT_TRUE(std::regex_search(json.out, std::regex("\"UnitsPerPage\": 275.5[,}]")));
    EXPECT_TRUE(std::regex_search(json.out, std::regex("\"PrintInBlack\": true")));
    EXPECT_TRUE(std::regex_search(json.out, std::regex("\"problems\": \\[\\]")));

    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
}

struct BadCase {
    const char* name;
    size_t size;
    const char* state;
};

class CliSettingsBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(CliSettingsBad, DescribesADamagedFileWithoutRepairingIt) {
    TempDir dir;
    std::string path = dir.File("bad.Cn2");
    std::vector<uint8_t> bytes = ChosenSettings(dir);
    if (GetParam().size) {
        bytes.resize(GetParam().size);
    } else {
        bytes[2176] = 9;  // unknown orientation
    }
    WriteFileBytes(path, bytes);
    CliRun run = Cli("settings --json --settings '" + path + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(std::string("\"state\": \"") + GetParam().state + "\""),
              std::string::npos)
        << run.out;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("\"problems\": \\[\"")));
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliSettingsBad,
                         ::testing::Values(BadCase{"Short", 100, "wrong-size"},
                                           BadCase{"Long", 4000, "wrong-size"},
                                           BadCase{"BadOrientation", 0, "repaired"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CliSettings, AMissingExplicitFileFails) {
    TempDir dir;
    CliRun run = Cli("settings --settings '" + dir.File("none.Cn2") + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Cannot find the settings file " + dir.File("none.Cn2")),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.Cn2")));
}

TEST(CliSettings, TheViewersOwnFileIsNeverCreated) {
    std::string own = testing::BinDir() + "/cindral.Cn2";
    bool existed = std::filesystem::exists(own);
    CliRun run = Cli("settings");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("settings file: "), std::string::npos);
    EXPECT_EQ(std::filesystem::exists(own), existed);
    EXPECT_EQ(Cli("settings extra").status, 2);
}

TEST(CliSettings, CommandsTakeTheirLibrariesFromTheSettings) {
    TempDir dir;
    GdxWriter writer(testing::LetterPageHeader(0, -100));
    DrawSymbolRecord symbol;
    symbol.y = -50;
    symbol.symbol = 5;
    writer.Write(symbol);
    writer.Save(dir.File("log.gdx"));
    // The settings name a symbol library of one record, so symbol 5 cannot be loaded: the
    // play fails only when the settings were followed.
    WriteFileBytes(dir.File("one.Sym"), std::vector<uint8_t>(202, 0));
    Settings s = DefaultSettings(Environment(dir));
    s.PatternFile = testing::BinDir() + "/QuenUtil.Pat";
    s.SymbolFile = dir.File("one.Sym");
    std::string settings = dir.File("s.Cn2");
    WriteFileBytes(settings, EncodeSettings(s));
    CliRun good = Cli("trace '" + dir.File("log.gdx") + "'");
    EXPECT_EQ(good.status, 0) << good.err;
    CliRun chosen = Cli("trace '" + dir.File("log.gdx") + "' --settings '" + settings + "'");
    EXPECT_EQ(chosen.status, 1) << chosen.err;
    EXPECT_NE(chosen.err.find("Loading Symbol = 5"), std::string::npos) << chosen.err;
    CliRun overridden = Cli("trace '" + dir.File("log.gdx") + "' --settings '" + settings +
                            "' --symbols '" + testing::BinDir() + "/QuenUtil.Sym'");
    EXPECT_EQ(overridden.status, 0) << overridden.err;
}

TEST(CliCancel, CtrlCDuringAPlayExitsOneWithCancelled) {
    TempDir dir;
    GdxWriter writer(testing::LetterPageHeader(0, -1000));
    for (int i = 0; i < 20000; ++i) {
        DrawLineRecord line;
        line.x1 = i % 100;
        line.y1 = -i % 1000;
        line.x2 = line.x1 + 1;
        line.y2 = line.y1 - 1;
        writer.Write(line);
    }
    writer.Save(dir.File("long.gdx"));

    // The trace goes into a pipe nobody reads yet, so the play is held mid-way until the
    // interrupt has been sent.
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, 2, dir.File("err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string program = testing::BinDir() + "/cindral-cli";
    std::string log = dir.File("long.gdx");
    char* argv[] = {program.data(), const_cast<char*>("trace"), log.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);

    pollfd ready{out[0], POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 30000), 1);  // output has begun: the play is running
    kill(pid, SIGINT);
    char buffer[65536];
    size_t total = 0;
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) total += static_cast<size_t>(n);
    close(out[0]);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::vector<uint8_t> err = ReadFileBytes(dir.File("err"));
    EXPECT_EQ(std::string(err.begin(), err.end()), "cancelled\n");
    EXPECT_GT(total, 0u);
}

}  // namespace
}  // namespace cindral
