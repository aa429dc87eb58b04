#pragma once
// Value types of the device layer: colours, points, rectangles, pens, brushes, fonts and
// bitmaps, shaped after the GDI objects the logs were designed for. Values, not handles.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cindral {

// A colour reference 0x00BBGGRR (red in the low byte).
using Color = uint32_t;

constexpr Color RgbColor(int r, int g, int b) {
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Color c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Color c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;
// What GetPixel answers outside the device or the clip.
constexpr Color kInvalidColor = 0xFFFFFFFF;

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(const Point& a, const Point& b) { return !(a == b); }
};

// Left, top, right, bottom; right and bottom are exclusive, as in GDI.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    // 64-bit: a rectangle may span the whole int range.
    int64_t Width() const { return int64_t(right) - left; }
    int64_t Height() const { return int64_t(bottom) - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const Rect& a, const Rect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size& a, const Size& b) { return a.cx == b.cx && a.cy == b.cy; }
};

// Pen styles keep their GDI values; the log's line style bytes 0..5 are the same numbers.
enum class PenStyle : int {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDot = 3,
    DashDotDot = 4,
    Null = 5,
    InsideFrame = 6,
};

enum class PenEndCap : int { Round = 0, Square = 0x100, Flat = 0x200 };

// A pen as CreatePen makes it: width 0 or 1 is the 1-pixel cosmetic pen; a wider pen is
// solid with round caps and joins unless `end_cap` says otherwise, and a dash style on a
// wider pen draws solid.
struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 0;
    Color color = kBlack;
    PenEndCap end_cap = PenEndCap::Round;
};

// How a device that keeps paths strokes a whole line: `width` device pixels wide (1 and
// below: the device's thinnest line), its centre `shift` pixels right of and below the
// points given, and `dashes` the lengths along the line of the marks and gaps (mark first)
// from `dash_offset` into the pattern; without dashes every subpath is drawn whole.
struct PathStroke {
    int width = 1;
    Color color = kBlack;
    PenEndCap cap = PenEndCap::Round;
    double shift = 0.5;
    std::vector<double> dashes;
    double dash_offset = 0;
};

enum class BrushStyle : int { Solid = 0, Null = 1, Hatched = 2, Pattern = 3 };

// Hatch styles, GDI values: 8x8 tiles aligned to the brush origin.
enum class HatchStyle : int {
    Horizontal = 0,
    Vertical = 1,
    FDiagonal = 2,
    BDiagonal = 3,
    Cross = 4,
    DiagCross = 5,
};

// A device-independent bitmap: top-down rows of 0xAARRGGBB pixels (alpha ignored).
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
    // Decoded from JPEG: a device that stores pictures may store this one lossy again.
    bool from_jpeg = false;
    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

struct Brush {
    BrushStyle style = BrushStyle::Solid;
    Color color = kWhite;
    HatchStyle hatch = HatchStyle::Horizontal;
    // The tile of a pattern brush (style Pattern), shared because brushes are copied freely.
    std::shared_ptr<const Bitmap> pattern;
};

// A logical font as LOGFONT describes it. `height` < 0 asks for that character (em) height
// in pixels, > 0 for that cell height (ascent + descent), 0 for a default size.
struct Font {
    std::string face = "Arial";
    int height = 0;
    int width = 0;
    int escapement = 0;   // tenths of a degree, counter-clockwise
    int orientation = 0;  // kept for metafiles; drawing follows the escapement
    int weight = 400;     // 100..900, 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
    uint8_t charset = 1;
    uint8_t pitch_and_family = 0;
};

// Text alignment flags, GDI values.
namespace text_align {
constexpr unsigned kNoUpdateCp = 0;
constexpr unsigned kUpdateCp = 1;
constexpr unsigned kLeft = 0;
constexpr unsigned kRight = 2;
constexpr unsigned kCenter = 6;
constexpr unsigned kTop = 0;
constexpr unsigned kBottom = 8;
constexpr unsigned kBaseline = 24;
constexpr unsigned kHorizontalMask = 6;
constexpr unsigned kVerticalMask = 24;
}  // namespace text_align

// ExtTextOut options, GDI values.
namespace text_out {
constexpr unsigned kOpaque = 0x2;
constexpr unsigned kClipped = 0x4;
}  // namespace text_out

enum class BackgroundMode : int { Transparent = 1, Opaque = 2 };
enum class FillMode : int { Alternate = 1, Winding = 2 };

// What GetTextMetrics answers, in device pixels.
struct TextMetrics {
    int height = 0;  // ascent + descent
    int ascent = 0;
    int descent = 0;
    int internal_leading = 0;
    int external_leading = 0;
    int ave_char_width = 0;
    int max_char_width = 0;
};

struct DeviceCaps {
    int pixels_per_inch_x = 96;
    int pixels_per_inch_y = 96;
    int width_px = 0;
    int height_px = 0;
    bool is_printer = false;
};

}  // namespace cindral
