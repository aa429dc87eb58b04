// The raster renderer on a real QImage: lines and band items land in their bands, fills
// paint inside and leave the outside alone, patterns keep their phase, long polygons draw.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <functional>

#include "canvas_test_support.h"
#include "core/gd_test_support.h"
#include "render/canvas/fill_brushes.h"
#include "render/canvas/qt_canvas.h"
#include "render/renderers/logp_object.h"
#include "render/renderers/pattern_tiling.h"
#include "render/renderers/render_settings.h"

namespace cindral {
namespace {

using testing::PixelAt;

constexpr Color kRed = 0x0000FF;
constexpr Color kBlue = 0xFF0000;
constexpr Color kGreen = 0x00FF00;
constexpr Color kGrey = 0x808080;

// Pattern 1: a horizontal stroke along the bottom of a 10 x 10 cell; pattern 2: a dot.
std::map<int, testing::Pattern> FillPatterns() {
    return {{1, {10, 10, {{0, 0, 10, 0}}}}, {2, {10, 10, {{5, 5, 5, 5}}}}};
}

// 100 pixels per inch; one x unit and one depth unit are one pixel. Page 300 x 500 with a
// header of 50 rows and a footer of 50 rows on every page: depth d lies on row
// 50 + (1000 - d) of page 0, the data window is rows 50..450.
class RenderPage : public ::testing::Test {
  protected:
    RenderPage() {
        testing::WritePatternLibrary(dir.File("p.pat"), FillPatterns());
        testing::WriteSymbolLibrary(dir.File("s.sym"), 326, {});
        doc = std::make_unique<logp_object>(dir.File("p.pat"), dir.File("s.sym"));
        GdxHeader& h = doc->Header();
        h.MinX = 0;
        h.MaxX = 300;
        h.TopDepth = 1000;
        h.BottomDepth = 0;
        h.FirstHeaderHeight = 0.5;
        h.NextHeaderHeight = 0.5;
        h.FooterHeight = 0.5;
        h.BandGap = 0;
        h.RepeatBands = 1;
        h.PageHeight = 5;
        h.PageWidth = 3;
        h.XUnitsPerInch = 100;
        h.DepthUnitsPerInch = 100;
    }

    // Draws with `draw` on page `page` over an image filled with `background`.
    QImage Draw(int page, const std::function<void(logp_object&)>& draw,
                QRgb background = qRgb(255, 255, 255), int ppi = 100) {
        const PageGeometry geometry =
            GeometryOfPage(doc->Header(), DrawablePageScale(doc->Header(), ppi, ppi), page, 3);
        QImage image(geometry.PageWidthPx, geometry.PageHeightPx, QImage::Format_RGB32);
        image.fill(background);
        QtCanvas canvas(&image);
        doc->Bind(canvas, geometry, options);
        EXPECT_TRUE(doc->BeginPage());
        draw(*doc);
        EXPECT_FALSE(canvas.clip().has_value()) << "a primitive left a clip selected";
        doc->EndPage();
        canvas.Finish();
        doc->Unbind();
        return image;
    }

