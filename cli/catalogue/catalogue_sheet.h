#pragma once
// What the pattern and symbol catalogue sheets share: the title line and the label font.

#include <string>

#include "render/canvas/canvas.h"

namespace cindral {

// Writes `title` in bold at the top left of the sheet and leaves the smaller label font
// selected, black on a transparent background, aligned top-left.
inline void BeginCatalogueSheet(Canvas& canvas, const std::string& title) {
    Font label;
    label.face = "Arial";
    label.height = -12;
    Font heading = label;
    heading.height = -18;
    heading.weight = 700;
    canvas.SetBackgroundMode(BackgroundMode::Transparent);
    canvas.SetTextColor(kBlack);
    canvas.SelectFont(heading);
    canvas.SetTextAlign(0);
    canvas.TextOut(8, 10, title);
    canvas.SelectFont(label);
}

}  // namespace cindral
