// Faults the fuzz targets found in the picture readers and the metafile writers, kept as
// ordinary tests. The inputs themselves stay under tests/fuzz/<target>, replayed by the fuzz
// tree; here the files of the picture readers are replayed too, and the round trips that
// failed are rebuilt through the writers.

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <sstream>

#include "core/base/errors.h"
#include "core/base/whole_file.h"
#include "fuzz/draw_log.h"
#include "render/canvas/emf_writer.h"
#include "render/canvas/trace_canvas.h"
#include "render/canvas/wmf_writer.h"
#include "render/pictures/bmp_decoder.h"
#include "render/pictures/emf_player.h"
#include "render/pictures/jpeg_decoder.h"
#include "render/pictures/wmf_player.h"
#include "temp_dir.h"

namespace cindral {
namespace {

namespace fs = std::filesystem;

TEST(FuzzRegressions, KeptPictureInputsAreRefusedOrDrawn) {
    const std::pair<const char*, void (*)(const std::vector<uint8_t>&)> readers[] = {
        {"bmp", [](const std::vector<uint8_t>& b) { DecodeBmpFile(b); }},
        {"jpeg", [](const std::vector<uint8_t>& b) { DecodeJpeg(b); }},
        {"wmf",
         [](const std::vector<uint8_t>& b) {
             TraceCanvas canvas;
             PlayWmf(b, canvas, {0, 0, 300, 200});
         }},
        {"emf",
         [](const std::vector<uint8_t>& b) {
             TraceCanvas canvas;
             PlayEmf(b, canvas);
         }},
    };
    for (const auto& [folder, read] : readers) {
        const fs::path dir = fs::path(testing::SourceDir()) / "tests/fuzz" / folder;
        if (!fs::exists(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            SCOPED_TRACE(entry.path().string());
            try {
                read(ReadFileBytes(entry.path().string()));
            } catch (const CindralError&) {
            }
        }
    }
}

// Logs that once failed in the raster renderer are refused or drawn, with either way of
// wrapping text, at the screen's and at a printer's resolution.
TEST(FuzzRegressions, KeptLogsAreRefusedOrDrawnByTheRasterRenderer) {
    const fs::path dir = fs::path(testing::SourceDir()) / "tests/fuzz/render";
    int inputs = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        ++inputs;
        for (bool text_line : {false, true}) {
            for (int pixels_per_inch : fuzz::kDrawPixelsPerInch) {
                SCOPED_TRACE(entry.path().string());
                try {
                    EXPECT_GE(fuzz::DrawLogPages(
                                  entry.path().string(), testing::BinDir() + "/QuenUtil.Pat",
                                  testing::BinDir() + "/QuenUtil.Sym", text_line, pixels_per_inch),
                              1);
                } catch (const CindralError&) {
                }
            }
        }
    }
    EXPECT_GT(inputs, 0);
}

// A bitmap drawn at the far ends of the coordinate range is written and played back; the
// player once added the record's fields in 32 bits.
TEST(FuzzRegressions, ABitmapAtExtremeCoordinatesPlaysBackFromBothMetafiles) {
    Bitmap bitmap;
    bitmap.width = 2;
    bitmap.height = 2;
    bitmap.argb.assign(4, 0xFF102030u);
    const Rect boxes[] = {{INT_MAX - 5, INT_MAX - 5, INT_MIN + 5, INT_MIN + 5},
                          {-1686831104, 10, 1686831104, -572588032},
                          {0, 0, INT_MAX, INT_MAX}};
    for (bool emf : {false, true}) {
        for (const Rect& box : boxes) {
            SCOPED_TRACE(::testing::Message() << (emf ? "EMF " : "WMF ") << box.left);
            std::ostringstream out;
            if (emf) {
                EmfWriter writer(out, 816, 1056);
                writer.StretchDib(box, bitmap, {0, 0, 2, 2});
                writer.Finish();
            } else {
                WmfWriter writer(out, 816, 1056);
                writer.StretchDib(box, bitmap, {0, 0, 2, 2});
                writer.Finish();
            }
            const std::string bytes = out.str();
            const std::vector<uint8_t> file(bytes.begin(), bytes.end());
            TraceCanvas canvas;
            if (emf) {
                EXPECT_NO_THROW(PlayEmf(file, canvas));
            } else {
                EXPECT_NO_THROW(PlayWmf(file, canvas, {0, 0, 816, 1056}));
            }
        }
    }
}

}  // namespace
}  // namespace cindral
