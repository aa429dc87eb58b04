#pragma once
// Fonts the text primitives derive from the canvas font.

#include "render/canvas/gdi_types.h"

namespace cindral {

// A copy of `font` turned by `angle` degrees (counter-clockwise): escapement (angle mod 360) x 10,
// orientation 0, width 0, weight 700 or 400, style, face and pitch kept.
inline Font MakeRotatedFont(const Font& font, int angle) {
    Font turned = font;
    turned.width = 0;
    turned.escapement = (angle % 360) * 10;  // a turn is a turn; the file's angle may be any int
    turned.orientation = 0;
    turned.weight = font.weight >= 700 ? 700 : 400;
    turned.charset = 1;
    turned.pitch_and_family = font.pitch_and_family & 0x3;
    return turned;
}

}  // namespace cindral
