#include "render/pictures/bmp_decoder.h"

#include <array>
#include <cstdlib>
#include <string>

#include "core/format/byte_codec.h"
#include "render/pictures/picture_error.h"

namespace cindral {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr size_t kFileHeaderSize = 14;

struct DibHeader {
    uint32_t header_size = 0;
    int32_t width = 0;
    int32_t height = 0;  // negative: top-down
    uint16_t bit_count = 0;
    uint32_t compression = kBiRgb;
    uint32_t colors_used = 0;
    std::array<uint32_t, 3> masks{};  // red, green, blue
    bool has_masks = false;
    bool core = false;  // 12-byte header: 3-byte colour table entries
};

[[noreturn]] void Fail(const std::string& why) {
    throw PictureError("bitmap: " + why);
}

DibHeader ReadHeader(ByteReader& in) {
    DibHeader h;
    h.header_size = in.U32();
    if (h.header_size == 12) {
        h.core = true;
        h.width = in.U16();
        h.height = in.U16();
        if (in.U16() != 1) Fail("planes must be 1");
        h.bit_count = in.U16();
    } else if (h.header_size >= 40) {
        h.width = in.I32();
        h.height = in.I32();
        if (in.U16() != 1) Fail("planes must be 1");
        h.bit_count = in.U16();
        h.compression = in.U32();
        in.Skip(12);  // image size, resolution
        h.colors_used = in.U32();
        in.Skip(4);  // important colours
        uint32_t consumed = 40;
        if (h.header_size >= 52) {
            for (uint32_t& m : h.masks) m = in.U32();
            h.has_masks = true;
            consumed = 52;
        }
        in.Skip(h.header_size - consumed);
    } else {
        Fail("unknown header size " + std::to_string(h.header_size));
    }
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) Fail("empty or invalid size");
    if (int64_t(h.width) * std::llabs(int64_t(h.height)) > kMaxPicturePixels) {
        Fail("picture too large");
    }
    switch (h.bit_count) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            Fail("unsupported bit count " + std::to_string(h.bit_count));
    }
    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
    if (h.compression == kBiRle8 && h.bit_count != 8) Fail("RLE8 needs 8 bits per pixel");
    if (h.compression == kBiRle4 && h.bit_count != 4) Fail("RLE4 needs 4 bits per pixel");
    if (h.compression == kBiBitfields && h.bit_count != 16 && h.bit_count != 32) {
        Fail("bit fields need 16 or 32 bits per pixel");
    }
    if (h.compression > kBiBitfields)
        Fail("unsupported compression " + std::to_string(h.compression));
    if (rle && h.height < 0) Fail("a run-length encoded bitmap cannot be top-down");
    return h;
}

uint32_t Opaque(int r, int g, int b) {
    return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}

// Scales the bits of `value` under `mask` to 0..255.
int MaskedChannel(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const uint32_t max = mask >> shift;
    const uint32_t v = (value & mask) >> shift;
    return static_cast<int>((uint64_t(v) * 255 + max / 2) / max);
}

constexpr int64_t kRlePixelsPerByte = 1024;
constexpr int64_t kRleSmallPicture = int64_t(1) << 20;

class DibDecoder {
  public:
    DibDecoder(const DibHeader& h, const uint8_t* data, size_t size, size_t bits_offset,
               std::vector<uint32_t> palette)
        : h_(h), data_(data), size_(size), bits_(bits_offset), palette_(std::move(palette)) {
        out_.width = h.width;
        out_.height = static_cast<int>(std::llabs(int64_t(h.height)));
        RequirePixelsInData();
        const uint32_t background = palette_.empty() ? 0xFF000000u : palette_[0];
        out_.argb.assign(size_t(out_.width) * size_t(out_.height), background);
    }

    Bitmap Decode() {
        if (h_.compression == kBiRle8 || h_.compression == kBiRle4) {
            DecodeRle();
        } else {
            DecodeRows();
        }
        return std::move(out_);
    }

