// Embedded pictures: bitmap and JPEG decoding of small pictures made here, metafile playback,
// the placeable header, temporary file names under concurrency.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <QImage>
#include <set>
#include <thread>

#include "core/format/byte_codec.h"
#include "recording_ui.h"
#include "render/canvas/qt_canvas.h"
#include "render/canvas/trace_canvas.h"
#include "render/canvas_test_support.h"
#include "render/pictures/bmp_decoder.h"
#include "render/pictures/jpeg_decoder.h"
#include "render/pictures/picture_draw.h"
#include "render/pictures/picture_error.h"
#include "render/pictures/picture_files.h"
#include "render/pictures/wmf_player.h"
#include "temp_dir.h"

namespace cindral {
namespace {

// A 5 x 3 picture of four colours, the kind every bit depth can hold.
const std::vector<uint32_t> kColors = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
int ColorIndex(int x, int y) {
    return (x + 2 * y) % 4;
}
uint32_t Expected(int x, int y) {
    return kColors[ColorIndex(x, y)];
}

// A bitmap file written field by field, as a Windows writer lays it out.
std::vector<uint8_t> MakeBmp(int bpp, bool top_down, int width = 5, int height = 3) {
    const int palette = bpp <= 8 ? (1 << bpp) : 0;
    const int stride = ((width * bpp + 31) / 32) * 4;
    const uint32_t bits_at = 14 + 40 + palette * 4;
    ByteWriter w;
    w.U8('B');
    w.U8('M');
    w.U32(bits_at + stride * height);
    w.U32(0);
    w.U32(bits_at);
    w.U32(40);
    w.I32(width);
    w.I32(top_down ? -height : height);
    w.U16(1);
    w.U16(static_cast<uint16_t>(bpp));
    w.U32(0);
    w.U32(0);
    w.Zeros(8);
    w.U32(0);
    w.U32(0);
    for (int i = 0; i < palette; ++i) {
        const uint32_t c = i < 4 ? kColors[i] : 0xFFFFFFFF;
        w.U8(c & 0xFF);
        w.U8((c >> 8) & 0xFF);
        w.U8((c >> 16) & 0xFF);
        w.U8(0);
    }
    for (int stored = 0; stored < height; ++stored) {
        const int y = top_down ? stored : height - 1 - stored;
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < width; ++x) {
            const int i = ColorIndex(x, y);
            const uint32_t c = kColors[i];
            const uint8_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            switch (bpp) {
                case 1:  // two colours only: black and red
                    row[x / 8] |= (i & 1) << (7 - x % 8);
                    break;
                case 4:
                    row[x / 2] |= i << ((x % 2) ? 0 : 4);
                    break;
                case 8:
                    row[x] = uint8_t(i);
                    break;
                case 16: {
                    const uint16_t v = uint16_t(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                    row[2 * x] = v & 0xFF;
                    row[2 * x + 1] = v >> 8;
                    break;
                }
                case 24:
                    row[3 * x] = b;
                    row[3 * x + 1] = g;
                    row[3 * x + 2] = r;
                    break;
                case 32:
                    row[4 * x] = b;
                    row[4 * x + 1] = g;
                    row[4 * x + 2] = r;
                    break;
            }
        }
        w.Bytes(row.data(), row.size());
    }
    return w.Take();
}

struct BmpRow {
    int bpp;
    bool top_down;
};

class BmpDecoding : public ::testing::TestWithParam<BmpRow> {};

TEST_P(BmpDecoding, ReadsEveryPixel) {
    const BmpRow row = GetParam();
    const Bitmap bitmap = DecodeBmpFile(MakeBmp(row.bpp, row.top_down));
    ASSERT_EQ(bitmap.width, 5);
    ASSERT_EQ(bitmap.height, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const uint32_t want = row.bpp == 1 ? kColors[ColorIndex(x, y) & 1] : Expected(x, y);
            EXPECT_EQ(bitmap.At(x, y) | 0xFF000000, want) << x << "," << y;
        }
    }
}

TEST_P(BmpDecoding, RefusesATruncatedFile) {
    const BmpRow row = GetParam();
    std::vector<uint8_t> bytes = MakeBmp(row.bpp, row.top_down);
    for (size_t keep : {size_t(0), size_t(10), size_t(30), bytes.size() - 1}) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + ptrdiff_t(keep));
        EXPECT_THROW(DecodeBmpFile(cut), PictureError) << keep;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpDecoding,
                         ::testing::Values(BmpRow{1, false}, BmpRow{4, false}, BmpRow{8, false},
                                           BmpRow{16, false}, BmpRow{24, false}, BmpRow{32, false},
                                           BmpRow{8, true}, BmpRow{24, true}, BmpRow{32, true}));

