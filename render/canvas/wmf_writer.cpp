#include "render/canvas/wmf_writer.h"

#include <algorithm>
#include <cmath>

#include "render/canvas/clip_geometry.h"
#include "render/canvas/wmf_records.h"

namespace cindral {
namespace {

using namespace wmf;  // NOLINT(google-build-using-namespace): record names

constexpr int kMapModeAnisotropic = 8;
constexpr uint32_t kSrcCopy = 0x00CC0020;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kHeaderSize = 18;

int16_t C16(int v) {
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

bool Fits(Point p) {
    return p.x >= -32768 && p.x <= 32767 && p.y >= -32768 && p.y <= 32767;
}

void XY(ByteWriter& w, Point p) {
    w.I16(C16(p.x));
    w.I16(C16(p.y));
}

// Parameters stored last argument first, as the 16-bit records keep them.
void YX(ByteWriter& w, Point p) {
    w.I16(C16(p.y));
    w.I16(C16(p.x));
}

void BoxReversed(ByteWriter& w, const Rect& r) {
    w.I16(C16(r.bottom));
    w.I16(C16(r.right));
    w.I16(C16(r.top));
    w.I16(C16(r.left));
}

uint16_t BrushStyleOf(const Brush& b) {
    switch (b.style) {
        case BrushStyle::Solid:
            return 0;
        case BrushStyle::Null:
            return 1;
        default:
            return 2;  // a pattern tile stands for its hatch
    }
}

}  // namespace

WmfWriter::WmfWriter(std::ostream& out, int width, int height, int units_per_inch)
    : MetafileWriter(out, width, height, 0), start_(out.tellp()) {
    ByteWriter head;
    head.U32(0x9AC6CDD7);
    head.U16(0);
    head.I16(0);
    head.I16(0);
    head.I16(C16(width));
    head.I16(C16(height));
    head.U16(static_cast<uint16_t>(units_per_inch));
    head.U32(0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < 20; i += 2) {
        checksum ^= static_cast<uint16_t>(head.bytes()[i] | (head.bytes()[i + 1] << 8));
    }
    head.U16(checksum);
    // The metafile header; sizes and counts are filled in by EmitEnd.
    head.U16(1);
    head.U16(9);
    head.U16(0x0300);
    head.U32(0);
    head.U16(0);
    head.U32(0);
    head.U16(0);
    this->out().write(reinterpret_cast<const char*>(head.bytes().data()),
                      std::streamsize(head.size()));

    ByteWriter p;
    p.U16(kMapModeAnisotropic);
    Record(kSetMapMode, p);
    ByteWriter org;
    YX(org, {0, 0});
    Record(kSetWindowOrg, org);
    ByteWriter ext;
    YX(ext, {width, height});
    Record(kSetWindowExt, ext);
}

void WmfWriter::Record(uint16_t function, const ByteWriter& params) {
    ByteWriter r;
    const size_t words = 3 + (params.size() + 1) / 2;
    r.U32(static_cast<uint32_t>(words));
    r.U16(function);
    r.Bytes(params.bytes().data(), params.size());
    if (params.size() % 2) r.U8(0);
    Write(r.bytes());
}

void WmfWriter::RecordOneU16(uint16_t function, uint16_t value) {
    ByteWriter p;
    p.U16(value);
    Record(function, p);
}

void WmfWriter::RecordOneU32(uint16_t function, uint32_t value) {
    ByteWriter p;
    p.U32(value);
    Record(function, p);
}

void WmfWriter::EmitCreatePen(int, const Pen& pen) {
    ByteWriter p;
    p.U16(static_cast<uint16_t>(static_cast<int>(pen.style) | static_cast<int>(pen.end_cap)));
    p.I16(C16(pen.width));
    p.I16(0);
    p.U32(pen.color & 0xFFFFFF);
    Record(kCreatePenIndirect, p);
}

void WmfWriter::EmitCreateBrush(int, const Brush& brush) {
    ByteWriter p;
    p.U16(BrushStyleOf(brush));
    p.U32(brush.color & 0xFFFFFF);
    p.U16(static_cast<uint16_t>(brush.hatch));
    Record(kCreateBrushIndirect, p);
}

void WmfWriter::EmitCreateFont(int, const Font& font) {
    ByteWriter p;
    p.I16(C16(font.height));
    p.I16(C16(font.width));
    p.I16(C16(font.escapement));
    p.I16(C16(font.orientation));
    p.I16(C16(font.weight));
    p.U8(font.italic);
    p.U8(font.underline);
    p.U8(font.strike_out);
    p.U8(font.charset);
    p.U8(0);  // out precision
    p.U8(0);  // clip precision
    p.U8(0);  // quality
    p.U8(font.pitch_and_family);
    char face[32] = {};
    std::copy_n(font.face.begin(), std::min<size_t>(font.face.size(), 31), face);
    p.Bytes(face, sizeof face);
    Record(kCreateFontIndirect, p);
}

void WmfWriter::EmitSelect(int slot) {
    RecordOneU16(kSelectObject, static_cast<uint16_t>(slot));
}

void WmfWriter::EmitDelete(int slot) {
    RecordOneU16(kDeleteObject, static_cast<uint16_t>(slot));
}

void WmfWriter::EmitTextColor(Color c) {
    RecordOneU32(kSetTextColor, c & 0xFFFFFF);
}

void WmfWriter::EmitBackgroundColor(Color c) {
    RecordOneU32(kSetBkColor, c & 0xFFFFFF);
}

void WmfWriter::EmitBackgroundMode(BackgroundMode m) {
    RecordOneU16(kSetBkMode, static_cast<uint16_t>(m));
}

void WmfWriter::EmitTextAlign(unsigned flags) {
    RecordOneU16(kSetTextAlign, static_cast<uint16_t>(flags));
}

void WmfWriter::EmitPolyFillMode(FillMode m) {
    RecordOneU16(kSetPolyFillMode, static_cast<uint16_t>(m));
}

void WmfWriter::EmitSaveDc() {
    Record(kSaveDc, ByteWriter());
}

void WmfWriter::EmitRestoreDc() {
    ByteWriter p;
    p.I16(-1);
    Record(kRestoreDc, p);
    // The restored context stands where it stood when it was saved: unknown here.
    file_position_.reset();
}

void WmfWriter::EmitIntersectClip(const Rect& r) {
    ByteWriter p;
    BoxReversed(p, r);
    Record(kIntersectClipRect, p);
}

void WmfWriter::EmitMoveTo(Point p) {
    position_ = p;
}

void WmfWriter::EmitLineTo(Point p) {
    Point a = position_, b = p;
    position_ = p;
    if (!Fits(a) || !Fits(b)) {
        PointF fa{double(a.x), double(a.y)}, fb{double(b.x), double(b.y)};
        if (!ClipSegment(fa, fb, -32768, -32768, 32767, 32767)) return;
        a = {int(std::lround(fa.x)), int(std::lround(fa.y))};
        b = {int(std::lround(fb.x)), int(std::lround(fb.y))};
    }
    if (file_position_ != a) {
        ByteWriter m;
        YX(m, a);
        Record(kMoveTo, m);
    }
    ByteWriter l;
    YX(l, b);
    Record(kLineTo, l);
    file_position_ = b;
}

void WmfWriter::EmitPoly(const std::vector<Point>& points, bool closed) {
    // A record holds at most 32,767 points; longer figures go in pieces that share ends.
    constexpr size_t kMostPoints = 32767;
    for (size_t begin = 0; begin < points.size(); begin += kMostPoints - 1) {
        const size_t end = std::min(points.size(), begin + kMostPoints);
        ByteWriter p;
        p.I16(static_cast<int16_t>(end - begin));
        for (size_t i = begin; i < end; ++i) XY(p, points[i]);
        Record(closed ? kPolygon : kPolyline, p);
        if (end == points.size()) break;
    }
}

void WmfWriter::EmitShape(Shape shape, const Rect& box) {
    ByteWriter p;
    BoxReversed(p, box);
    Record(shape == Shape::Rectangle ? kRectangle : kEllipse, p);
}

void WmfWriter::EmitCurve(Curve curve, const Rect& box, Point start, Point end) {
    ByteWriter p;
    YX(p, end);
    YX(p, start);
    BoxReversed(p, box);
    Record(curve == Curve::Arc ? kArc : curve == Curve::Chord ? kChord : kPie, p);
}

void WmfWriter::EmitSetPixel(Point at, Color c) {
    if (!Fits(at)) return;
    ByteWriter p;
    p.U32(c);
    YX(p, at);
    Record(kSetPixel, p);
}

void WmfWriter::EmitText(Point at, unsigned options, const Rect* rect, const std::string& text,
                         const std::vector<int>& dx) {
    // The count is 16-bit; no text of a log comes near it.
    const size_t n = std::min<size_t>(text.size(), 32767);
    ByteWriter p;
    YX(p, at);
    p.I16(static_cast<int16_t>(n));
    const bool with_rect = rect != nullptr && (options & (text_out::kOpaque | text_out::kClipped));
    p.U16(static_cast<uint16_t>(with_rect ? options
                                          : options & ~(text_out::kOpaque | text_out::kClipped)));
    if (with_rect) {
        p.I16(C16(rect->left));
        p.I16(C16(rect->top));
        p.I16(C16(rect->right));
        p.I16(C16(rect->bottom));
    }
    p.Bytes(text.data(), n);
    if (n % 2) p.U8(0);
    for (size_t i = 0; i < n; ++i) p.I16(C16(dx[i]));
    Record(kExtTextOut, p);
}

void WmfWriter::EmitStretchDib(const Rect& dst, const Bitmap& bitmap) {
    const PackedDib dib = PackDib(bitmap);
    ByteWriter p;
    p.U32(kSrcCopy);
    p.U16(0);  // DIB_RGB_COLORS
    p.I16(C16(bitmap.height));
    p.I16(C16(bitmap.width));
    p.I16(0);
    p.I16(0);
    p.I16(C16(static_cast<int>(dst.Height())));
    p.I16(C16(static_cast<int>(dst.Width())));
    p.I16(C16(dst.top));
    p.I16(C16(dst.left));
    p.Bytes(dib.info.data(), dib.info.size());
    p.Bytes(dib.bits.data(), dib.bits.size());
    Record(kStretchDib, p);
}

void WmfWriter::EmitEnd() {
    Record(kEof, ByteWriter());
    const uint64_t words = (kHeaderSize + bytes_written()) / 2;
    ByteWriter fields;
    fields.U32(static_cast<uint32_t>(words));
    fields.U16(static_cast<uint16_t>(peak_objects()));
    fields.U32(largest_record() / 2);
    const std::streampos end = out().tellp();
    out().seekp(start_ + std::streamoff(kPlaceableSize + 6));
    out().write(reinterpret_cast<const char*>(fields.bytes().data()),
                std::streamsize(fields.size()));
    out().seekp(end);
}

}  // namespace cindral
