#pragma once
// TTextFormat: word-wrapped text in a rectangle, laid out the same on every device. The
// font's advance widths are read once at its design size (one unit per em-square unit) and
// scaled to the target, line breaking only sums those widths, and every line is drawn with
// explicit per-character advances, so screen, paper and metafile break and place a block of
// text identically whatever hinting the device applies.

#include <array>
#include <string>
#include <vector>

#include "core/format/gdx_commands.h"
#include "render/canvas/canvas.h"
#include "render/text/line_breaker.h"

namespace cindral {

// Font height, in the canvas's logical units, of `point_size` points at `pixels_per_inch`,
// divided by `divisor` (truncating). Callers negate it into Font::height. A divisor of 0
// or less counts as 1.
int LogicalFontHeight(const Canvas& canvas, int point_size, int pixels_per_inch, int divisor);

// Layout flags, the values of the Windows text-drawing flags the logs store.
namespace text_format {
constexpr int kCenter = 0x0001;
constexpr int kRight = 0x0002;
constexpr int kWordBreak = 0x0010;
constexpr int kNoClip = kLayoutRunsOn;  // lay out and draw below the rectangle's bottom too
constexpr int kCalcRect = 0x0400;
}  // namespace text_format

// One laid-out line of FormatTextInBand.
struct TLineRec {
    std::string Text;
    double Top = 0;
};

class TTextFormat : public LineMeasure {
  public:
    // Measures `font` for `canvas` (whose selected font must be the one to draw with; it is
    // selected again afterwards). Margins are in inches.
    TTextFormat(Canvas& canvas, const Font& font, double point_size, int pixels_per_inch,
                double left_margin, double right_margin, double top_margin, double bottom_margin);

    // Width: the sum of the advances of the characters from code 32 up; height: the line
    // height. Both 0 for an empty text.
    void MeasureText(const std::string& text, double& width, double& height) const;
    void MeasureText(const char* begin, const char* end, double& width,
                     double& height) const override;

    // Lays out and draws `text` in `rect` (device pixels). With kCalcRect nothing is drawn
    // and `rect` comes back with the bottom the text needs.
    void FormatText(const std::string& text, Rect& rect, int flags);
    // As FormatText, but first moves the block so no line is cut by the band's edges
    // [band_top, band_bottom]; lines above the band are left out.
    void FormatTextInBand(const std::string& text, Rect& rect, int flags, int band_top,
                          int band_bottom);
    // Draws one finished line at (x, y) with the advances of the table; a line of any
    // length is drawn whole.
    void OutputLine(int x, int y, const std::string& line);

    double LineHeight() const { return line_height_; }
    double Advance(unsigned char c) const { return advance_[c]; }
    int LineCount() const { return line_count_; }
    bool WordBreak() const override { return word_break_; }
    int LeftMargin() const { return left_margin_; }
    int RightMargin() const { return right_margin_; }
    int TopMargin() const { return top_margin_; }
    int BottomMargin() const { return bottom_margin_; }

    // Lines are drawn with a transparent background unless set to opaque.
    BackgroundMode background_mode = BackgroundMode::Transparent;
    Color background_color = kWhite;

  private:
    struct Placement {
        int x;
        Rect inset;
    };
    void MeasureFont();
    Placement PrepareLayout(const Rect& rect, int flags);
    void ApplyBackground();

    Canvas& canvas_;
    Font font_;
    double point_size_;
    int pixels_per_inch_;
    double line_height_ = 0;
    std::array<double, 256> advance_{};
    int left_margin_, right_margin_, top_margin_, bottom_margin_;
    int line_count_ = 0;
    bool word_break_ = false;
};

// Trims trailing characters of code 32 or less from text[start, end) (0-based, end
// exclusive) and returns the new end, never before `start`.
size_t TrimLineEnd(const std::string& text, size_t start, size_t end);

}  // namespace cindral
