#include "render/export/picture_writers.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on

#include <QBuffer>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <csetjmp>
#include <cstdlib>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"

namespace cindral {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Pixels per inch as pixels per metre, the unit a bitmap header keeps.
uint32_t PerMetre(int pixels_per_inch) {
    return uint32_t(std::lround(pixels_per_inch / 0.0254));
}

// libjpeg reports a fatal error by calling error_exit, which must not return. Unwinding a
// C++ exception through libjpeg's C frames is not safe, so the handler jumps back to the
// one function below that owns the compressor, which then throws.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, manager->message);
    std::longjmp(manager->resume, 1);
}

struct Compressor {
    jpeg_compress_struct info{};
    ErrorManager errors{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    ~Compressor() {
        jpeg_destroy_compress(&info);
        std::free(buffer);
    }
};

// Nothing here owns a resource a longjmp could skip: `row` is sized by the caller.
bool Compress(Compressor& c, const QImage& image, int quality, int pixels_per_inch,
              std::vector<JSAMPLE>& row) {
    if (setjmp(c.errors.resume) != 0) return false;
    jpeg_mem_dest(&c.info, &c.buffer, &c.size);
    c.info.image_width = JDIMENSION(image.width());
    c.info.image_height = JDIMENSION(image.height());
    c.info.input_components = 3;
    c.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, std::clamp(quality, 1, 100), TRUE);
    c.info.density_unit = 1;  // dots per inch
    c.info.X_density = UINT16(std::clamp(pixels_per_inch, 1, 65535));
    c.info.Y_density = c.info.X_density;
    jpeg_start_compress(&c.info, TRUE);
    while (c.info.next_scanline < c.info.image_height) {
        const uchar* src = image.constScanLine(int(c.info.next_scanline));
        std::copy(src, src + row.size(), row.begin());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c.info, rows, 1);
    }
    jpeg_finish_compress(&c.info);
    return true;
}

}  // namespace

std::optional<PictureFormat> PictureFormatOf(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == "png") return PictureFormat::Png;
    if (ext == "jpg" || ext == "jpeg") return PictureFormat::Jpeg;
    if (ext == "bmp") return PictureFormat::Bmp;
    return {};
}

std::vector<uint8_t> EncodeBmp(const QImage& image, int pixels_per_inch) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const uint32_t width = uint32_t(rgb.width()), height = uint32_t(rgb.height());
    const uint32_t stride = (width * 3 + 3) & ~3u;  // rows end on a 4-byte boundary
    const uint32_t pixel_bytes = stride * height;
    constexpr uint32_t kHeaders = 14 + 40;
    std::vector<uint8_t> out;
    out.reserve(kHeaders + pixel_bytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, kHeaders + pixel_bytes);
    Put32(out, 0);
    Put32(out, kHeaders);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);  // positive: the last row comes first
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // no compression
    Put32(out, pixel_bytes);
    Put32(out, PerMetre(pixels_per_inch));
    Put32(out, PerMetre(pixels_per_inch));
    Put32(out, 0);
    Put32(out, 0);
    out.resize(kHeaders + size_t(pixel_bytes), 0);  // padding stays 0
    uint8_t* row = out.data() + kHeaders;
    for (int y = int(height) - 1; y >= 0; --y, row += stride) {
        const uchar* src = rgb.constScanLine(y);
        for (uint32_t x = 0; x < width; ++x) {
            row[3 * x] = src[3 * x + 2];
            row[3 * x + 1] = src[3 * x + 1];
            row[3 * x + 2] = src[3 * x];
        }
    }
    return out;
}

std::vector<uint8_t> EncodeJpeg(const QImage& image, int quality, int pixels_per_inch) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Compressor c;
    c.info.err = jpeg_std_error(&c.errors.base);
    c.errors.base.error_exit = OnError;
    jpeg_create_compress(&c.info);
    std::vector<JSAMPLE> row(size_t(rgb.width()) * 3);
    if (!Compress(c, rgb, quality, pixels_per_inch, row)) {
        throw CindralError(std::string("Cannot write the JPEG picture: ") + c.errors.message);
    }
    return std::vector<uint8_t>(c.buffer, c.buffer + c.size);
}

void SavePicture(const QImage& image, const std::string& path, PictureFormat format, int quality,
                 int pixels_per_inch) {
    switch (format) {
        case PictureFormat::Bmp:
            WriteFileAtomically(path, EncodeBmp(image, pixels_per_inch));
            return;
        case PictureFormat::Jpeg:
            WriteFileAtomically(path, EncodeJpeg(image, quality, pixels_per_inch));
            return;
        case PictureFormat::Png: {
            QImage png = image;
            png.setDotsPerMeterX(int(PerMetre(pixels_per_inch)));
            png.setDotsPerMeterY(int(PerMetre(pixels_per_inch)));
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (!png.save(&buffer, "PNG")) throw CindralError("Cannot write " + path + ".");
            WriteFileAtomically(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
            return;
        }
    }
}

}  // namespace cindral
