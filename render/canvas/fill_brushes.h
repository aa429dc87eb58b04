#pragma once
// Brushes for the fill-kind byte of boxes and paired polygons: 0 solid, 1 none, 2..7 the
// GDI hatches. Hatches are drawn at a physical size: on a fine device each 8-pixel tile is
// enlarged so it keeps about a twelfth of an inch, instead of fading into a grey haze.

#include <cstdint>

#include "render/canvas/gdi_types.h"

namespace cindral {

// Whether a fill kind paints anything (1 and kinds above 7 do not).
bool FillKindPaints(uint8_t kind);

// The brush of a fill kind in `color`; hatches lie on opaque white. Kinds that paint
// nothing give a null brush.
Brush FillKindBrush(uint8_t kind, Color color, int pixels_per_inch);

// How many device pixels one pixel of a hatch tile becomes at a resolution.
int HatchScale(int pixels_per_inch);

}  // namespace cindral
