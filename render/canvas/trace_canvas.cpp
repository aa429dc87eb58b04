#include "render/canvas/trace_canvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace cindral {

namespace {

std::string Hex(uint32_t v, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, v >>= 4) s[static_cast<size_t>(i)] = kDigits[v & 0xF];
    return "0x" + s;
}

std::string PenStyleName(PenStyle s) {
    switch (s) {
        case PenStyle::Solid:
            return "solid";
        case PenStyle::Dash:
            return "dash";
        case PenStyle::Dot:
            return "dot";
        case PenStyle::DashDot:
            return "dashdot";
        case PenStyle::DashDotDot:
            return "dashdotdot";
        case PenStyle::Null:
            return "null";
        case PenStyle::InsideFrame:
            return "insideframe";
    }
    return "style" + std::to_string(static_cast<int>(s));
}

std::string Points(const std::vector<Point>& points) {
    std::string s = std::to_string(points.size());
    for (const Point& p : points) s += " " + TracePoint(p);
    return s;
}

// Text in quotes; bytes outside printable ASCII, quotes and backslashes as \xHH.
std::string Quoted(const std::string& text) {
    std::string s = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            s += static_cast<char>(c);
        } else {
            s += "\\x" + Hex(c, 2).substr(2);
        }
    }
    return s + "\"";
}

std::string RegionText(const Region& region) {
    const std::vector<Rect> rects = region.Rects();
    std::string s = std::to_string(rects.size());
    for (const Rect& r : rects) s += " " + TraceRect(r);
    return s;
}

struct FixedFont {
    int em;
    int cell;
};

FixedFont FontSize(const Font& f) {
    if (f.height < 0) {
        const int64_t em = std::min<int64_t>(-int64_t(f.height), 1 << 20);
        return {int(em), int((em * 8 + 6) / 7)};
    }
    const int cell = f.height == 0 ? 16 : std::min(f.height, 1 << 20);
    return {std::max(1, cell * 7 / 8), cell};
}

}  // namespace