TEST(BmpDecoding, RunLengthEncoded8Bit) {
    // 4 x 2, bottom row first: a run of 3 of colour 1 then absolute (2, 3), end of line;
    // then delta to the next... simply a run of 4 of colour 3, end of bitmap.
    std::vector<uint8_t> bits = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 4, 3, 0, 1};
    ByteWriter w;
    w.U8('B');
    w.U8('M');
    w.U32(0);
    w.U32(0);
    w.U32(14 + 40 + 16);
    w.U32(40);
    w.I32(4);
    w.I32(2);
    w.U16(1);
    w.U16(8);
    w.U32(1);  // RLE8
    w.U32(uint32_t(bits.size()));
    w.Zeros(8);
    w.U32(4);
    w.U32(0);
    for (uint32_t c : kColors) w.U32(c & 0xFFFFFF);
    w.Bytes(bits.data(), bits.size());
    const Bitmap b = DecodeBmpFile(w.Take());
    // Bottom row (y = 1): 1 1 1 then absolute 2 (the run of 3 put 3 pixels, absolute adds
    // 3 more; the fifth and sixth fall off the right edge).
    EXPECT_EQ(b.At(0, 1), kColors[1]);
    EXPECT_EQ(b.At(2, 1), kColors[1]);
    EXPECT_EQ(b.At(3, 1), kColors[2]);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.At(x, 0), kColors[3]);
}

TEST(BmpDecoding, RefusesNonsense) {
    std::vector<uint8_t> bytes = MakeBmp(24, false);
    bytes[0] = 'X';
    EXPECT_THROW(DecodeBmpFile(bytes), PictureError);
    bytes = MakeBmp(24, false);
    bytes[14 + 14] = 7;  // 7 bits per pixel
    EXPECT_THROW(DecodeBmpFile(bytes), PictureError);
    bytes = MakeBmp(24, false);
    bytes[14 + 4] = bytes[14 + 5] = bytes[14 + 6] = 0xFF;  // absurd width
    bytes[14 + 7] = 0x7F;
    EXPECT_THROW(DecodeBmpFile(bytes), PictureError);
}

