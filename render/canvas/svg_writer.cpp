#include "render/canvas/svg_writer.h"

#include <QBuffer>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <utility>

#include "render/canvas/gdi_patterns.h"

namespace cindral {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::string Hex(Color c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
    return text;
}

// Numbers without locale and without needless digits.
std::string Num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    std::string s = text;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

// Windows-1252 text as escaped UTF-8.
std::string XmlText(const std::string& text) {
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    for (unsigned char c : text) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c < 0x20) {
            out += ' ';  // control characters are not allowed in XML
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            const unsigned u = c < 0xA0 ? kHigh[c - 0x80] : c;
            if (u < 0x800) {
                out += static_cast<char>(0xC0 | (u >> 6));
                out += static_cast<char>(0x80 | (u & 0x3F));
            } else {
                out += static_cast<char>(0xE0 | (u >> 12));
                out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (u & 0x3F));
            }
        }
    }
    return out;
}

// Fills that meet edge to edge (neighbouring regions, the strips of one polygon) would each
// blend their shared edge with the white below when a reader antialiases them, leaving a
// light hairline between them at most zooms. Drawn with crisp edges every pixel belongs to
// exactly one of them, as on the device the log was made for.
constexpr const char* kCrispEdges = " shape-rendering=\"crispEdges\"";

std::string RectPath(const Rect& r) {
    return "M" + std::to_string(r.left) + " " + std::to_string(r.top) + "H" +
           std::to_string(r.right) + "V" + std::to_string(r.bottom) + "H" + std::to_string(r.left) +
           "Z";
}

}  // namespace

SvgWriter::SvgWriter(std::ostream& out, int width, int height, const std::string& title)
    : out_(out), width_(width), height_(height) {
    out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         << "<svg xmlns=\"http://www.w3.org/2000/svg\" "
            "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\" width=\""
         << Num(width / 96.0) << "in\" height=\"" << Num(height / 96.0) << "in\" viewBox=\"0 0 "
         << width << " " << height << "\">\n"
         << "<title>" << XmlText(title) << "</title>\n"
         << "<rect width=\"" << width << "\" height=\"" << height << "\" fill=\"#ffffff\"/>\n";
}

SvgWriter::~SvgWriter() = default;

void SvgWriter::Finish() {
    if (finished_) return;
    finished_ = true;
    EndPath();
    if (clip_open_) out_ << "</g>\n";
    clip_open_ = false;
    out_ << "</svg>\n";
    out_.flush();
}

std::string SvgWriter::StrokeAttributes() const {
    const Pen& p = pen();
    if (p.style == PenStyle::Null) return {};
    const int width = std::max(p.width, 1);
    std::string a = " stroke=\"" + Hex(p.color) + "\"";
    if (width > 1) a += " stroke-width=\"" + std::to_string(width) + "\"";
    if (width > 1) {
        a += " stroke-linecap=\"round\" stroke-linejoin=\"round\"";
    } else {
        a += " stroke-linecap=\"butt\"";
    }
    // A dash style only holds for the thin pen, as on the device.
    const std::vector<int> runs = width <= 1 ? CosmeticDashRuns(p.style) : std::vector<int>();
    if (!runs.empty()) {
        a += " stroke-dasharray=\"";
        for (size_t i = 0; i < runs.size(); ++i) a += (i ? "," : "") + std::to_string(runs[i]);
        a += "\"";
    }
    return a;
}

std::string SvgWriter::FillAttribute() {
    const Brush& b = brush();
    if (b.style == BrushStyle::Null) return "none";
    if (b.style == BrushStyle::Solid) return Hex(b.color);
    const bool opaque = background_mode() == BackgroundMode::Opaque;
    const std::string id = "h" + std::to_string(static_cast<int>(b.hatch)) + "_" +
                           Hex(b.color).substr(1) +
                           (opaque ? "_" + Hex(background_color()).substr(1) : "");
    if (hatches_.insert(id).second) {
        // The 8x8 tile of the hatch, one square per set bit, on the device's brush origin.
        out_ << "<defs><pattern id=\"" << id
             << "\" patternUnits=\"userSpaceOnUse\" width=\"8\" height=\"8\">";
        if (opaque)
            out_ << "<rect width=\"8\" height=\"8\" fill=\"" << Hex(background_color()) << "\"/>";
        out_ << "<path fill=\"" << Hex(b.color) << "\" d=\"";
        const auto rows = HatchRows(b.hatch);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                if ((rows[y] >> (7 - x)) & 1) out_ << "M" << x << " " << y << "h1v1h-1Z";
            }
        }
        out_ << "\"/></pattern></defs>\n";
    }
    return "url(#" + id + ")";
}

