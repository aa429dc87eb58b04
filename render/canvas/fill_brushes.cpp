#include "render/canvas/fill_brushes.h"

#include <memory>

#include "render/canvas/gdi_patterns.h"

namespace cindral {

bool FillKindPaints(uint8_t kind) {
    return kind == 0 || (kind >= 2 && kind <= 7);
}

int HatchScale(int pixels_per_inch) {
    // Screens keep the native 8-pixel tile; finer devices get whole multiples of it.
    const int scale = (pixels_per_inch + 48) / 96;
    return scale < 1 ? 1 : scale;
}

Brush FillKindBrush(uint8_t kind, Color color, int pixels_per_inch) {
    if (kind == 0) return {BrushStyle::Solid, color, HatchStyle::Horizontal, nullptr};
    if (!FillKindPaints(kind)) return {BrushStyle::Null, color, HatchStyle::Horizontal, nullptr};
    const auto hatch = static_cast<HatchStyle>(kind - 2);
    const int scale = HatchScale(pixels_per_inch);
    if (scale == 1) return {BrushStyle::Hatched, color, hatch, nullptr};

    auto tile = std::make_shared<Bitmap>();
    tile->width = tile->height = 8 * scale;
    const uint32_t on = 0xFF000000u | (uint32_t(RedOf(color)) << 16) |
                        (uint32_t(GreenOf(color)) << 8) | uint32_t(BlueOf(color));
    const uint32_t off = 0xFFFFFFFFu;
    const auto rows = HatchRows(hatch);
    tile->argb.resize(size_t(tile->width) * tile->height);
    for (int y = 0; y < tile->height; ++y) {
        for (int x = 0; x < tile->width; ++x) {
            const bool set = (rows[y / scale] >> (7 - x / scale)) & 1;
            tile->argb[size_t(y) * tile->width + x] = set ? on : off;
        }
    }
    return {BrushStyle::Pattern, color, hatch, std::move(tile)};
}

}  // namespace cindral