TEST(BmpDecoding, AgreesWithAnIndependentWriter) {
    // ImageMagick writes the bitmap; our decoder must read the colours it was given.
    testing::TempDir dir;
    const std::string ppm = dir.File("in.ppm");
    {
        FILE* f = std::fopen(ppm.c_str(), "wb");
        std::fprintf(f, "P6 3 2 255\n");
        const uint8_t px[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 255, 255, 255, 0, 0, 0};
        std::fwrite(px, 1, sizeof px, f);
        std::fclose(f);
    }
    const std::string bmp = dir.File("out.bmp");
    if (std::system(("convert " + ppm + " -type TrueColor BMP3:" + bmp + " 2>/dev/null").c_str()) !=
        0) {
        GTEST_SKIP() << "ImageMagick convert is not available";
    }
    const Bitmap b = LoadPictureFile(bmp);
    ASSERT_EQ(b.width, 3);
    ASSERT_EQ(b.height, 2);
    EXPECT_EQ(b.At(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(b.At(2, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(b.At(0, 1) & 0xFFFFFF, 0x0A141Eu);
    EXPECT_EQ(b.At(2, 1) & 0xFFFFFF, 0x000000u);
}

// A JPEG written through libjpeg: left half red, right half blue.
std::vector<uint8_t> MakeJpeg(int width, int height, bool grey) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(width) * info.input_components);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x) {
            if (grey) {
                row[x] = x < width / 2 ? 40 : 200;
            } else {
                row[3 * x] = x < width / 2 ? 255 : 0;
                row[3 * x + 1] = 0;
                row[3 * x + 2] = x < width / 2 ? 0 : 255;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

bool Near(uint32_t argb, int r, int g, int b) {
    return std::abs(int((argb >> 16) & 0xFF) - r) <= 8 &&
           std::abs(int((argb >> 8) & 0xFF) - g) <= 8 && std::abs(int(argb & 0xFF) - b) <= 8;
}

TEST(JpegDecoding, ColourAndGreyPictures) {
    const Bitmap colour = DecodeJpeg(MakeJpeg(32, 16, false));
    ASSERT_EQ(colour.width, 32);
    ASSERT_EQ(colour.height, 16);
    EXPECT_TRUE(Near(colour.At(2, 8), 255, 0, 0));
    EXPECT_TRUE(Near(colour.At(29, 8), 0, 0, 255));
    const Bitmap grey = DecodeJpeg(MakeJpeg(32, 16, true));
    EXPECT_TRUE(Near(grey.At(2, 2), 40, 40, 40));
    EXPECT_TRUE(Near(grey.At(29, 2), 200, 200, 200));
}

TEST(JpegDecoding, BrokenFilesRaisePictureErrors) {
    const std::vector<uint8_t> good = MakeJpeg(32, 16, false);
    for (size_t keep : {size_t(0), size_t(2), size_t(100), good.size() / 2}) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + ptrdiff_t(keep));
        EXPECT_THROW(DecodeJpeg(cut), PictureError) << keep;
    }
    const std::vector<uint8_t> garbage(200, 0x55);
    EXPECT_THROW(DecodeJpeg(garbage), PictureError);
}

TEST(PictureFiles, JpgNamesAndJpegDataGoToTheJpegDecoder) {
    testing::TempDir dir;
    const std::vector<uint8_t> jpeg = MakeJpeg(8, 8, false);
    for (const char* name : {"a.jpg", "b.JPG", "c.bmp"}) {
        WriteFileBytes(dir.File(name), jpeg);
        EXPECT_EQ(LoadPictureFile(dir.File(name)).width, 8) << name;
    }
    WriteFileBytes(dir.File("d.jpg"), MakeBmp(24, false));
    EXPECT_THROW(LoadPictureFile(dir.File("d.jpg")), PictureError);
    EXPECT_THROW(LoadPictureFile(dir.File("missing.bmp")), IoError);
}

TEST(PictureFiles, ReadBitmapSizeGivesPixelsAndFileSize) {
    testing::TempDir dir;
    const std::vector<uint8_t> bmp = MakeBmp(8, true, 7, 4);
    WriteFileBytes(dir.File("p.bmp"), bmp);
    int w = 0, h = 0;
    EXPECT_EQ(ReadBitmapSize(dir.File("p.bmp"), w, h), int64_t(bmp.size()));
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 4);
    EXPECT_THROW(ReadBitmapSize(dir.File("none.bmp"), w, h), IoError);
}

TEST(PlaceableHeader, ChecksumOfTheKeyAlone) {
    uint8_t header[20] = {0xD7, 0xCD, 0xC6, 0x9A};
    EXPECT_EQ(HeaderChecksum(header), 0x5711);
}

// A bare metafile: METAHEADER and the given records, ended by EOF.
std::vector<uint8_t> BareMetafile(const std::vector<std::vector<uint8_t>>& records) {
    ByteWriter w;
    size_t words = 9 + 3;
    uint32_t largest = 3;
    for (const auto& r : records) {
        words += r.size() / 2;
        largest = std::max<uint32_t>(largest, uint32_t(r.size() / 2));
    }
    w.U16(1);
    w.U16(9);
    w.U16(0x0300);
    w.U32(uint32_t(words));
    w.U16(4);
    w.U32(largest);
    w.U16(0);
    for (const auto& r : records) w.Bytes(r.data(), r.size());
    w.U32(3);
    w.U16(0);
    return w.Take();
}

std::vector<uint8_t> Record(uint16_t function, const std::vector<int16_t>& params) {
    ByteWriter w;
    w.U32(uint32_t(3 + params.size()));
    w.U16(function);
    for (int16_t p : params) w.I16(p);
    return w.Take();
}

TEST(PlaceableHeader, IsAddedByteForByte) {
    std::vector<uint8_t> stream = BareMetafile({});
    const std::vector<uint8_t> bare = stream;
    AddPlaceableHeader(stream, uint32_t(bare.size()), 0, 0, 200, 100, 96);
    ASSERT_EQ(stream.size(), bare.size() + 22);
    const std::vector<uint8_t> head(stream.begin(), stream.begin() + 22);
    const std::vector<uint8_t> want = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 200,
                                       0,    100,  0,    96,   0, 0, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < 20; ++i) EXPECT_EQ(head[i], want[i]) << i;
    EXPECT_EQ(head[20] | (head[21] << 8), HeaderChecksum(head.data()));
    // The metafile's size field counts 16-bit words.
    ByteReader size_field(stream.data() + 22 + 6, 4);
    EXPECT_EQ(size_field.U32(), bare.size() / 2);
    // Everything after the size field is unchanged.
    EXPECT_TRUE(std::equal(bare.begin() + 10, bare.end(), stream.begin() + 32));
    std::vector<uint8_t> tiny(10);
    EXPECT_THROW(AddPlaceableHeader(tiny, 10, 0, 0, 1, 1, 96), PictureError);
}

