#include "render/renderers/stroke_line.h"

#include <algorithm>
#include <cmath>
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

// What StrokeLine cuts a vertical segment to: the rows that can be visible.
void CutVertical(int x1, int& y1, int x2, int& y2, const Canvas& canvas) {
    if (x1 != x2) return;
    y1 = std::max(y1, 0);
    y2 = std::min(y2, canvas.DrawableBox().bottom);
}

// The pen that covers a stamp of a patterned style, centred where the raster puts it: a
// pixel, a 2x2 square or a disc. A run of stamps is then a stroke from the first stamp's
// centre to the last one's, whose cap covers the half stamp at either end.
PathStroke StampStroke(int width, Color color, uint8_t style) {
    const Stroke s = PatternOf(width, style, 0);
    PathStroke out;
    out.color = color;
    if (s.half <= 0) {
        out.width = 1;
        out.cap = PenEndCap::Square;
        out.shift = 0.5;
    } else if (s.half == 1 && s.odd == 0) {
        out.width = 2;
        out.cap = PenEndCap::Square;
        out.shift = 1.0;
    } else {
        out.width = width;
        out.cap = PenEndCap::Round;
        out.shift = s.odd ? -0.5 : 0.0;
    }
    return out;
}

// The pattern as dash lengths along a line whose walked pixels are `pixel` long: over one
// period, each run of stamps becomes a mark from its first centre to its last, and a gap
// takes the rest.
std::vector<double> PatternDashes(const Stroke& s, double pixel) {
    std::vector<double> dashes;
    int count = 0;
    bool on = true;
    for (int r = 0; r < s.period; ++r) {
        if (s.On(r) == on) {
            ++count;
            continue;
        }
        dashes.push_back((on ? count - 1 : count + 1) * pixel);
        on = !on;
        count = 1;
    }
    dashes.push_back((on ? count - 1 : count + 1) * pixel);
    if (on) dashes.push_back(pixel);
    return dashes;
}

// The marks of a patterned run whose pixels are not all the same length along the line.
std::vector<std::vector<PointF>> Marks(const std::vector<std::pair<Point, Point>>& run, int phase,
                                       const Stroke& s, const Canvas& canvas) {
    // The stamps the raster walk would put down, joined into marks: each runs from its first
    // stamp through the vertices it passes to its last. Only the part that can reach the
    // drawable box is walked, as StrokeLine does.
    const int reach = std::max(s.half, 0) + s.odd + 1;
    Rect box = canvas.DrawableBox();
    box = {box.left - reach, box.top - reach, box.right + reach, box.bottom + reach};
    std::vector<std::vector<PointF>> marks;
    std::vector<PointF>* open = nullptr;
    Point last_on;
    const auto close = [&] {
        if (open == nullptr) return;
        const PointF end{double(last_on.x), double(last_on.y)};
        // A single stamp is a mark of (almost) no length, which its cap draws.
        if (open->size() == 1 && open->front().x == end.x && open->front().y == end.y) {
            open->push_back({end.x + 0.01, end.y});
        } else if (open->back().x != end.x || open->back().y != end.y) {
            open->push_back(end);
        }
        open = nullptr;
    };
    int64_t count = phase;
    for (const auto& [a, b] : run) {
        const LineWalk walk(a, b, LineWalk::Rule::LineDda);
        const auto [first, last] = walk.RangeInside(box);
        if (first > 0) close();
        for (int64_t i = first; i < last; ++i) {
            if (!s.On(count + i)) {
                close();
                continue;
            }
            const Point p = walk.At(i);
            if (open == nullptr) {
                marks.emplace_back();
                open = &marks.back();
                open->push_back({double(p.x), double(p.y)});
            } else if (i == 0) {
                open->push_back({double(p.x), double(p.y)});
            }
            last_on = p;
        }
        if (last < walk.length()) close();
        count += walk.length();
    }
    close();
    return marks;
}

}  // namespace