void SvgWriter::EndPath() {
    if (!path_open_) return;
    out_ << "\"/>\n";
    path_open_ = false;
}

void SvgWriter::SelectClipRegion(const Region& region) {
    EndPath();
    Canvas::SelectClipRegion(region);
    if (clip_open_) out_ << "</g>\n";
    const std::string id = "c" + std::to_string(++clip_count_);
    out_ << "<clipPath id=\"" << id << "\"><path d=\"";
    for (const Rect& r : region.Rects()) out_ << RectPath(r);
    out_ << "\"/></clipPath>\n<g clip-path=\"url(#" << id << ")\">\n";
    clip_open_ = true;
}

void SvgWriter::SelectNoClip() {
    EndPath();
    Canvas::SelectNoClip();
    if (clip_open_) out_ << "</g>\n";
    clip_open_ = false;
}

void SvgWriter::LineTo(int x, int y) {
    const Point from = current_position();
    set_current_position({x, y});
    if (pen().style == PenStyle::Null) return;
    const Pen& p = pen();
    const bool same_pen = path_open_ && path_pen_.style == p.style && path_pen_.width == p.width &&
                          path_pen_.color == p.color;
    // Thin lines run through pixel centres.
    const double o = p.width <= 1 ? 0.5 : 0;
    if (!same_pen) {
        EndPath();
        out_ << "<path fill=\"none\"" << StrokeAttributes() << " d=\"";
        path_open_ = true;
        path_pen_ = p;
    }
    if (!same_pen || path_end_ != from) out_ << "M" << Num(from.x + o) << " " << Num(from.y + o);
    out_ << "L" << Num(x + o) << " " << Num(y + o);
    path_end_ = {x, y};
}

void SvgWriter::Polyline(const std::vector<Point>& points) {
    if (points.size() < 2 || pen().style == PenStyle::Null) return;
    EndPath();
    const double o = pen().width <= 1 ? 0.5 : 0;
    out_ << "<path fill=\"none\"" << StrokeAttributes() << " d=\"";
    for (size_t i = 0; i < points.size(); ++i) {
        out_ << (i ? "L" : "M") << Num(points[i].x + o) << " " << Num(points[i].y + o);
    }
    out_ << "\"/>\n";
}

void SvgWriter::Polygon(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    EndPath();
    const std::string fill = FillAttribute();
    out_ << "<path fill=\"" << fill << "\"" << kCrispEdges;
    if (poly_fill_mode() == FillMode::Alternate) out_ << " fill-rule=\"evenodd\"";
    out_ << StrokeAttributes() << " d=\"";
    for (size_t i = 0; i < points.size(); ++i) {
        out_ << (i ? "L" : "M") << points[i].x << " " << points[i].y;
    }
    out_ << "Z\"/>\n";
}

void SvgWriter::Rectangle(const Rect& box) {
    EndPath();
    const std::string fill = FillAttribute();
    const std::string stroke = StrokeAttributes();
    // The device's box is right/bottom exclusive; the outline runs on its inner pixels.
    const double w = double(box.Width()) - 1, h = double(box.Height()) - 1;
    if (w <= 0 || h <= 0) return;
    const double o = stroke.empty() ? 0 : 0.5;
    out_ << "<rect x=\"" << Num(box.left + o) << "\" y=\"" << Num(box.top + o) << "\" width=\""
         << Num(w) << "\" height=\"" << Num(h) << "\" fill=\"" << fill << "\"" << kCrispEdges
         << stroke << "/>\n";
}