std::vector<uint8_t> Placeable(std::vector<uint8_t> bare, int16_t w, int16_t h, int inch) {
    AddPlaceableHeader(bare, uint32_t(bare.size()), 0, 0, w, h, inch);
    return bare;
}

std::vector<uint8_t> PenBrushRectangle() {
    return BareMetafile({
        Record(0x02FA, {0, 0, 0, 0x00FF, 0x0000}),  // pen: solid, cosmetic, red
        Record(0x02FC, {0, 0x0000, 0x00FF, 0}),     // brush: solid blue
        Record(0x012D, {0}),                        // select pen
        Record(0x012D, {1}),                        // select brush
        Record(0x041B, {500, 1000, 0, 0}),          // rectangle 0,0 - 1000,500
        Record(0x7777, {1, 2, 3}),                  // unknown: skipped
        Record(0x0214, {250, 0}),                   // move to 0,250
        Record(0x0213, {250, 1000}),                // line to 1000,250
    });
}

TEST(WmfPlayer, MapsTheFrameOntoTheTarget) {
    TraceCanvas canvas;
    PlayWmf(Placeable(PenBrushRectangle(), 1000, 500, 1440), canvas, {10, 20, 110, 70});
    const std::string trace = canvas.Text();
    EXPECT_NE(trace.find("Rectangle 10,20,110,70"), std::string::npos) << trace;
    EXPECT_NE(trace.find("MoveTo 10,45"), std::string::npos) << trace;
    EXPECT_NE(trace.find("LineTo 110,45"), std::string::npos) << trace;
    // The caller's state comes back.
    EXPECT_FALSE(canvas.clip().has_value());
    EXPECT_EQ(canvas.pen().color, kBlack);
}

TEST(WmfPlayer, DrawsPixelsWithItsPensAndBrushes) {
    QImage image = testing::WhiteImage(120, 80);
    {
        QtCanvas canvas(&image);
        PlayWmf(Placeable(PenBrushRectangle(), 1000, 500, 1440), canvas, {10, 20, 110, 70});
    }
    EXPECT_EQ(testing::PixelAt(image, 10, 30), RgbColor(255, 0, 0));  // outline
    EXPECT_EQ(testing::PixelAt(image, 30, 30), RgbColor(0, 0, 255));  // inside
    EXPECT_EQ(testing::PixelAt(image, 60, 45), RgbColor(255, 0, 0));  // the line
    EXPECT_EQ(testing::PixelAt(image, 5, 5), kWhite);
    EXPECT_EQ(testing::PixelAt(image, 115, 75), kWhite);
}

