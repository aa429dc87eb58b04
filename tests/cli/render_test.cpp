// cindral-cli render, run as the real binary on real files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "cli_run.h"
#include "core/gd_test_support.h"

namespace cindral {
namespace {

using testing::PlayFixture;

testing::CliRun Cli(const std::string& args) {
    return testing::RunCli(args);
}

std::string Libraries(const PlayFixture& f) {
    return " --patterns '" + f.Patterns() + "' --symbols '" + f.Symbols() + "'";
}

// 8.5 x 11 in, 400 depth units at 20 per inch: 20 in of log, two pages at 96 dpi.
void WriteLog(const PlayFixture& f) {
    GdxHeader header = testing::TestHeader();
    header.BottomDepth = -400;
    GdxWriter w(header);
    w.Write(SetColorRecord{0x0000FF});
    w.Write(DrawLineRecord{10, -1, 0, 90, -399, 0});
    w.Save(f.Log());
}

// Width and height from a PNG's IHDR chunk.
std::pair<int, int> PngSize(const std::string& path) {
    const std::vector<uint8_t> b = testing::ReadFileBytes(path);
    if (b.size() < 24) return {-1, -1};
    auto be32 = [&](size_t i) {
        return int(b[i] << 24 | b[i + 1] << 16 | b[i + 2] << 8 | b[i + 3]);
    };
    return {be32(16), be32(20)};
}

struct SizeCase {
    int dpi, width, height;
};

TEST(CliRender, BitmapIsThePageAtTheResolution) {
    PlayFixture f;
    WriteLog(f);
    // Sizes are rounded half to even: 8.5 in at 1 dpi is 8 pixels.
    for (SizeCase c : {SizeCase{96, 816, 1056}, SizeCase{50, 425, 550}, SizeCase{1, 8, 11}}) {
        const std::string out = f.Log("page.png");
        const testing::CliRun run = Cli("render '" + f.Log() + "' --dpi " + std::to_string(c.dpi) +
                                        " -o '" + out + "'" + Libraries(f));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(PngSize(out), std::make_pair(c.width, c.height)) << c.dpi;
    }
}

TEST(CliRender, EachPageShowsItsOwnPartOfTheLog) {
    PlayFixture f;
    WriteLog(f);
    const std::string one = f.Log("one.png"), two = f.Log("two.png"), again = f.Log("again.png");
    ASSERT_EQ(Cli("render '" + f.Log() + "' --page 1 -o '" + one + "'" + Libraries(f)).status, 0);
    ASSERT_EQ(Cli("render '" + f.Log() + "' --page 2 -o '" + two + "'" + Libraries(f)).status, 0);
    ASSERT_EQ(Cli("render '" + f.Log() + "' -o '" + again + "'" + Libraries(f)).status, 0);
    EXPECT_NE(testing::ReadFileBytes(one), testing::ReadFileBytes(two));
    EXPECT_EQ(testing::ReadFileBytes(one), testing::ReadFileBytes(again));
}

TEST(CliRender, RefusesWhatItCannotDraw) {
    PlayFixture f;
    WriteLog(f);
    WriteFileBytes(f.Log("broken.gdx"), {1, 2, 3});
    struct Case {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"'" + f.Log() + "' --page 3", 1, "beyond the log's 2 pages"},
        {"'" + f.Log("broken.gdx") + "'", 1, ""},
        {"'" + f.Log("missing.gdx") + "'", 1, ""},
        {"'" + f.Log() + "' --page 0", 2, "--page"},
        {"'" + f.Log() + "' --dpi 0", 2, "--dpi"},
        {"'" + f.Log() + "' --dpi 96.5", 2, "--dpi"},
    };
    for (const Case& c : cases) {
        const testing::CliRun run =
            Cli("render " + c.args + " -o '" + f.Log("x.png") + "'" + Libraries(f));
        EXPECT_EQ(run.status, c.status) << c.args << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    const testing::CliRun no_output = Cli("render '" + f.Log() + "'" + Libraries(f));
    EXPECT_EQ(no_output.status, 2);
}

}  // namespace
}  // namespace cindral
