// cindral-cli print, run as the real binary, its PDF read by independent programs: poppler's
// pdfinfo (pages, page size), pdftotext (the text is text), pdftoppm (the page looks like
// the page `cindral-cli render` draws), pdfimages (how pictures are stored) and mutool's
// trace of what a reader paints.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>

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

// How often each painting call occurs on page 1 as mutool traces it (stroke_path, fill_path,
// fill_text, fill_image, ...).
std::map<std::string, int> PaintCalls(const std::string& pdf) {
    const std::string trace = Output("mutool draw -F trace -o - '" + pdf + "' 1 2>/dev/null");
    std::map<std::string, int> calls;
    const std::regex call(R"(\n\s*<(\w+))");
    for (auto it = std::sregex_iterator(trace.begin(), trace.end(), call);
         it != std::sregex_iterator(); ++it) {
        ++calls[(*it)[1]];
    }
    return calls;
}

// One noisy curve of 400 vertices across a one-page log, in a wide pen and a line style.
void WriteCurve(GdxWriter& w, int32_t width, uint8_t style) {
    w.Write(SetLineWidthRecord{width});
    w.Write(SetLineStyleRecord{style});
    GdxCommand curve{DrawPolylineRecord()};
    for (int i = 0; i < 400; ++i) curve.points.push_back({40.0 + (i * 37 % 11), -0.5 * i});
    w.Write(curve);
}

// What a reader gets from a PDF: a line is a path, not a stamp per pixel; a string is one
// text object; a picture drawn again and again is stored once, without loss.
TEST(CliPrint, PaperKeepsLinesTextAndPicturesWhole) {
    struct PaperCase {
        const char* name;
        std::function<void(GdxWriter&)> write;
        int most_strokes;  // stroke_path calls on page 1
        int fills;         // fill_path calls on page 1
        int texts;         // fill_text calls on page 1
        const char* words;
    };
    const PaperCase cases[] = {
        {"wide solid curve", [](GdxWriter& w) { WriteCurve(w, 3, 0); }, 1, 0, 0, ""},
        {"wide dashed curve", [](GdxWriter& w) { WriteCurve(w, 3, 1); }, 1, 0, 0, ""},
        {"thin dash-dot curve", [](GdxWriter& w) { WriteCurve(w, 1, 3); }, 1, 0, 0, ""},
        {"styled polyline of joined segments",
         [](GdxWriter& w) {
             GdxCommand line{DrawStyledPolylineRecord{2, 0x0000C0, 2}};
             for (int i = 0; i < 20; ++i)
                 line.segments.push_back({50.0 + 5 * (i % 2), -10.0 * i, 0,
                                          50.0 + 5 * ((i + 1) % 2), -10.0 * (i + 1), 0});
             w.Write(line);
         },
         1, 0, 0, ""},
        {"string",
         [](GdxWriter& w) {
             DrawTextRecord text;
             text.x = 10;
             text.y = -20;
             text.text = "Tadpole Creek 1234";
             w.Write(text);
         },
         0, 0, 1, "Tadpole Creek 1234"},
    };
    for (const PaperCase& c : cases) {
        PlayFixture f;
        GdxWriter w(testing::TestHeader());
        c.write(w);
        w.Save(f.Log());
        const std::string pdf = f.Log("out.pdf");
        const testing::CliRun run =
            testing::RunCli("print '" + f.Log() + "' -o '" + pdf + "' --patterns '" + f.Patterns() +
                            "' --symbols '" + f.Symbols() + "'");
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
        std::map<std::string, int> calls = PaintCalls(pdf);
        EXPECT_GE(calls["stroke_path"], std::min(c.most_strokes, 1)) << c.name;
        EXPECT_LE(calls["stroke_path"], c.most_strokes) << c.name;
        EXPECT_EQ(calls["fill_path"], c.fills) << c.name;
        EXPECT_EQ(calls["fill_text"], c.texts) << c.name;
        const std::string text = Output("pdftotext '" + pdf + "' - 2>/dev/null");
        EXPECT_NE(text.find(c.words), std::string::npos) << c.name << ": " << text;
    }

    // The sample: its logo is drawn on every page and stored once, as it is.
    testing::TempDir dir;
    const std::string pdf = dir.File("s.pdf");
    ASSERT_EQ(testing::RunCli("print '" + Sample() + "' -o '" + pdf + "'").status, 0);
    EXPECT_LE(testing::ReadFileBytes(pdf).size(), 200u * 1024);
    std::map<std::string, std::set<std::string>> objects;  // picture size -> objects holding it
    int rows = 0;
    const std::string list = Output("pdfimages -list '" + pdf + "' 2>/dev/null");
    const std::regex row(
        R"(\n\s*\d+\s+\d+\s+image\s+(\d+)\s+(\d+)\s+\w+\s+\d+\s+\d+\s+(\w+)\s+\w+\s+(\d+))");
    for (auto it = std::sregex_iterator(list.begin(), list.end(), row);
         it != std::sregex_iterator(); ++it, ++rows) {
        objects[(*it)[1].str() + "x" + (*it)[2].str()].insert((*it)[4]);
        EXPECT_NE((*it)[3], "jpeg") << (*it)[0];
    }
    EXPECT_GE(rows, 5) << list;
    EXPECT_EQ(objects["16x8"].size(), 1u) << list;
    for (const auto& [size, held] : objects) EXPECT_EQ(held.size(), 1u) << size << "\n" << list;
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
