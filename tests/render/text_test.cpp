// Text on QtCanvas: the GDI height rule, alignment to the reference point, background
// modes, advances; and the font resolver's stand-ins.
#include <gtest/gtest.h>

#include <QImage>

#include "render/canvas/font_resolver.h"
#include "render/canvas/qt_canvas.h"
#include "render/canvas_test_support.h"

namespace cindral {
namespace {

using testing::PaintedBox;
using testing::PixelAt;
using testing::WhiteImage;

Font Arial(int height) {
    Font f;
    f.face = "Arial";
    f.height = height;
    return f;
}

TEST(QtCanvasText, HeightSignSelectsEmOrCellHeight) {
    QImage image = WhiteImage(10, 10);
    QtCanvas canvas(&image);
    canvas.SelectFont(Arial(40));  // cell height
    const TextMetrics cell = canvas.GetTextMetrics();
    EXPECT_NEAR(cell.height, 40, 1);
    EXPECT_EQ(cell.height, cell.ascent + cell.descent);
    canvas.SelectFont(Arial(-40));  // em height: the cell adds the internal leading
    const TextMetrics em = canvas.GetTextMetrics();
    EXPECT_GT(em.height, 40);
    EXPECT_EQ(em.internal_leading, em.height - 40);
    EXPECT_EQ(canvas.OutlineEmSquare(), 2048);
}

struct AlignRow {
    unsigned align;
    // Where the painted ink must lie relative to the reference point (100, 60).
    bool ink_left_of_x, ink_right_of_x, ink_above_y, ink_below_y;
};

class TextAlignment : public ::testing::TestWithParam<AlignRow> {};

TEST_P(TextAlignment, PlacesTheTextAroundTheReferencePoint) {
    const AlignRow row = GetParam();
    QImage image = WhiteImage(200, 120);
    {
        QtCanvas canvas(&image);
        canvas.SelectFont(Arial(-20));
        canvas.SetBackgroundMode(BackgroundMode::Transparent);
        canvas.SetTextAlign(row.align);
        canvas.TextOut(100, 60, "HHH");
    }
    const Rect ink = PaintedBox(image);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_EQ(ink.left < 100, row.ink_left_of_x) << ink.left;
    EXPECT_EQ(ink.right > 100, row.ink_right_of_x) << ink.right;
    EXPECT_EQ(ink.top < 60, row.ink_above_y) << ink.top;
    EXPECT_EQ(ink.bottom > 60, row.ink_below_y) << ink.bottom;
}

INSTANTIATE_TEST_SUITE_P(
    Flags, TextAlignment,
    ::testing::Values(AlignRow{text_align::kLeft | text_align::kTop, false, true, false, true},
                      AlignRow{text_align::kRight | text_align::kTop, true, false, false, true},
                      AlignRow{text_align::kCenter | text_align::kTop, true, true, false, true},
                      AlignRow{text_align::kLeft | text_align::kBaseline, false, true, true, false},
                      AlignRow{text_align::kLeft | text_align::kBottom, false, true, true, false}));

TEST(QtCanvasText, OpaqueModePaintsTheCellBoxAndTransparentDoesNot) {
    for (BackgroundMode mode : {BackgroundMode::Opaque, BackgroundMode::Transparent}) {
        QImage image = WhiteImage(100, 50);
        Size extent;
        {
            QtCanvas canvas(&image);
            canvas.SelectFont(Arial(-16));
            canvas.SetBackgroundMode(mode);
            canvas.SetBackgroundColor(RgbColor(0, 255, 0));
            canvas.TextOut(10, 10, "ii");
            extent = canvas.GetTextExtent("ii");
        }
        const bool opaque = mode == BackgroundMode::Opaque;
        EXPECT_EQ(PixelAt(image, 10, 10) == RgbColor(0, 255, 0), opaque);
        EXPECT_EQ(PixelAt(image, 10 + extent.cx - 1, 10 + extent.cy - 1) == RgbColor(0, 255, 0),
                  opaque);
        EXPECT_EQ(PixelAt(image, 10 + extent.cx, 10), kWhite);
    }
}

TEST(QtCanvasText, AdvancesPlaceEachCharacter) {
    QImage image = WhiteImage(200, 40);
    {
        QtCanvas canvas(&image);
        canvas.SelectFont(Arial(-20));
        canvas.SetBackgroundMode(BackgroundMode::Transparent);
        canvas.ExtTextOut(0, 5, 0, nullptr, "II", {100, 10});
    }
    // Two thin strokes 100 pixels apart, nothing between them.
    int columns_with_ink = 0;
    for (int x = 20; x < 95; ++x) {
        for (int y = 0; y < 40; ++y) columns_with_ink += PixelAt(image, x, y) != kWhite;
    }
    EXPECT_EQ(columns_with_ink, 0);
    const Rect ink = PaintedBox(image);
    EXPECT_LT(ink.left, 10);
    EXPECT_GE(ink.right, 100);
    EXPECT_LT(ink.right, 110);
}

TEST(QtCanvasText, EscapementTurnsTheTextAboutTheReferencePoint) {
    QImage image = WhiteImage(100, 100);
    {
        QtCanvas canvas(&image);
        Font f = Arial(-16);
        f.escapement = -900;  // running downwards
        canvas.SelectFont(f);
        canvas.SetBackgroundMode(BackgroundMode::Transparent);
        canvas.TextOut(50, 10, "HHHHH");
    }
    const Rect ink = PaintedBox(image);
    EXPECT_GT(ink.Height(), ink.Width());
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.right, 50);  // the glyphs' tops face right, their bodies lie left of x
}

TEST(FontResolver, WindowsFacesUseMetricCompatibleFamilies) {
    auto& resolver = FontResolver::Instance();
    EXPECT_EQ(resolver.Resolve("Arial"), "Liberation Sans");
    EXPECT_EQ(resolver.Resolve("times new roman"), "Liberation Serif");
    EXPECT_EQ(resolver.Resolve("Courier New"), "Liberation Mono");
    EXPECT_EQ(resolver.Resolve("Liberation Mono"), "Liberation Mono");
}

TEST(FontResolver, AMissingFaceFallsBackAndIsReportedOnce) {
    auto& resolver = FontResolver::Instance();
    resolver.ResetReports();
    std::vector<std::string> notes;
    auto previous = resolver.SetReporter([&](const std::string& m) { notes.push_back(m); });
    EXPECT_EQ(resolver.Resolve("No Such Face 4711"), FontResolver::kFallbackFamily);
    EXPECT_EQ(resolver.Resolve("no such face 4711"), FontResolver::kFallbackFamily);
    resolver.SetReporter(previous);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("No Such Face 4711"), std::string::npos);
}

TEST(FontResolver, ArialKeepsItsWindowsWidths) {
    // Liberation Sans shares Arial's advance widths: "x" at a 2048 em is 1024 units.
    QImage image = WhiteImage(10, 10);
    QtCanvas canvas(&image);
    canvas.SelectFont(Arial(-2048));
    EXPECT_EQ(canvas.GetCharWidths('x', 'x'), std::vector<int>{1024});
}

}  // namespace
}  // namespace cindral