std::string TracePoint(Point p) {
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

std::string TraceRect(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string TraceColor(Color c) {
    return Hex(c, 8);
}

TraceCanvas::TraceCanvas(DeviceCaps caps) : caps_(caps) {}

std::string TraceCanvas::Text() const {
    std::string s;
    for (const std::string& line : lines_) s += line + "\n";
    return s;
}

void TraceCanvas::SelectPen(const Pen& pen) {
    Canvas::SelectPen(pen);
    std::string cap = pen.end_cap == PenEndCap::Round    ? "round"
                      : pen.end_cap == PenEndCap::Square ? "square"
                                                         : "flat";
    Add("SelectPen " + PenStyleName(pen.style) + " width=" + std::to_string(pen.width) +
        " color=" + TraceColor(pen.color) + " cap=" + cap);
}

void TraceCanvas::SelectBrush(const Brush& brush) {
    Canvas::SelectBrush(brush);
    std::string line = "SelectBrush ";
    switch (brush.style) {
        case BrushStyle::Solid:
            line += "solid color=" + TraceColor(brush.color);
            break;
        case BrushStyle::Null:
            line += "null";
            break;
        case BrushStyle::Hatched:
            line += "hatch=" + std::to_string(static_cast<int>(brush.hatch)) +
                    " color=" + TraceColor(brush.color);
            break;
        case BrushStyle::Pattern:
            line += "pattern " + (brush.pattern ? std::to_string(brush.pattern->width) + "x" +
                                                      std::to_string(brush.pattern->height)
                                                : std::string("none"));
            break;
    }
    Add(line);
}

void TraceCanvas::SelectFont(const Font& font) {
    Canvas::SelectFont(font);
    Add("SelectFont " + Quoted(font.face) + " height=" + std::to_string(font.height) +
        " width=" + std::to_string(font.width) + " esc=" + std::to_string(font.escapement) +
        " weight=" + std::to_string(font.weight) + (font.italic ? " italic" : "") +
        (font.underline ? " underline" : "") + (font.strike_out ? " strikeout" : ""));
}

void TraceCanvas::SetTextColor(Color c) {
    Canvas::SetTextColor(c);
    Add("SetTextColor " + TraceColor(c));
}

void TraceCanvas::SetBackgroundColor(Color c) {
    Canvas::SetBackgroundColor(c);
    Add("SetBkColor " + TraceColor(c));
}

void TraceCanvas::SetBackgroundMode(BackgroundMode m) {
    Canvas::SetBackgroundMode(m);
    Add(std::string("SetBkMode ") + (m == BackgroundMode::Opaque ? "opaque" : "transparent"));
}

void TraceCanvas::SetTextAlign(unsigned flags) {
    Canvas::SetTextAlign(flags);
    Add("SetTextAlign " + std::to_string(flags));
}

void TraceCanvas::SetPolyFillMode(FillMode m) {
    Canvas::SetPolyFillMode(m);
    Add(std::string("SetPolyFillMode ") + (m == FillMode::Winding ? "winding" : "alternate"));
}

void TraceCanvas::SetBrushOrigin(Point p) {
    Canvas::SetBrushOrigin(p);
    Add("SetBrushOrg " + TracePoint(p));
}

void TraceCanvas::SelectClipRegion(const Region& region) {
    Canvas::SelectClipRegion(region);
    Add("SelectClipRgn " + RegionText(region));
}

void TraceCanvas::SelectNoClip() {
    Canvas::SelectNoClip();
    Add("SelectClipRgn none");
}

void TraceCanvas::MoveTo(int x, int y) {
    Canvas::MoveTo(x, y);
    Add("MoveTo " + TracePoint({x, y}));
}

void TraceCanvas::LineTo(int x, int y) {
    set_current_position({x, y});
    Add("LineTo " + TracePoint({x, y}));
}

void TraceCanvas::Polyline(const std::vector<Point>& points) {
    Add("Polyline " + Points(points));
}
void TraceCanvas::Polygon(const std::vector<Point>& points) {
    Add("Polygon " + Points(points));
}
void TraceCanvas::Rectangle(const Rect& box) {
    Add("Rectangle " + TraceRect(box));
}
void TraceCanvas::Ellipse(const Rect& box) {
    Add("Ellipse " + TraceRect(box));
}

void TraceCanvas::Arc(const Rect& box, Point start, Point end) {
    Add("Arc " + TraceRect(box) + " " + TracePoint(start) + " " + TracePoint(end));
}
void TraceCanvas::Chord(const Rect& box, Point start, Point end) {
    Add("Chord " + TraceRect(box) + " " + TracePoint(start) + " " + TracePoint(end));
}
void TraceCanvas::Pie(const Rect& box, Point start, Point end) {
    Add("Pie " + TraceRect(box) + " " + TracePoint(start) + " " + TracePoint(end));
}

void TraceCanvas::FillRect(const Rect& r) {
    Add("FillRect " + TraceRect(r));
}
void TraceCanvas::PaintRegion(const Region& region) {
    Add("PaintRgn " + RegionText(region));
}
void TraceCanvas::SetPixel(int x, int y, Color c) {
    Add("SetPixel " + TracePoint({x, y}) + " " + TraceColor(c));
}

void TraceCanvas::ExtTextOut(int x, int y, unsigned options, const Rect* rect,
                             const std::string& text, const std::vector<int>& dx) {
    std::string line = "ExtTextOut " + TracePoint({x, y}) + " options=" + std::to_string(options);
    if (rect != nullptr) line += " rect=" + TraceRect(*rect);
    line += " " + Quoted(text);
    if (!dx.empty()) {
        line += " dx=";
        for (size_t i = 0; i < dx.size(); ++i) line += (i ? "," : "") + std::to_string(dx[i]);
    }
    Add(line);
    if (text_align() & text_align::kUpdateCp) {
        const int64_t width = GetTextExtent(text).cx;
        const unsigned h = text_align() & text_align::kHorizontalMask;
        const int64_t moved = h == text_align::kRight    ? -width
                              : h == text_align::kCenter ? 0
                                                         : width;
        set_current_position(
            {int(std::clamp<int64_t>(current_position().x + moved, INT32_MIN, INT32_MAX)),
             current_position().y});
    }
}

int TraceCanvas::CharWidth(unsigned char c) const {
    const int em = FontSize(font()).em;
    return c == ' ' ? std::max(1, em / 4) : std::max(1, em / 2);
}

TextMetrics TraceCanvas::GetTextMetrics() const {
    const FixedFont f = FontSize(font());
    TextMetrics t;
    t.height = f.cell;
    t.ascent = f.cell * 4 / 5;
    t.descent = f.cell - t.ascent;
    t.internal_leading = f.cell - f.em;
    t.external_leading = 0;
    t.ave_char_width = std::max(1, f.em / 2);
    t.max_char_width = std::max(1, f.em / 2);
    return t;
}

Size TraceCanvas::GetTextExtent(const std::string& text) const {
    int64_t width = 0;
    for (unsigned char c : text) width += CharWidth(c);
    return {int(std::min<int64_t>(width, INT32_MAX)), FontSize(font()).cell};
}

std::vector<int> TraceCanvas::GetCharWidths(int first, int last) const {
    std::vector<int> widths;
    for (int c = std::max(first, 0); c <= std::min(last, 255); ++c) {
        widths.push_back(CharWidth(static_cast<unsigned char>(c)));
    }
    return widths;
}

void TraceCanvas::StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) {
    Add("StretchDib " + TraceRect(dst) + " from " + TraceRect(src) + " of " +
        std::to_string(bitmap.width) + "x" + std::to_string(bitmap.height));
}

}  // namespace cindral
