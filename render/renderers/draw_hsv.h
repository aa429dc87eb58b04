#pragma once
// TDrawHSV: fills a rectangle or a polygon with a horizontal gradient that runs in hue,
// saturation and value from a start colour to an end colour, one vertical line per column.

#include <vector>

#include "render/canvas/canvas.h"

namespace cindral {

struct Hsv {
    int hue = 0;         // 0..359
    int saturation = 0;  // 0..255
    int value = 0;       // 0..255
    friend bool operator==(const Hsv& a, const Hsv& b) {
        return a.hue == b.hue && a.saturation == b.saturation && a.value == b.value;
    }
};

Hsv RGBToHSV(Color c);
Color HSVToRGB(int hue, int saturation, int value);

class TDrawHSV {
  public:
    // The gradient runs over `width` pixels from `start` at the left edge (or at the right
    // edge when `from_left` is false) to `end`.
    TDrawHSV(Canvas& canvas, Color start, Color end, int width, bool from_left);

    // The colour of column `col` of a fill over `rect`.
    Color ColumnColor(const Rect& rect, int col) const;
    // Columns rect.left..rect.right inclusive, each a line from rect.top to rect.bottom.
    void FillColumns(const Rect& rect);
    // The gradient inside the polygon of `points`, over the columns and rows of `rect`.
    // The polygon replaces any clip region while it is drawn; no clip is left selected.
    void FillPolygon(const std::vector<Point>& points, const Rect& rect);

  private:
    Canvas& canvas_;
    int start_hue_, hue_span_;
    int start_saturation_, saturation_span_;
    int start_value_, value_span_;
    int width_;
    bool from_left_;
};

}  // namespace cindral
