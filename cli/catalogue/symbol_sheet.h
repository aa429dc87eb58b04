#pragma once
// A catalogue sheet of a symbol library: every symbol in a grid cell with its number
// beneath, all drawn at one common scale so their sizes compare.

#include <string>

#include "render/canvas/canvas.h"

namespace cindral {

class symbol_object;

struct SymbolSheetLayout {
    int columns = 16;
    int cell = 100;  // pixels, square
    int title = 40;  // rows above the grid for the title
    int count = 0;   // symbols 0 .. count - 1
    int Width() const { return columns * cell; }
    int Height() const { return title + ((count + columns - 1) / columns) * cell; }
};

// Symbols a library file holds (one 202-byte record each), at most the 326 a log can use.
int SymbolCountOfFile(const std::string& file_name);

// Draws the sheet on `canvas` (which must be at least layout.Width() x layout.Height()).
void DrawSymbolSheet(Canvas& canvas, symbol_object& symbols, const SymbolSheetLayout& layout,
                     const std::string& title);

}  // namespace cindral
