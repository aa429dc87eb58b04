#pragma once
// Where fitted text goes, for both renderers: a label anchored at a depth, turned a quarter
// or level, that with keep-inside stays between the data window's top and the limit below
// (the footer's top). Arithmetic on device units, and the measuring both renderers do first.

#include <string>

#include "render/canvas/canvas.h"

namespace cindral {

struct FittedTextInput {
    int x = 0, y = 0;           // the anchor
    int width = 0, height = 0;  // the text's extent in the canvas font
    int o_height = 0;           // the height of "O", for the quarter-turn offset
    int rotation = 0;           // 0 level, 1 downwards, anything else upwards
    int align = 0;              // the command's text alignment flags
    bool keep_inside = false;
    int data_top = 0;  // first row of the data window
    int limit = 0;     // the row the text must not pass below
    int page_height = 0;
    int band_gap = 0;
};

struct FittedTextPlace {
    int x = 0, y = 0;
    int escapement = 0;  // tenths of a degree for the font: 0, -900 or 900
};

// Integer divisions truncate toward zero throughout. A level text keeps its bottom above the
// limit (the metafile renderer used to compare its top and let it hang past the footer).
inline FittedTextPlace PlaceFittedText(const FittedTextInput& in) {
    FittedTextPlace out{in.x, in.y, 0};
    const int W = in.width, H = in.height, gap = in.band_gap;
    const bool low_anchor = (in.align & 24) != 0;
    if (in.rotation != 0) {
        if (in.keep_inside) {
            if (out.y - W / 2 < in.data_top) {
                out.y = in.data_top <= 0 ? W / 2 : (W - gap) / 2 + in.data_top;
            } else if (in.limit < out.y + W / 2) {
                out.y = in.limit < in.page_height ? in.limit - (W - gap) / 2 : in.limit - W / 2;
            }
        }
        const int quarter = in.o_height / 4;
        if (in.rotation == 1) {
            out.escapement = -900;
            out.x += low_anchor ? quarter : -quarter;
        } else {
            out.escapement = 900;
            out.x += low_anchor ? -quarter : quarter;
        }
        return out;
    }
    out.y -= H / 2;
    if (in.keep_inside) {
        if (out.y < in.data_top) {
            out.y = in.data_top - gap / 2 > 0 ? in.data_top - gap / 2 : 0;
        } else if (in.limit < out.y + H) {
            out.y = in.limit < in.page_height ? in.limit - H + gap / 2 : in.limit - H;
        }
    }
    out.x += (in.align & 2) ? -(W / 4) : W / 4;
    return out;
}

// Where the page lets fitted text go, in the renderer's device units.
struct FittedTextBounds {
    int data_top = 0;
    int limit = 0;
    int page_height = 0;
    int band_gap = 0;
};

// Measures `text` (and "O" when it is turned) in the canvas font and places it.
inline FittedTextPlace PlaceFittedText(const Canvas& c, const std::string& text, int x, int y,
                                       int rotation, int align, bool keep_inside,
                                       const FittedTextBounds& bounds) {
    const Size extent = c.GetTextExtent(text);
    FittedTextInput in;
    in.x = x;
    in.y = y;
    in.width = extent.cx;
    in.height = extent.cy;
    in.o_height = rotation != 0 ? c.GetTextExtent("O").cy : 0;
    in.rotation = rotation;
    in.align = align;
    in.keep_inside = keep_inside;
    in.data_top = bounds.data_top;
    in.limit = bounds.limit;
    in.page_height = bounds.page_height;
    in.band_gap = bounds.band_gap;
    return PlaceFittedText(in);
}

}  // namespace cindral
