// The metafile renderer: where bands and depths land in the one tall drawing (header and
// footer in or out), the height the export gives the drawing, pattern strokes cut at the
// box, 16-bit rows only for WMF; and whole exported WMF and EMF files played back by our own
// players, compared with the raster renderer's page of the same log.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <regex>

#include "canvas_test_support.h"
#include "core/format/gdx_writer.h"
#include "core/gd_test_support.h"
#include "render/canvas/qt_canvas.h"
#include "render/canvas/trace_canvas.h"
#include "render/document/log_document.h"
#include "render/document/metafile_export.h"
#include "render/pictures/emf_player.h"
#include "render/pictures/wmf_player.h"
#include "render/renderers/logp_object.h"
#include "temp_dir.h"

namespace cindral {
namespace {

// A 3 x 11 inch page; one depth unit and one x unit are one drawing unit (96 to the inch);
// 1000 depth units of log, half-inch header and footer with a tenth-inch gap.
GdxHeader BandedHeader() {
    GdxHeader h;
    h.MinX = 0;
    h.MaxX = 288;
    h.TopDepth = 1000;
    h.BottomDepth = 0;
    h.FirstHeaderHeight = 0.5;
    h.NextHeaderHeight = 0.5;
    h.FooterHeight = 0.5;
    h.BandGap = 0.1;
    h.PageHeight = 11;
    h.PageWidth = 3;
    h.XUnitsPerInch = 96;
    h.DepthUnitsPerInch = 96;
    return h;
}

// Inked pixels of either image, and those of them without a pixel of their colour within
// one pixel in the other image: the renderers may drop different end pixels and cut
// pattern strokes a unit apart, but a figure that is missing, moved or scaled finds no
// partner.
std::pair<int, int> UnmatchedInk(const QImage& a, const QImage& b) {
    const auto near = [](const QImage& image, int x, int y, Color c) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int u = x + dx, v = y + dy;
                if (u >= 0 && v >= 0 && u < image.width() && v < image.height() &&
                    testing::PixelAt(image, u, v) == c)
                    return true;
            }
        }
        return false;
    };
    int inked = 0, differing = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            const Color pa = testing::PixelAt(a, x, y), pb = testing::PixelAt(b, x, y);
            if (pa != kWhite || pb != kWhite) ++inked;
            if ((pa != kWhite && !near(b, x, y, pa)) || (pb != kWhite && !near(a, x, y, pb)))
                ++differing;
        }
    }
    return {inked, differing};
}

class MetafileDrawing : public ::testing::Test {
  protected:
    MetafileDrawing() {
        // Pattern 1: one stroke three cells long, so every cell's stroke leaves the box.
        testing::WritePatternLibrary(dir.File("p.pat"), {{1, {10, 10, {{0, 0, 30, 30}}}}});
        testing::WriteSymbolLibrary(dir.File("s.sym"), 326, {});
    }

    // Draws with `draw` into a drawing of the header, its bands as asked, and returns the
    // calls the drawing recorded, as trace lines.
    std::vector<std::string> Draw(bool header, bool footer, MetafileFormat format,
                                  const std::function<void(logmf_object&)>& draw) {
        doc = std::make_unique<logmf_object>(dir.File("p.pat"), dir.File("s.sym"));
        doc->Header() = BandedHeader();
        extent = ComputeMetafileExtent(doc->Header(), header, footer);
        doc->Bind(format, extent);  // 96 units per inch: one unit, one row or column
        doc->BeginDrawing();
        draw(*doc);
        TraceCanvas trace({96, 96, extent.width, extent.height, false});
        doc->Drawing()->Replay(trace);
        return trace.lines();
    }

    // The points of every MoveTo and LineTo of a trace.
    static std::vector<Point> LinePoints(const std::vector<std::string>& lines) {
        std::vector<Point> out;
        const std::regex point(R"((MoveTo|LineTo) (-?\d+),(-?\d+))");
        for (const std::string& l : lines) {
            std::smatch m;
            if (std::regex_search(l, m, point)) out.push_back({std::stoi(m[2]), std::stoi(m[3])});
        }
        return out;
    }

