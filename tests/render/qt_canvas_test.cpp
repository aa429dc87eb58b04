#include "render/canvas/qt_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <climits>

#include "render/canvas/line_walk.h"
#include "render/canvas_test_support.h"

namespace cindral {
namespace {

using testing::Painted;
using testing::PaintedBox;
using testing::PixelAt;
using testing::PixelSet;
using testing::WhiteImage;

constexpr Color kRed = RgbColor(255, 0, 0);
constexpr Color kBlue = RgbColor(0, 0, 255);

Brush SolidBrush(Color c) {
    return {BrushStyle::Solid, c, HatchStyle::Horizontal, nullptr};
}

struct Direction {
    int dx, dy;
};

class ThinLine : public ::testing::TestWithParam<Direction> {};

TEST_P(ThinLine, PaintsTheWalkAndLeavesOutTheEndPixel) {
    const Direction d = GetParam();
    QImage image = WhiteImage(64, 64);
    {
        QtCanvas canvas(&image);
        canvas.MoveTo(32, 32);
        canvas.LineTo(32 + d.dx, 32 + d.dy);
        EXPECT_EQ(canvas.current_position(), (Point{32 + d.dx, 32 + d.dy}));
    }
    PixelSet expected;
    const LineWalk walk({32, 32}, {32 + d.dx, 32 + d.dy}, LineWalk::Rule::LineTo);
    for (int64_t i = 0; i < walk.length(); ++i) expected.insert({walk.At(i).x, walk.At(i).y});
    EXPECT_EQ(Painted(image), expected);
    EXPECT_EQ(expected.size(), static_cast<size_t>(std::max(std::abs(d.dx), std::abs(d.dy))));
    EXPECT_EQ(PixelAt(image, 32, 32), kBlack);
    EXPECT_EQ(PixelAt(image, 32 + d.dx, 32 + d.dy), kWhite);
}

INSTANTIATE_TEST_SUITE_P(EveryOctant, ThinLine,
                         ::testing::Values(Direction{10, 0}, Direction{10, 3}, Direction{3, 10},
                                           Direction{0, 10}, Direction{-3, 10}, Direction{-10, 3},
                                           Direction{-10, 0}, Direction{-10, -3},
                                           Direction{-3, -10}, Direction{0, -10}, Direction{3, -10},
                                           Direction{10, -3}, Direction{7, 7}, Direction{-7, -7}));

TEST(QtCanvas, PolylineDrawsEveryVertexButTheLast) {
    QImage image = WhiteImage(32, 32);
    {
        QtCanvas canvas(&image);
        canvas.Polyline({{2, 2}, {10, 2}, {10, 10}});
        EXPECT_EQ(canvas.current_position(), (Point{0, 0}));  // Polyline leaves CP alone
    }
    EXPECT_EQ(PixelAt(image, 10, 2), kBlack);
    EXPECT_EQ(PixelAt(image, 10, 9), kBlack);
    EXPECT_EQ(PixelAt(image, 10, 10), kWhite);
    EXPECT_EQ(Painted(image).size(), 16u);
}

TEST(QtCanvas, RectangleOutlineAndFillFollowTheExclusiveEdges) {
    struct Row {
        bool pen;
        Rect painted;
        Rect red;  // the brush's area
    };
    for (const Row& row :
         {Row{true, {2, 3, 12, 9}, {3, 4, 11, 8}}, Row{false, {2, 3, 11, 8}, {2, 3, 11, 8}}}) {
        QImage image = WhiteImage(20, 20);
        {
            QtCanvas canvas(&image);
            canvas.SelectPen({row.pen ? PenStyle::Solid : PenStyle::Null, 1, kBlack});
            canvas.SelectBrush(SolidBrush(kRed));
            canvas.Rectangle({2, 3, 12, 9});
        }
        EXPECT_EQ(PaintedBox(image), row.painted) << "pen " << row.pen;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                const bool inside_red = row.red.Contains(x, y);
                EXPECT_EQ(PixelAt(image, x, y) == kRed, inside_red) << x << "," << y;
            }
        }
    }
}

