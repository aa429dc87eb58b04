// cindral-cli trace, run as the real binary on real files.

#include <gtest/gtest.h>

#include <algorithm>

#include "cli_run.h"
#include "core/gd_test_support.h"

namespace cindral {
namespace {

using testing::PlayFixture;

using testing::CliRun;

CliRun Cli(const std::string& args) {
    return testing::RunCli(args);
}

std::string Libraries(const PlayFixture& f) {
    return "--patterns '" + f.Patterns() + "' --symbols '" + f.Symbols() + "' ";
}

TEST(CliTrace, PrintsEveryCallWithTheCommandItCameFrom) {
    PlayFixture f;
    GdxWriter w(testing::TestHeader());
    w.Write(SetColorRecord{0x00FF00});
    w.Write(DrawArcRecord{0, 0, 10, 350, 10});
    w.Save(f.Log());

    CliRun run = Cli("trace '" + f.Log() + "' --page 1 " + Libraries(f));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(testing::Lines(run.out),
              (std::vector<std::string>{
                  "# @118 code 4 SetColor",
                  "SetColor(color=0x00FF00)",
                  "# @126 code 2 DrawArc",
                  "DrawArc(cx=0, cy=0, radius=10, startAngle=350, endAngle=10)",
                  "  DrawLine(x1=-1.7365, y1=9.8481, x2=-1.5643, y2=9.8769)",
                  "  DrawLine(x1=-1.5643, y1=9.8769, x2=1.7365, y2=9.8481)",
              }));

    run = Cli("trace '" + f.Log() + "' --no-annotations " + Libraries(f));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find('#'), std::string::npos);
}

TEST(CliTrace, APageTracesOnlyTheCommandsThatReachIt) {
    // The sample with the program's own libraries, which hold every symbol it names.
    std::string sample = "'" + testing::BinDir() + "/samples/sample.gdx' ";
    CliRun whole = Cli("trace " + sample);
    CliRun first = Cli("trace " + sample + "--page 1");
    CliRun last = Cli("trace " + sample + "--page 4");
    ASSERT_EQ(whole.status, 0) << whole.err;
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(last.status, 0) << last.err;
    const auto all = testing::Lines(whole.out);
    const auto one = testing::Lines(first.out);
    const auto four = testing::Lines(last.out);
    EXPECT_GT(one.size(), 100u);
    EXPECT_LT(one.size(), all.size());
    EXPECT_LT(four.size(), all.size());
    EXPECT_NE(one, four);
    // A page's commands are the file's, in the file's order.
    auto in_order = [&](const std::vector<std::string>& page) {
        auto at = all.begin();
        for (const std::string& line : page) {
            if (line.rfind("# @", 0) != 0) continue;
            at = std::find(at, all.end(), line);
            if (at == all.end()) return false;
        }
        return true;
    };
    EXPECT_TRUE(in_order(one));
    EXPECT_TRUE(in_order(four));
}

TEST(CliTrace, RefusesWhatItCannotPlay) {
    PlayFixture f;
    GdxWriter(testing::TestHeader()).Save(f.Log());
    WriteFileBytes(f.Log("cut.gdx"), {0x2D, 0x01, 0x72, 0x00, 1, 2});
    struct Row {
        std::string args;
        int status;
        const char* message;
    };
    const Row rows[] = {
        {"trace", 2, "needs exactly one FILE"},
        {"trace '" + f.Log() + "' --page 0", 2, "--page counts from 1"},
        {"trace '" + f.Log() + "' --page 5", 1, "beyond the log's 1 page"},
        {"trace '" + f.Log("missing.gdx") + "'", 1, "missing.gdx"},
        {"trace '" + f.Log("cut.gdx") + "'", 1, "ends inside its header record"},
        {"trace '" + f.Log() + "' --symbols '" + f.Log("none.sym") + "'", 1, "none.sym"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args);
        CliRun run = Cli(row.args + " " +
                         (row.args.find("--symbols") == std::string::npos
                              ? Libraries(f)
                              : "--patterns '" + f.Patterns() + "'"));
        EXPECT_EQ(run.status, row.status);
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

}  // namespace
}  // namespace cindral
