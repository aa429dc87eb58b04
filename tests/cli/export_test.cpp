// cindral-cli export, run as the real binary: the sample log as WMF, EMF and SVG, each read
// by an independent program (libwmf's wmf2svg, emf2svg-conv, and for every SVG xmllint and
// librsvg's rsvg-convert), must look like the page the raster renderer draws; the refusals
// and usage errors of the command line.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdlib>

#include "cli_run.h"
#include "core/format/byte_codec.h"
#include "core/gd_test_support.h"

namespace cindral {
namespace {

std::string Sample() {
    return testing::BinDir() + "/samples/sample.gdx";
}

int Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// The picture cut to its inked columns and from its first inked row, scaled to 800 columns:
// readers may fit a drawing to the bounds of what it draws, which moves and scales it.
QImage InkedPart(const QImage& image) {
    int left = image.width(), right = -1, top = image.height();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) >= 250) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
        }
    }
    if (right < left) return {};
    return image.copy(left, top, right - left + 1, image.height() - top)
        .scaledToWidth(800, Qt::SmoothTransformation);
}

// The mean darkness, 0..255, of the top `rows` rows.
double Ink(const QImage& image, int rows) {
    double total = 0;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < image.width(); ++x) total += 255 - qGray(image.pixel(x, y));
    }
    return total / (double(rows) * image.width());
}

