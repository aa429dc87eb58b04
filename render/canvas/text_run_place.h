#pragma once
// Where a run of text goes against the point its text alignment names: one rule for the
// canvases that draw text and the one that only measures where it lands.

#include <cstdint>

#include "render/canvas/gdi_types.h"

namespace cindral {

struct TextRunPlace {
    int64_t start_x = 0;  // the baseline's start, from the point
    int baseline_y = 0;   // the baseline, from the point (y down)
    int64_t moved_x = 0;  // how far an updating alignment moves the current position
};

inline TextRunPlace PlaceTextRun(unsigned align, int64_t width, int ascent, int descent) {
    TextRunPlace place;
    const unsigned horizontal = align & text_align::kHorizontalMask;
    if (horizontal == text_align::kCenter) {
        place.start_x = -width / 2;
    } else if (horizontal == text_align::kRight) {
        place.start_x = -width;
    }
    place.baseline_y = ascent;
    if ((align & text_align::kVerticalMask) == text_align::kBaseline) {
        place.baseline_y = 0;
    } else if ((align & text_align::kVerticalMask) == text_align::kBottom) {
        place.baseline_y = -descent;
    }
    place.moved_x = horizontal == text_align::kRight    ? -width
                    : horizontal == text_align::kCenter ? 0
                                                        : width;
    return place;
}

}  // namespace cindral
