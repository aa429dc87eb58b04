// cindral-cli symbols, run as the real binary.

#include <gtest/gtest.h>

#include "cli_run.h"
#include "core/gd_test_support.h"

namespace cindral {
namespace {

struct PngSize {
    int width = 0, height = 0;
};

// Width and height from the PNG header (big-endian fields of the IHDR chunk).
PngSize ReadPngSize(const std::string& path) {
    const std::vector<uint8_t> b = testing::ReadFileBytes(path);
    if (b.size() < 24 || b[1] != 'P' || b[2] != 'N' || b[3] != 'G') return {};
    auto be = [&](size_t at) {
        return int(b[at]) << 24 | int(b[at + 1]) << 16 | int(b[at + 2]) << 8 | b[at + 3];
    };
    return {be(16), be(20)};
}

// The colour of one pixel as ImageMagick reads it, e.g. "srgb(0,0,0)".
std::string PixelName(const std::string& path, int x, int y) {
    const std::string out = path + ".pixel";
    const std::string command = "convert '" + path + "' -format '%[pixel:p{" + std::to_string(x) +
                                "," + std::to_string(y) + "}]' info: >'" + out + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return "?";
    const std::vector<uint8_t> b = testing::ReadFileBytes(out);
    return std::string(b.begin(), b.end());
}

int CliStatus(const std::string& args) {
    return testing::RunCli("symbols " + args).status;
}

TEST(CliSymbols, WritesASheetOfTheGivenLibrary) {
    testing::TempDir dir;
    testing::WriteSymbolLibrary(dir.File("s.sym"), 20, {{3, {{-10, 0, 10, 0}}}});
    ASSERT_EQ(CliStatus("-o '" + dir.File("sheet.png") + "' --symbols '" + dir.File("s.sym") + "'"),
              0);
    const PngSize size = ReadPngSize(dir.File("sheet.png"));
    // 20 symbols in rows of 16 cells of 100 pixels, under a 40-row title.
    EXPECT_EQ(size.width, 1600);
    EXPECT_EQ(size.height, 40 + 2 * 100);
    EXPECT_EQ(PixelName(dir.File("sheet.png"), 350, 82), "srgb(0,0,0)");  // symbol 3's stroke
    EXPECT_EQ(PixelName(dir.File("sheet.png"), 350, 60), "srgb(255,255,255)");
}

TEST(CliSymbols, UsesTheProgramsOwnLibraryByDefault) {
    testing::TempDir dir;
    ASSERT_EQ(CliStatus("-o '" + dir.File("sheet.png") + "'"), 0);
    EXPECT_EQ(ReadPngSize(dir.File("sheet.png")).height, 40 + 21 * 100);
}

TEST(CliSymbols, RefusesBadArguments) {
    testing::TempDir dir;
    EXPECT_EQ(CliStatus(""), 2);
    EXPECT_EQ(CliStatus("stray -o x.png"), 2);
    EXPECT_EQ(CliStatus("-o '" + dir.File("x.png") + "' --symbols '" + dir.File("none.sym") + "'"),
              1);
    EXPECT_EQ(CliStatus("-o '" + dir.File("no/dir/x.png") + "'"), 1);
}

}  // namespace
}  // namespace cindral
