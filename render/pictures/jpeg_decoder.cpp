#include "render/pictures/jpeg_decoder.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <string>

#include "render/pictures/bmp_decoder.h"
#include "render/pictures/picture_error.h"

namespace cindral {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. Unwinding a
// C++ exception through libjpeg's C frames is not safe, so the handler jumps back to the one
// function below that owns the decompressor, which then throws.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

void OnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, manager->message);
    std::longjmp(manager->resume, 1);
}

// libjpeg only warns about a file that ends early and pads the picture with grey; we count
// that as broken, like a truncated bitmap. Other warnings leave the picture usable.
void OnEmit(j_common_ptr info, int level) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) manager->truncated = true;
}

struct Decompressor {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    ~Decompressor() { jpeg_destroy_decompress(&info); }
};

constexpr int64_t kSmallPicture = int64_t(1) << 20;

uint32_t Opaque(int r, int g, int b) {
    return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}

// Runs the decompressor; false with `error` set when libjpeg gave up. Nothing in here owns
// a resource that a longjmp could skip the release of: `out` and `row` are set up first.
bool Run(Decompressor& d, const uint8_t* data, size_t size, Bitmap& out, std::vector<JSAMPLE>& row,
         std::string& error) {
    if (setjmp(d.errors.resume) != 0) {
        error = d.errors.message;
        return false;
    }
    jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d.info, TRUE);
    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_calc_output_dimensions(&d.info);
    const int64_t pixels = int64_t(d.info.output_width) * d.info.output_height;
    if (pixels > kMaxPicturePixels) {
        error = "picture too large";
        return false;
    }
    // Huffman coding spends at least a bit on every 8 x 8 block, so a picture larger than
    // that for its bytes is a header that lies; it is refused before anything is allocated.
    constexpr int64_t kPixelsPerByte = 8 * 64 * 2;
    if (pixels > kSmallPicture + int64_t(size) * kPixelsPerByte) {
        error = "picture too large for its data";
        return false;
    }
    jpeg_start_decompress(&d.info);
    out.width = static_cast<int>(d.info.output_width);
    out.height = static_cast<int>(d.info.output_height);
    out.argb.assign(size_t(out.width) * size_t(out.height), 0xFFFFFFFFu);
    row.resize(size_t(out.width) * size_t(d.info.output_components));
    while (d.info.output_scanline < d.info.output_height) {
        const int y = static_cast<int>(d.info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        if (jpeg_read_scanlines(&d.info, rows, 1) != 1) break;
        uint32_t* dst = &out.argb[size_t(y) * out.width];
        for (int x = 0; x < out.width; ++x) {
            if (cmyk) {
                // Adobe writes CMYK inverted: 255 means no ink.
                const JSAMPLE* p = &row[size_t(x) * 4];
                dst[x] = Opaque(p[0] * p[3] / 255, p[1] * p[3] / 255, p[2] * p[3] / 255);
            } else {
                const JSAMPLE* p = &row[size_t(x) * 3];
                dst[x] = Opaque(p[0], p[1], p[2]);
            }
        }
    }
    jpeg_finish_decompress(&d.info);
    if (d.errors.truncated) {
        error = "the file is truncated";
        return false;
    }
    return true;
}

}  // namespace

Bitmap DecodeJpeg(const uint8_t* data, size_t size) {
    if (size == 0) throw PictureError("JPEG: empty file");
    Decompressor d;
    d.info.err = jpeg_std_error(&d.errors.base);
    d.errors.base.error_exit = OnError;
    d.errors.base.emit_message = OnEmit;
    jpeg_create_decompress(&d.info);
    Bitmap out;
    std::vector<JSAMPLE> row;
    std::string error;
    if (!Run(d, data, size, out, row, error)) throw PictureError("JPEG: " + error);
    out.from_jpeg = true;
    return out;
}

}  // namespace cindral