void SvgWriter::Ellipse(const Rect& box) {
    EndPath();
    const std::string fill = FillAttribute();
    out_ << "<ellipse cx=\"" << Num((box.left + box.right) / 2.0) << "\" cy=\""
         << Num((box.top + box.bottom) / 2.0) << "\" rx=\"" << Num(std::abs(box.Width()) / 2.0)
         << "\" ry=\"" << Num(std::abs(box.Height()) / 2.0) << "\" fill=\"" << fill << "\""
         << StrokeAttributes() << "/>\n";
}

void SvgWriter::CurveFigure(const Rect& box, Point start, Point end, Arcs kind) {
    EndPath();
    const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    const double rx = std::abs(box.Width()) / 2.0, ry = std::abs(box.Height()) / 2.0;
    if (rx <= 0 || ry <= 0) return;
    // Where each radial meets the ellipse, and the angle (y up) counter-clockwise between.
    const auto on_ellipse = [&](Point p, double& angle) {
        double dx = p.x - cx, dy = p.y - cy;
        if (dx == 0 && dy == 0) dx = 1;
        const double t = 1 / std::sqrt((dx / rx) * (dx / rx) + (dy / ry) * (dy / ry));
        angle = std::atan2(-dy, dx);
        return std::pair<double, double>{cx + t * dx, cy + t * dy};
    };
    double a0 = 0, a1 = 0;
    const auto s = on_ellipse(start, a0);
    const auto e = on_ellipse(end, a1);
    double sweep = std::fmod(a1 - a0 + 4 * kPi, 2 * kPi);
    const bool full = sweep < 1e-9;
    std::string d = "M" + Num(s.first) + " " + Num(s.second);
    if (full) {
        // Equal radials draw the whole ellipse: two halves.
        const double mx = 2 * cx - s.first, my = 2 * cy - s.second;
        d += "A" + Num(rx) + " " + Num(ry) + " 0 1 0 " + Num(mx) + " " + Num(my);
        d += "A" + Num(rx) + " " + Num(ry) + " 0 1 0 " + Num(s.first) + " " + Num(s.second);
    } else {
        d += "A" + Num(rx) + " " + Num(ry) + " 0 " + (sweep > kPi ? "1" : "0") + " 0 " +
             Num(e.first) + " " + Num(e.second);
    }
    if (kind == Arcs::Pie) d += "L" + Num(cx) + " " + Num(cy) + "Z";
    if (kind == Arcs::Chord) d += "Z";
    const std::string fill = kind == Arcs::Open ? "none" : FillAttribute();
    out_ << "<path fill=\"" << fill << "\"" << StrokeAttributes() << " d=\"" << d << "\"/>\n";
}

void SvgWriter::Arc(const Rect& box, Point start, Point end) {
    CurveFigure(box, start, end, Arcs::Open);
}

void SvgWriter::Chord(const Rect& box, Point start, Point end) {
    CurveFigure(box, start, end, Arcs::Chord);
}

void SvgWriter::Pie(const Rect& box, Point start, Point end) {
    CurveFigure(box, start, end, Arcs::Pie);
}

void SvgWriter::FillRect(const Rect& r) {
    if (r.IsEmpty() || brush().style == BrushStyle::Null) return;
    EndPath();
    const std::string fill = FillAttribute();
    out_ << "<path fill=\"" << fill << "\"" << kCrispEdges << " d=\"" << RectPath(r) << "\"/>\n";
}

void SvgWriter::PaintRegion(const Region& region) {
    if (region.IsEmpty() || brush().style == BrushStyle::Null) return;
    EndPath();
    const std::string fill = FillAttribute();
    out_ << "<path fill=\"" << fill << "\"" << kCrispEdges << " d=\"";
    for (const Rect& r : region.Rects()) out_ << RectPath(r);
    out_ << "\"/>\n";
}

void SvgWriter::SetPixel(int x, int y, Color c) {
    EndPath();
    out_ << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"1\" height=\"1\" fill=\"" << Hex(c)
         << "\"" << kCrispEdges << "/>\n";
}