TEST(WmfPlayer, WindowRecordsSetTheMappingAndSaveDcRestoresIt) {
    const std::vector<uint8_t> bare = BareMetafile({
        Record(0x020B, {100, 100}),  // window org 100,100
        Record(0x020C, {10, 10}),    // window ext 10,10
        Record(0x001E, {}),          // SaveDC
        Record(0x020C, {20, 20}),    // window ext 20,20
        Record(0x0214, {110, 110}),  // move to the far corner
        Record(0x0213, {100, 100}),
        Record(0x0127, {-1}),  // RestoreDC
        Record(0x0214, {110, 110}),
        Record(0x0213, {105, 105}),
    });
    TraceCanvas canvas;
    PlayWmf(bare, canvas, {0, 0, 100, 100});
    const std::string trace = canvas.Text();
    EXPECT_NE(trace.find("MoveTo 50,50\nLineTo 0,0"), std::string::npos) << trace;
    EXPECT_NE(trace.find("MoveTo 100,100\nLineTo 50,50"), std::string::npos) << trace;
}

TEST(WmfPlayer, PlaysEmbeddedBitmaps) {
    // StretchDIB of the 5 x 3 picture into logical 0,0 - 50,30 of a 50 x 30 frame.
    const std::vector<uint8_t> bmp = MakeBmp(24, false);
    const std::vector<uint8_t> dib(bmp.begin() + 14, bmp.end());
    ByteWriter r;
    r.U32(uint32_t(3 + 11 + dib.size() / 2));
    r.U16(0x0F43);
    r.U32(0x00CC0020);
    for (int16_t p : std::vector<int16_t>{0, 3, 5, 0, 0, 30, 50, 0, 0}) r.I16(p);
    r.Bytes(dib.data(), dib.size());
    QImage image = testing::WhiteImage(50, 30);
    {
        QtCanvas canvas(&image);
        PlayWmf(Placeable(BareMetafile({r.Take()}), 50, 30, 96), canvas, {0, 0, 50, 30});
    }
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const QRgb p = image.pixel(x * 10 + 5, y * 10 + 5);
            EXPECT_EQ(p & 0xFFFFFF, Expected(x, y) & 0xFFFFFF) << x << "," << y;
        }
    }
}

TEST(WmfPlayer, RefusesRecordsThatDoNotFit) {
    std::vector<uint8_t> bytes = Placeable(PenBrushRectangle(), 1000, 500, 1440);
    TraceCanvas canvas;
    // Truncated in the middle of a record.
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 22 + 18 + 20);
    EXPECT_THROW(PlayWmf(cut, canvas, {0, 0, 10, 10}), PictureError);
    // A record whose size claims more than the data holds.
    std::vector<uint8_t> lying = bytes;
    lying[22 + 18] = 0xFF;
    lying[22 + 19] = 0xFF;
    EXPECT_THROW(PlayWmf(lying, canvas, {0, 0, 10, 10}), PictureError);
    // A polyline claiming more points than its record holds.
    EXPECT_THROW(PlayWmf(BareMetafile({Record(0x0325, {100, 0, 0})}), canvas, {0, 0, 10, 10}),
                 PictureError);
    // A broken checksum and a missing header.
    std::vector<uint8_t> bad_sum = bytes;
    bad_sum[20] ^= 1;
    EXPECT_THROW(PlayWmf(bad_sum, canvas, {0, 0, 10, 10}), PictureError);
    EXPECT_THROW(PlayWmf(std::vector<uint8_t>(30, 0), canvas, {0, 0, 10, 10}), PictureError);
}

TEST(DrawMetafileFile, RasterisesAtItsOwnSizeAndStretches) {
    testing::TempDir dir;
    // 1000 x 500 at 1000 per inch: 96 x 48 screen pixels, stretched into 200 x 100.
    WriteFileBytes(dir.File("p.wmf"), Placeable(PenBrushRectangle(), 1000, 500, 1000));
    TraceCanvas trace;
    DrawMetafileFile(trace, {5, 6, 205, 106}, dir.File("p.wmf"));
    EXPECT_EQ(trace.lines().back(), "StretchDib 5,6,205,106 from 0,0,96,48 of 96x48");
}

