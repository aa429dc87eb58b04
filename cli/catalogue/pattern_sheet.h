#pragma once
// A catalogue sheet of a pattern library: every pattern tiled in a box, with its number and
// its name where the library's text source is known, so a user can see what each number
// looks like in a log.

#include <map>
#include <string>

#include "render/canvas/canvas.h"

namespace cindral {

class pattern_object;

struct PatternSheetLayout {
    int columns = 8;
    int cell_width = 150;   // pixels
    int cell_height = 130;  // pixels: the filled box and two label lines
    int title = 40;         // rows above the grid for the title
    int count = 0;          // patterns 0 .. count - 1
    int pixels_per_inch = 96;
    int Width() const { return columns * cell_width; }
    int Height() const { return title + ((count + columns - 1) / columns) * cell_height; }
    // The filled box of pattern `n`, inside its cell.
    Rect Box(int n) const;
};

// Patterns a library file holds (one 206-byte record each), at most the 251 a log can use.
int PatternCountOfFile(const std::string& file_name);

// Names of the patterns of `library_file` from its text source `<library_file>.txt`, when
// that file is there; otherwise no names.
std::map<int, std::string> PatternNamesBeside(const std::string& library_file);

// Draws the sheet on `canvas` (at least layout.Width() x layout.Height()). Each box is
// tiled with the renderer's own tiling from its bottom-left corner at scale 1.
void DrawPatternSheet(Canvas& canvas, pattern_object& patterns, const PatternSheetLayout& layout,
                      const std::map<int, std::string>& names, const std::string& title);

}  // namespace cindral
