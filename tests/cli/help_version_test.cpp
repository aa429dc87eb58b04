// --help and --version of cindral-cli, of each of its commands and of the viewer: usage or
// version on standard output, exit 0, nothing else done; the version is the project's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "temp_dir.h"

namespace cindral {
namespace {

// The version as the build makes it from CMakeLists.txt: major.minor padded to four numbers.
std::string ProjectVersion() {
    const char* source = std::getenv("CINDRAL_SOURCE_DIR");
    std::ifstream in(std::string(source ? source : "../..") + "/CMakeLists.txt");
    std::stringstream text;
    text << in.rdbuf();
    std::smatch m;
    const std::string s = text.str();
    if (!std::regex_search(s, m, std::regex(R"(project\(Cindral VERSION ([0-9.]+))"))) return "?";
    std::string version = m[1];
    while (std::count(version.begin(), version.end(), '.') < 3) version += ".0";
    return version;
}

// The command names `cindral-cli --help` lists.
std::vector<std::string> ListedCommands() {
    const testing::CliRun run = testing::RunCli("--help");
    std::vector<std::string> names;
    const std::regex line(R"(^  cindral-cli ([a-z]+) )");
    std::istringstream in(run.out);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (std::regex_search(text, m, line)) names.push_back(m[1]);
    }
    return names;
}

TEST(CliHelp, EveryCommandAnswersHelpAndVersionOnStandardOutput) {
    const std::vector<std::string> commands = ListedCommands();
    EXPECT_GE(commands.size(), 8u);
    const std::string version = "cindral-cli " + ProjectVersion() + "\n";
    testing::TempDir dir;
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        // Help wins wherever it stands, before the other words are read or anything written.
        for (const std::string& args :
             {command + " --help", command + " -h", command + " FILE -o x.png --help"}) {
            const testing::CliRun run = testing::RunCli(args, dir.path());
            EXPECT_EQ(run.status, 0) << args;
            EXPECT_EQ(run.out.rfind("usage: cindral-cli " + command + " ", 0), 0u) << run.out;
            EXPECT_NE(run.out.find("common: --patterns FILE"), std::string::npos);
            EXPECT_EQ(run.err, "");
        }
        const testing::CliRun run = testing::RunCli(command + " --version", dir.path());
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, version);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    struct Case {
        std::string args;
        int status;
        std::string out;  // start of stdout
        bool err_empty;
    };
    const Case cases[] = {
        {"--help", 0, "usage:\n  cindral-cli ", true},
        {"-h", 0, "usage:\n  cindral-cli ", true},
        {"--version", 0, version, true},
        {"-V", 0, version, true},
        {"", 2, "", false},  // usage on stderr
        {"--helpful", 2, "", false},
        {"frobnicate --help", 2, "", false},
    };
    for (const Case& c : cases) {
        const testing::CliRun run = testing::RunCli(c.args);
        EXPECT_EQ(run.status, c.status) << c.args;
        EXPECT_EQ(run.out.substr(0, c.out.size()), c.out) << c.args;
        EXPECT_EQ(run.err.empty(), c.err_empty) << c.args << ": " << run.err;
    }
}

TEST(ViewerHelp, TheViewerAnswersHelpAndVersionWithoutADisplay) {
    const std::string viewer = testing::BinDir() + "/cindral";
    if (!std::filesystem::exists(viewer)) GTEST_SKIP() << "the viewer is not built";
    testing::TempDir capture;
    for (const std::string& option : {"--help", "-h", "--version", "-V"}) {
        // No display, no platform: the answer must come before any window system is asked.
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none '" +
                                    viewer + "' " + option + " >'" + capture.File("out") + "'";
        const int raw = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << option;
        EXPECT_EQ(WEXITSTATUS(raw), 0) << option;
        const std::vector<uint8_t> bytes = testing::ReadFileBytes(capture.File("out"));
        const std::string out(bytes.begin(), bytes.end());
        if (option.find('V') != std::string::npos || option == "--version") {
            EXPECT_EQ(out, "cindral " + ProjectVersion() + "\n");
        } else {
            EXPECT_EQ(out.rfind("usage: cindral [FILE.gdx]\n", 0), 0u) << out;
        }
    }
}

}  // namespace
}  // namespace cindral