void SvgWriter::ExtTextOut(int x, int y, unsigned options, const Rect* rect,
                           const std::string& text, const std::vector<int>& dx) {
    EndPath();
    const TextMetrics m = GetTextMetrics();
    if (rect && (options & text_out::kOpaque)) {
        out_ << "<path fill=\"" << Hex(background_color()) << "\"" << kCrispEdges << " d=\""
             << RectPath(*rect) << "\"/>\n";
    }
    if (text.empty()) return;
    std::vector<int> advances = dx;
    if (advances.size() != text.size()) {
        const std::vector<int> widths = GetCharWidths(0, 255);
        advances.clear();
        for (unsigned char ch : text) advances.push_back(widths[ch]);
    }
    int width = 0;
    for (int a : advances) width += a;
    // The reference point and the glyph cell in the text's own, possibly turned, frame.
    const unsigned align = text_align();
    double left = 0;
    if ((align & text_align::kHorizontalMask) == text_align::kRight) left = -width;
    if ((align & text_align::kHorizontalMask) == text_align::kCenter) left = -width / 2.0;
    double top = 0;
    if ((align & text_align::kVerticalMask) == text_align::kBaseline) top = -m.ascent;
    if ((align & text_align::kVerticalMask) == text_align::kBottom) top = -m.height;
    const Font& f = font();
    out_ << "<g transform=\"translate(" << x << " " << y << ")";
    if (f.escapement != 0) out_ << " rotate(" << Num(-f.escapement / 10.0) << ")";
    out_ << "\">";
    if (background_mode() == BackgroundMode::Opaque) {
        out_ << "<rect x=\"" << Num(left) << "\" y=\"" << Num(top) << "\" width=\"" << width
             << "\" height=\"" << m.height << "\" fill=\"" << Hex(background_color()) << "\"/>";
    }
    out_ << "<text x=\"";
    double at = left;
    for (size_t i = 0; i < text.size(); ++i) {
        out_ << (i ? " " : "") << Num(at);
        at += advances[i];
    }
    const std::string face = XmlText(f.face);
    out_ << "\" y=\"" << Num(top + m.ascent) << "\" font-family=\"" << face
         << ", Liberation Sans, sans-serif\" font-size=\""
         << std::max(1, m.height - m.internal_leading) << "\" fill=\"" << Hex(text_color()) << "\"";
    if (f.weight >= 600) out_ << " font-weight=\"bold\"";
    if (f.italic) out_ << " font-style=\"italic\"";
    if (f.underline || f.strike_out) {
        out_ << " text-decoration=\"" << (f.underline ? "underline" : "")
             << (f.underline && f.strike_out ? " " : "") << (f.strike_out ? "line-through" : "")
             << "\"";
    }
    out_ << " xml:space=\"preserve\">" << XmlText(text) << "</text></g>\n";
}

void SvgWriter::StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) {
    if (bitmap.width <= 0 || bitmap.height <= 0 || src.IsEmpty()) return;
    EndPath();
    QImage image(reinterpret_cast<const uchar*>(bitmap.argb.data()), bitmap.width, bitmap.height,
                 bitmap.width * 4, QImage::Format_RGB32);
    const QImage part = image.copy(src.left, src.top, static_cast<int>(src.Width()),
                                   static_cast<int>(src.Height()));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    part.save(&buffer, "PNG");
    const double w = double(dst.Width()), h = double(dst.Height());
    // A negative extent mirrors the picture.
    out_ << "<image preserveAspectRatio=\"none\" x=\"0\" y=\"0\" width=\"" << Num(std::abs(w))
         << "\" height=\"" << Num(std::abs(h)) << "\" transform=\"translate(" << dst.left << " "
         << dst.top << ") scale(" << (w < 0 ? -1 : 1) << " " << (h < 0 ? -1 : 1)
         << ")\" xlink:href=\"data:image/png;base64," << png.toBase64().toStdString() << "\"/>\n";
}

}  // namespace cindral
