// The symbol catalogue sheet: every symbol in its cell at one common scale.
#include "cli/catalogue/symbol_sheet.h"

#include <gtest/gtest.h>

#include <QImage>

#include "core/base/errors.h"
#include "core/gd_test_support.h"
#include "core/libraries/symbol_object.h"
#include "render/canvas/qt_canvas.h"
#include "render/canvas_test_support.h"

namespace cindral {
namespace {

using testing::PixelAt;

TEST(SymbolSheet, CountsTheRecordsOfTheFileUpToTheLastUsableSymbol) {
    testing::TempDir dir;
    testing::WriteSymbolLibrary(dir.File("3.sym"), 3, {});
    testing::WriteSymbolLibrary(dir.File("400.sym"), 400, {});
    EXPECT_EQ(SymbolCountOfFile(dir.File("3.sym")), 3);
    EXPECT_EQ(SymbolCountOfFile(dir.File("400.sym")), 326);
    EXPECT_THROW(SymbolCountOfFile(dir.File("none.sym")), IoError);
}

TEST(SymbolSheet, DrawsEverySymbolAtOneScaleInItsCell) {
    testing::TempDir dir;
    // Symbol 1 reaches 10 tenths (it sets the scale); symbol 2 is half as long.
    testing::WriteSymbolLibrary(dir.File("s.sym"), 3,
                                {{1, {{-10, 0, 10, 0}}}, {2, {{0, -5, 0, 5}}}});
    symbol_object symbols(dir.File("s.sym"));
    SymbolSheetLayout layout;
    layout.columns = 2;
    layout.count = 3;
    ASSERT_EQ(layout.Width(), 200);
    ASSERT_EQ(layout.Height(), 40 + 200);
    QImage image = testing::WhiteImage(layout.Width(), layout.Height());
    {
        QtCanvas canvas(&image);
        DrawSymbolSheet(canvas, symbols, layout, "test");
    }
    // Drawing area 84 rows, centre row 40 + 42; scale (42 - 6) / 10 = 3.6 pixels a tenth.
    const int cy = 82;
    EXPECT_EQ(PixelAt(image, 150 - 36, cy), kBlack);  // symbol 1: columns 114..186
    EXPECT_EQ(PixelAt(image, 150 + 36, cy), kBlack);
    EXPECT_EQ(PixelAt(image, 150 - 38, cy), kWhite);
    // Symbol 2 in the second row, first column: rows cy + 100 - 18 .. cy + 100 + 18.
    EXPECT_EQ(PixelAt(image, 50, cy + 100 - 18), kBlack);
    EXPECT_EQ(PixelAt(image, 50, cy + 100 + 18), kBlack);
    EXPECT_EQ(PixelAt(image, 50, cy + 100 - 21), kWhite);
    // Each cell's number sits below its drawing area.
    bool label_ink = false;
    for (int y = 40 + 84; y < 40 + 100; ++y) {
        for (int x = 140; x < 160; ++x) label_ink |= PixelAt(image, x, y) == kBlack;
    }
    EXPECT_TRUE(label_ink);
}

}  // namespace
}  // namespace cindral
