// cindral-cli patterns: the catalogue sheet of a pattern library, probed on its pixels.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>

#include "cli_run.h"
#include "core/format/gdx_writer.h"
#include "core/libraries/library_record.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::TempDir;

// Boxes of the default layout: 8 columns of 150 x 130 pixels below a 40-row title; the
// filled box is inset 8 pixels and leaves 34 rows for the labels.
struct Box {
    int left, top, right, bottom;
};
Box BoxOf(int n) {
    const int left = (n % 8) * 150, top = 40 + (n / 8) * 130;
    return {left + 8, top + 8, left + 150 - 8, top + 130 - 34};
}

int DarkPixels(const QImage& image, const Box& b) {
    int dark = 0;
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x)
            if (qGray(image.pixel(x, y)) < 128) ++dark;
    return dark;
}

// A library of three patterns: 0 empty, 1 horizontal lines every 5 units, 2 one vertical
// line per 10-unit cell.
void WriteThreePatterns(const std::string& path) {
    auto record = [](uint16_t width, uint16_t height, std::vector<LibraryStroke> strokes) {
        PatternRecord r;
        r.CellWidth = width;
        r.CellHeight = height;
        r.SegmentCount = static_cast<uint16_t>(strokes.size());
        std::copy(strokes.begin(), strokes.end(), r.Segments.begin());
        return EncodePatternRecord(r);
    };
    std::vector<uint8_t> bytes;
    for (const auto& r :
         {record(10, 10, {}), record(10, 5, {{0, 0, 10, 0}}), record(10, 10, {{0, 0, 0, 10}})}) {
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    WriteFileBytes(path, bytes);
}

TEST(CliPatterns, DrawsEveryPatternOfALibraryInItsBox) {
    TempDir dir;
    WriteThreePatterns(dir.File("three.pat"));
    const auto run = testing::RunCli("patterns --patterns '" + dir.File("three.pat") + "' -o '" +
                                     dir.File("sheet.png") + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    QImage sheet(QString::fromStdString(dir.File("sheet.png")));
    ASSERT_EQ(sheet.width(), 1200);
    ASSERT_EQ(sheet.height(), 40 + 130);

    EXPECT_EQ(DarkPixels(sheet, BoxOf(0)), 0) << "the empty pattern draws nothing";
    // Horizontal lines: a row every 5 units (9.6 px at 96 dpi), the first on the box's
    // bottom row: 88 rows hold lines 0, 9.6, ..., 86.4 rows up, ten of them.
    const Box lines = BoxOf(1);
    int dark_rows = 0;
    for (int y = lines.top; y < lines.bottom; ++y) {
        if (qGray(sheet.pixel((lines.left + lines.right) / 2, y)) < 128) ++dark_rows;
    }
    EXPECT_EQ(dark_rows, 10);
    EXPECT_LT(qGray(sheet.pixel(lines.left + 3, lines.bottom - 1)), 128);
    // Vertical lines every 10 units (19.2 px), the first on the box's left column.
    const Box columns = BoxOf(2);
    EXPECT_LT(qGray(sheet.pixel(columns.left, columns.top + 20)), 128);
    EXPECT_GT(qGray(sheet.pixel(columns.left + 10, columns.top + 20)), 128);
    EXPECT_LT(qGray(sheet.pixel(columns.left + 19, columns.top + 20)), 128);
    // Nothing of a pattern spills out of its box.
    EXPECT_EQ(DarkPixels(sheet, {lines.right + 2, lines.top, columns.left - 2, lines.bottom}), 0);
}

TEST(CliPatterns, DefaultLibraryFillsItsSheetWithNamedPatterns) {
    TempDir dir;
    const auto run = testing::RunCli("patterns -o '" + dir.File("sheet.png") + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    QImage sheet(QString::fromStdString(dir.File("sheet.png")));
    ASSERT_EQ(sheet.height(), 40 + 32 * 130);  // 251 patterns in rows of 8
    int filled = 0;
    for (int n = 0; n <= 250; ++n)
        if (DarkPixels(sheet, BoxOf(n)) > 0) ++filled;
    EXPECT_GT(filled, 200);
    // The name line under box 1 holds text (the default library names its patterns).
    const Box b = BoxOf(1);
    EXPECT_GT(DarkPixels(sheet, {b.left, b.bottom + 18, b.right, b.bottom + 32}), 20);
}

TEST(CliPatterns, RefusesWhatItCannotDraw) {
    TempDir dir;
    WriteFileBytes(dir.File("empty.pat"), {});
    struct Row {
        std::string args;
        int status;
        const char* message;
    };
    const Row rows[] = {
        {"patterns --patterns '" + dir.File("missing.pat") + "' -o '" + dir.File("a.png") + "'", 1,
         "missing.pat"},
        {"patterns --patterns '" + dir.File("empty.pat") + "' -o '" + dir.File("b.png") + "'", 1,
         "holds no patterns"},
        {"patterns", 2, "needs -o SHEET.png"},
        {"patterns FILE -o x.png", 2, "takes no FILE"},
    };
    for (const Row& row : rows) {
        const auto run = testing::RunCli(row.args);
        EXPECT_EQ(run.status, row.status) << row.args;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << row.args << "\n" << run.err;
    }
}

// Scripts read stderr: without a session runtime folder, Qt's own complaint must not join
// the message.
TEST(CliPatterns, StderrHoldsOnlyTheMessageWithoutARuntimeFolder) {
    TempDir dir;
    const std::string out = dir.File("no such folder/sheet.png");
    const auto run = testing::RunCli("patterns -o '" + out + "'", ".", "env -u XDG_RUNTIME_DIR");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot write " + out + ".\n");
}

}  // namespace
}  // namespace cindral