TEST(QtCanvas, NullPenPolygonFillsLikeARegion) {
    QImage image = WhiteImage(20, 20);
    {
        QtCanvas canvas(&image);
        canvas.SelectPen({PenStyle::Null, 0, kBlack});
        canvas.SelectBrush(SolidBrush(kBlue));
        canvas.Polygon({{2, 2}, {12, 2}, {12, 12}, {2, 12}});
    }
    EXPECT_EQ(PaintedBox(image), (Rect{2, 2, 12, 12}));
    EXPECT_EQ(Painted(image).size(), 100u);
}

TEST(QtCanvas, PolygonFillModeDecidesTheInnerLoop) {
    // A square drawn twice round: alternate leaves it empty, winding fills it.
    const std::vector<Point> twice = {{2, 2}, {12, 2}, {12, 12}, {2, 12},
                                      {2, 2}, {12, 2}, {12, 12}, {2, 12}};
    for (FillMode mode : {FillMode::Alternate, FillMode::Winding}) {
        QImage image = WhiteImage(20, 20);
        {
            QtCanvas canvas(&image);
            canvas.SelectPen({PenStyle::Null, 0, kBlack});
            canvas.SelectBrush(SolidBrush(kBlue));
            canvas.SetPolyFillMode(mode);
            canvas.Polygon(twice);
        }
        EXPECT_EQ(PixelAt(image, 6, 6) == kBlue, mode == FillMode::Winding);
    }
}

TEST(QtCanvas, EllipseStaysInsideItsExclusiveBoxAndIsSymmetric) {
    for (bool pen : {true, false}) {
        QImage image = WhiteImage(40, 40);
        {
            QtCanvas canvas(&image);
            canvas.SelectPen({pen ? PenStyle::Solid : PenStyle::Null, 1, kBlack});
            canvas.SelectBrush(SolidBrush(kRed));
            canvas.Ellipse({5, 7, 26, 20});
        }
        const Rect box = pen ? Rect{5, 7, 26, 20} : Rect{5, 7, 25, 19};
        EXPECT_EQ(PaintedBox(image), box) << "pen " << pen;
        const PixelSet painted = Painted(image);
        for (const auto& [x, y] : painted) {
            // Mirror image about the box centre is painted too.
            EXPECT_TRUE(painted.count({box.left + box.right - 1 - x, y})) << x << "," << y;
            EXPECT_TRUE(painted.count({x, box.top + box.bottom - 1 - y})) << x << "," << y;
        }
        EXPECT_EQ(PixelAt(image, 15, 13), kRed);
    }
}

TEST(QtCanvas, CosmeticDashPatternsCountPixels) {
    struct Row {
        PenStyle style;
        std::vector<int> runs;
    };
    for (const Row& row :
         {Row{PenStyle::Dash, {18, 6}}, Row{PenStyle::Dot, {3, 3}},
          Row{PenStyle::DashDot, {9, 6, 3, 6}}, Row{PenStyle::DashDotDot, {9, 3, 3, 3, 3, 3}}}) {
        for (BackgroundMode mode : {BackgroundMode::Transparent, BackgroundMode::Opaque}) {
            QImage image = WhiteImage(80, 4);
            {
                QtCanvas canvas(&image);
                canvas.SelectPen({row.style, 1, kBlack});
                canvas.SetBackgroundMode(mode);
                canvas.SetBackgroundColor(kRed);
                canvas.MoveTo(0, 1);
                canvas.LineTo(72, 1);
            }
            int x = 0;
            for (int pass = 0; pass < 3 && x < 72; ++pass) {
                for (size_t i = 0; i < row.runs.size(); ++i) {
                    for (int k = 0; k < row.runs[i]; ++k, ++x) {
                        const Color gap = mode == BackgroundMode::Opaque ? kRed : kWhite;
                        ASSERT_EQ(PixelAt(image, x, 1), i % 2 == 0 ? kBlack : gap)
                            << "style " << int(row.style) << " x " << x;
                    }
                }
            }
        }
    }
}

