// cindral-cli render to PNG, JPEG and BMP, and export to an HTML table of page pictures, run
// as the real binary; what they write is read back by independent programs: ImageMagick's
// identify for format and size, Python's html.parser for the table.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "cli_run.h"
#include "core/gd_test_support.h"

namespace cindral {
namespace {

using testing::PlayFixture;

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

std::string Libraries(const PlayFixture& f) {
    return " --patterns " + Quoted(f.Patterns()) + " --symbols " + Quoted(f.Symbols());
}

// Standard output of a shell command.
std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    ::pclose(pipe);
    return text;
}

// "FORMAT WIDTH HEIGHT" as ImageMagick reads the file.
std::string Identify(const std::string& path) {
    return Output("identify -format '%m %w %h' " + Quoted(path) + " 2>&1");
}

// 8.5 x 11 in, depths 0 down to -400 at 20 units per inch: two pages of 220 units.
void WriteLog(const PlayFixture& f) {
    GdxHeader header = testing::TestHeader();
    header.BottomDepth = -400;
    GdxWriter w(header);
    w.Write(SetColorRecord{0x0000FF});
    w.Write(DrawLineRecord{10, -1, 0, 90, -399, 0});
    w.Save(f.Log());
}

TEST(CliRenderPicture, EachExtensionWritesItsFormatAtTheResolution) {
    PlayFixture f;
    WriteLog(f);
    struct Case {
        const char* name;
        int dpi;
        const char* identified;
    } cases[] = {
        {"page.png", 96, "PNG 816 1056"},  {"page.jpg", 150, "JPEG 1275 1650"},
        {"page.JPEG", 50, "JPEG 425 550"}, {"page.bmp", 96, "BMP3 816 1056"},
        {"page.Bmp", 1, "BMP3 8 11"},
    };
    for (const Case& c : cases) {
        const std::string out = f.Log(c.name);
        const testing::CliRun run =
            testing::RunCli("render " + Quoted(f.Log()) + " --dpi " + std::to_string(c.dpi) +
                            " -o " + Quoted(out) + Libraries(f));
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
        EXPECT_EQ(Identify(out), c.identified) << c.name;
    }
    // The red line is where the PNG has it in the BMP too: the BMP's rows are not flipped.
    const std::string png = f.Log("page.png"), bmp = f.Log("page.bmp");
    EXPECT_EQ(Output("compare -metric AE " + Quoted(png) + " " + Quoted(bmp) + " null: 2>&1"), "0");
}

TEST(CliRenderPicture, QualityTradesSizeForFidelityAndUnknownNamesAreRefused) {
    PlayFixture f;
    WriteLog(f);
    auto render = [&](const std::string& args) {
        return testing::RunCli("render " + Quoted(f.Log()) + " " + args + Libraries(f));
    };
    ASSERT_EQ(render("--quality 5 -o " + Quoted(f.Log("low.jpg"))).status, 0);
    ASSERT_EQ(render("--quality 100 -o " + Quoted(f.Log("high.jpg"))).status, 0);
    EXPECT_LT(std::filesystem::file_size(f.Log("low.jpg")),
              std::filesystem::file_size(f.Log("high.jpg")));
    EXPECT_EQ(Output("identify -format '%Q' " + Quoted(f.Log("low.jpg"))), "5");

    struct Case {
        std::string args;
        int status;
        const char* message;
    } cases[] = {
        {"-o " + Quoted(f.Log("page.gif")), 1, "must end in .png, .jpg, .jpeg or .bmp"},
        {"-o " + Quoted(f.Log("page")), 1, "must end in"},
        {"--quality 0 -o " + Quoted(f.Log("q.jpg")), 2, "--quality"},
        {"--quality 101 -o " + Quoted(f.Log("q.jpg")), 2, "--quality"},
    };
    for (const Case& c : cases) {
        const testing::CliRun run = render(c.args);
        EXPECT_EQ(run.status, c.status) << c.args;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(f.Log("page.gif")));
}

// One line per table row with a picture: "page|top|bottom|src|width|height".
const char kTableReader[] = R"(
import sys
from html.parser import HTMLParser
class Rows(HTMLParser):
    def __init__(self):
        super().__init__(); self.cells = []; self.cell = None; self.img = None
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == 'tr': self.cells = []; self.img = None
        if tag == 'td': self.cell = ''
        if tag == 'img': self.img = a
    def handle_data(self, data):
        if self.cell is not None: self.cell += data
    def handle_endtag(self, tag):
        if tag == 'td': self.cells.append(self.cell.strip()); self.cell = None
        if tag == 'tr' and self.img:
            print('|'.join(self.cells[:3] + [self.img['src'], self.img['width'], self.img['height']]))
Rows().feed(open(sys.argv[1], encoding='utf-8').read())
)";

