#include "render/pictures/emf_player.h"

#include <map>
#include <variant>

#include "core/format/byte_codec.h"
#include "core/pages/rounding.h"
#include "render/canvas/emf_records.h"
#include "render/canvas/geometry_codec.h"
#include "render/pictures/bmp_decoder.h"
#include "render/pictures/picture_error.h"

namespace cindral {
namespace {

using namespace emf;  // NOLINT(google-build-using-namespace): record names

constexpr uint32_t kStockObject = 0x80000000;

// UTF-16 back to the canvas's Windows-1252; what it cannot hold becomes '?'.
char Cp1252Of(uint16_t u) {
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (u < 0x80 || (u >= 0xA0 && u < 0x100)) return static_cast<char>(u);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == u) return static_cast<char>(0x80 + i);
    }
    return '?';
}

class Player {
  public:
    explicit Player(Canvas& canvas) : c_(canvas) {}

    void Record(uint32_t type, ByteReader& r, const uint8_t* record, size_t size) {
        switch (type) {
            case kPolygon:
            case kPolyline:
            case kPolygon16:
            case kPolyline16: {
                ReadRect(r);
                const uint32_t n = r.U32();
                if (n > r.remaining()) throw PictureError("a point list overruns its record");
                std::vector<Point> points(n);
                const bool small = type >= 86;
                for (Point& p : points) {
                    p.x = small ? r.I16() : r.I32();
                    p.y = small ? r.I16() : r.I32();
                }
                if (type == kPolygon || type == kPolygon16) {
                    c_.Polygon(points);
                } else {
                    c_.Polyline(points);
                }
                break;
            }
            case kSetPixelV: {
                const Point p = ReadPoint(r);
                c_.SetPixel(p.x, p.y, r.U32());
                break;
            }
            case kSetBkMode:
                c_.SetBackgroundMode(r.U32() == 1 ? BackgroundMode::Transparent
                                                  : BackgroundMode::Opaque);
                break;
            case kSetPolyFillMode:
                c_.SetPolyFillMode(r.U32() == 2 ? FillMode::Winding : FillMode::Alternate);
                break;
            case kSetTextAlign:
                c_.SetTextAlign(r.U32());
                break;
            case kSetTextColor:
                c_.SetTextColor(r.U32() & 0xFFFFFF);
                break;
            case kSetBkColor:
                c_.SetBackgroundColor(r.U32() & 0xFFFFFF);
                break;
            case kMoveToEx: {
                const Point p = ReadPoint(r);
                c_.MoveTo(p.x, p.y);
                break;
            }
            case kLineTo: {
                const Point p = ReadPoint(r);
                c_.LineTo(p.x, p.y);
                break;
            }
            case kIntersectClipRect:
                c_.IntersectClipRect(ReadRect(r));
                break;
            case kSaveDc:
                saved_.push_back({c_.pen(), c_.brush(), c_.font(), c_.clip()});
                break;
            case kRestoreDc:
                if (!saved_.empty()) {
                    const Saved s = saved_.back();
                    saved_.pop_back();
                    c_.SelectPen(s.pen);
                    c_.SelectBrush(s.brush);
                    c_.SelectFont(s.font);
                    if (s.clip) {
                        c_.SelectClipRegion(*s.clip);
                    } else {
                        c_.SelectNoClip();
                    }
                }
                break;
            case kSelectObject:
                Select(r.U32());
                break;
            case kCreatePen: {
                const uint32_t slot = r.U32();
                Pen pen;
                const uint32_t style = r.U32();
                pen.style = static_cast<PenStyle>(style & 0xF);
                pen.end_cap = static_cast<PenEndCap>(style & 0xF00);
                pen.width = r.I32();
                r.I32();
                pen.color = r.U32() & 0xFFFFFF;
                objects_[slot] = pen;
                break;
            }
            case kCreateBrushIndirect: {
                const uint32_t slot = r.U32();
                Brush brush;
                const uint32_t style = r.U32();
                brush.style = style == 0   ? BrushStyle::Solid
                              : style == 2 ? BrushStyle::Hatched
                                           : BrushStyle::Null;
                brush.color = r.U32() & 0xFFFFFF;
                brush.hatch = static_cast<HatchStyle>(r.U32() % 6);
                objects_[slot] = brush;
                break;
            }
            case kDeleteObject:
                objects_.erase(r.U32());
                break;
            case kEllipse:
                c_.Ellipse(ReadRect(r));
                break;
            case kRectangle:
                c_.Rectangle(ReadRect(r));
                break;
            case kArc:
            case kChord:
            case kPie: {
                const Rect box = ReadRect(r);
                const Point a = ReadPoint(r), b = ReadPoint(r);
                if (type == kArc) c_.Arc(box, a, b);
                if (type == kChord) c_.Chord(box, a, b);
                if (type == kPie) c_.Pie(box, a, b);
                break;
            }
            case kStretchDibits:
                StretchDibits(r, record, size);
                break;
            case kExtCreateFontIndirectW: {
                const uint32_t slot = r.U32();
                Font f;
                f.height = r.I32();
                f.width = r.I32();
                f.escapement = r.I32();
                f.orientation = r.I32();
                f.weight = r.I32();
                f.italic = r.U8() != 0;
                f.underline = r.U8() != 0;
                f.strike_out = r.U8() != 0;
                f.charset = r.U8();
                r.Skip(3);
                f.pitch_and_family = r.U8();
                f.face.clear();
                for (int i = 0; i < 32; ++i) {
                    const uint16_t ch = r.U16();
                    if (ch == 0) break;
                    f.face += Cp1252Of(ch);
                }
                objects_[slot] = f;
                break;
            }
            case kExtTextOutW:
                Text(r, record, size);
                break;
            default:
                break;
        }
    }