TEST(QtCanvas, DashPatternRunsOnAcrossPolylineVertices) {
    QImage image = WhiteImage(40, 40);
    {
        QtCanvas canvas(&image);
        canvas.SelectPen({PenStyle::Dash, 1, kBlack});
        canvas.SetBackgroundMode(BackgroundMode::Transparent);
        // 10 pixels across, then down: the first dash (18) ends 8 pixels into the second leg.
        canvas.Polyline({{5, 5}, {15, 5}, {15, 35}});
    }
    for (int y = 5; y < 13; ++y) EXPECT_EQ(PixelAt(image, 15, y), kBlack) << y;
    for (int y = 13; y < 19; ++y) EXPECT_EQ(PixelAt(image, 15, y), kWhite) << y;
    EXPECT_EQ(PixelAt(image, 15, 19), kBlack);
}

// A dashed pen no wider than one screen pixel's worth of device pixels stays dashed, as the
// screen's one-pixel line is, with dashes of screen length; a wider one is solid.
TEST(QtCanvas, ADashedPenIsWideByScreenPixels) {
    struct Row {
        int dpi, width;
        bool dashed;
    };
    for (const Row& row : {Row{96, 1, true}, Row{96, 2, false}, Row{300, 2, true},
                           Row{300, 3, true}, Row{300, 4, false}}) {
        QImage image = WhiteImage(240, 12);
        image.setDotsPerMeterX(static_cast<int>(std::lround(row.dpi / 0.0254)));
        image.setDotsPerMeterY(static_cast<int>(std::lround(row.dpi / 0.0254)));
        {
            QtCanvas canvas(&image);
            canvas.SelectPen({PenStyle::Dash, row.width, kBlack});
            canvas.SetBackgroundMode(BackgroundMode::Transparent);
            canvas.MoveTo(0, 6);
            canvas.LineTo(230, 6);
        }
        const int scale = row.dpi == 300 ? 3 : 1;
        const std::string what =
            std::to_string(row.dpi) + " dpi, width " + std::to_string(row.width);
        // The first gap of a dash (18 on, 6 off, in screen pixels) is white only when dashed.
        EXPECT_EQ(PixelAt(image, 20 * scale, 6), row.dashed ? kWhite : kBlack) << what;
        EXPECT_EQ(PixelAt(image, 10 * scale, 6), kBlack) << what;
        // The dash keeps the pen's width: its rows above and below are inked too.
        if (row.width > 1) EXPECT_EQ(PixelAt(image, 10 * scale, 5), kBlack) << what;
    }
}

TEST(QtCanvas, WidePenCentresLikeGdi) {
    struct Row {
        int width, first_row, last_row;
    };
    for (const Row& row : {Row{3, 9, 11}, Row{4, 8, 11}, Row{5, 8, 12}}) {
        QImage image = WhiteImage(60, 30);
        {
            QtCanvas canvas(&image);
            canvas.SelectPen({PenStyle::Solid, row.width, kBlack});
            canvas.MoveTo(20, 10);
            canvas.LineTo(40, 10);
        }
        for (int y = 0; y < 30; ++y) {
            EXPECT_EQ(PixelAt(image, 30, y) == kBlack, y >= row.first_row && y <= row.last_row)
                << "width " << row.width << " row " << y;
        }
    }
}

TEST(QtCanvas, WideDashedPenDrawsSolid) {
    QImage image = WhiteImage(60, 20);
    {
        QtCanvas canvas(&image);
        canvas.SelectPen({PenStyle::Dash, 3, kBlack});
        canvas.MoveTo(5, 10);
        canvas.LineTo(55, 10);
    }
    for (int x = 5; x < 55; ++x) EXPECT_EQ(PixelAt(image, x, 10), kBlack) << x;
}