    testing::TempDir dir;
    std::unique_ptr<logmf_object> doc;
    MetafileExtent extent;
};

// Drawing heights: 1000 rows of log; a band adds its height and the gap (0.6 in = 57.6).
// Rows: header band from 0; data from Round(57.6) = 58 with the header; the footer band from
// Round(height - 48).
TEST_F(MetafileDrawing, BandsAndDepthsLandWhereTheOptionsPutThem) {
    struct Case {
        bool header, footer;
        int height;
        const char* draw;  // "region R Y" for a band line at Y inches, "depth D" for a log line
        uint8_t region;
        double at;
        std::optional<int> row;
    };
    const std::vector<Case> cases = {
        {false, false, 1000, "depth", 0, 1000, 0},
        {false, false, 1000, "depth", 0, 0, 1000},
        {true, false, 1058, "depth", 0, 1000, 58},
        {true, true, 1115, "depth", 0, 0, 1058},
        {true, true, 1115, "region", 1, 0.25, 24},
        {true, true, 1115, "region", 0, 0.25, std::nullopt},
        {false, true, 1058, "region", 0, 0.25, 24},
        {false, true, 1058, "region", 1, 0.25, std::nullopt},
        {true, true, 1115, "region", 3, 0, 1067},  // exactly the footer's top row
        {true, true, 1115, "region", 3, 0.25, 1091},
        {true, false, 1058, "region", 3, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.draw) + " " + std::to_string(c.at) + " header " +
                     std::to_string(c.header) + " footer " + std::to_string(c.footer));
        const auto lines = Draw(c.header, c.footer, MetafileFormat::Emf, [&](logmf_object& d) {
            if (std::string(c.draw) == "depth") {
                d.DrawLine(DrawLineRecord{10, c.at, 0, 100, c.at});
            } else {
                d.DrawRegionLine(DrawRegionLineRecord{10, c.at, 100, c.at, c.region});
            }
        });
        EXPECT_EQ(extent.height, c.height);
        const std::vector<Point> points = LinePoints(lines);
        if (!c.row) {
            EXPECT_TRUE(points.empty());
            continue;
        }
        ASSERT_EQ(points.size(), 2u);
        EXPECT_EQ(points[0], (Point{10, *c.row}));
        EXPECT_EQ(points[1], (Point{100, *c.row}));
    }
}

TEST_F(MetafileDrawing, OnlyWmfRowsAreHeldToSixteenBits) {
    for (MetafileFormat format : {MetafileFormat::Wmf, MetafileFormat::Emf}) {
        const auto points = LinePoints(Draw(false, false, format, [](logmf_object& d) {
            d.DrawLine(DrawLineRecord{5, 1000, 0, 6, -99000});  // 100,000 rows below the top
            d.DrawLine(DrawLineRecord{0.99, 0, 0, 0.99, 0});    // columns truncate
        }));
        ASSERT_EQ(points.size(), 4u);
        EXPECT_EQ(points[1].y, format == MetafileFormat::Wmf ? 32767 : 100000);
        EXPECT_EQ(points[2].x, 0);
    }
}

TEST_F(MetafileDrawing, PatternStrokesAreCutAtTheBoxEdge) {
    // Box columns 20..70, rows 500..550 (depths 500..450).
    const auto points = LinePoints(Draw(false, false, MetafileFormat::Emf, [](logmf_object& d) {
        d.PatternFillBox(PatternFillBoxRecord{20, 450, 70, 500, 1, 1, 1, 0});
    }));
    ASSERT_FALSE(points.empty());
    bool reaches_edge = false;
    for (const Point& p : points) {
        // The halving stops within one unit of the edge, on either side of it.
        EXPECT_TRUE(p.x >= 19 && p.x <= 71 && p.y >= 499 && p.y <= 551) << p.x << "," << p.y;
        if (p.x >= 69 || p.y <= 501) reaches_edge = true;
    }
    EXPECT_TRUE(reaches_edge) << "strokes leaving the box end on its edge";
}

