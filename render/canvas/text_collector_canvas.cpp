#include "render/canvas/text_collector_canvas.h"

#include <algorithm>
#include <cmath>

#include "render/canvas/text_run_place.h"
#include "render/canvas/windows1252.h"

namespace cindral {

TextCollectorCanvas::TextCollectorCanvas(QImage* image) : QtCanvas(image) {}

void TextCollectorCanvas::BeginStrokes() {
    if (strokes_depth_++ == 0) stroked_ = false;
}

void TextCollectorCanvas::EndStrokes(const QString& text) {
    if (strokes_depth_ == 0 || --strokes_depth_ > 0) return;
    if (!stroked_ || text.isEmpty()) return;
    if (!MostlyShows(double(stroke_left_), double(stroke_top_), double(stroke_right_) + 1,
                     double(stroke_bottom_) + 1)) {
        return;
    }
    // The strokes' box as a level run, its characters spread evenly over the width.
    Run run;
    run.command = command_;
    run.text = text;
    run.origin_x = double(stroke_left_);
    run.origin_y = double(stroke_bottom_) + 1;
    run.ascent = static_cast<int>(stroke_bottom_ + 1 - stroke_top_);
    const int64_t width = stroke_right_ + 1 - stroke_left_;
    for (int i = 0; i < text.size(); ++i) {
        run.advances.push_back(
            static_cast<int>(width * (i + 1) / text.size() - width * i / text.size()));
    }
    runs_.push_back(std::move(run));
}

void TextCollectorCanvas::Widen(Point p) {
    if (strokes_depth_ == 0) return;
    if (!stroked_) {
        stroke_left_ = stroke_right_ = p.x;
        stroke_top_ = stroke_bottom_ = p.y;
        stroked_ = true;
        return;
    }
    stroke_left_ = std::min<int64_t>(stroke_left_, p.x);
    stroke_right_ = std::max<int64_t>(stroke_right_, p.x);
    stroke_top_ = std::min<int64_t>(stroke_top_, p.y);
    stroke_bottom_ = std::max<int64_t>(stroke_bottom_, p.y);
}

void TextCollectorCanvas::LineTo(int x, int y) {
    Widen(current_position());
    Widen({x, y});
    set_current_position({x, y});
}

void TextCollectorCanvas::Polyline(const std::vector<Point>& points) {
    for (const Point& p : points) Widen(p);
}

bool TextCollectorCanvas::MostlyShows(double left, double top, double right, double bottom) const {
    const Rect box = DrawableBox();
    const double seen_x = std::min(right, double(box.right)) - std::max(left, double(box.left));
    const double seen_y = std::min(bottom, double(box.bottom)) - std::max(top, double(box.top));
    return seen_x > 0 && seen_y * 2 >= bottom - top;
}

const std::vector<int>& TextCollectorCanvas::Widths() {
    const Font& f = font();
    const std::string key = f.face + '\n' + std::to_string(f.height) + ' ' +
                            std::to_string(f.width) + ' ' + std::to_string(f.weight) + ' ' +
                            std::to_string(f.italic) + ' ' + std::to_string(f.charset) + ' ' +
                            std::to_string(f.pitch_and_family);
    auto found = widths_.find(key);
    if (found == widths_.end()) found = widths_.emplace(key, GetCharWidths(0, 255)).first;
    return found->second;
}

void TextCollectorCanvas::ExtTextOut(int x, int y, unsigned options, const Rect* rect,
                                     const std::string& text, const std::vector<int>& dx) {
    if (text.empty()) return;
    const std::vector<int>& widths = Widths();
    const TextMetrics metrics = GetTextMetrics();
    Run run;
    run.command = command_;
    run.text = DecodeWindows1252(text);
    int64_t width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char code = static_cast<unsigned char>(text[i]);
        const int advance = i < dx.size() ? dx[i] : (code < widths.size() ? widths[code] : 0);
        run.advances.push_back(advance);
        width += advance;
    }
    const unsigned align = text_align();
    if (align & text_align::kUpdateCp) {
        x = current_position().x;
        y = current_position().y;
    }
    const TextRunPlace place = PlaceTextRun(align, width, metrics.ascent, metrics.descent);
    if (align & text_align::kUpdateCp) {
        set_current_position(
            {static_cast<int>(std::clamp<int64_t>(x + place.moved_x, INT32_MIN, INT32_MAX)), y});
    }
    // The run's start turns with the text about the reference point, as the painter turns it.
    run.angle = font().escapement / 10.0;
    const double turn = run.angle * M_PI / 180;
    const double along = double(place.start_x), down = double(place.baseline_y);
    run.origin_x = x + along * std::cos(turn) + down * std::sin(turn);
    run.origin_y = y - along * std::sin(turn) + down * std::cos(turn);
    run.ascent = metrics.ascent;
    run.descent = metrics.descent;

    // A run belongs to the page that shows most of it: one cut by a page break is on the
    // page that holds the larger part, not on both.
    const double ux = std::cos(turn), uy = -std::sin(turn);
    const double vx = std::sin(turn), vy = std::cos(turn);
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    for (double a : {0.0, double(width)}) {
        for (double b : {-double(metrics.ascent), double(metrics.descent)}) {
            const double px = run.origin_x + a * ux + b * vx;
            const double py = run.origin_y + a * uy + b * vy;
            left = std::min(left, px);
            right = std::max(right, px);
            top = std::min(top, py);
            bottom = std::max(bottom, py);
        }
    }
    if (!MostlyShows(left, top, right, bottom)) return;
    if (rect != nullptr && (options & text_out::kClipped) != 0) {
        const Rect r = *rect;
        if (std::min(bottom, double(r.bottom)) - std::max(top, double(r.top)) <
            (bottom - top) / 2) {
            return;
        }
    }
    runs_.push_back(std::move(run));
}

}  // namespace cindral
