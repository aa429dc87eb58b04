#pragma once
// Writing a drawn page as a picture file: PNG, JPEG (libjpeg) or BMP (our own writer), chosen
// by the file's extension. The viewer's page exports, the HTML table and `cindral-cli render`
// all write through here, so a page saved from either looks the same.

#include <QImage>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cindral {

enum class PictureFormat { Png, Jpeg, Bmp };

// The format an output name asks for by its extension (any case), or nothing.
std::optional<PictureFormat> PictureFormatOf(const std::string& path);

// A 24-bit, bottom-up, uncompressed Windows bitmap of `image`, little-endian throughout, with
// `pixels_per_inch` recorded as its resolution.
std::vector<uint8_t> EncodeBmp(const QImage& image, int pixels_per_inch);

// A baseline JFIF of `image` at `quality` (1 to 100) with `pixels_per_inch` as its density.
// CindralError when libjpeg refuses.
std::vector<uint8_t> EncodeJpeg(const QImage& image, int quality, int pixels_per_inch);

// Writes `image` to `path` in `format`; the quality only matters to JPEG. IoError when the
// file cannot be written.
void SavePicture(const QImage& image, const std::string& path, PictureFormat format, int quality,
                 int pixels_per_inch);

}  // namespace cindral
