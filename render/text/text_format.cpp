#include "render/text/text_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/pages/page_layout.h"
#include "render/text/line_breaker.h"

namespace cindral {
namespace {

constexpr unsigned char kCarriageReturn = 13;
// Em square assumed for a font that is not an outline font.
constexpr int kDefaultEmSquare = 2048;

// Margins are held to the longest page side that is drawn, so the sums of a margin and a
// box edge stay in int; NaN is no margin.
int InchesToPixels(int pixels_per_inch, double inches) {
    constexpr double kMostMargin = kMostPageSidePx;
    const double pixels = std::trunc(pixels_per_inch * inches + 0.5);
    if (!(pixels == pixels)) return 0;
    return static_cast<int>(std::clamp(pixels, -kMostMargin, kMostMargin));
}

// The line is a bare line break: a carriage return and at most one character after it.
bool IsBareBreak(const std::string& text, int start, int end) {
    return static_cast<unsigned char>(text[static_cast<size_t>(start) - 1]) == kCarriageReturn &&
           end - start <= 2;
}

}  // namespace

int LogicalFontHeight(const Canvas&, int point_size, int pixels_per_inch, int divisor) {
    // The canvas maps device pixels one to one (MM_TEXT), so the two converted points lie
    // point size x resolution apart.
    const int64_t span = std::llabs(int64_t(point_size) * pixels_per_inch);
    const int64_t height = span / 72 / (divisor > 0 ? divisor : 1);
    return static_cast<int>(height > INT32_MAX ? INT32_MAX : height);
}

size_t TrimLineEnd(const std::string& text, size_t start, size_t end) {
    while (end > start && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return end;
}

TTextFormat::TTextFormat(Canvas& canvas, const Font& font, double point_size, int pixels_per_inch,
                         double left_margin, double right_margin, double top_margin,
                         double bottom_margin)
    : canvas_(canvas),
      font_(font),
      point_size_(point_size),
      pixels_per_inch_(pixels_per_inch),
      left_margin_(InchesToPixels(pixels_per_inch, left_margin)),
      right_margin_(InchesToPixels(pixels_per_inch, right_margin)),
      top_margin_(InchesToPixels(pixels_per_inch, top_margin)),
      bottom_margin_(InchesToPixels(pixels_per_inch, bottom_margin)) {
    MeasureFont();
}

void TTextFormat::MeasureFont() {
    const double pixel_size = point_size_ * pixels_per_inch_ / 72.0;
    const int em = canvas_.OutlineEmSquare().value_or(kDefaultEmSquare);

    // Measured at one pixel per design unit, so the widths carry no device rounding.
    const Font selected = canvas_.font();
    Font design = font_;
    design.height = -em;
    design.width = 0;
    design.escapement = 0;
    design.orientation = 0;
    canvas_.SelectFont(design);
    const std::vector<int> widths = canvas_.GetCharWidths(0, 255);
    const int cell = canvas_.GetTextMetrics().height;
    canvas_.SelectFont(selected);

    const double scale = em > 0 ? pixel_size / em : 0;
    line_height_ = cell * scale;
    for (size_t c = 0; c < advance_.size(); ++c) {
        advance_[c] = c < widths.size() ? widths[c] * scale : 0;
    }
}

void TTextFormat::MeasureText(const char* begin, const char* end, double& width,
                              double& height) const {
    width = 0;
    height = 0;
    if (begin >= end) return;
    for (const char* p = begin; p < end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 32) width += advance_[c];
    }
    height = line_height_;
}

void TTextFormat::MeasureText(const std::string& text, double& width, double& height) const {
    MeasureText(text.data(), text.data() + text.size(), width, height);
}

void TTextFormat::OutputLine(int x, int y, const std::string& line) {
    // Each advance is the rounded running sum minus the previous rounded sum, so rounding
    // never accumulates along the line.
    std::vector<int> dx(line.size());
    double sum = 0;
    int64_t placed = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        sum += advance_[static_cast<unsigned char>(line[i])];
        const int64_t rounded = static_cast<int64_t>(std::trunc(sum + 0.5));
        dx[i] = static_cast<int>(rounded - placed);
        placed = rounded;
    }
    canvas_.ExtTextOut(x, y, 0, nullptr, line, dx);
}