// Mean absolute difference, 0..255, of the grey levels of two images over their top `rows`
// rows, both first averaged over 8 x 8 blocks: small for the same drawing rendered by
// another program (other fonts, other line and fill rules), large for a missing band, a
// shift or a wrong scale.
double BlockDifference(const QImage& a, const QImage& b, int rows) {
    const int w = std::min(a.width(), b.width()) / 8, h = rows / 8;
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

struct ReaderCase {
    const char* extension;
    // Turns IN into the SVG OUT with an independent reader; empty when IN is SVG already.
    const char* to_svg;
    // libwmf fits a drawing to the bounds it computes itself, fills hatches solid and draws
    // thin lines lighter, so its picture is compared by its proportions and its share of
    // ink (within 40%: it draws about 25% lighter than our page), not block by block.
    bool refitted;
};

void PrintTo(const ReaderCase& c, std::ostream* os) {
    *os << c.extension;
}

class ExportReaders : public ::testing::TestWithParam<ReaderCase> {};

// Page 1 at 96 dpi holds the first header and the log below it, as the top of the whole-log
// drawing does; rows 0..900 lie above page 1's footer.
TEST_P(ExportReaders, IndependentReadersSeeTheLogOfThePage) {
    const ReaderCase& c = GetParam();
    testing::TempDir dir;
    const std::string out = dir.File(std::string("s.") + c.extension);
    const testing::CliRun run = testing::RunCli("export '" + Sample() + "' -o '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    std::string svg = out;
    if (*c.to_svg) {
        svg = out + ".svg";
        std::string command = c.to_svg;
        command.replace(command.find("IN"), 2, "'" + out + "'");
        command.replace(command.find("OUT"), 3, "'" + svg + "'");
        ASSERT_EQ(Shell(command + " 2>/dev/null"), 0) << command;
        // libwmf writes xlink:href for pictures without declaring the namespace.
        Shell("grep -q xmlns:xlink '" + svg +
              "' || sed -i '0,/<svg /s//<svg xmlns:xlink=\"http:\\/\\/www.w3.org\\/1999\\/xlink\" "
              "/' '" +
              svg + "'");
    }
    ASSERT_EQ(Shell("xmllint --noout '" + svg + "'"), 0) << "not well-formed XML: " << svg;
    const std::string png = dir.File("drawing.png");
    ASSERT_EQ(Shell("rsvg-convert -w 816 -b white '" + svg + "' -o '" + png + "'"), 0);
    const std::string page = dir.File("page.png");
    ASSERT_EQ(testing::RunCli("render '" + Sample() + "' -o '" + page + "'").status, 0);

    const QImage whole(QString::fromStdString(png)), page_image(QString::fromStdString(page));
    // The whole log, 816 x 3131 units, not one page.
    EXPECT_NEAR(double(whole.height()) / whole.width(), 3131.0 / 816, 0.1);
    if (c.refitted) {
        const double ink = Ink(whole, 1000), page_ink = Ink(page_image, 1000);
        EXPECT_NEAR(ink, page_ink, 0.4 * page_ink) << "ink " << ink << " against " << page_ink;
        return;
    }
    const QImage drawing = InkedPart(whole), reference = InkedPart(page_image);
    ASSERT_FALSE(drawing.isNull());
    ASSERT_GE(reference.height(), 900);
    // The same page measures about 6 here; the drawing 12 rows off measures 12, a blank
    // one above 30.
    EXPECT_LT(BlockDifference(drawing, reference, 880), 9)
        << "the drawing does not look like the page";
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportReaders,
                         ::testing::Values(ReaderCase{"wmf", "wmf2svg -o OUT IN", true},
                                           ReaderCase{"emf", "emf2svg-conv -i IN -o OUT", false},
                                           ReaderCase{"svg", "", false}),
                         [](const auto& info) { return std::string(info.param.extension); });

// 400 inches of log: beyond the 32,767 units of a WMF at 96 per inch, well inside an EMF.
TEST(CliExport, TallLogIsRefusedAsWmfAndWrittenWholeAsEmf) {
    testing::PlayFixture f;
    GdxHeader header = testing::TestHeader();
    header.BottomDepth = -8000;
    GdxWriter w(header);
    w.Write(SetColorRecord{0x0000FF});
    w.Write(DrawLineRecord{10, -7990, 0, 90, -7990, 0});  // 38,352 units down
    w.Save(f.Log());
    const std::string libs = " --patterns '" + f.Patterns() + "' --symbols '" + f.Symbols() + "'";
    testing::TempDir dir;

    const testing::CliRun wmf =
        testing::RunCli("export '" + f.Log() + "' -o '" + dir.File("t.wmf") + "'" + libs);
    EXPECT_EQ(wmf.status, 1);
    EXPECT_NE(wmf.err.find("Enhanced Metafile"), std::string::npos) << wmf.err;
    EXPECT_TRUE(testing::ReadFileBytes(dir.File("t.wmf")).empty()) << "nothing written";

    const testing::CliRun emf =
        testing::RunCli("export '" + f.Log() + "' -o '" + dir.File("t.emf") + "'" + libs);
    ASSERT_EQ(emf.status, 0) << emf.err;
    const std::vector<uint8_t> bytes = testing::ReadFileBytes(dir.File("t.emf"));
    ByteReader r(bytes);
    r.Seek(20);
    EXPECT_EQ(r.I32(), 38400 - 1) << "bounds bottom: the whole log";
    // The line near the bottom keeps its row; EMR_LINETO is record 54.
    bool found = false;
    for (size_t at = 0; at + 8 <= bytes.size();) {
        ByteReader rec(bytes.data() + at, bytes.size() - at);
        const uint32_t type = rec.U32(), size = rec.U32();
        if (type == 54) {
            rec.I32();
            found = found || rec.I32() == 38352;
        }
        if (size == 0) break;
        at += size;
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(std::system(("emf2svg-conv -i '" + dir.File("t.emf") + "' -o '" + dir.File("t.svg") +
                           "' 2>/dev/null")
                              .c_str()),
              0);
}

TEST(CliExport, CommandLineMistakesAreRefused) {
    struct Case {
        std::string args;
        int status;
        const char* message;
    };
    const std::string sample = "'" + Sample() + "'";
    const std::vector<Case> cases = {
        {"export " + sample + " -o out.pdf", 1, "must end in .wmf, .emf, .svg or .html"},
        {"export " + sample, 2, "needs -o"},
        {"export -o out.emf", 2, "needs exactly one FILE"},
        {"export " + sample + " -o out.emf --no-such-option", 2, ""},
        {"export /no/such/log.gdx -o out.emf", 1, ""},
    };
    testing::TempDir dir;
    for (const Case& c : cases) {
        const testing::CliRun run = testing::RunCli(c.args, dir.File(""));
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << "\n" << run.err;
    }
}

// A log that breaks off in a record: the command fails and leaves no half-made drawing.
TEST(CliExport, BrokenLogFailsWithoutWritingADrawing) {
    testing::PlayFixture f;
    GdxWriter w(testing::TestHeader());
    w.Write(DrawLineRecord{10, -1, 0, 90, -199, 0});
    std::vector<uint8_t> bytes = w.Bytes();
    bytes.resize(bytes.size() - 5);
    WriteFileBytes(f.Log(), bytes);
    testing::TempDir dir;
    const testing::CliRun run =
        testing::RunCli("export '" + f.Log() + "' -o '" + dir.File("b.emf") + "' --patterns '" +
                        f.Patterns() + "' --symbols '" + f.Symbols() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.err.empty());
    EXPECT_TRUE(testing::ReadFileBytes(dir.File("b.emf")).empty());
}

}  // namespace
}  // namespace cindral