TEST(CliExportHtml, OneJpegPerPageBesideTheTableWithItsPageAndDepths) {
    PlayFixture f;
    WriteLog(f);
    const std::string folder = f.Log("out dir");
    std::filesystem::create_directory(folder);
    const std::string html = folder + "/log #1.html";
    const testing::CliRun run =
        testing::RunCli("export " + Quoted(f.Log()) + " -o " + Quoted(html) +
                        " --dpi 50 --quality 60" + Libraries(f));
    ASSERT_EQ(run.status, 0) << run.err;
    WriteFileBytes(f.Log("rows.py"),
                   std::vector<uint8_t>(std::begin(kTableReader), std::end(kTableReader) - 1));
    std::istringstream rows(Output("python3 " + Quoted(f.Log("rows.py")) + " " + Quoted(html)));
    const std::vector<std::string> expected_cells = {"1|0.00|-220.00", "2|-220.00|-400.00"};
    std::string row;
    size_t count = 0;
    while (std::getline(rows, row)) {
        ASSERT_LT(count, expected_cells.size()) << row;
        SCOPED_TRACE(row);
        std::vector<std::string> cells;
        std::istringstream split(row);
        for (std::string cell; std::getline(split, cell, '|');) cells.push_back(cell);
        ASSERT_EQ(cells.size(), 6u);
        EXPECT_EQ(cells[0] + "|" + cells[1] + "|" + cells[2], expected_cells[count]);
        // The link is percent-encoded; the picture lies beside the table.
        const std::string decoded = Output(
            "python3 -c 'import sys, urllib.parse; print(urllib.parse.unquote(sys.argv[1]), "
            "end=\"\")' " +
            Quoted(cells[3]));
        EXPECT_EQ(Identify(folder + "/" + decoded), "JPEG 425 550");
        EXPECT_EQ(cells[4] + " " + cells[5], "425 550");
        ++count;
    }
    EXPECT_EQ(count, expected_cells.size());
    EXPECT_EQ(Output("xmllint --html --noout " + Quoted(html) + " 2>&1"), "");
}

TEST(CliExportHtml, SampleLogGivesOnePicturePerPageReplacingOlderOnes) {
    testing::TempDir dir;
    const std::string sample = testing::BinDir() + "/samples/sample.gdx";
    const std::string html = dir.File("sample.html");
    WriteFileBytes(dir.File("sample_p1.jpg"), {'o', 'l', 'd'});
    ASSERT_EQ(testing::RunCli("export " + Quoted(sample) + " -o " + Quoted(html)).status, 0);
    const std::string info = testing::RunCli("info " + Quoted(sample) + " --json").out;
    const size_t at = info.find("\"pages\"");
    ASSERT_NE(at, std::string::npos) << info;
    const int pages = std::stoi(info.substr(info.find(':', at) + 1));
    EXPECT_EQ(Output("xmllint --html --xpath 'count(//img)' " + Quoted(html) + " 2>/dev/null"),
              std::to_string(pages) + "\n");
    std::set<std::string> expected = {"sample.html"};
    for (int page = 1; page <= pages; ++page) {
        const std::string picture = "sample_p" + std::to_string(page) + ".jpg";
        EXPECT_EQ(Identify(dir.File(picture)).substr(0, 4), "JPEG");
        expected.insert(picture);
    }
    // Nothing else: no temporary file and no kept copy of a replaced picture.
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.insert(entry.path().filename());
    }
    EXPECT_EQ(names, expected);
}

// The pictures are drawn on several threads; the export must not depend on how many.
TEST(CliExportHtml, ThreadsGiveTheSameTableAndPicturesAsOne) {
    testing::TempDir dir;
    const std::string sample = testing::BinDir() + "/samples/sample.gdx";
    std::map<std::string, std::vector<uint8_t>> by_jobs[2];
    const char* jobs[2] = {"1", "3"};
    for (int run = 0; run < 2; ++run) {
        const std::string folder = dir.File(std::string("j") + jobs[run]);
        std::filesystem::create_directory(folder);
        const testing::CliRun result =
            testing::RunCli("export " + Quoted(sample) + " -o " + Quoted(folder + "/t.html") +
                            " -j " + jobs[run] + " --dpi 40");
        ASSERT_EQ(result.status, 0) << result.err;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            by_jobs[run][entry.path().filename()] = ReadFileBytes(entry.path().string());
        }
    }
    EXPECT_GT(by_jobs[0].size(), 2u);
    EXPECT_TRUE(by_jobs[0] == by_jobs[1]);
    EXPECT_EQ(
        testing::RunCli("export " + Quoted(sample) + " -o " + Quoted(dir.File("x.html")) + " -j 0")
            .status,
        2);
}

}  // namespace
}  // namespace cindral