void StrokeLine(int x1, int y1, int x2, int y2, int width, Color color, uint8_t style,
                Canvas& canvas, int& phase) {
    // Cut vertical segments to the visible rows first: long logs are full of them.
    CutVertical(x1, y1, x2, y2, canvas);
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

LineStroker::LineStroker(Canvas& canvas, int width, Color color, uint8_t style, int phase)
    : canvas_(canvas),
      width_(width),
      color_(color),
      style_(style),
      paths_(canvas.KeepsPaths() && style <= kLineDashDotDot),
      phase_(phase) {}

void LineStroker::Segment(int x1, int y1, int x2, int y2) {
    any_ = true;
    if (!paths_) {
        StrokeLine(x1, y1, x2, y2, width_, color_, style_, canvas_, phase_);
        return;
    }
    CutVertical(x1, y1, x2, y2, canvas_);
    if (!run_.empty() && run_.back().second != Point{x1, y1}) Flush();
    run_.push_back({{x1, y1}, {x2, y2}});
}

void LineStroker::Flush() {
    if (run_.empty()) return;
    int64_t pixels = 0;
    double length = 0;
    // Whether every segment has the same length per walked pixel (straight runs, axis-parallel
    // ones): then the pattern is a dash array along the line.
    bool even = true;
    double pixel = 0;
    for (const auto& [a, b] : run_) {
        const int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
        const int64_t n = std::max(std::abs(dx), std::abs(dy));
        if (n == 0) continue;
        const double l = std::hypot(double(dx), double(dy));
        if (pixels > 0 && std::abs(l / double(n) - pixel) > 1e-12) even = false;
        pixel = l / double(n);
        pixels += n;
        length += l;
    }
    std::vector<std::vector<PointF>> subpaths;
    PathStroke stroke;
    const auto whole = [&] {
        std::vector<PointF> line{{double(run_.front().first.x), double(run_.front().first.y)}};
        for (const auto& segment : run_) {
            line.push_back({double(segment.second.x), double(segment.second.y)});
        }
        return line;
    };
    if (style_ == kLineSolid) {
        stroke.width = width_;
        stroke.cap = canvas_.pen().end_cap;
        // As the canvas centres a wide line: odd widths on the pixel, even ones between.
        stroke.shift = width_ <= 1 || width_ % 2 == 1 ? 0.5 : 0.0;
        // A wide solid line of no length is still its round dot.
        if (pixels > 0 || width_ > 1) subpaths.push_back(whole());
    } else {
        const Stroke s = PatternOf(width_, style_, 0);
        stroke = StampStroke(width_, color_, style_);
        if (pixels > 0 && even) {
            stroke.dashes = PatternDashes(s, pixel);
            stroke.dash_offset = Mod(phase_, s.period) * pixel;
            subpaths.push_back(whole());
        } else if (pixels > 0) {
            subpaths = Marks(run_, phase_, s, canvas_);
        }
        int64_t count = int64_t(phase_) + pixels;
        if (count > INT32_MAX || count < INT32_MIN) count = Mod(count, s.period);
        phase_ = static_cast<int>(count);
    }
    stroke.color = color_;
    if (!subpaths.empty()) canvas_.StrokePath(subpaths, stroke);
    end_ = run_.back().second;
    run_.clear();
}

void LineStroker::Finish() {
    if (!any_ || !paths_) return;
    Flush();
    // The state the last StrokeLine would leave: a solid brush in the colour; a solid line's
    // pen in its colour and width at its end point, a patterned line's pen in its style.
    canvas_.SelectBrush({BrushStyle::Solid, color_, HatchStyle::Horizontal, nullptr});
    Pen pen = canvas_.pen();
    if (style_ == kLineSolid) {
        pen.color = color_;
        pen.width = width_;
        pen.style = PenStyle::Solid;
        canvas_.SelectPen(pen);
        canvas_.MoveTo(end_.x, end_.y);
    } else {
        pen.style = PenStyleOf(style_);
        canvas_.SelectPen(pen);
    }
}

}  // namespace cindral