// A log of lines, a dashed and a wide curve, grid lines, a pattern box, a filled polygon and
// text, level and turned,
// one page long with no bands: the WMF and the EMF, played back by our own players, must
// look like the raster page. Tolerance: at most 2% of the inked pixels may lack a pixel of
// their colour within one pixel in the other image (a 2-pixel shift fails with 5%).
TEST_F(MetafileDrawing, MetafilesPlayedBackMatchTheRasterPage) {
    GdxHeader h = BandedHeader();
    h.FirstHeaderHeight = h.NextHeaderHeight = h.FooterHeight = -1;
    h.BandGap = 0;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 20;
    h.TopDepth = 0;
    h.BottomDepth = -200;
    h.PageWidth = 8.5;
    GdxWriter w(h);
    w.Write(SetColorRecord{0x800000});
    for (double d = 0; d > -200; d -= 1) {
        const double a = 300 + 100 * std::sin(d * 0.05), b = 300 + 100 * std::sin((d - 1) * 0.05);
        w.Write(DrawLineRecord{a, d, 0, b, d - 1, 0});
    }
    w.Write(SetLineStyleRecord{1});
    for (double d = 0; d > -200; d -= 2) {
        w.Write(DrawLineRecord{500 + 50 * std::cos(d * 0.1), d, 0,
                               500 + 50 * std::cos((d - 2) * 0.1), d - 2, 0});
    }
    w.Write(SetLineStyleRecord{0});
    w.Write(SetLineWidthRecord{3});
    w.Write(SetColorRecord{0x0000C0});
    w.Write(DrawLineRecord{650, -10, 0, 780, -190, 0});
    w.Write(SetLineWidthRecord{1});
    for (double d = -20; d > -200; d -= 20) w.Write(DrawLineRecord{20, d, 0, 800, d, 0});
    PatternFillBoxRecord box;
    box.x1 = 30;
    box.x2 = 200;
    box.y1 = -30;
    box.y2 = -90;
    box.pattern = 1;
    box.xScale = box.yScale = 1;
    box.outline = 1;
    w.Write(box);
    PolyFillColoredRecord poly;
    poly.color = 0x00A000;
    GdxCommand fill{CommandRecord(poly)};
    fill.points = {{40, -120}, {180, -110}, {150, -180}, {60, -170}};
    w.Write(fill);
    SetFontRecord font;
    font.fontName = "Arial";
    font.size = 12;
    w.Write(font);
    DrawFontTextRecord text;
    text.x = 250;
    text.y = -60;
    text.height = 12;
    text.sizeMode = 3;
    text.text = "Top of sandstone 1234";
    w.Write(text);
    text.y = -100;
    text.angle = 90;
    text.text = "turned";
    w.Write(text);
    w.Save(dir.File("log.gdx"));

    LogDocumentOptions opening;
    opening.files = {dir.File("p.pat"), dir.File("s.sym"), 100};
    LogDocument log(dir.File("log.gdx"), opening, 96);
    const QImage raster = log.RenderPage(0);

    for (MetafileFormat format : {MetafileFormat::Wmf, MetafileFormat::Emf}) {
        SCOPED_TRACE(format == MetafileFormat::Wmf ? "wmf" : "emf");
        auto document = MakeMetafileRenderer(log, log.Header());
        MetafileExportOptions options;
        options.format = format;
        options.output = dir.File(format == MetafileFormat::Wmf ? "log.wmf" : "log.emf");
        const MetafileExportResult result = ExportMetafile(*document, options);
        ASSERT_EQ(result.extent.width, 816);
        ASSERT_EQ(result.extent.height, 960);
        QImage played = testing::WhiteImage(816, 960);
        {
            QtCanvas canvas(&played);
            const std::vector<uint8_t> bytes = testing::ReadFileBytes(options.output);
            if (format == MetafileFormat::Wmf) {
                PlayWmf(bytes, canvas, {0, 0, 816, 960});
            } else {
                EXPECT_EQ(ReadEmfBounds(bytes.data(), bytes.size()), (Rect{0, 0, 815, 959}));
                PlayEmf(bytes, canvas);
            }
        }
        const auto [inked, differing] = UnmatchedInk(raster, played);
        ASSERT_GT(inked, 5000);
        EXPECT_LE(differing, inked / 50) << differing << " of " << inked << " inked pixels differ";
    }
}

}  // namespace
}  // namespace cindral
