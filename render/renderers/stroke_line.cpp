#include "render/renderers/stroke_line.h"

#include <algorithm>
#include <cstdint>

#include "render/canvas/line_walk.h"
#include "render/canvas/mul_div.h"

namespace cindral {

namespace {

PenStyle PenStyleOf(uint8_t style) {
    return style <= static_cast<uint8_t>(PenStyle::InsideFrame) ? static_cast<PenStyle>(style)
                                                                : PenStyle::Null;
}

int Mod(int64_t a, int64_t m) {
    const int64_t r = a % m;
    return static_cast<int>(r < 0 ? r + m : r);
}

// The stroke state of the per-pixel walk.
struct Stroke {
    int64_t count;
    int half;
    int odd;
    int period;
    int mark1 = 0, mark2 = -1, mark3 = -1;
    uint8_t style;

    bool On(int64_t n) const {
        const int r = Mod(n, period);
        switch (style) {
            case kLineDash:
                return r <= mark1;
            case kLineDot:
                return mark1 > 0 && Mod(n, mark1) == 0;
            case kLineDashDot:
                return r <= mark1 || r == mark2;
            case kLineDashDotDot:
                return r <= mark1 || r == mark2 || r == mark3;
            default:
                return false;
        }
    }
};

// The dash pattern of a patterned style (1..4) at `width`, started at `phase`.
Stroke PatternOf(int width, uint8_t style, int phase) {
    Stroke s{phase, width / 2, width % 2, 12, 0, -1, -1, style};
    s.period = s.half > 0 ? 12 * width : 12;
    switch (style) {
        case kLineDash:
            s.mark1 = MulDiv(6, s.period, 12);
            break;
        case kLineDot:
            s.mark1 = MulDiv(2, s.period, 12);
            break;
        case kLineDashDot:
            s.mark1 = MulDiv(8, s.period, 12);
            s.mark2 = MulDiv(10, s.period, 12);
            break;
        default:
            s.mark1 = MulDiv(6, s.period, 12);
            s.mark2 = MulDiv(8, s.period, 12);
            s.mark3 = MulDiv(10, s.period, 12);
            break;
    }
    return s;
}

}  // namespace

void StrokeLine(int x1, int y1, int x2, int y2, int width, Color color, uint8_t style,
                Canvas& canvas, int& phase) {
    if (x1 == x2) {
        // Cut vertical segments to the visible rows first: long logs are full of them.
        y1 = std::max(y1, 0);
        y2 = std::min(y2, canvas.DrawableBox().bottom);
    }
    canvas.SelectBrush({BrushStyle::Solid, color, HatchStyle::Horizontal, nullptr});

    Pen pen = canvas.pen();
    if (style == kLineSolid) {
        pen.color = color;
        pen.width = width;
        pen.style = PenStyle::Solid;
        canvas.SelectPen(pen);
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
        return;
    }

    pen.style = PenStyle::Null;
    canvas.SelectPen(pen);
    if (style > kLineDashDotDot) {
        pen.style = PenStyleOf(style);
        canvas.SelectPen(pen);
        return;
    }

    Stroke s = PatternOf(width, style, phase);

    const LineWalk walk({x1, y1}, {x2, y2}, LineWalk::Rule::LineDda);
    // Only pixels whose stamp can reach the clip box are visited; the counter still runs
    // over the whole segment, so the pattern is the same as for a full walk.
    const int reach = std::max(s.half, 0) + s.odd + 1;
    Rect box = canvas.DrawableBox();
    box = {box.left - reach, box.top - reach, box.right + reach, box.bottom + reach};
    const auto [first, last] = walk.RangeInside(box);
    for (int64_t i = first; i < last; ++i) {
        if (!s.On(s.count + i)) continue;
        const Point p = walk.At(i);
        if (s.half <= 0) {
            canvas.SetPixel(p.x, p.y, color);
        } else if (s.half == 1 && s.odd == 0) {
            canvas.FillRect({p.x, p.y, p.x + 2, p.y + 2});
        } else {
            canvas.Ellipse(
                {p.x - s.half - s.odd, p.y - s.half - s.odd, p.x + s.half + 1, p.y + s.half + 1});
        }
    }
    s.count += walk.length();
    // The counter only matters modulo the period; keep it in range on absurdly long lines.
    if (s.count > INT32_MAX || s.count < INT32_MIN) s.count = Mod(s.count, s.period);
    phase = static_cast<int>(s.count);
    pen.style = PenStyleOf(style);
    canvas.SelectPen(pen);
}

void StrokeLineDashes(int x1, int y1, int x2, int y2, int width, Color color, uint8_t style,
                      Canvas& canvas, int& phase) {
    if (style == kLineSolid || style > kLineDashDotDot) {
        StrokeLine(x1, y1, x2, y2, width, color, style, canvas, phase);
        return;
    }
    canvas.SelectBrush({BrushStyle::Solid, color, HatchStyle::Horizontal, nullptr});
    Pen pen = canvas.pen();
    pen.color = color;
    pen.width = width;
    pen.style = PenStyle::Solid;
    canvas.SelectPen(pen);
    Stroke s = PatternOf(width, style, phase);
    const LineWalk walk({x1, y1}, {x2, y2}, LineWalk::Rule::LineDda);
    const Point end{x2, y2};
    auto piece = [&](int64_t first, int64_t last) {
        const Point a = walk.At(first);
        if (s.half <= 0) {
            // A thin line leaves out its end pixel, so it ends one step past the dash.
            canvas.MoveTo(a.x, a.y);
            const Point b = last + 1 < walk.length() ? walk.At(last + 1) : end;
            canvas.LineTo(b.x, b.y);
        } else if (first == last) {
            canvas.Ellipse(
                {a.x - s.half - s.odd, a.y - s.half - s.odd, a.x + s.half + 1, a.y + s.half + 1});
        } else {
            const Point b = walk.At(last);
            canvas.MoveTo(a.x, a.y);
            canvas.LineTo(b.x, b.y);
        }
    };
    int64_t run = -1;
    for (int64_t i = 0; i < walk.length(); ++i) {
        const bool on = s.On(s.count + i);
        if (on && run < 0) run = i;
        if (!on && run >= 0) {
            piece(run, i - 1);
            run = -1;
        }
    }
    if (run >= 0) piece(run, walk.length() - 1);
    s.count += walk.length();
    if (s.count > INT32_MAX || s.count < INT32_MIN) s.count = Mod(s.count, s.period);
    phase = static_cast<int>(s.count);
    pen.style = PenStyleOf(style);
    canvas.SelectPen(pen);
}

}  // namespace cindral