void TTextFormat::ApplyBackground() {
    canvas_.SetBackgroundMode(background_mode);
    if (background_mode == BackgroundMode::Opaque) canvas_.SetBackgroundColor(background_color);
}

TTextFormat::Placement TTextFormat::PrepareLayout(const Rect& rect, int flags) {
    Placement p;
    p.inset = {rect.left + left_margin_, rect.top + top_margin_, rect.right - right_margin_,
               rect.bottom - bottom_margin_};
    word_break_ = (flags & text_format::kWordBreak) != 0;
    if (flags & text_format::kCenter) {
        canvas_.SetTextAlign(text_align::kCenter | text_align::kTop);
        p.x = static_cast<int>((int64_t(p.inset.left) + p.inset.right) / 2);
    } else if (flags & text_format::kRight) {
        canvas_.SetTextAlign(text_align::kRight | text_align::kTop);
        p.x = p.inset.right;
    } else {
        canvas_.SetTextAlign(text_align::kLeft | text_align::kTop);
        p.x = p.inset.left;
    }
    return p;
}

void TTextFormat::FormatText(const std::string& text, Rect& rect, int flags) {
    if (text.empty()) return;
    TLineBreaker breaker(text);
    const Placement p = PrepareLayout(rect, flags);
    const bool calc_only = (flags & text_format::kCalcRect) != 0;
    const bool no_bottom = (flags & text_format::kNoClip) != 0;
    const int width = static_cast<int>(int64_t(p.inset.right) - p.inset.left);

    double y = p.inset.top;
    line_count_ = 0;
    int start = 0;
    int end = 0;
    while (breaker.NextLine(*this, end, start, width)) {
        if (!calc_only && !no_bottom && p.inset.bottom - line_height_ < y) break;
        if (!IsBareBreak(text, start, end)) {
            const size_t from = static_cast<size_t>(start) - 1;
            const size_t to = TrimLineEnd(text, from, std::min(text.size(), size_t(end) - 1));
            ApplyBackground();
            if (!calc_only && to > from) {
                OutputLine(p.x, static_cast<int>(std::trunc(y + 0.5)),
                           text.substr(from, to - from));
            }
        }
        ++line_count_;
        y += breaker.Height();
    }
    if (calc_only) {
        rect.bottom = static_cast<int>(std::ceil(y)) + bottom_margin_;
    }
}

void TTextFormat::FormatTextInBand(const std::string& text, Rect& rect, int flags, int band_top,
                                   int band_bottom) {
    if (text.empty()) return;
    TLineBreaker breaker(text);
    const Placement p = PrepareLayout(rect, flags);
    const bool no_bottom = (flags & text_format::kNoClip) != 0;
    const int width = static_cast<int>(int64_t(p.inset.right) - p.inset.left);

    std::vector<TLineRec> lines;
    double y = p.inset.top;
    line_count_ = 0;
    int start = 0;
    int end = 0;
    while (breaker.NextLine(*this, end, start, width)) {
        if (!no_bottom && p.inset.bottom - line_height_ < y) break;
        TLineRec line;
        line.Top = y;
        const size_t from = static_cast<size_t>(start) - 1;
        if (static_cast<unsigned char>(text[from]) != kCarriageReturn) {
            const size_t to = TrimLineEnd(text, from, std::min(text.size(), size_t(end) - 1));
            line.Text = text.substr(from, to - from);
        }
        lines.push_back(std::move(line));
        ++line_count_;
        y += breaker.Height();
    }

    // One shift, decided by the first line that straddles an edge of the band.
    const double h = line_height_;
    double shift = 0;
    for (const TLineRec& line : lines) {
        if (line.Text.empty()) continue;
        if (band_top > line.Top + h / 2 || band_bottom < line.Top - h / 2) continue;
        if (line.Top < band_top) {
            shift = band_top - line.Top;
            break;
        }
        if (line.Top + h > band_bottom) {
            const double over = line.Top + h - band_bottom;
            shift = over <= h / 2 ? -over : h - over;
            break;
        }
    }

    ApplyBackground();
    for (const TLineRec& line : lines) {
        const double top = line.Top + shift;
        if (top < band_top || line.Text.empty()) continue;
        OutputLine(p.x, static_cast<int>(std::trunc(top + 0.5)), line.Text);
    }
}

}  // namespace cindral