TEST(DrawMetafileFile, WarnsAboutAnEmptyPicture) {
    testing::TempDir dir;
    WriteFileBytes(dir.File("p.wmf"), Placeable(PenBrushRectangle(), 0, 500, 1000));
    RecordingUi ui;
    ScopedUi scoped(ui);
    TraceCanvas trace;
    DrawMetafileFile(trace, {0, 0, 10, 10}, dir.File("p.wmf"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(ui.messages[0].text, "Unable to convert this Window's metafile (wmf).");
    EXPECT_TRUE(trace.lines().empty());
}

TEST(StretchBitmap, EmptyBitmapDrawsNothing) {
    TraceCanvas trace;
    StretchBitmap(trace, Bitmap{}, 0, 10, 10, 0);
    EXPECT_TRUE(trace.lines().empty());
    Bitmap one{1, 1, {0xFFFF0000}};
    StretchBitmap(trace, one, /*x=*/3, /*height=*/20, /*width=*/10, /*y=*/4);
    EXPECT_EQ(trace.lines().back(), "StretchDib 3,4,13,24 from 0,0,1,1 of 1x1");
}

TEST(MakeTempFileName, TakesTheFirstFreeNumber) {
    testing::TempDir dir;
    const std::string first = MakeTempFileName("~bmp", dir.path());
    EXPECT_EQ(first, dir.File("~bmp1.tmp"));
    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_EQ(MakeTempFileName("~bmp", dir.path()), dir.File("~bmp2.tmp"));
    EXPECT_EQ(MakeTempFileName("~bmpXYZ", dir.path()), dir.File("~bmp3.tmp"));
    EXPECT_EQ(MakeTempFileName("~wmf", dir.path()), dir.File("~wmf1.tmp"));
    // A planted link is never followed or reused.
    std::filesystem::create_symlink(dir.File("target"), dir.File("~lnk1.tmp"));
    EXPECT_EQ(MakeTempFileName("~lnk", dir.path()), dir.File("~lnk2.tmp"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("target")));
    EXPECT_THROW(MakeTempFileName("~bmp", dir.File("no/such/dir")), IoError);
}

TEST(MakeTempFileName, ThreadsNeverShareAName) {
    testing::TempDir dir;
    std::vector<std::vector<std::string>> names(8);
    std::vector<std::thread> threads;
    for (auto& list : names) {
        threads.emplace_back([&list, &dir] {
            for (int i = 0; i < 25; ++i) list.push_back(MakeTempFileName("~bmp", dir.path()));
        });
    }
    for (auto& t : threads) t.join();
    std::set<std::string> all;
    for (const auto& list : names) all.insert(list.begin(), list.end());
    EXPECT_EQ(all.size(), 200u);
    EXPECT_TRUE(all.count(dir.File("~bmp200.tmp")));
}

TEST(MakeTempFileName, ProcessesNeverShareAName) {
    testing::TempDir dir;
    constexpr int kChildren = 4;
    constexpr int kEach = 25;
    std::vector<pid_t> children;
    for (int c = 0; c < kChildren; ++c) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // Each child records the names it got in a file of its own.
            FILE* out = std::fopen(dir.File("got" + std::to_string(c)).c_str(), "w");
            for (int i = 0; i < kEach; ++i) {
                std::fprintf(out, "%s\n", MakeTempFileName("~wmf", dir.path()).c_str());
            }
            std::fclose(out);
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::set<std::string> all;
    for (int c = 0; c < kChildren; ++c) {
        std::ifstream in(dir.File("got" + std::to_string(c)));
        for (std::string line; std::getline(in, line);) all.insert(line);
    }
    EXPECT_EQ(all.size(), size_t(kChildren * kEach));
}

// Damaged pictures: every mutation either decodes or raises PictureError; none may read
// outside its buffer (the sanitizer build checks that) or throw anything else.
TEST(DamagedPictures, DecodeOrRefuseNeverMore) {
    std::vector<std::vector<uint8_t>> seeds = {MakeBmp(4, false), MakeBmp(16, true),
                                               MakeBmp(32, false),
                                               Placeable(PenBrushRectangle(), 100, 50, 96)};
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    int refused = 0;
    for (const auto& seed : seeds) {
        for (int round = 0; round < 400; ++round) {
            std::vector<uint8_t> bytes = seed;
            for (int k = 0; k < 1 + int(next() % 4); ++k)
                bytes[next() % bytes.size()] = uint8_t(next());
            if (next() % 4 == 0) bytes.resize(next() % bytes.size());
            try {
                if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
                    DecodeBmpFile(bytes);
                } else {
                    TraceCanvas canvas;
                    PlayWmf(bytes, canvas, {0, 0, 50, 50});
                }
            } catch (const PictureError&) {
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace cindral
