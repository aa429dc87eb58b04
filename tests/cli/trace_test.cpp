// cindral-cli trace, run as the real binary on real files.

#include <gtest/gtest.h>

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

TEST(CliTrace, EveryPagePlaysTheWholeFile) {
    // The sample with the program's own libraries, which hold every symbol it names.
    std::string sample = "'" + testing::BinDir() + "/samples/sample.gdx' ";
    CliRun first = Cli("trace " + sample + "--page 1");
    CliRun second = Cli("trace " + sample + "--page 2");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_GT(testing::Lines(first.out).size(), 100u);
    EXPECT_EQ(first.out, second.out);
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
        {"trace '" + f.Log() + "' --page 5", 2, "beyond the log's 1 page"},
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
