// cindral-cli print, run as the real binary, its PDF read by independent programs: poppler's
// pdfinfo (pages, page size), pdftotext (the text is text) and pdftoppm (the page looks like
// the page `cindral-cli render` draws).

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>

#include "cli_run.h"
#include "core/gd_test_support.h"

namespace cindral {
namespace {

using testing::PlayFixture;

std::string Sample() {
    return testing::BinDir() + "/samples/sample.gdx";
}

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

struct PdfInfo {
    int pages = -1;
    double width = -1, height = -1;  // points, of the first page
};

PdfInfo ReadPdfInfo(const std::string& pdf) {
    const std::string text = Output("pdfinfo '" + pdf + "' 2>&1");
    PdfInfo info;
    std::smatch m;
    if (std::regex_search(text, m, std::regex(R"(Pages:\s+(\d+))"))) info.pages = std::stoi(m[1]);
    if (std::regex_search(text, m, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"))) {
        info.width = std::stod(m[1]);
        info.height = std::stod(m[2]);
    }
    return info;
}

// Mean absolute difference, 0..255, of the grey levels of two images averaged over 8 x 8
// blocks: small for the same drawing rasterised by another program (its own antialiasing
// and glyph shapes), large for a missing band, a shift or a wrong scale.
double BlockDifference(const QImage& a, const QImage& b) {
    const int w = std::min(a.width(), b.width()) / 8, h = std::min(a.height(), b.height()) / 8;
    double total = 0;
    for (int by = 0; by < h; ++by) {
        for (int bx = 0; bx < w; ++bx) {
            double ga = 0, gb = 0;
            for (int y = 8 * by; y < 8 * by + 8; ++y) {
                for (int x = 8 * bx; x < 8 * bx + 8; ++x) {
                    ga += qGray(a.pixel(x, y));
                    gb += qGray(b.pixel(x, y));
                }
            }
            total += std::fabs(ga - gb) / 64;
        }
    }
    return total / (double(w) * h);
}

TEST(CliPrint, TheSampleIsFourLetterPagesWhoseTextAReaderFinds) {
    testing::TempDir dir;
    const std::string pdf = dir.File("s.pdf");
    const testing::CliRun run = testing::RunCli("print '" + Sample() + "' -o '" + pdf + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const PdfInfo info = ReadPdfInfo(pdf);
    EXPECT_EQ(info.pages, 4);
    EXPECT_DOUBLE_EQ(info.width, 612);
    EXPECT_DOUBLE_EQ(info.height, 792);
    const std::string text = Output("pdftotext -f 1 -l 1 '" + pdf + "' - 2>/dev/null");
    for (const char* word : {"Cindral Sample Well 7-12", "Operator: Northfield Drilling Ltd.",
                             "Gamma Ray", "Depth (ft)", "Top Glenmore Sandstone"}) {
        EXPECT_NE(text.find(word), std::string::npos) << word << " not in:\n" << text;
    }
    const auto bytes = testing::ReadFileBytes(pdf).size();
    ::testing::Test::RecordProperty("bytes_per_page", std::to_string(bytes / 4));
}

// A rasterised PDF page and the rendered page differ by antialiasing, glyph shapes and the
// printer's thinner pens: the sample's pages measure 0.5 to 2.2 grey levels, the same pages
// against the render shifted by 6 rows 2.4 to 7.9.
TEST(CliPrint, EveryPrintedPageLooksLikeTheRenderedPage) {
    testing::TempDir dir;
    const std::string pdf = dir.File("s.pdf");
    ASSERT_EQ(testing::RunCli("print '" + Sample() + "' -o '" + pdf + "'").status, 0);
    for (int page = 1; page <= 4; ++page) {
        const std::string n = std::to_string(page);
        const std::string raster = dir.File("pdf" + n);
        ASSERT_EQ(std::system(("pdftoppm -r 96 -png -singlefile -f " + n + " -l " + n + " '" + pdf +
                               "' '" + raster + "'")
                                  .c_str()),
                  0);
        const std::string png = dir.File("page" + n + ".png");
        ASSERT_EQ(
            testing::RunCli("render '" + Sample() + "' --page " + n + " -o '" + png + "'").status,
            0);
        const QImage printed(QString::fromStdString(raster + ".png"));
        const QImage rendered(QString::fromStdString(png));
        ASSERT_EQ(printed.size(), rendered.size()) << "page " << page;
        const double difference = BlockDifference(printed, rendered);
        EXPECT_LT(difference, 4.0) << "page " << page;
        // The same comparison tells a shifted page apart, so the bound means something.
        const QImage shifted = rendered.copy(0, 6, rendered.width(), rendered.height());
        EXPECT_GT(BlockDifference(printed, shifted), 2 * difference + 1) << "page " << page;
    }
}

// 8.5 x 11 in, 400 depth units at 20 per inch: two pages.
void WriteTwoPageLog(const PlayFixture& f, double width, double height) {
    GdxHeader header = testing::TestHeader();
    header.PageWidth = width;
    header.PageHeight = height;
    header.BottomDepth = -400;
    GdxWriter w(header);
    w.Write(SetColorRecord{0x0000FF});
    w.Write(DrawLineRecord{10, -1, 0, 90, -399, 0});
    w.Save(f.Log());
}

struct RangeCase {
    const char* options;
    int status;
    int pages;          // in the PDF when the status is 0
    const char* error;  // part of stderr otherwise
};

TEST(CliPrint, PageRangesAreCheckedAgainstTheLog) {
    PlayFixture f;
    WriteTwoPageLog(f, 8.5, 11);
    const std::string libraries =
        " --patterns '" + f.Patterns() + "' --symbols '" + f.Symbols() + "'";
    const RangeCase cases[] = {
        {"", 0, 2, ""},
        {"--pages 1-2", 0, 2, ""},
        {"--pages 2-2", 0, 1, ""},
        {"--pages 2", 0, 1, ""},
        {"--pages 2-3", 1, 0, "Page 3 is beyond the log's 2 pages."},
        {"--pages 5", 1, 0, "Page 5 is beyond"},
        {"--pages 0-1", 2, 0, "--pages"},
        {"--pages 2-1", 2, 0, "--pages"},
        {"--pages two", 2, 0, "--pages"},
        {"--page-length 20", 0, 20, ""},  // 400 units at 20 a page
        {"--interval 0 -100", 0, 1, ""},
    };
    for (const RangeCase& c : cases) {
        const std::string pdf = f.Log("out.pdf");
        std::remove(pdf.c_str());
        const testing::CliRun run =
            testing::RunCli("print '" + f.Log() + "' -o '" + pdf + "' " + c.options + libraries);
        EXPECT_EQ(run.status, c.status) << c.options << ": " << run.err;
        if (c.status == 0) {
            EXPECT_EQ(ReadPdfInfo(pdf).pages, c.pages) << c.options;
        } else {
            EXPECT_NE(run.err.find(c.error), std::string::npos) << c.options << ": " << run.err;
            EXPECT_FALSE(std::ifstream(pdf).good()) << c.options << " left a file";
        }
    }
    // Not a PDF name, or no output: refused before anything is written.
    EXPECT_EQ(
        testing::RunCli("print '" + f.Log() + "' -o '" + f.Log("out.png") + "'" + libraries).status,
        1);
    EXPECT_EQ(testing::RunCli("print '" + f.Log() + "'" + libraries).status, 2);
}

// The PDF page has the log's page size whatever its shape.
TEST(CliPrint, PdfPagesHaveTheLogsPageSize) {
    struct SizeCase {
        double width, height;  // inches
    };
    for (SizeCase c : {SizeCase{8.5, 11}, SizeCase{14, 8.5}, SizeCase{4.25, 30}}) {
        PlayFixture f;
        WriteTwoPageLog(f, c.width, c.height);
        const std::string pdf = f.Log("out.pdf");
        const testing::CliRun run =
            testing::RunCli("print '" + f.Log() + "' -o '" + pdf + "' --patterns '" + f.Patterns() +
                            "' --symbols '" + f.Symbols() + "'");
        ASSERT_EQ(run.status, 0) << run.err;
        const PdfInfo info = ReadPdfInfo(pdf);
        EXPECT_NEAR(info.width, c.width * 72, 0.5) << c.width << " x " << c.height;
        EXPECT_NEAR(info.height, c.height * 72, 0.5) << c.width << " x " << c.height;
    }
}

}  // namespace
}  // namespace cindral
