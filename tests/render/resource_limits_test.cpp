// Files that claim far more than they hold (a huge picture, page or sub-block in a few
// hundred bytes) are refused without the allocation they ask for: the peak of the heap while
// each is opened or decoded stays small. The heap is counted through the sanitizer's
// allocation hooks, which see malloc (QImage, libjpeg) as well as new.

#include <gtest/gtest.h>

#include <QImage>
#include <atomic>
#include <functional>

#include "core/base/errors.h"
#include "core/base/whole_file.h"
#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "render/canvas/trace_canvas.h"
#include "render/document/log_document.h"
#include "render/export/picture_writers.h"
#include "render/pictures/bmp_decoder.h"
#include "render/pictures/jpeg_decoder.h"
#include "render/pictures/picture_draw.h"
#include "temp_dir.h"

#if defined(__SANITIZE_ADDRESS__)
#define CINDRAL_HEAP_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CINDRAL_HEAP_HOOKS 1
#endif
#endif

#ifdef CINDRAL_HEAP_HOOKS
// The sanitizer runtime's allocator interface (not every compiler installs its header).
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                              void (*)(const volatile void*));
size_t __sanitizer_get_allocated_size(const volatile void* block);
}
#endif

namespace cindral {
namespace {

std::atomic<long long> live{0};
std::atomic<long long> peak{0};

#ifdef CINDRAL_HEAP_HOOKS
void OnMalloc(const volatile void*, size_t size) {
    const long long now = live += static_cast<long long>(size);
    long long p = peak.load();
    while (now > p && !peak.compare_exchange_weak(p, now)) {
    }
}
void OnFree(const volatile void* block) {
    live -= static_cast<long long>(__sanitizer_get_allocated_size(block));
}
#endif

// How far the heap rose above where it was while `work` ran.
long long PeakRise(const std::function<void()>& work) {
#ifdef CINDRAL_HEAP_HOOKS
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
    (void)installed;
#endif
    const long long start = live.load();
    peak = start;
    work();
    return peak.load() - start;
}

std::vector<uint8_t> Le32(std::vector<uint8_t> bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return bytes;
}

// A run-length encoded bitmap of `width` x `height` whose data is one run and the end.
std::vector<uint8_t> RunLengthBmp(int32_t width, int32_t height) {
    const std::vector<uint8_t> runs = {10, 1, 0, 0, 0, 1};
    ByteWriter out;
    out.U8('B');
    out.U8('M');
    out.U32(14 + 40 + 8 + static_cast<uint32_t>(runs.size()));
    out.U32(0);
    out.U32(14 + 40 + 8);
    out.U32(40);
    out.I32(width);
    out.I32(height);
    out.U16(1);
    out.U16(8);
    out.U32(1);  // RLE8
    out.U32(static_cast<uint32_t>(runs.size()));
    out.U32(2835);
    out.U32(2835);
    out.U32(2);  // colours used
    out.U32(0);
    for (uint32_t colour : {0x00FFFFFFu, 0x000000FFu}) out.U32(colour);
    for (uint8_t b : runs) out.U8(b);
    return out.Take();
}

// A 1 x 1 uncompressed bitmap file whose header then claims `width` x `height`.
std::vector<uint8_t> ClaimingBmp(int32_t width, int32_t height) {
    QImage one(1, 1, QImage::Format_RGB32);
    one.fill(Qt::red);
    std::vector<uint8_t> bmp = EncodeBmp(one, 96);
    bmp = Le32(bmp, 18, static_cast<uint32_t>(width));
    bmp = Le32(bmp, 22, static_cast<uint32_t>(height));
    return bmp;
}

// A small JPEG whose frame header then claims `width` x `height`.
std::vector<uint8_t> ClaimingJpeg(uint16_t width, uint16_t height) {
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    std::vector<uint8_t> jpeg = EncodeJpeg(picture, 75, 96);
    for (size_t i = 0; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = static_cast<uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<uint8_t>(height);
            jpeg[i + 7] = static_cast<uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<uint8_t>(width);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

// A placeable metafile header and an empty metafile claiming `units` square at 96 per inch.
std::vector<uint8_t> ClaimingWmf(int16_t units) {
    std::vector<uint8_t> wmf = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 96, 0,
                                0,    0,    0,    0,    0, 0, 1, 0, 9, 0, 0, 3, 0, 0, 0,  0,
                                0,    0,    0,    0,    0, 0, 0, 0, 3, 0, 0, 0, 0, 0};
    wmf[10] = wmf[12] = static_cast<uint8_t>(units);
    wmf[11] = wmf[13] = static_cast<uint8_t>(units >> 8);
    uint16_t sum = 0;
    for (size_t i = 0; i < 20; i += 2) sum ^= static_cast<uint16_t>(wmf[i] | (wmf[i + 1] << 8));
    wmf[20] = static_cast<uint8_t>(sum);
    wmf[21] = static_cast<uint8_t>(sum >> 8);
    return wmf;
}

GdxHeader Header(double page_height, double page_width) {
    GdxHeader h;
    h.PageHeight = page_height;
    h.PageWidth = page_width;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 20;
    h.MaxX = 100;
    h.BottomDepth = -200;
    return h;
}

// A log whose picture sub-block claims `count` bytes.
std::vector<uint8_t> LogClaimingPictureBytes(int32_t count) {
    GdxWriter w(Header(11, 8.5));
    GdxCommand picture(DrawPictureRecord{});
    picture.data = {1, 2, 3, 4};
    w.Write(picture);
    std::vector<uint8_t> bytes = w.Bytes();
    // The count is the last field before the four picture bytes.
    return Le32(bytes, bytes.size() - 8, static_cast<uint32_t>(count));
}

struct Claim {
    const char* name;
    std::function<void(const testing::TempDir&)> open;
};

LogDocumentOptions Options() {
    LogDocumentOptions options;
    options.files.pattern_file = testing::BinDir() + "/QuenUtil.Pat";
    options.files.symbol_file = testing::BinDir() + "/QuenUtil.Sym";
    return options;
}

const Claim kClaims[] = {
    {"UncompressedBitmapOf120MegapixelsIn250Bytes",
     [](const testing::TempDir&) { DecodeBmpFile(ClaimingBmp(11000, 11000)); }},
    {"RunLengthBitmapOf120MegapixelsIn68Bytes",
     [](const testing::TempDir&) { DecodeBmpFile(RunLengthBmp(11000, 11000)); }},
    {"JpegOf120MegapixelsInAFewHundredBytes",
     [](const testing::TempDir&) { DecodeJpeg(ClaimingJpeg(11000, 11000)); }},
    {"MetafileOf6000UnitsSquare",
     [](const testing::TempDir& dir) {
         WriteFileBytes(dir.File("big.wmf"), ClaimingWmf(6000));
         TraceCanvas canvas;
         DrawMetafileFile(canvas, {0, 0, 100, 100}, dir.File("big.wmf"));
     }},
    {"PageOf100000InchesSquare",
     [](const testing::TempDir& dir) {
         GdxWriter(Header(1e5, 1e5)).Save(dir.File("page.gdx"));
         LogDocument(dir.File("page.gdx"), Options()).RenderPage(0);
     }},
    {"PageOf10000InchesSquare",
     [](const testing::TempDir& dir) {
         GdxWriter(Header(1e4, 1e4)).Save(dir.File("page.gdx"));
         LogDocument(dir.File("page.gdx"), Options()).RenderPage(0);
     }},
    {"PictureSubBlockOf2GigabytesInALogOf200Bytes",
     [](const testing::TempDir& dir) {
         WriteFileBytes(dir.File("picture.gdx"), LogClaimingPictureBytes(0x7FFFFFF0));
         LogDocument(dir.File("picture.gdx"), Options());
     }},
};

class ResourceLimits : public ::testing::TestWithParam<Claim> {};

TEST_P(ResourceLimits, AClaimTheFileCannotHoldIsRefusedWithoutAllocatingIt) {
#ifndef CINDRAL_HEAP_HOOKS
    GTEST_SKIP() << "the heap is counted through the sanitizer's hooks";
#endif
    testing::TempDir dir;
    bool refused = false;
    const long long rise = PeakRise([&] {
        try {
            GetParam().open(dir);
        } catch (const CindralError&) {
            refused = true;
        }
    });
    EXPECT_TRUE(refused);
    EXPECT_LT(rise, 16ll << 20) << "bytes at the peak";
}

// The probes are well-formed: at a size their data can hold they decode, so the refusals
// above come from the size claimed, not from a broken file.
TEST(ResourceLimitProbes, DecodeAtASizeTheirDataCanHold) {
    const Bitmap runs = DecodeBmpFile(RunLengthBmp(12, 3));
    EXPECT_EQ(runs.width, 12);
    EXPECT_EQ(runs.At(9, 2) & 0xFFFFFFu, 0x0000FFu);  // the run of blue, on the bottom row
    EXPECT_EQ(runs.At(10, 2) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(DecodeJpeg(ClaimingJpeg(16, 16)).width, 16);
    EXPECT_EQ(DecodeBmpFile(ClaimingBmp(1, 1)).height, 1);
}

INSTANTIATE_TEST_SUITE_P(Claims, ResourceLimits, ::testing::ValuesIn(kClaims),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cindral