TEST(QtCanvas, HatchTilesRepeatEveryEightPixelsFromTheBrushOrigin) {
    const Point origins[] = {{0, 0}, {3, 5}};
    for (const Point origin : origins) {
        QImage image = WhiteImage(32, 32);
        {
            QtCanvas canvas(&image);
            canvas.SelectBrush({BrushStyle::Hatched, kBlue, HatchStyle::Cross, nullptr});
            canvas.SetBackgroundMode(BackgroundMode::Transparent);
            canvas.SetBrushOrigin(origin);
            canvas.FillRect({0, 0, 32, 32});
        }
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const int tx = ((x - origin.x) % 8 + 8) % 8;
                const int ty = ((y - origin.y) % 8 + 8) % 8;
                const bool line = tx == 4 || ty == 3;
                ASSERT_EQ(PixelAt(image, x, y), line ? kBlue : kWhite) << x << "," << y;
            }
        }
    }
}

TEST(QtCanvas, OpaqueHatchPaintsTheBackgroundColour) {
    QImage image = WhiteImage(16, 16);
    {
        QtCanvas canvas(&image);
        canvas.SelectBrush({BrushStyle::Hatched, kBlue, HatchStyle::Horizontal, nullptr});
        canvas.SetBackgroundMode(BackgroundMode::Opaque);
        canvas.SetBackgroundColor(kRed);
        canvas.FillRect({0, 0, 16, 16});
    }
    EXPECT_EQ(PixelAt(image, 5, 3), kBlue);
    EXPECT_EQ(PixelAt(image, 5, 4), kRed);
}

TEST(QtCanvas, HugeCoordinatesNeitherHangNorWrap) {
    QImage image = WhiteImage(50, 50);
    {
        QtCanvas canvas(&image);
        canvas.SelectPen({PenStyle::Solid, 1, kBlack});
        canvas.SelectBrush(SolidBrush(kRed));
        canvas.Ellipse({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
        canvas.Polygon({{INT_MIN, 40}, {INT_MAX, 40}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}});
        canvas.Rectangle({-1000000000, 45, 1000000000, 1000000000});
        // A thin, a dashed and a wide line along row 10 and column 20 from far outside.
        canvas.SelectPen({PenStyle::Dash, 1, kBlack});
        canvas.MoveTo(20, -1000000000);
        canvas.LineTo(20, 1000000000);
        canvas.SelectPen({PenStyle::Solid, 5, kBlue});
        canvas.MoveTo(INT_MIN, INT_MIN);
        canvas.LineTo(INT_MAX, INT_MAX);
        canvas.SelectPen({PenStyle::Solid, 0, kBlack});
        canvas.MoveTo(INT_MIN, 10);
        canvas.LineTo(INT_MAX, 10);
    }
    for (int x = 0; x < 50; ++x) EXPECT_EQ(PixelAt(image, x, 10), kBlack) << x;
    EXPECT_EQ(PixelAt(image, 33, 33), kBlue);  // the wide diagonal
    EXPECT_EQ(PixelAt(image, 1, 48), kRed);    // polygon/rectangle fill reach the device
    EXPECT_EQ(PixelAt(image, 49, 2), kRed);    // the huge ellipse covers the page
}

TEST(QtCanvas, ClipRegionsLimitEveryDrawingCall) {
    QImage image = WhiteImage(40, 40);
    {
        QtCanvas canvas(&image);
        const Region box = Region::FromRect({10, 10, 30, 30});
        const Region hole = Region::FromRect({15, 15, 20, 20});
        canvas.SelectClipRegion(box.Combined(hole, CombineMode::Diff));
        canvas.SelectBrush(SolidBrush(kRed));
        canvas.FillRect({0, 0, 40, 40});
        EXPECT_EQ(canvas.ClipBox(), (Rect{10, 10, 30, 30}));
        canvas.SelectNoClip();
        canvas.SetPixel(1, 1, kBlue);
        canvas.IntersectClipRect({0, 0, 5, 5});
        canvas.MoveTo(0, 3);
        canvas.LineTo(40, 3);
    }
    EXPECT_EQ(PixelAt(image, 10, 10), kRed);
    EXPECT_EQ(PixelAt(image, 29, 29), kRed);
    EXPECT_EQ(PixelAt(image, 30, 29), kWhite);
    EXPECT_EQ(PixelAt(image, 17, 17), kWhite);
    EXPECT_EQ(PixelAt(image, 1, 1), kBlue);
    EXPECT_EQ(PixelAt(image, 4, 3), kBlack);
    EXPECT_EQ(PixelAt(image, 5, 3), kWhite);
}

TEST(QtCanvas, PolygonRegionsKeepOnlyTheInterior) {
    const Rect page{0, 0, 200, 200};
    const Region triangle =
        Region::FromPolygon({{0, 0}, {10, 0}, {0, 10}}, FillMode::Alternate, page);
    EXPECT_TRUE(triangle.Contains(0, 0));
    EXPECT_TRUE(triangle.Contains(4, 4));
    EXPECT_FALSE(triangle.Contains(10, 0));
    EXPECT_FALSE(triangle.Contains(6, 6));
    const Region square =
        Region::FromPolygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, FillMode::Winding, page);
    EXPECT_EQ(square.Bounds(), (Rect{0, 0, 10, 10}));
    EXPECT_TRUE(Region::FromPolygon({{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}},
                                    FillMode::Alternate, page)
                    .Contains(100, 10));
    EXPECT_TRUE(Region::FromPolygon({{-5, -5}, {500, -5}, {500, 500}, {-5, 500}},
                                    FillMode::Alternate, {10, 10, 20, 20})
                    .Bounds() == (Rect{10, 10, 20, 20}));
}

