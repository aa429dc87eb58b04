#include "render/renderers/draw_hsv.h"

#include <algorithm>
#include <cstdint>

#include "render/canvas/mul_div.h"

namespace cindral {

Hsv RGBToHSV(Color c) {
    const int r = RedOf(c), g = GreenOf(c), b = BlueOf(c);
    const int v = std::max({r, g, b});
    const int delta = v - std::min({r, g, b});
    const int s = v > 0 ? MulDiv(delta, 255, v) : 0;
    if (s == 0) return {0, 0, v};
    int h;
    if (v == r) {
        h = MulDiv(g - b, 60, delta);
    } else if (v == g) {
        h = MulDiv(b - r, 60, delta) + 120;
    } else {
        h = MulDiv(r - g, 60, delta) + 240;
    }
    if (h < 0) h += 360;
    return {h, s, v};
}

Color HSVToRGB(int hue, int saturation, int value) {
    if (saturation == 0) return RgbColor(value, value, value);
    const int h = hue % 360;
    if (h < 0) return kBlack;
    const int sector = h / 60;
    const int f = h % 60;
    const int64_t vs = int64_t(value) * saturation;
    const int p = static_cast<uint8_t>(value - vs / 255);
    const int q = static_cast<uint8_t>(value - vs * f / 15300);
    const int t = static_cast<uint8_t>(value - vs * (60 - f) / 15300);
    const int v = static_cast<uint8_t>(value);
    switch (sector) {
        case 0:
            return RgbColor(v, t, p);
        case 1:
            return RgbColor(q, v, p);
        case 2:
            return RgbColor(p, v, t);
        case 3:
            return RgbColor(p, q, v);
        case 4:
            return RgbColor(t, p, v);
        default:
            return RgbColor(v, p, q);
    }
}

TDrawHSV::TDrawHSV(Canvas& canvas, Color start, Color end, int width, bool from_left)
    : canvas_(canvas), width_(width), from_left_(from_left) {
    const Hsv a = RGBToHSV(start);
    const Hsv b = RGBToHSV(end);
    start_hue_ = a.hue;
    hue_span_ = b.hue - a.hue;
    start_saturation_ = a.saturation;
    saturation_span_ = b.saturation - a.saturation;
    start_value_ = a.value;
    value_span_ = b.value - a.value;
}

Color TDrawHSV::ColumnColor(const Rect& rect, int col) const {
    const int n = from_left_ ? col - rect.left : rect.right - col;
    // A zero width makes MulDiv answer -1 for every step, as the original arithmetic does.
    const int hue = start_hue_ + MulDiv(hue_span_, n, width_);
    const int saturation = start_saturation_ + MulDiv(saturation_span_, n, width_);
    const int value = start_value_ + MulDiv(value_span_, n, width_);
    return HSVToRGB(hue, saturation, value);
}

void TDrawHSV::FillColumns(const Rect& rect) {
    // Columns outside the clip box draw nothing; skipping them keeps huge boxes cheap.
    const Rect visible = canvas_.ClipBox();
    const int first = std::max(rect.left, visible.left);
    const int last = std::min(rect.right, visible.right - 1);
    Pen pen = canvas_.pen();
    for (int col = first; col <= last; ++col) {
        pen.color = ColumnColor(rect, col);
        canvas_.SelectPen(pen);
        canvas_.MoveTo(col, rect.top);
        canvas_.LineTo(col, rect.bottom);
    }
}

void TDrawHSV::FillPolygon(const std::vector<Point>& points, const Rect& rect) {
    // Leaves no clip selected even when drawing throws.
    struct NoClipAfter {
        Canvas& canvas;
        ~NoClipAfter() { canvas.SelectNoClip(); }
    } guard{canvas_};
    const DeviceCaps caps = canvas_.Caps();
    canvas_.SelectClipRegion(Region::FromPolygon(points, canvas_.poly_fill_mode(),
                                                 {0, 0, caps.width_px, caps.height_px}));
    FillColumns(rect);
}

}  // namespace cindral
