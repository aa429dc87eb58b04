// Paper is the screen: every page printed through the print routine, read back by an
// independent PDF rasteriser (pdftoppm), looks like the raster renderer's page at the same
// resolution; and a page printed through the page index is the page printed from the whole
// file, on the sample and on a generated log of every command code in two band layouts.

#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "every_command_log.h"
#include "raster_compare.h"
#include "render/canvas/qt_canvas.h"
#include "render/document/log_document.h"
#include "render/document/print_pages.h"
#include "temp_dir.h"

namespace cindral {
namespace {

// The page of `pdf` rasterised at `dpi` by pdftoppm.
QImage PdfPage(const std::string& pdf, int page, int dpi, const std::string& stem) {
    const std::string number = std::to_string(page + 1);
    const std::string command = "pdftoppm -png -r " + std::to_string(dpi) + " -f " + number +
                                " -l " + number + " -singlefile '" + pdf + "' '" + stem + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return QImage(QString::fromStdString(stem + ".png"));
}

struct Log {
    std::string name;
    std::string path;
};

Log Sample() {
    return {"the sample", testing::BinDir() + "/samples/sample.gdx"};
}

// The sample and the generated log of every command code in its two band layouts: one strip,
// and bands repeated on every page.
std::vector<Log> Logs(const testing::TempDir& dir, const std::string& kind, double step,
                      double span = 1.0, int pattern_pen = 2) {
    const std::string picture = dir.File("picture.bmp");
    WriteFileBytes(picture, SmallBitmap());
    std::vector<Log> logs{Sample()};
    for (const bool repeated : {false, true}) {
        GdxHeader header = BaseHeader();
        if (repeated) {
            header.RepeatBands = 1;
            header.NextHeaderHeight = 0.6;
        }
        GdxWriter writer(header);
        WriteEveryCommand(writer, picture, step, span, pattern_pen);
        const std::string layout = repeated ? "repeated bands" : "one strip";
        std::string stem = kind;
        std::replace(stem.begin(), stem.end(), ' ', '-');
        const std::string path = dir.File(stem + (repeated ? "-repeated.gdx" : "-strip.gdx"));
        writer.Save(path);
        logs.push_back({"every command " + kind + ", " + layout, path});
    }
    return logs;
}

LogDocumentOptions Libraries() {
    LogDocumentOptions options;
    options.files.pattern_file = testing::BinDir() + "/QuenUtil.Pat";
    options.files.symbol_file = testing::BinDir() + "/QuenUtil.Sym";
    return options;
}

// Every command code spread out as a log spreads its drawing: each repeat in the top quarter
// of three inches. Paper pens follow the printer rule (2/3 of the resolution against the
// screen's 3/4), which makes every line a little lighter on paper; where the generated logs
// overlay every command in a few inches, that sums past the limits in nearly every block.
// The coloured patterns take width-1 pens: a width of 2 is 2 screen pixels (1.5 rounded up)
// against 1.33 on paper, 40 grey levels in a dense pattern (docs/printing.md).
TEST(Paper, EveryPrintedPageLooksLikeTheScreenAtTheSameResolution) {
    testing::TempDir dir;
    const std::vector<Log> logs = Logs(dir, "spread out", 120, 0.25, 1);
    for (const Log& log : logs) {
        LogDocument document(log.path, Libraries(), 96);
        const std::string pdf = dir.File("paper.pdf");
        WritePdf(document, pdf, 0, document.LastPage());
        for (const int dpi : {96, 300}) {
            LogDocument screen(log.path, Libraries(), dpi);
            for (int page = 0; page < screen.PageCount(); ++page) {
                const std::string what = log.name + ", page " + std::to_string(page + 1) + " at " +
                                         std::to_string(dpi) + " dpi";
                const QImage drawn = screen.RenderPage(page);
                const QImage printed = PdfPage(pdf, page, dpi, dir.File("page"));
                ASSERT_EQ(drawn.size(), printed.size()) << what;
                const Difference d = Compare(drawn, printed);
                if (d.mean8 > 3.0 || d.worst32 > 32.0) {
                    const std::string saved = ::testing::TempDir() + "paper-" +
                                              std::to_string(dpi) + "-" + std::to_string(page + 1) +
                                              "-";
                    drawn.save(QString::fromStdString(saved + "screen.png"));
                    printed.save(QString::fromStdString(saved + "paper.png"));
                    ADD_FAILURE() << what << ": block difference " << d.mean8
                                  << " (at most 3), worst block " << d.worst32
                                  << " (at most 32); pictures: " << saved << "*.png";
                }
            }
        }
    }
}

TEST(Paper, APagePrintedThroughTheIndexIsThePagePrintedFromTheWholeFile) {
    testing::TempDir dir;
    for (const Log& log : Logs(dir, "overlaid", 11)) {
        LogDocument document(log.path, Libraries(), 96);
        document.SetUseIndex(false);
        const std::string whole = dir.File("whole.pdf");
        WritePdf(document, whole, 0, document.LastPage());
        document.SetUseIndex(true);
        const std::string indexed = dir.File("indexed.pdf");
        WritePdf(document, indexed, 0, document.LastPage());
        for (int page = 0; page < document.PageCount(); ++page) {
            const QImage a = PdfPage(whole, page, 150, dir.File("whole"));
            const QImage b = PdfPage(indexed, page, 150, dir.File("indexed"));
            ASSERT_FALSE(a.isNull());
            EXPECT_TRUE(a == b) << log.name << ", page " << page + 1 << " of "
                                << document.PageCount();
        }
    }
}

// A primitive clipped to a region that misses the page (turned text above the data window)
// shows nothing on paper, as on screen, whatever is drawn through the clip.
TEST(Paper, AClipThatMissesThePageShowsNothing) {
    testing::TempDir dir;
    const std::string pdf = dir.File("clip.pdf");
    {
        QPdfWriter writer(QString::fromStdString(pdf));
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(2, 1), QPageSize::Inch),
                                         QPageLayout::Portrait, QMarginsF()));
        writer.setResolution(kPdfPixelsPerInch);
        QtCanvas canvas(&writer, /*is_printer=*/true);
        canvas.SelectBrush({BrushStyle::Solid, 0x000000, HatchStyle::Horizontal, nullptr});
        const Region outside =
            Region::FromRect({0, 0, 600, 300})
                .Combined(Region::FromRect({0, 400, 600, 500}), CombineMode::And);
        for (const Region& clip : {outside, Region::FromRect({0, 0, 0, 0})}) {
            canvas.SelectClipRegion(clip);
            canvas.FillRect({0, 0, 600, 300});
            Bitmap black;
            black.width = black.height = 2;
            black.argb.assign(4, 0xFF000000u);
            canvas.StretchDib({0, 0, 600, 300}, black, {0, 0, 2, 2});
        }
        canvas.Finish();
    }
    const QImage page = PdfPage(pdf, 0, 96, dir.File("clip"));
    ASSERT_FALSE(page.isNull());
    long ink = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) ink += qGray(page.pixel(x, y)) < 250;
    EXPECT_EQ(ink, 0);
}

}  // namespace
}  // namespace cindral