TEST(QtCanvas, StretchDibScalesAndMirrors) {
    Bitmap bitmap{2, 1, {0xFFFF0000u, 0xFF0000FFu}};  // red, blue
    QImage image = WhiteImage(20, 10);
    {
        QtCanvas canvas(&image);
        canvas.StretchDib({0, 0, 8, 4}, bitmap, {0, 0, 2, 1});
        canvas.StretchDib({18, 5, 10, 9}, bitmap, {0, 0, 2, 1});  // negative width: mirrored
        canvas.BitBlt(0, 8, bitmap);
    }
    EXPECT_EQ(PixelAt(image, 0, 0), kRed);
    EXPECT_EQ(PixelAt(image, 3, 3), kRed);
    EXPECT_EQ(PixelAt(image, 4, 0), kBlue);
    EXPECT_EQ(PixelAt(image, 7, 3), kBlue);
    EXPECT_EQ(PixelAt(image, 8, 0), kWhite);
    EXPECT_EQ(PixelAt(image, 10, 5), kBlue);
    EXPECT_EQ(PixelAt(image, 17, 8), kRed);
    EXPECT_EQ(PixelAt(image, 0, 8), kRed);
    EXPECT_EQ(PixelAt(image, 1, 8), kBlue);
    EXPECT_EQ(PixelAt(image, 2, 8), kWhite);
}

TEST(QtCanvas, PixelsColoursAndCaps) {
    QImage image = WhiteImage(10, 8);
    image.setDotsPerMeterX(11811);  // 300 dpi
    image.setDotsPerMeterY(11811);
    QtCanvas canvas(&image);
    canvas.SetPixel(3, 4, RgbColor(1, 2, 3));
    canvas.SetPixel(-1, 4, kBlack);  // off the device: ignored
    EXPECT_EQ(canvas.GetPixel(3, 4), RgbColor(1, 2, 3));
    EXPECT_EQ(canvas.GetPixel(10, 0), kInvalidColor);
    EXPECT_EQ(canvas.NearestColor(RgbColor(1, 2, 3)), RgbColor(1, 2, 3));
    const DeviceCaps caps = canvas.Caps();
    EXPECT_EQ(caps.width_px, 10);
    EXPECT_EQ(caps.height_px, 8);
    EXPECT_EQ(caps.pixels_per_inch_x, 300);
    EXPECT_FALSE(caps.is_printer);

    QImage shallow(4, 4, QImage::Format_RGB16);
    QtCanvas canvas16(&shallow);
    EXPECT_EQ(canvas16.NearestColor(RgbColor(1, 2, 3)), RgbColor(0, 0, 0));
    EXPECT_EQ(canvas16.NearestColor(kWhite), kWhite);
}

}  // namespace
}  // namespace cindral
