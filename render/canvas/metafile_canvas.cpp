#include "render/canvas/metafile_canvas.h"

#include <stdexcept>

#include "render/canvas/geometry_codec.h"
#include "render/canvas/qt_canvas.h"

namespace cindral {
namespace {

// Operation codes of the recording; private to this file, which writes and reads them.
enum : uint8_t {
    kPen = 1,
    kBrush,
    kFont,
    kTextColor,
    kBackgroundColor,
    kBackgroundMode,
    kTextAlign,
    kPolyFillMode,
    kBrushOrigin,
    kClip,
    kNoClip,
    kMoveTo,
    kLineTo,
    kPolyline,
    kPolygon,
    kRectangle,
    kEllipse,
    kArc,
    kChord,
    kPie,
    kFillRect,
    kSetPixel,
    kTextOut,
    kStretchDib,
};

bool SamePen(const Pen& a, const Pen& b) {
    return a.style == b.style && a.width == b.width && a.color == b.color && a.end_cap == b.end_cap;
}

bool SameBrush(const Brush& a, const Brush& b) {
    return a.style == b.style && a.color == b.color && a.hatch == b.hatch && a.pattern == b.pattern;
}

bool SameFont(const Font& a, const Font& b) {
    return a.face == b.face && a.height == b.height && a.width == b.width &&
           a.escapement == b.escapement && a.orientation == b.orientation && a.weight == b.weight &&
           a.italic == b.italic && a.underline == b.underline && a.strike_out == b.strike_out &&
           a.charset == b.charset && a.pitch_and_family == b.pitch_and_family;
}

void WriteString(ByteWriter& out, const std::string& s) {
    out.U32(static_cast<uint32_t>(s.size()));
    out.Bytes(s.data(), s.size());
}

std::string ReadString(ByteReader& in) {
    const uint32_t n = in.U32();
    std::string s(n, '\0');
    in.Bytes(s.data(), n);
    return s;
}

void WriteBitmap(ByteWriter& out, const Bitmap& b) {
    out.I32(b.width);
    out.I32(b.height);
    out.Bytes(b.argb.data(), b.argb.size() * sizeof(uint32_t));
}

Bitmap ReadBitmap(ByteReader& in) {
    Bitmap b;
    b.width = in.I32();
    b.height = in.I32();
    b.argb.resize(size_t(b.width) * size_t(b.height));
    in.Bytes(b.argb.data(), b.argb.size() * sizeof(uint32_t));
    return b;
}

std::vector<Point> ReadPoints(ByteReader& in) {
    std::vector<Point> points(in.U32());
    for (Point& p : points) p = ReadPoint(in);
    return points;
}

}  // namespace

ReferenceFontDevice::ReferenceFontDevice() : image_(1, 1, QImage::Format_RGB32) {
    image_.setDotsPerMeterX(3780);  // 96 per inch
    image_.setDotsPerMeterY(3780);
    canvas_ = std::make_unique<QtCanvas>(&image_);
}

ReferenceFontDevice::~ReferenceFontDevice() = default;

QtCanvas& ReferenceFontDevice::With(const Font& font) const {
    canvas_->SelectFont(font);
    return *canvas_;
}

TextMetrics ReferenceFontDevice::Metrics(const Font& font) const {
    return With(font).GetTextMetrics();
}

Size ReferenceFontDevice::Extent(const Font& font, const std::string& text) const {
    return With(font).GetTextExtent(text);
}

std::vector<int> ReferenceFontDevice::CharWidths(const Font& font, int first, int last) const {
    return With(font).GetCharWidths(first, last);
}

std::optional<int> ReferenceFontDevice::EmSquare(const Font& font) const {
    return With(font).OutlineEmSquare();
}

MetafileCanvas::MetafileCanvas(int width, int height) : width_(width), height_(height) {}

MetafileCanvas::~MetafileCanvas() = default;

DeviceCaps MetafileCanvas::Caps() const {
    return {96, 96, width_, height_, false};
}

size_t MetafileCanvas::RecordedBytes() const {
    size_t n = 0;
    for (const ByteWriter& chunk : chunks_) n += chunk.size();
    return n;
}

void MetafileCanvas::Discard() {
    chunks_.clear();
    chunks_.shrink_to_fit();
}

void MetafileCanvas::Op(uint8_t code) {
    constexpr size_t kChunkBytes = 1 << 20;
    if (chunks_.empty() || chunks_.back().size() >= kChunkBytes) chunks_.emplace_back();
    Out().U8(code);
}

void MetafileCanvas::PointFields(Point p) {
    Out().I32(p.x);
    Out().I32(p.y);
}

void MetafileCanvas::RectFields(const Rect& r) {
    Out().I32(r.left);
    Out().I32(r.top);
    Out().I32(r.right);
    Out().I32(r.bottom);
}

void MetafileCanvas::Points(const std::vector<Point>& points) {
    Out().U32(static_cast<uint32_t>(points.size()));
    for (const Point& p : points) PointFields(p);
}

void MetafileCanvas::SelectPen(const Pen& pen) {
    if (SamePen(pen, this->pen())) return;
    Canvas::SelectPen(pen);
    Op(kPen);
    Out().I32(static_cast<int32_t>(pen.style));
    Out().I32(pen.width);
    Out().U32(pen.color);
    Out().I32(static_cast<int32_t>(pen.end_cap));
}

void MetafileCanvas::SelectBrush(const Brush& brush) {
    if (SameBrush(brush, this->brush())) return;
    Canvas::SelectBrush(brush);
    Op(kBrush);
    Out().I32(static_cast<int32_t>(brush.style));
    Out().U32(brush.color);
    Out().I32(static_cast<int32_t>(brush.hatch));
    Out().Bool(brush.pattern != nullptr);
    if (brush.pattern) WriteBitmap(Out(), *brush.pattern);
}

void MetafileCanvas::SelectFont(const Font& font) {
    if (SameFont(font, this->font())) return;
    Canvas::SelectFont(font);
    Op(kFont);
    WriteString(Out(), font.face);
    Out().I32(font.height);
    Out().I32(font.width);
    Out().I32(font.escapement);
    Out().I32(font.orientation);
    Out().I32(font.weight);
    Out().Bool(font.italic);
    Out().Bool(font.underline);
    Out().Bool(font.strike_out);
    Out().U8(font.charset);
    Out().U8(font.pitch_and_family);
}

void MetafileCanvas::SetTextColor(Color c) {
    if (c == text_color()) return;
    Canvas::SetTextColor(c);
    Op(kTextColor);
    Out().U32(c);
}

void MetafileCanvas::SetBackgroundColor(Color c) {
    if (c == background_color()) return;
    Canvas::SetBackgroundColor(c);
    Op(kBackgroundColor);
    Out().U32(c);
}

void MetafileCanvas::SetBackgroundMode(BackgroundMode m) {
    if (m == background_mode()) return;
    Canvas::SetBackgroundMode(m);
    Op(kBackgroundMode);
    Out().I32(static_cast<int32_t>(m));
}

void MetafileCanvas::SetTextAlign(unsigned flags) {
    if (flags == text_align()) return;
    Canvas::SetTextAlign(flags);
    Op(kTextAlign);
    Out().U32(flags);
}

void MetafileCanvas::SetPolyFillMode(FillMode m) {
    if (m == poly_fill_mode()) return;
    Canvas::SetPolyFillMode(m);
    Op(kPolyFillMode);
    Out().I32(static_cast<int32_t>(m));
}

void MetafileCanvas::SetBrushOrigin(Point p) {
    if (p == brush_origin()) return;
    Canvas::SetBrushOrigin(p);
    Op(kBrushOrigin);
    PointFields(p);
}

void MetafileCanvas::SelectClipRegion(const Region& region) {
    if (clip() && *clip() == region) return;
    Canvas::SelectClipRegion(region);
    Op(kClip);
    const std::vector<Rect> rects = region.Rects();
    Out().U32(static_cast<uint32_t>(rects.size()));
    for (const Rect& r : rects) RectFields(r);
}

void MetafileCanvas::SelectNoClip() {
    if (!clip()) return;
    Canvas::SelectNoClip();
    Op(kNoClip);
}

void MetafileCanvas::MoveTo(int x, int y) {
    // Only the position is kept; the writers move there when a line starts from it.
    Canvas::MoveTo(x, y);
}

void MetafileCanvas::LineTo(int x, int y) {
    const Point from = current_position();
    Op(kMoveTo);
    PointFields(from);
    Op(kLineTo);
    PointFields({x, y});
    set_current_position({x, y});
    ++drawing_calls_;
}

void MetafileCanvas::Polyline(const std::vector<Point>& points) {
    Op(kPolyline);
    Points(points);
    ++drawing_calls_;
}

void MetafileCanvas::Polygon(const std::vector<Point>& points) {
    Op(kPolygon);
    Points(points);
    ++drawing_calls_;
}

void MetafileCanvas::Rectangle(const Rect& box) {
    Op(kRectangle);
    RectFields(box);
    ++drawing_calls_;
}

void MetafileCanvas::Ellipse(const Rect& box) {
    Op(kEllipse);
    RectFields(box);
    ++drawing_calls_;
}

void MetafileCanvas::BoxAndPoints(uint8_t code, const Rect& box, Point start, Point end) {
    Op(code);
    RectFields(box);
    PointFields(start);
    PointFields(end);
    ++drawing_calls_;
}

void MetafileCanvas::Arc(const Rect& box, Point start, Point end) {
    BoxAndPoints(kArc, box, start, end);
}

void MetafileCanvas::Chord(const Rect& box, Point start, Point end) {
    BoxAndPoints(kChord, box, start, end);
}

void MetafileCanvas::Pie(const Rect& box, Point start, Point end) {
    BoxAndPoints(kPie, box, start, end);
}

void MetafileCanvas::FillRect(const Rect& r) {
    Op(kFillRect);
    RectFields(r);
    ++drawing_calls_;
}

void MetafileCanvas::PaintRegion(const Region& region) {
    // Painting a region is filling its rectangles with the brush; recorded that way, a
    // replay never has to rebuild a region of thousands of bands.
    for (const Rect& r : region.Rects()) FillRect(r);
}

void MetafileCanvas::SetPixel(int x, int y, Color c) {
    Op(kSetPixel);
    PointFields({x, y});
    Out().U32(c);
    ++drawing_calls_;
}

void MetafileCanvas::ExtTextOut(int x, int y, unsigned options, const Rect* rect,
                                const std::string& text, const std::vector<int>& dx) {
    Op(kTextOut);
    PointFields({x, y});
    Out().U32(options);
    Out().Bool(rect != nullptr);
    if (rect) RectFields(*rect);
    WriteString(Out(), text);
    std::vector<int> advances = dx;
    if (advances.size() != text.size()) {
        // The advances of our own layout travel with the text, so a reader with other
        // fonts still puts every character where we measured it.
        const std::vector<int> widths = fonts_.CharWidths(font(), 0, 255);
        advances.clear();
        for (unsigned char ch : text) advances.push_back(widths[ch]);
    }
    for (int a : advances) Out().I32(a);
    ++drawing_calls_;
}

TextMetrics MetafileCanvas::GetTextMetrics() const {
    return fonts_.Metrics(font());
}

Size MetafileCanvas::GetTextExtent(const std::string& text) const {
    return fonts_.Extent(font(), text);
}

std::vector<int> MetafileCanvas::GetCharWidths(int first, int last) const {
    return fonts_.CharWidths(font(), first, last);
}

std::optional<int> MetafileCanvas::OutlineEmSquare() const {
    return fonts_.EmSquare(font());
}

void MetafileCanvas::StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) {
    if (bitmap.width <= 0 || bitmap.height <= 0) return;
    Op(kStretchDib);
    RectFields(dst);
    RectFields(src);
    WriteBitmap(Out(), bitmap);
    ++drawing_calls_;
}