  private:
    // Nothing is allocated for pixels the data cannot hold: uncompressed rows must all be
    // present, and a run-length encoding, whose runs and skips can cover a large area with
    // few bytes, may claim at most kRlePixelsPerByte pixels a byte beyond a small picture.
    void RequirePixelsInData() const {
        const int64_t available = bits_ > size_ ? -1 : int64_t(size_ - bits_);
        const int64_t pixels = int64_t(out_.width) * out_.height;
        if (h_.compression == kBiRle8 || h_.compression == kBiRle4) {
            if (available < 0 || pixels > kRleSmallPicture + available * kRlePixelsPerByte) {
                Fail("picture too large for its data");
            }
            return;
        }
        const int64_t stride = ((int64_t(out_.width) * h_.bit_count + 31) / 32) * 4;
        if (available < 0 || stride * out_.height > available) Fail("pixel data is truncated");
    }

    uint32_t PaletteColor(unsigned index) const {
        return index < palette_.size() ? palette_[index] : 0xFF000000u;
    }
    // Stored row `stored` (0 = first in the file) to picture row (0 = top).
    int PictureRow(int64_t stored) const {
        return h_.height < 0 ? int(stored) : out_.height - 1 - int(stored);
    }

    void DecodeRows() {
        const int64_t stride = ((int64_t(h_.width) * h_.bit_count + 31) / 32) * 4;
        if (bits_ > size_ || stride * out_.height > int64_t(size_ - bits_)) {
            Fail("pixel data is truncated");
        }
        std::array<uint32_t, 3> masks = h_.masks;
        if (h_.compression != kBiBitfields) {
            masks = h_.bit_count == 16 ? std::array<uint32_t, 3>{0x7C00, 0x03E0, 0x001F}
                                       : std::array<uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF};
        }
        for (int row = 0; row < out_.height; ++row) {
            const uint8_t* p = data_ + bits_ + size_t(stride) * row;
            uint32_t* dst = &out_.argb[size_t(PictureRow(row)) * out_.width];
            for (int x = 0; x < out_.width; ++x) {
                const size_t i = size_t(x);  // byte offsets in size_t, like the row offset
                switch (h_.bit_count) {
                    case 1:
                        dst[x] = PaletteColor((p[x >> 3] >> (7 - (x & 7))) & 1);
                        break;
                    case 4:
                        dst[x] = PaletteColor((p[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
                        break;
                    case 8:
                        dst[x] = PaletteColor(p[x]);
                        break;
                    case 16: {
                        const uint32_t v = p[2 * i] | (uint32_t(p[2 * i + 1]) << 8);
                        dst[x] = Opaque(MaskedChannel(v, masks[0]), MaskedChannel(v, masks[1]),
                                        MaskedChannel(v, masks[2]));
                        break;
                    }
                    case 24:
                        dst[x] = Opaque(p[3 * i + 2], p[3 * i + 1], p[3 * i]);
                        break;
                    case 32: {
                        const uint8_t* q = p + 4 * i;
                        const uint32_t v = q[0] | (uint32_t(q[1]) << 8) | (uint32_t(q[2]) << 16) |
                                           (uint32_t(q[3]) << 24);
                        dst[x] = Opaque(MaskedChannel(v, masks[0]), MaskedChannel(v, masks[1]),
                                        MaskedChannel(v, masks[2]));
                        break;
                    }
                }
            }
        }
    }

    // Run-length encoded bits: pixels never reached keep the first palette colour.
    void DecodeRle() {
        const bool four = h_.compression == kBiRle4;
        size_t pos = bits_;
        int x = 0;
        int64_t row = 0;  // stored rows, bottom first
        auto next = [&]() -> unsigned {
            if (pos >= size_) Fail("run-length data is truncated");
            return data_[pos++];
        };
        auto put = [&](unsigned index) {
            if (x < out_.width && row < out_.height) {
                out_.argb[size_t(PictureRow(row)) * out_.width + x] = PaletteColor(index);
            }
            ++x;
        };
        for (;;) {
            const unsigned count = next();
            const unsigned value = next();
            if (count > 0) {
                for (unsigned i = 0; i < count; ++i) {
                    put(four ? ((i & 1) ? value & 0xF : value >> 4) : value);
                }
                continue;
            }
            if (value == 0) {  // end of line
                x = 0;
                ++row;
            } else if (value == 1) {  // end of bitmap
                return;
            } else if (value == 2) {  // delta
                x += int(next());
                row += next();
            } else {  // absolute run, padded to a 16-bit boundary
                const size_t bytes = four ? (value + 1) / 2 : value;
                if (bytes > size_ - pos) Fail("run-length data is truncated");
                for (unsigned i = 0; i < value; ++i) {
                    const unsigned b = data_[pos + (four ? i / 2 : i)];
                    put(four ? ((i & 1) ? b & 0xF : b >> 4) : b);
                }
                pos += bytes + (bytes & 1);
            }
            if (row >= out_.height) return;
        }
    }

    const DibHeader& h_;
    const uint8_t* data_;
    size_t size_;
    size_t bits_;
    std::vector<uint32_t> palette_;
    Bitmap out_;
};

Bitmap DecodeDibAt(const uint8_t* data, size_t size, size_t dib_start, size_t bits_offset) {
    try {
        ByteReader in(data + dib_start, size - dib_start);
        const DibHeader h = ReadHeader(in);
        size_t after_header = dib_start + h.header_size;
        DibHeader header = h;
        // With a 40-byte header the bit-field masks follow it.
        if (h.compression == kBiBitfields && !h.has_masks) {
            for (uint32_t& m : header.masks) m = in.U32();
            after_header += 12;
        }
        std::vector<uint32_t> palette;
        if (h.bit_count <= 8) {
            uint32_t count = h.colors_used == 0 ? (1u << h.bit_count) : h.colors_used;
            if (count > 256) count = 256;
            const size_t entry = h.core ? 3 : 4;
            ByteReader table(data + after_header, after_header <= size ? size - after_header : 0);
            for (uint32_t i = 0; i < count; ++i) {
                const int b = table.U8(), g = table.U8(), r = table.U8();
                if (entry == 4) table.U8();
                palette.push_back(Opaque(r, g, b));
            }
            after_header += count * entry;
        } else if (h.colors_used > 0 && !h.core) {
            // A colour table may follow even without palette indexes; it is only skipped.
            after_header += size_t(std::min<uint32_t>(h.colors_used, 1u << 16)) * 4;
        }
        const size_t bits = bits_offset != 0 ? bits_offset : after_header;
        // Refuse short data before allocating the picture.
        if (h.compression != kBiRle8 && h.compression != kBiRle4) {
            const int64_t stride = ((int64_t(h.width) * h.bit_count + 31) / 32) * 4;
            if (bits > size || stride * std::llabs(int64_t(h.height)) > int64_t(size - bits)) {
                Fail("pixel data is truncated");
            }
        }
        DibDecoder decoder(header, data, size, bits, std::move(palette));
        return decoder.Decode();
    } catch (const ByteRangeError&) {
        Fail("header is truncated");
    }
}

size_t FileBitsOffset(const uint8_t* data, size_t size) {
    if (size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') Fail("not a bitmap file");
    ByteReader in(data, size);
    in.Skip(10);
    const uint32_t offset = in.U32();
    // Some writers leave the offset 0; the bits then follow the colour table.
    if (offset == 0) return 0;
    if (offset < kFileHeaderSize || offset > size) Fail("pixel data offset is outside the file");
    return offset;
}

}  // namespace

Bitmap DecodeDib(const uint8_t* data, size_t size, size_t bits_offset) {
    return DecodeDibAt(data, size, 0, bits_offset);
}

Bitmap DecodeBmpFile(const uint8_t* data, size_t size) {
    const size_t bits = FileBitsOffset(data, size);
    return DecodeDibAt(data, size, kFileHeaderSize, bits);
}

Size BmpFileSize(const uint8_t* data, size_t size) {
    FileBitsOffset(data, size);
    try {
        ByteReader in(data + kFileHeaderSize, size - kFileHeaderSize);
        const DibHeader h = ReadHeader(in);
        return {h.width, static_cast<int>(std::llabs(int64_t(h.height)))};
    } catch (const ByteRangeError&) {
        Fail("header is truncated");
    }
}

}  // namespace cindral
