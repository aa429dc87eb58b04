#include "render/canvas/emf_writer.h"

#include <algorithm>
#include <cstring>

#include "render/canvas/emf_records.h"

namespace cindral {
namespace {

using namespace emf;  // NOLINT(google-build-using-namespace): record names

constexpr size_t kHeaderSize = 108;
constexpr uint32_t kSrcCopy = 0x00CC0020;
constexpr int kMapModeText = 1;
// The reference device the header names: 96 pixels per inch, 1920 pixels = 508 mm.
constexpr int kDevicePixels = 1920;
constexpr int kDeviceMillimetres = 508;
constexpr float kUnitsToHiMetric = 2540.0f / 96.0f;

// Windows-1252 for the bytes 0x80..0x9F; the rest is Latin-1.
char16_t Utf16Of(unsigned char c) {
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : char16_t(c);
}

void Rectl(ByteWriter& w, const Rect& r) {
    w.I32(r.left);
    w.I32(r.top);
    w.I32(r.right);
    w.I32(r.bottom);
}

void Pointl(ByteWriter& w, Point p) {
    w.I32(p.x);
    w.I32(p.y);
}

// The inclusive bounds of a point list.
Rect BoundsOf(const std::vector<Point>& points) {
    Rect r{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const Point& p : points) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return r;
}

bool Fits16(const Point& p) {
    return p.x >= -32768 && p.x <= 32767 && p.y >= -32768 && p.y <= 32767;
}

void FaceName(ByteWriter& w, const std::string& face, size_t chars) {
    for (size_t i = 0; i < chars; ++i) {
        w.U16(i < face.size() && i + 1 < chars ? Utf16Of(static_cast<unsigned char>(face[i])) : 0);
    }
}

}  // namespace

int HiMetricOfUnits(int units) {
    return static_cast<int>((int64_t(units) * 2540 + 48) / 96);
}

EmfWriter::EmfWriter(std::ostream& out, int width, int height)
    : MetafileWriter(out, width, height, 1), start_(out.tellp()) {
    ByteWriter h;
    h.U32(kHeader);
    h.U32(kHeaderSize);
    Rectl(h, {0, 0, std::max(width - 1, 0), std::max(height - 1, 0)});
    Rectl(h, {0, 0, std::max(HiMetricOfUnits(width) - 1, 0),
              std::max(HiMetricOfUnits(height) - 1, 0)});
    h.U32(0x464D4520);  // " EMF"
    h.U32(0x00010000);
    h.U32(0);  // bytes, records and handles are filled in by EmitEnd
    h.U32(0);
    h.U16(0);
    h.U16(0);
    h.U32(0);  // no description
    h.U32(0);
    h.U32(0);  // no palette
    h.I32(kDevicePixels);
    h.I32(kDevicePixels);
    h.I32(kDeviceMillimetres);
    h.I32(kDeviceMillimetres);
    h.U32(0);  // no pixel format
    h.U32(0);
    h.U32(0);  // not OpenGL
    h.I32(kDeviceMillimetres * 1000);
    h.I32(kDeviceMillimetres * 1000);
    Write(h.bytes());

    ByteWriter mode;
    mode.U32(kMapModeText);
    Record(kSetMapMode, mode);
}

void EmfWriter::Record(uint32_t type, const ByteWriter& payload) {
    ByteWriter r;
    const size_t size = (8 + payload.size() + 3) / 4 * 4;
    r.U32(type);
    r.U32(static_cast<uint32_t>(size));
    r.Bytes(payload.bytes().data(), payload.size());
    r.Zeros(size - 8 - payload.size());
    Write(r.bytes());
}

void EmfWriter::RecordOneU32(uint32_t type, uint32_t value) {
    ByteWriter p;
    p.U32(value);
    Record(type, p);
}

void EmfWriter::EmitCreatePen(int slot, const Pen& pen) {
    ByteWriter p;
    p.U32(static_cast<uint32_t>(slot));
    p.U32(static_cast<uint32_t>(static_cast<int>(pen.style) | static_cast<int>(pen.end_cap)));
    p.I32(pen.width);
    p.I32(0);
    p.U32(pen.color & 0xFFFFFF);
    Record(kCreatePen, p);
}

void EmfWriter::EmitCreateBrush(int slot, const Brush& brush) {
    ByteWriter p;
    p.U32(static_cast<uint32_t>(slot));
    p.U32(brush.style == BrushStyle::Solid ? 0 : brush.style == BrushStyle::Null ? 1 : 2);
    p.U32(brush.color & 0xFFFFFF);
    p.U32(static_cast<uint32_t>(brush.hatch));
    Record(kCreateBrushIndirect, p);
}

void EmfWriter::EmitCreateFont(int slot, const Font& font) {
    ByteWriter p;
    p.U32(static_cast<uint32_t>(slot));
    p.I32(font.height);
    p.I32(font.width);
    p.I32(font.escapement);
    p.I32(font.orientation);
    p.I32(font.weight);
    p.U8(font.italic);
    p.U8(font.underline);
    p.U8(font.strike_out);
    p.U8(font.charset);
    p.U8(0);
    p.U8(0);
    p.U8(0);
    p.U8(font.pitch_and_family);
    FaceName(p, font.face, 32);
    // The extended tail: full name and style left empty, no version, vendor or panose.
    p.Zeros(128 + 64 + 4 * 6 + 12);
    Record(kExtCreateFontIndirectW, p);
}

void EmfWriter::EmitSelect(int slot) {
    RecordOneU32(kSelectObject, static_cast<uint32_t>(slot));
}

void EmfWriter::EmitDelete(int slot) {
    RecordOneU32(kDeleteObject, static_cast<uint32_t>(slot));
}

void EmfWriter::EmitTextColor(Color c) {
    RecordOneU32(kSetTextColor, c & 0xFFFFFF);
}

void EmfWriter::EmitBackgroundColor(Color c) {
    RecordOneU32(kSetBkColor, c & 0xFFFFFF);
}

void EmfWriter::EmitBackgroundMode(BackgroundMode m) {
    RecordOneU32(kSetBkMode, static_cast<uint32_t>(m));
}

void EmfWriter::EmitTextAlign(unsigned flags) {
    RecordOneU32(kSetTextAlign, flags);
}

void EmfWriter::EmitPolyFillMode(FillMode m) {
    RecordOneU32(kSetPolyFillMode, static_cast<uint32_t>(m));
}

void EmfWriter::EmitSaveDc() {
    Record(kSaveDc, ByteWriter());
}

void EmfWriter::EmitRestoreDc() {
    ByteWriter p;
    p.I32(-1);
    Record(kRestoreDc, p);
}

void EmfWriter::EmitIntersectClip(const Rect& r) {
    ByteWriter p;
    Rectl(p, r);
    Record(kIntersectClipRect, p);
}

void EmfWriter::EmitMoveTo(Point at) {
    ByteWriter p;
    Pointl(p, at);
    Record(kMoveToEx, p);
}

void EmfWriter::EmitLineTo(Point at) {
    ByteWriter p;
    Pointl(p, at);
    Record(kLineTo, p);
}

void EmfWriter::EmitPoly(const std::vector<Point>& points, bool closed) {
    ByteWriter p;
    Rectl(p, BoundsOf(points));
    p.U32(static_cast<uint32_t>(points.size()));
    const bool small = std::all_of(points.begin(), points.end(), Fits16);
    for (const Point& pt : points) {
        if (small) {
            p.I16(static_cast<int16_t>(pt.x));
            p.I16(static_cast<int16_t>(pt.y));
        } else {
            Pointl(p, pt);
        }
    }
    Record(small ? (closed ? kPolygon16 : kPolyline16) : (closed ? kPolygon : kPolyline), p);
}

void EmfWriter::EmitShape(Shape shape, const Rect& box) {
    ByteWriter p;
    Rectl(p, box);
    Record(shape == Shape::Rectangle ? kRectangle : kEllipse, p);
}

void EmfWriter::EmitCurve(Curve curve, const Rect& box, Point start, Point end) {
    ByteWriter p;
    Rectl(p, box);
    Pointl(p, start);
    Pointl(p, end);
    Record(curve == Curve::Arc ? kArc : curve == Curve::Chord ? kChord : kPie, p);
}

void EmfWriter::EmitSetPixel(Point at, Color c) {
    ByteWriter p;
    Pointl(p, at);
    p.U32(c);
    Record(kSetPixelV, p);
}

void EmfWriter::EmitText(Point at, unsigned options, const Rect* rect, const std::string& text,
                         const std::vector<int>& dx) {
    const uint32_t n = static_cast<uint32_t>(text.size());
    constexpr uint32_t kFixed = 76;  // record head, bounds, scales and the text block
    const uint32_t string_bytes = (n * 2 + 3) / 4 * 4;
    int width = 0;
    for (int a : dx) width += a;
    ByteWriter p;
    Rectl(p, {at.x, at.y, at.x + width, at.y});
    p.U32(1);  // GM_COMPATIBLE
    uint32_t scale;
    std::memcpy(&scale, &kUnitsToHiMetric, 4);
    p.U32(scale);
    p.U32(scale);
    Pointl(p, at);
    p.U32(n);
    p.U32(kFixed);
    p.U32(options & (text_out::kOpaque | text_out::kClipped));
    Rectl(p, rect ? *rect : Rect{});
    p.U32(kFixed + string_bytes);
    for (unsigned char c : text) p.U16(Utf16Of(c));
    p.Zeros(string_bytes - n * 2);
    for (uint32_t i = 0; i < n; ++i) p.I32(dx[i]);
    Record(kExtTextOutW, p);
}

void EmfWriter::EmitStretchDib(const Rect& dst, const Bitmap& bitmap) {
    const PackedDib dib = PackDib(bitmap);
    constexpr uint32_t kFixed = 80;
    ByteWriter p;
    Rectl(p, {std::min(dst.left, dst.right), std::min(dst.top, dst.bottom),
              std::max(dst.left, dst.right) - 1, std::max(dst.top, dst.bottom) - 1});
    p.I32(dst.left);
    p.I32(dst.top);
    p.I32(0);
    p.I32(0);
    p.I32(bitmap.width);
    p.I32(bitmap.height);
    p.U32(kFixed);
    p.U32(static_cast<uint32_t>(dib.info.size()));
    p.U32(kFixed + static_cast<uint32_t>(dib.info.size()));
    p.U32(static_cast<uint32_t>(dib.bits.size()));
    p.U32(0);  // DIB_RGB_COLORS
    p.U32(kSrcCopy);
    p.I32(static_cast<int32_t>(dst.Width()));
    p.I32(static_cast<int32_t>(dst.Height()));
    p.Bytes(dib.info.data(), dib.info.size());
    p.Bytes(dib.bits.data(), dib.bits.size());
    Record(kStretchDibits, p);
}

void EmfWriter::EmitEnd() {
    ByteWriter p;
    p.U32(0);
    p.U32(0);
    p.U32(20);
    Record(kEof, p);
    ByteWriter fields;
    fields.U32(static_cast<uint32_t>(bytes_written()));
    fields.U32(records());
    fields.U16(static_cast<uint16_t>(peak_objects() + 1));
    const std::streampos end = out().tellp();
    out().seekp(start_ + std::streamoff(48));
    out().write(reinterpret_cast<const char*>(fields.bytes().data()),
                std::streamsize(fields.size()));
    out().seekp(end);
}

}  // namespace cindral