void MetafileCanvas::Replay(Canvas& target) const {
    for (const ByteWriter& chunk : chunks_) ReplayChunk(chunk.bytes(), target);
}

void MetafileCanvas::ReplayChunk(const std::vector<uint8_t>& bytes, Canvas& target) {
    ByteReader in(bytes);
    while (in.remaining() > 0) {
        const uint8_t code = in.U8();
        switch (code) {
            case kPen: {
                Pen p;
                p.style = static_cast<PenStyle>(in.I32());
                p.width = in.I32();
                p.color = in.U32();
                p.end_cap = static_cast<PenEndCap>(in.I32());
                target.SelectPen(p);
                break;
            }
            case kBrush: {
                Brush b;
                b.style = static_cast<BrushStyle>(in.I32());
                b.color = in.U32();
                b.hatch = static_cast<HatchStyle>(in.I32());
                if (in.Bool()) b.pattern = std::make_shared<Bitmap>(ReadBitmap(in));
                target.SelectBrush(b);
                break;
            }
            case kFont: {
                Font f;
                f.face = ReadString(in);
                f.height = in.I32();
                f.width = in.I32();
                f.escapement = in.I32();
                f.orientation = in.I32();
                f.weight = in.I32();
                f.italic = in.Bool();
                f.underline = in.Bool();
                f.strike_out = in.Bool();
                f.charset = in.U8();
                f.pitch_and_family = in.U8();
                target.SelectFont(f);
                break;
            }
            case kTextColor:
                target.SetTextColor(in.U32());
                break;
            case kBackgroundColor:
                target.SetBackgroundColor(in.U32());
                break;
            case kBackgroundMode:
                target.SetBackgroundMode(static_cast<BackgroundMode>(in.I32()));
                break;
            case kTextAlign:
                target.SetTextAlign(in.U32());
                break;
            case kPolyFillMode:
                target.SetPolyFillMode(static_cast<FillMode>(in.I32()));
                break;
            case kBrushOrigin:
                target.SetBrushOrigin(ReadPoint(in));
                break;
            case kClip: {
                const uint32_t n = in.U32();
                Region region;
                for (uint32_t i = 0; i < n; ++i) {
                    region = region.Combined(Region::FromRect(ReadRect(in)), CombineMode::Or);
                }
                target.SelectClipRegion(region);
                break;
            }
            case kNoClip:
                target.SelectNoClip();
                break;
            case kMoveTo: {
                const Point p = ReadPoint(in);
                target.MoveTo(p.x, p.y);
                break;
            }
            case kLineTo: {
                const Point p = ReadPoint(in);
                target.LineTo(p.x, p.y);
                break;
            }
            case kPolyline:
                target.Polyline(ReadPoints(in));
                break;
            case kPolygon:
                target.Polygon(ReadPoints(in));
                break;
            case kRectangle:
                target.Rectangle(ReadRect(in));
                break;
            case kEllipse:
                target.Ellipse(ReadRect(in));
                break;
            case kArc:
            case kChord:
            case kPie: {
                const Rect box = ReadRect(in);
                const Point a = ReadPoint(in);
                const Point b = ReadPoint(in);
                if (code == kArc) target.Arc(box, a, b);
                if (code == kChord) target.Chord(box, a, b);
                if (code == kPie) target.Pie(box, a, b);
                break;
            }
            case kFillRect:
                target.FillRect(ReadRect(in));
                break;
            case kSetPixel: {
                const Point p = ReadPoint(in);
                target.SetPixel(p.x, p.y, in.U32());
                break;
            }
            case kTextOut: {
                const Point p = ReadPoint(in);
                const unsigned options = in.U32();
                Rect rect;
                const bool has_rect = in.Bool();
                if (has_rect) rect = ReadRect(in);
                const std::string text = ReadString(in);
                std::vector<int> dx(text.size());
                for (int& a : dx) a = in.I32();
                target.ExtTextOut(p.x, p.y, options, has_rect ? &rect : nullptr, text, dx);
                break;
            }
            case kStretchDib: {
                const Rect dst = ReadRect(in);
                const Rect src = ReadRect(in);
                target.StretchDib(dst, ReadBitmap(in), src);
                break;
            }
            default:
                throw std::logic_error("metafile recording holds an unknown operation");
        }
    }
}

}  // namespace cindral