  private:
    struct Saved {
        Pen pen;
        Brush brush;
        Font font;
        std::optional<Region> clip;
    };

    void Select(uint32_t slot) {
        if (slot & kStockObject) return;  // never written by our encoder; left as they are
        const auto it = objects_.find(slot);
        if (it == objects_.end())
            throw PictureError("a record selects an object that is not there");
        if (const Pen* p = std::get_if<Pen>(&it->second)) c_.SelectPen(*p);
        if (const Brush* b = std::get_if<Brush>(&it->second)) c_.SelectBrush(*b);
        if (const Font* f = std::get_if<Font>(&it->second)) c_.SelectFont(*f);
    }

    void Text(ByteReader& r, const uint8_t* record, size_t size) {
        ReadRect(r);
        r.U32();
        r.U32();
        r.U32();
        const Point at = ReadPoint(r);
        const uint32_t n = r.U32();
        const uint32_t off_string = r.U32();
        const uint32_t options = r.U32();
        const Rect rect = ReadRect(r);
        const uint32_t off_dx = r.U32();
        if (off_string > size || n > (size - off_string) / 2) {
            throw PictureError("a text overruns its record");
        }
        std::string text;
        ByteReader s(record + off_string, size - off_string);
        for (uint32_t i = 0; i < n; ++i) text += Cp1252Of(s.U16());
        std::vector<int> dx;
        if (off_dx != 0) {
            if (off_dx > size || n > (size - off_dx) / 4) {
                throw PictureError("character advances overrun their record");
            }
            ByteReader d(record + off_dx, size - off_dx);
            for (uint32_t i = 0; i < n; ++i) dx.push_back(d.I32());
        }
        c_.ExtTextOut(at.x, at.y, options, &rect, text, dx);
    }

    void StretchDibits(ByteReader& r, const uint8_t* record, size_t size) {
        ReadRect(r);
        const int x = r.I32(), y = r.I32();
        const int xs = r.I32(), ys = r.I32(), ws = r.I32(), hs = r.I32();
        const uint32_t off_bmi = r.U32(), cb_bmi = r.U32(), off_bits = r.U32(), cb_bits = r.U32();
        r.U32();
        r.U32();
        const int w = r.I32(), h = r.I32();
        if (off_bmi > size || cb_bmi > size - off_bmi || off_bits > size ||
            cb_bits > size - off_bits || off_bits < off_bmi) {
            throw PictureError("a bitmap overruns its record");
        }
        const Bitmap bitmap = DecodeDib(record + off_bmi, size - off_bmi, off_bits - off_bmi);
        // The source rectangle counts rows from the bottom of a bottom-up bitmap.
        // Sums of the record's 32-bit fields are taken in 64 bits and held to int.
        auto sum = [](int64_t a, int64_t b, int64_t c = 0) { return ClampToInt(a + b + c); };
        const Rect src{xs, sum(bitmap.height, -int64_t(ys), -int64_t(hs)), sum(xs, ws),
                       sum(bitmap.height, -int64_t(ys))};
        c_.StretchDib({x, y, sum(x, w), sum(y, h)}, bitmap, src);
    }

    Canvas& c_;
    std::map<uint32_t, std::variant<Pen, Brush, Font>> objects_;
    std::vector<Saved> saved_;
};

}  // namespace

Rect ReadEmfBounds(const uint8_t* data, size_t size) {
    try {
        ByteReader r(data, size);
        if (r.U32() != kHeader) throw PictureError("not an enhanced metafile");
        r.U32();
        const Rect bounds = ReadRect(r);
        r.Skip(16);
        if (r.U32() != 0x464D4520) throw PictureError("not an enhanced metafile");
        return bounds;
    } catch (const ByteRangeError&) {
        throw PictureError("the enhanced metafile's header is cut short");
    }
}

void PlayEmf(const uint8_t* data, size_t size, Canvas& canvas) {
    ReadEmfBounds(data, size);
    Player player(canvas);
    size_t at = 0;
    while (at < size) {
        if (size - at < 8) throw PictureError("an enhanced metafile record is cut short");
        ByteReader head(data + at, 8);
        const uint32_t type = head.U32();
        const uint32_t length = head.U32();
        if (length < 8 || length > size - at) {
            throw PictureError("an enhanced metafile record overruns the file");
        }
        ByteReader r(data + at + 8, length - 8);
        try {
            player.Record(type, r, data + at, length);
        } catch (const ByteRangeError&) {
            throw PictureError("an enhanced metafile record is shorter than its fields");
        }
        at += length;
        if (type == kEof) break;
    }
    canvas.SelectNoClip();
}

}  // namespace cindral