    static std::vector<PointRecord> Box(double x1, double y1, double x2, double y2) {
        return {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
    }

    testing::TempDir dir;
    std::unique_ptr<logp_object> doc;
    RenderOptions options;
};

TEST_F(RenderPage, LineWithOneEndBelowTheWindowStopsAtItsBottom) {
    const QImage image = Draw(0, [](logp_object& d) {
        d.DrawLine(DrawLineRecord{100, 900, 0, 100, -100});  // rows 150 .. 1150
        d.DrawLine(DrawLineRecord{200, -10, 0, 200, -100});  // wholly below
    });
    EXPECT_EQ(PixelAt(image, 100, 150), kBlack);
    EXPECT_EQ(PixelAt(image, 100, 449), kBlack);
    EXPECT_EQ(PixelAt(image, 100, 451), kWhite);
    EXPECT_EQ(PixelAt(image, 100, 470), kWhite);
    for (int y = 0; y < 500; ++y) ASSERT_EQ(PixelAt(image, 200, y), kWhite) << y;
}

TEST_F(RenderPage, RowsAndDepthsConvertBothWays) {
    Draw(1, [](logp_object& d) {
        for (double depth : {1000.0, 700.0, 612.0, 3.0}) {
            EXPECT_DOUBLE_EQ(d.ToDepth(d.ToPixelY(depth), false), depth);
            EXPECT_DOUBLE_EQ(d.ToDepth(d.ToPixelY(depth), true) - d.Header().ElevationDatum, depth);
        }
        // Page 1 continues where page 0's 400 rows of log ended.
        EXPECT_EQ(d.ToPixelY(600), 50);
    });
}

struct BandCase {
    const char* name;
    int page;
    uint8_t region;
    bool drawn;
};

class RegionPlacement : public RenderPage, public ::testing::WithParamInterface<BandCase> {};

// A region line 0.1 in into its band: row 10 in a header, 10 + 450 - 1 in the footer.
TEST_P(RegionPlacement, BandItemsDrawOnlyInTheirBand) {
    const BandCase& c = GetParam();
    const QImage image = Draw(c.page, [&](logp_object& d) {
        d.DrawRegionLine(DrawRegionLineRecord{10, 0.1, 290, 0.1, c.region});
        d.FillBox(FillBoxRecord{10, 0.2, 20, 0.3, kRed, c.region});
    });
    const int row = BandOf(c.region) == Band::Footer ? 459 : 10;
    EXPECT_EQ(PixelAt(image, 100, row) == kBlack, c.drawn);
    EXPECT_EQ(PixelAt(image, 15, row + 15) == kRed, c.drawn);
    EXPECT_EQ(!testing::Painted(image).empty(), c.drawn);
}

INSTANTIATE_TEST_SUITE_P(Bands, RegionPlacement,
                         ::testing::Values(BandCase{"FirstHeaderOnFirstPage", 0, 1, true},
                                           BandCase{"FirstHeaderOnLaterPage", 1, 1, false},
                                           BandCase{"NextHeaderOnLaterPage", 1, 2, true},
                                           BandCase{"NextHeaderOnFirstPage", 0, 2, false},
                                           BandCase{"FooterOnFirstPage", 0, 3, true},
                                           BandCase{"UnknownRegion", 0, 7, false}),
                         [](const ::testing::TestParamInfo<BandCase>& info) {
                             return info.param.name;
                         });

TEST_F(RenderPage, RegionBoxInFooterDrawsNothingOnAPageWithoutFooter) {
    doc->Header().RepeatBands = 0;
    const QImage image = Draw(1, [](logp_object& d) {
        d.RegionPatternFillBox(RegionPatternFillBoxRecord{10, 0.0, 100, 0.3, 1, 1, 1, 1, 3});
        d.RegionPatternFillBoxColored(
            RegionPatternFillBoxColoredRecord{10, 0.0, 100, 0.3, 1, 1, 1, 1, kRed, kBlue, 1, 3});
    });
    EXPECT_TRUE(testing::Painted(image).empty());
}

TEST_F(RenderPage, PatternPhaseIsAnchoredAtTheBoxBottom) {
    // Pattern unit = 0.02 in = 2 px: cells of 20 x 20 px, a horizontal stroke on each cell
    // bottom. The box bottom is row 250 (excluded), so strokes fall on rows 230, 210, ...
    auto rows_with_ink = [](const QImage& image) {
        std::vector<int> rows;
        for (int y = 0; y < 500; ++y) {
            if (PixelAt(image, 50, y) == kBlack) rows.push_back(y);
        }
        return rows;
    };
    const QImage inside = Draw(0, [](logp_object& d) {
        d.PatternFillBox(PatternFillBoxRecord{20, 800, 80, 900, 1, 1, 1, 0});
    });
    EXPECT_EQ(rows_with_ink(inside), (std::vector<int>{150, 170, 190, 210, 230}));
    // Taller than the window: cut at the window top, the strokes stay where they were.
    const QImage tall = Draw(0, [](logp_object& d) {
        d.PatternFillBox(PatternFillBoxRecord{80, 2000, 20, 800, 1, 1, 1, 0});
    });
    EXPECT_EQ(rows_with_ink(tall),
              (std::vector<int>{50, 70, 90, 110, 130, 150, 170, 190, 210, 230}));
    EXPECT_EQ(PixelAt(tall, 19, 230), kWhite);
    EXPECT_EQ(PixelAt(tall, 81, 230), kWhite);
}

TEST_F(RenderPage, ColoredPatternBackgroundWhiteLeavesTheAreaRegionVariantPaintsIt) {
    const QRgb grey = qRgb(0x80, 0x80, 0x80);
    const QImage plain = Draw(
        0,
        [](logp_object& d) {
            d.PatternFillBoxColored(
                PatternFillBoxColoredRecord{20, 800, 80, 900, 2, 1, 1, 1, 0xFFFFFF, kRed, 0});
        },
        grey);
    EXPECT_EQ(PixelAt(plain, 21, 160), kGrey);
    const QImage region = Draw(
        0,
        [](logp_object& d) {
            d.RegionPatternFillBoxColored(RegionPatternFillBoxColoredRecord{
                20, 0.1, 80, 0.4, 2, 1, 1, 1, 0xFFFFFF, kRed, 0, 1});
        },
        grey);
    EXPECT_EQ(PixelAt(region, 21, 20), kWhite);
    EXPECT_EQ(PixelAt(region, 85, 20), kGrey);
}

TEST_F(RenderPage, BoxFillKinds) {
    struct Case {
        uint8_t kind;
        Color inside_a, inside_b;  // two probes inside
    } cases[] = {
        {0, kBlue, kBlue},
        {1, kWhite, kWhite},
        // Horizontal hatch: the tile's row 3 of every 8 is set.
        {2, kBlue, kWhite},
    };
    for (const Case& c : cases) {
        const QImage image = Draw(
            0,
            [&](logp_object& d) {
                d.DrawBox(DrawBoxRecord{40, 900, 120, 800, c.kind, kBlue, 0});
            },
            qRgb(0, 255, 0));
        EXPECT_EQ(PixelAt(image, 60, 163), c.inside_a) << int(c.kind);
        EXPECT_EQ(PixelAt(image, 60, 164), c.inside_b) << int(c.kind);
        EXPECT_EQ(PixelAt(image, 30, 163), kGreen) << "outside, kind " << int(c.kind);
        EXPECT_EQ(PixelAt(image, 60, 260), kGreen) << "below, kind " << int(c.kind);
    }
}

TEST_F(RenderPage, PolygonPairPaintsEachPartAndTheOverlapWithItsOwnBrush) {
    const auto a = Box(20, 900, 100, 800), b = Box(60, 900, 140, 800);
    const QImage image = Draw(0, [&](logp_object& d) {
        d.FillPolygonPair(FillPolygonPairRecord{0, 5, 1, kRed, 0, 0, 5, 1, kBlue, 0, kGreen, 0}, a,
                          b);
    });
    EXPECT_EQ(PixelAt(image, 40, 200), kRed);
    EXPECT_EQ(PixelAt(image, 80, 200), kGreen);
    EXPECT_EQ(PixelAt(image, 120, 200), kBlue);
    EXPECT_EQ(PixelAt(image, 150, 200), kWhite);

    const QImage same = Draw(0, [&](logp_object& d) {
        d.FillPolygonPair(FillPolygonPairRecord{0, 5, 1, kRed, 0, 0, 5, 1, kBlue, 0, kGreen, 0}, a,
                          a);
    });
    for (const auto& [x, y] : testing::Painted(same)) ASSERT_EQ(PixelAt(same, x, y), kGreen);
    EXPECT_EQ(PixelAt(same, 40, 200), kGreen);
}

TEST_F(RenderPage, PolygonPairStaysInTheDataWindow) {
    const QImage image = Draw(0, [&](logp_object& d) {
        d.FillPolygonPair(FillPolygonPairRecord{0, 5, 1, kRed, 0, 0, 5, 1, kBlue, 0, kGreen, 0},
                          Box(20, 1200, 100, -200), {});
    });
    EXPECT_EQ(PixelAt(image, 40, 49), kWhite);
    EXPECT_EQ(PixelAt(image, 40, 50), kRed);
    EXPECT_EQ(PixelAt(image, 40, 450), kRed);
    EXPECT_EQ(PixelAt(image, 40, 451), kWhite);
}

TEST(PolygonStrips, LongListsAreClosedAgainstTheFirstVertical) {
    std::vector<Point> v;
    for (int i = 0; i < 250; ++i) v.push_back({10 + i % 7, i});
    const auto strips = PolygonStrips(v);
    ASSERT_EQ(strips.size(), 3u);
    EXPECT_EQ(strips[0].size(), 102u);
    EXPECT_EQ(strips[0][100], (Point{10, 99}));
    EXPECT_EQ(strips[0][101], v[0]);
    EXPECT_EQ(strips[1].front(), (Point{10, 99}));
    EXPECT_EQ(strips[1][1], v[99]);
    EXPECT_EQ(strips[2].size(), 54u);  // the corner, the 198th vertex and 52 more
    EXPECT_EQ(strips[2].back(), v[249]);
}

TEST_F(RenderPage, TenThousandVertexPolygonFills) {
    // A comb of 10,000 vertices closed along x = 20: every strip is filled.
    std::vector<PointRecord> points{{20, 950}};
    for (int i = 0; i < 9998; ++i) points.push_back({i % 2 ? 200.0 : 190.0, 950 - i * 0.03});
    points.push_back({20, 650});
    const QImage image = Draw(0, [&](logp_object& d) {
        d.SetColor(SetColorRecord{kRed});
        d.PolyFillColored(PolyFillColoredRecord{0, 1, 1, 0, kBlue}, points);
    });
    for (int y : {110, 200, 300, 390}) EXPECT_EQ(PixelAt(image, 100, y), kBlue) << y;
    EXPECT_EQ(PixelAt(image, 250, 200), kWhite);
    EXPECT_EQ(PixelAt(image, 100, 420), kWhite);
}

TEST(FillBrushes, HatchesKeepAPhysicalSize) {
    EXPECT_EQ(HatchScale(96), 1);
    EXPECT_EQ(HatchScale(100), 1);
    EXPECT_EQ(HatchScale(300), 3);
    EXPECT_EQ(HatchScale(600), 6);
    const Brush b = FillKindBrush(6, kRed, 600);
    ASSERT_EQ(b.style, BrushStyle::Pattern);
    ASSERT_TRUE(b.pattern);
    EXPECT_EQ(b.pattern->width, 48);
    EXPECT_EQ(FillKindBrush(1, kRed, 96).style, BrushStyle::Null);
    EXPECT_EQ(FillKindBrush(9, kRed, 96).style, BrushStyle::Null);
    EXPECT_EQ(FillKindBrush(3, kRed, 96).style, BrushStyle::Hatched);
    EXPECT_EQ(DotHalfSize(600), 3);
    EXPECT_EQ(DotHalfSize(150), 1);
}

TEST_F(RenderPage, ZeroLengthStrokeIsAPixelOnScreenAndADiscOnPaper) {
    const QImage screen = Draw(0, [](logp_object& d) {
        d.PatternFillBox(PatternFillBoxRecord{0, 800, 22, 900, 2, 1, 1, 0});
    });
    // Dots at (col + 10, row - 10) of each 20-px cell: (10, 240), (10, 220) ...
    EXPECT_EQ(PixelAt(screen, 10, 240), kBlack);
    EXPECT_EQ(PixelAt(screen, 11, 240), kWhite);
    const QImage paper = Draw(
        0,
        [](logp_object& d) {
            d.PatternFillBox(PatternFillBoxRecord{0, 800, 22, 900, 2, 1, 1, 0});
        },
        qRgb(255, 255, 255), 600);
    // At 600 ppi cells are 120 px and the dot a disc of half-size 3.
    const int bottom = paper.height() > 0 ? doc->ToPixelY(800) : 0;
    const Rect box = testing::PaintedBox(paper);
    EXPECT_EQ(box.Width(), 6);
    EXPECT_EQ(box.bottom, bottom - 60 + 3);
}

}  // namespace
}  // namespace cindral

namespace cindral {
namespace {

// Filled boxes follow the GDI rule: the left column and the top row are painted, the right
// and bottom edge are not. Every row checks the whole painted area and its last column and
// row, whichever way round the corners are given.
TEST_F(RenderPage, FilledBoxesPaintUpToButNotIncludingTheirRightAndBottomEdge) {
    struct Row {
        const char* name;
        std::function<void(logp_object&)> draw;
        Rect painted;  // right and bottom exclusive
    };
    const Row rows[] = {
        // Band boxes: y in inches, row = y x 100 in the header, 449 + y x 100 in the footer.
        {"FillBox",
         [](logp_object& d) {
             d.FillBox(FillBoxRecord{40, 0.1, 120, 0.4, kBlue, 1});
         },
         {40, 10, 120, 40}},
        {"FillBoxReversed",
         [](logp_object& d) {
             d.FillBox(FillBoxRecord{120, 0.4, 40, 0.1, kBlue, 1});
         },
         {40, 10, 120, 40}},
        {"FillBoxOneByOne",
         [](logp_object& d) {
             d.FillBox(FillBoxRecord{7, 0.05, 8, 0.06, kBlue, 1});
         },
         {7, 5, 8, 6}},
        {"FillBoxInTheFooter",
         [](logp_object& d) {
             d.FillBox(FillBoxRecord{10, 0.1, 31, 0.3, kBlue, 3});
         },
         {10, 459, 31, 479}},
        // The box starts one column right of x1.
        {"DrawBoxSolid",
         [](logp_object& d) {
             d.DrawBox(DrawBoxRecord{40, 900, 120, 800, 0, kBlue, 0});
         },
         {41, 150, 120, 250}},
        // The step of one column belongs to x1, whichever side it lies on.
        {"DrawBoxReversed",
         [](logp_object& d) {
             d.DrawBox(DrawBoxRecord{120, 800, 40, 900, 0, kBlue, 0});
         },
         {40, 150, 121, 250}},
    };
    const QRgb green = qRgb(0, 255, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QImage image = Draw(0, row.draw, green);
        Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == green) continue;
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
            }
        }
        EXPECT_EQ(box, row.painted);
        for (int yy : {150, 200, 249}) {
            std::string l;
            for (int xx : {39, 40, 41, 42, 118, 119, 120, 121}) {
                char t[16];
                snprintf(t, 16, "%06x ", image.pixel(xx, yy) & 0xFFFFFF);
                l += t;
            }
        }
        const Rect& p = row.painted;
        for (int y = p.top; y < p.bottom; ++y) {
            EXPECT_NE(image.pixel(p.right - 1, y), green) << "right column, row " << y;
        }
        for (int x = p.left; x < p.right; ++x) {
            EXPECT_NE(image.pixel(x, p.bottom - 1), green) << "bottom row, column " << x;
        }
    }
}

}  // namespace
}  // namespace cindral
