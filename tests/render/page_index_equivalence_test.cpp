// A page drawn through the page index is the page drawn from the whole file, pixel for
// pixel: on the bundled sample and on generated logs that use every command code, in every
// band layout, with a custom page length and a narrowed interval, at two resolutions.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <functional>
#include <string>

#include "core/format/byte_codec.h"
#include "core/format/file_object.h"
#include "core/format/gdx_writer.h"
#include "every_command_log.h"
#include "render/document/log_document.h"
#include "temp_dir.h"

namespace cindral {
namespace {

struct Layout {
    const char* name;
    std::function<void(GdxHeader&)> bands;
    std::function<void(LogDocument&)> view;
    int pixels_per_inch;
};

// The document's index reads the reach of lines, boxes and colours straight from the bytes
// in memory; built from the file on disk every command is decoded. Both must agree.
void ExpectTheIndexOfTheDecodedCommands(const LogDocument& document, const std::string& what) {
    file_object file;
    file.FileName = document.FileName();
    file.OpenRead();
    const GdxHeader header = ReadHeader(file);
    const PageIndex decoded = PageIndex::Build(file, header);
    const auto& quick = document.Index().Commands();
    ASSERT_EQ(decoded.Commands().size(), quick.size()) << what;
    for (size_t i = 0; i < quick.size(); ++i) {
        const IndexedCommand& a = decoded.Commands()[i];
        const IndexedCommand& b = quick[i];
        ASSERT_TRUE(a.offset == b.offset && a.reach == b.reach && a.band == b.band &&
                    a.low == b.low && a.high == b.high)
            << what << ": command " << i << " at byte " << a.offset;
    }
}

void ExpectSamePages(LogDocument& document, const std::string& what) {
    ASSERT_GT(document.PageCount(), 1) << what;
    ExpectTheIndexOfTheDecodedCommands(document, what);
    for (int page = 0; page < document.PageCount(); ++page) {
        document.SetUseIndex(false);
        const QImage whole = document.RenderPage(page);
        document.SetUseIndex(true);
        const QImage indexed = document.RenderPage(page);
        ASSERT_EQ(whole.size(), indexed.size());
        if (whole != indexed) {
            int differing = 0;
            QRect where;
            for (int y = 0; y < whole.height(); ++y)
                for (int x = 0; x < whole.width(); ++x)
                    if (whole.pixel(x, y) != indexed.pixel(x, y)) {
                        ++differing;
                        where |= QRect(x, y, 1, 1);
                    }
            const std::string saved = ::testing::TempDir() + "page-index-";
            whole.save(QString::fromStdString(saved + "whole.png"));
            indexed.save(QString::fromStdString(saved + "indexed.png"));
            ADD_FAILURE() << what << ": page " << page + 1 << " of " << document.PageCount()
                          << " differs in " << differing << " pixels within " << where.width()
                          << " x " << where.height() << " at " << where.x() << "," << where.y()
                          << " (pictures: " << saved << "*.png)";
        }
        // The index must leave commands out, or it is no index at all.
        EXPECT_LT(document.CommandsOfPage(page).size(), size_t(document.Index().CommandCount()))
            << what << " page " << page + 1;
    }
}

TEST(PageIndex, PagesThroughTheIndexAreThePagesOfTheWholeFile) {
    testing::TempDir dir;
    const std::string bin = testing::BinDir();
    const std::string picture = dir.File("picture.bmp");
    WriteFileBytes(picture, SmallBitmap());
    LogDocumentOptions options;
    options.files.pattern_file = bin + "/QuenUtil.Pat";
    options.files.symbol_file = bin + "/QuenUtil.Sym";

    const Layout layouts[] = {
        {"one strip", [](GdxHeader&) {}, [](LogDocument&) {}, 96},
        {"repeated bands without a continuation header", [](GdxHeader& h) { h.RepeatBands = 1; },
         [](LogDocument&) {}, 96},
        {"repeated bands with a continuation header",
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.NextHeaderHeight = 0.6;
         },
         [](LogDocument&) {}, 96},
        {"custom page length", [](GdxHeader& h) { h.RepeatBands = 1; },
         [](LogDocument& d) { d.SetPageLength(true, 90); }, 96},
        {"narrowed interval, one strip", [](GdxHeader&) {},
         [](LogDocument& d) { d.SetInterval(4870, 4530); }, 96},
        {"repeated bands at 150 dpi",
         [](GdxHeader& h) {
             h.RepeatBands = 1;
             h.NextHeaderHeight = 0.6;
             h.PageHeight = 4;
             h.PageWidth = 8.2;
         },
         [](LogDocument&) {}, 150},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        GdxHeader header = BaseHeader();
        layout.bands(header);
        GdxWriter writer(header);
        WriteEveryCommand(writer, picture, 11);
        const std::string log = dir.File("every.gdx");
        writer.Save(log);
        LogDocument document(log, options, layout.pixels_per_inch);
        layout.view(document);
        ExpectSamePages(document, layout.name);
    }

    LogDocument sample(bin + "/samples/sample.gdx", options, 96);
    ExpectSamePages(sample, "the sample");
}

}  // namespace
}  // namespace cindral
