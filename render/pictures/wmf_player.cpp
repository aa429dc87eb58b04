#include "render/pictures/wmf_player.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <variant>

#include "core/format/byte_codec.h"
#include "render/canvas/wmf_records.h"
#include "render/pictures/bmp_decoder.h"
#include "render/pictures/picture_error.h"
#include "render/pictures/picture_files.h"

namespace cindral {
namespace {

using namespace wmf;  // NOLINT(google-build-using-namespace): record names

constexpr size_t kMetaHeaderSize = 18;
constexpr size_t kMaxObjects = 65535;

[[noreturn]] void Fail(const std::string& why) {
    throw PictureError("metafile: " + why);
}

// Objects a metafile may create; kinds we do not draw with still take their slot.
struct Placeholder {};
using GdiObject = std::variant<Placeholder, Pen, Brush, Font>;

struct DcState {
    Pen pen;
    Brush brush;
    Font font;
    Color text_color = kBlack;
    Color background_color = kWhite;
    BackgroundMode background_mode = BackgroundMode::Opaque;
    unsigned text_align = 0;
    FillMode fill_mode = FillMode::Alternate;
    Point window_org;
    Point window_ext{1, 1};
    Point viewport_org;
    Point viewport_ext{1, 1};
    std::optional<Rect> clip;  // device coordinates, within the target
};

class Player {
  public:
    // The metafile's window (its own records may set it; else the placeable frame, else the
    // target's size) is mapped onto `target`.
    Player(Canvas& canvas, const Rect& target, const WmfFrame& frame)
        : canvas_(canvas), target_(target), base_clip_(canvas.clip()) {
        if (frame.placeable) {
            state_.window_org = {frame.bounds.left, frame.bounds.top};
            state_.window_ext = {int(frame.bounds.Width()), int(frame.bounds.Height())};
        } else {
            state_.window_ext = {int(target.Width()), int(target.Height())};
        }
    }

    void Play(const uint8_t* data, size_t size, size_t offset) {
        size_t pos = offset;
        while (pos + 6 <= size) {
            ByteReader head(data + pos, size - pos);
            const uint32_t words = head.U32();
            const uint16_t function = head.U16();
            if (words < 3 || words > (size - pos) / 2) {
                char where[64];
                std::snprintf(where, sizeof where, "record 0x%04X at byte %zu", function, pos);
                Fail(std::string(where) + " does not fit in the data");
            }
            const size_t length = size_t(words) * 2;
            if (function == kEof) return;
            ByteReader params(data + pos + 6, length - 6);
            try {
                Record(function, params, data + pos + 6, length - 6);
            } catch (const ByteRangeError&) {
                char where[64];
                std::snprintf(where, sizeof where, "record 0x%04X at byte %zu", function, pos);
                Fail(std::string(where) + " is too short");
            }
            pos += length;
        }
        // Some writers leave out the end record; a piece of a record is a cut file.
        if (pos != size) Fail("the data ends inside a record");
    }

  private:
    // --- mapping from logical units to device pixels ---
    double ScaleX() const {
        return state_.window_ext.x == 0 ? 0 : double(target_.Width()) / state_.window_ext.x;
    }
    double ScaleY() const {
        return state_.window_ext.y == 0 ? 0 : double(target_.Height()) / state_.window_ext.y;
    }
    static int Clamp(double v) {
        if (!(v > -1e9)) return -1000000000;
        if (v > 1e9) return 1000000000;
        return static_cast<int>(std::lround(v));
    }
    Point Map(int x, int y) const {
        return {Clamp(target_.left + (double(x) - state_.window_org.x) * ScaleX()),
                Clamp(target_.top + (double(y) - state_.window_org.y) * ScaleY())};
    }
    int MapWidth(int w) const { return Clamp(std::fabs(w * ScaleX())); }
    int MapHeight(int h) const {
        const int mapped = Clamp(std::fabs(h * ScaleY()));
        return h < 0 ? -mapped : mapped;
    }
    Rect MapRect(int left, int top, int right, int bottom) const {
        const Point a = Map(left, top);
        const Point b = Map(right, bottom);
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
    std::vector<Point> ReadPoints(ByteReader& in, size_t count) const {
        if (count * 4 > in.remaining()) throw ByteRangeError("points");
        std::vector<Point> points;
        points.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            const int x = in.I16();
            const int y = in.I16();
            points.push_back(Map(x, y));
        }
        return points;
    }

    // --- objects ---
    void Create(GdiObject object) {
        for (auto& slot : objects_) {
            if (!slot) {
                slot = std::move(object);
                return;
            }
        }
        if (objects_.size() >= kMaxObjects) Fail("too many objects");
        objects_.emplace_back(std::move(object));
    }
    void Select(uint16_t index) {
        if (index >= objects_.size() || !objects_[index]) return;
        const GdiObject& object = *objects_[index];
        if (auto* pen = std::get_if<Pen>(&object)) {
            state_.pen = *pen;
        } else if (auto* brush = std::get_if<Brush>(&object)) {
            state_.brush = *brush;
        } else if (auto* font = std::get_if<Font>(&object)) {
            state_.font = *font;
        }
    }

    Pen ReadPen(ByteReader& in) const {
        Pen pen;
        const uint16_t style = in.U16();
        const int width = in.I16();
        in.Skip(2);
        pen.color = in.U32() & 0xFFFFFF;
        const int kind = style & 0x0F;
        pen.style = kind <= 6 ? static_cast<PenStyle>(kind) : PenStyle::Solid;
        const int cap = style & 0x0F00;
        pen.end_cap = cap == 0x100   ? PenEndCap::Square
                      : cap == 0x200 ? PenEndCap::Flat
                                     : PenEndCap::Round;
        pen.width = width <= 0 ? 0 : std::max(1, MapWidth(width));
        return pen;
    }
    static Brush ReadBrush(ByteReader& in) {
        Brush brush;
        const uint16_t style = in.U16();
        brush.color = in.U32() & 0xFFFFFF;
        const uint16_t hatch = in.U16();
        if (style == 1) {
            brush.style = BrushStyle::Null;
        } else if (style == 2) {
            brush.style = BrushStyle::Hatched;
            brush.hatch = static_cast<HatchStyle>(hatch <= 5 ? hatch : 0);
        } else {
            brush.style = BrushStyle::Solid;
        }
        return brush;
    }
    Font ReadFont(ByteReader& in) const {
        Font font;
        font.height = MapHeight(in.I16());
        font.width = MapWidth(in.I16());
        font.escapement = in.I16();
        font.orientation = in.I16();
        font.weight = in.I16();
        font.italic = in.U8() != 0;
        font.underline = in.U8() != 0;
        font.strike_out = in.U8() != 0;
        font.charset = in.U8();
        in.Skip(3);  // precisions, quality
        font.pitch_and_family = in.U8();
        std::string face;
        while (in.remaining() > 0 && face.size() < 32) {
            const char c = static_cast<char>(in.U8());
            if (c == '\0') break;
            face += c;
        }
        if (!face.empty()) font.face = face;
        return font;
    }

    // --- drawing ---
    void Apply() {
        canvas_.SelectPen(state_.pen);
        canvas_.SelectBrush(state_.brush);
        canvas_.SelectFont(state_.font);
        canvas_.SetTextColor(state_.text_color);
        canvas_.SetBackgroundColor(state_.background_color);
        canvas_.SetBackgroundMode(state_.background_mode);
        canvas_.SetTextAlign(state_.text_align & ~text_align::kUpdateCp);
        canvas_.SetPolyFillMode(state_.fill_mode);
        const Rect clip = state_.clip ? *state_.clip : target_;
        if (!applied_clip_ || *applied_clip_ != clip) {
            canvas_.SelectClipRegion(
                base_clip_ ? base_clip_->Combined(Region::FromRect(clip), CombineMode::And)
                           : Region::FromRect(clip));
            applied_clip_ = clip;
        }
    }

    void DrawBitmap(ByteReader& in, const uint8_t* params, size_t length, bool has_usage,
                    bool stretch) {
        in.U32();  // raster operation: every picture is copied
        if (has_usage) in.U16();
        int src_h = 0, src_w = 0;
        if (stretch) {
            src_h = in.I16();
            src_w = in.I16();
        }
        const int y_src = in.I16();
        const int x_src = in.I16();
        const int dst_h = in.I16();
        const int dst_w = in.I16();
        const int y_dst = in.I16();
        const int x_dst = in.I16();
        if (!stretch) {
            src_h = dst_h;
            src_w = dst_w;
        }
        const size_t dib_at = in.position();
        if (dib_at >= length) return;  // no bitmap: a pattern operation we do not draw
        const Bitmap bitmap = DecodeDib(params + dib_at, length - dib_at);
        // Source rows count from the bottom of a bottom-up DIB.
        ByteReader header(params + dib_at, length - dib_at);
        const uint32_t header_size = header.U32();
        bool bottom_up = true;
        if (header_size >= 40) {
            header.Skip(4);
            bottom_up = header.I32() > 0;
        }
        const int top = bottom_up ? bitmap.height - (y_src + src_h) : y_src;
        const Point a = Map(x_dst, y_dst);
        const Point b = Map(x_dst + dst_w, y_dst + dst_h);
        Apply();
        canvas_.StretchDib({a.x, a.y, b.x, b.y}, bitmap, {x_src, top, x_src + src_w, top + src_h});
    }

    void Text(int x, int y, const std::string& text, unsigned options, const Rect* rect,
              const std::vector<int>& dx) {
        Apply();
        const Point p = Map(x, y);
        std::vector<int> mapped;
        for (int d : dx) mapped.push_back(MapWidth(d));
        canvas_.ExtTextOut(p.x, p.y, options, rect, text, mapped);
    }

    void Record(uint16_t function, ByteReader& in, const uint8_t* params, size_t length) {
        switch (function) {
            case kSaveDc:
                if (saved_.size() < 1000) saved_.push_back(state_);
                break;
            case kRestoreDc: {
                // Negative: that many levels back; positive: the n-th saved state.
                const int64_t n = in.I16();
                const int64_t index = n < 0 ? int64_t(saved_.size()) + n : n - 1;
                if (n != 0 && index >= 0 && index < int64_t(saved_.size())) {
                    state_ = saved_[size_t(index)];
                    saved_.resize(size_t(index));
                }
                break;
            }
            case kSetBkColor:
                state_.background_color = in.U32() & 0xFFFFFF;
                break;
            case kSetTextColor:
                state_.text_color = in.U32() & 0xFFFFFF;
                break;
            case kSetBkMode:
                state_.background_mode =
                    in.U16() == 1 ? BackgroundMode::Transparent : BackgroundMode::Opaque;
                break;
            case kSetPolyFillMode:
                state_.fill_mode = in.U16() == 2 ? FillMode::Winding : FillMode::Alternate;
                break;
            case kSetTextAlign:
                state_.text_align = in.U16();
                break;
            case kSetMapMode:
                break;  // the picture is always fitted to its box
            case kSetWindowOrg: {
                const int y = in.I16();
                state_.window_org = {in.I16(), y};
                break;
            }
            case kSetWindowExt: {
                const int y = in.I16();
                const int x = in.I16();
                if (x != 0 && y != 0) state_.window_ext = {x, y};
                break;
            }
            case kSetViewportOrg: {
                const int y = in.I16();
                state_.viewport_org = {in.I16(), y};
                break;
            }
            case kSetViewportExt: {
                const int y = in.I16();
                state_.viewport_ext = {in.I16(), y};
                break;
            }
            case kCreatePenIndirect:
                Create(ReadPen(in));
                break;
            case kCreateBrushIndirect:
                Create(ReadBrush(in));
                break;
            case kCreateFontIndirect:
                Create(ReadFont(in));
                break;
            case kDibCreatePatternBrush: {
                in.U16();  // style
                in.U16();  // colour usage
                Brush brush;
                try {
                    brush.style = BrushStyle::Pattern;
                    brush.pattern = std::make_shared<Bitmap>(
                        DecodeDib(params + in.position(), length - in.position()));
                } catch (const PictureError&) {
                    brush = Brush{};
                    brush.color = kBlack;
                }
                Create(brush);
                break;
            }
            case kCreatePalette:
            case kCreatePatternBrush:
            case kCreateRegion:
                Create(Placeholder{});
                break;
            case kSelectObject:
                Select(in.U16());
                break;
            case kDeleteObject: {
                const uint16_t index = in.U16();
                if (index < objects_.size()) objects_[index].reset();
                break;
            }
            case kMoveTo: {
                const int y = in.I16();
                position_ = {in.I16(), y};
                break;
            }
            case kLineTo: {
                const int y = in.I16();
                const int x = in.I16();
                Apply();
                const Point from = Map(position_.x, position_.y);
                canvas_.MoveTo(from.x, from.y);
                const Point to = Map(x, y);
                canvas_.LineTo(to.x, to.y);
                position_ = {x, y};
                break;
            }
            case kPolyline:
            case kPolygon: {
                const size_t count = in.U16();
                const std::vector<Point> points = ReadPoints(in, count);
                Apply();
                if (function == kPolyline) {
                    canvas_.Polyline(points);
                } else {
                    canvas_.Polygon(points);
                }
                break;
            }
            case kPolyPolygon: {
                const size_t polygons = in.U16();
                std::vector<size_t> counts;
                for (size_t i = 0; i < polygons; ++i) counts.push_back(in.U16());
                Apply();
                for (size_t count : counts) canvas_.Polygon(ReadPoints(in, count));
                break;
            }
            case kRectangle:
            case kEllipse:
            case kRoundRect: {
                if (function == kRoundRect) in.Skip(4);  // corner size: drawn square
                const int bottom = in.I16(), right = in.I16(), top = in.I16(), left = in.I16();
                Apply();
                const Rect box = MapRect(left, top, right, bottom);
                if (function == kEllipse) {
                    canvas_.Ellipse(box);
                } else {
                    canvas_.Rectangle(box);
                }
                break;
            }
            case kArc:
            case kPie:
            case kChord: {
                const int ye = in.I16(), xe = in.I16(), ys = in.I16(), xs = in.I16();
                const int bottom = in.I16(), right = in.I16(), top = in.I16(), left = in.I16();
                Apply();
                const Rect box = MapRect(left, top, right, bottom);
                const Point start = Map(xs, ys), end = Map(xe, ye);
                if (function == kArc) canvas_.Arc(box, start, end);
                if (function == kPie) canvas_.Pie(box, start, end);
                if (function == kChord) canvas_.Chord(box, start, end);
                break;
            }
            case kSetPixel: {
                const Color c = in.U32() & 0xFFFFFF;
                const int y = in.I16();
                const int x = in.I16();
                Apply();
                const Point p = Map(x, y);
                canvas_.SetPixel(p.x, p.y, c);
                break;
            }
            case kPatBlt: {
                in.U32();
                const int h = in.I16(), w = in.I16(), y = in.I16(), x = in.I16();
                Apply();
                canvas_.FillRect(MapRect(x, y, x + w, y + h));
                break;
            }
            case kIntersectClipRect: {
                const int bottom = in.I16(), right = in.I16(), top = in.I16(), left = in.I16();
                Rect r = MapRect(left, top, right, bottom);
                const Rect current = state_.clip ? *state_.clip : target_;
                r = {std::max(r.left, current.left), std::max(r.top, current.top),
                     std::min(r.right, current.right), std::min(r.bottom, current.bottom)};
                if (r.IsEmpty()) r = {current.left, current.top, current.left, current.top};
                state_.clip = r;
                break;
            }
            case kTextOut: {
                const size_t count = in.U16();
                std::string text(count, '\0');
                in.Bytes(text.data(), count);
                if (count & 1) in.Skip(1);
                const int y = in.I16();
                const int x = in.I16();
                Text(x, y, text, 0, nullptr, {});
                break;
            }
            case kExtTextOut: {
                const int y = in.I16();
                const int x = in.I16();
                const size_t count = in.U16();
                const uint16_t options = in.U16();
                std::optional<Rect> rect;
                if (options & (text_out::kOpaque | text_out::kClipped)) {
                    const int left = in.I16(), top = in.I16(), right = in.I16(), bottom = in.I16();
                    rect = MapRect(left, top, right, bottom);
                }
                std::string text(count, '\0');
                in.Bytes(text.data(), count);
                if ((count & 1) && in.remaining() > 0) in.Skip(1);
                std::vector<int> dx;
                if (in.remaining() >= count * 2) {
                    for (size_t i = 0; i < count; ++i) dx.push_back(in.I16());
                }
                Text(x, y, text, options & (text_out::kOpaque | text_out::kClipped),
                     rect ? &*rect : nullptr, dx);
                break;
            }
            case kStretchDib:
                DrawBitmap(in, params, length, /*has_usage=*/true, /*stretch=*/true);
                break;
            case kDibStretchBlt:
                DrawBitmap(in, params, length, /*has_usage=*/false, /*stretch=*/true);
                break;
            case kDibBitBlt:
                DrawBitmap(in, params, length, /*has_usage=*/false, /*stretch=*/false);
                break;
            default:
                break;  // skipped by its size
        }
    }

    Canvas& canvas_;
    Rect target_;
    std::optional<Region> base_clip_;  // the caller's clip, kept under the picture's own
    DcState state_;
    std::vector<DcState> saved_;
    std::vector<std::optional<GdiObject>> objects_;
    Point position_;  // logical
    std::optional<Rect> applied_clip_;
};

// Puts back the canvas state a picture changed.
class CanvasStateGuard {
  public:
    explicit CanvasStateGuard(Canvas& canvas)
        : canvas_(canvas),
          pen_(canvas.pen()),
          brush_(canvas.brush()),
          font_(canvas.font()),
          text_color_(canvas.text_color()),
          background_color_(canvas.background_color()),
          background_mode_(canvas.background_mode()),
          align_(canvas.text_align()),
          fill_mode_(canvas.poly_fill_mode()),
          clip_(canvas.clip()) {}
    ~CanvasStateGuard() {
        canvas_.SelectPen(pen_);
        canvas_.SelectBrush(brush_);
        canvas_.SelectFont(font_);
        canvas_.SetTextColor(text_color_);
        canvas_.SetBackgroundColor(background_color_);
        canvas_.SetBackgroundMode(background_mode_);
        canvas_.SetTextAlign(align_);
        canvas_.SetPolyFillMode(fill_mode_);
        if (clip_) {
            canvas_.SelectClipRegion(*clip_);
        } else {
            canvas_.SelectNoClip();
        }
    }
    CanvasStateGuard(const CanvasStateGuard&) = delete;
    CanvasStateGuard& operator=(const CanvasStateGuard&) = delete;

  private:
    Canvas& canvas_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Color text_color_, background_color_;
    BackgroundMode background_mode_;
    unsigned align_;
    FillMode fill_mode_;
    std::optional<Region> clip_;
};

}  // namespace

WmfFrame ReadWmfFrame(const uint8_t* data, size_t size) {
    WmfFrame frame;
    try {
        ByteReader in(data, size);
        if (size >= 4 && in.U32() == kPlaceableKey) {
            if (size < kPlaceableHeaderSize) Fail("the placeable header is truncated");
            ByteReader header(data, size);
            header.Skip(6);
            frame.bounds.left = header.I16();
            frame.bounds.top = header.I16();
            frame.bounds.right = header.I16();
            frame.bounds.bottom = header.I16();
            frame.units_per_inch = header.U16();
            header.Skip(4);
            if (header.U16() != HeaderChecksum(data))
                Fail("the placeable header's checksum is wrong");
            frame.placeable = true;
            frame.header_offset = kPlaceableHeaderSize;
        }
        ByteReader meta(data + frame.header_offset, size - frame.header_offset);
        const uint16_t type = meta.U16();
        const uint16_t header_words = meta.U16();
        if ((type != 1 && type != 2) || header_words != 9) Fail("no metafile header");
        if (size - frame.header_offset < kMetaHeaderSize) Fail("the metafile header is truncated");
    } catch (const ByteRangeError&) {
        Fail("the data is too short");
    }
    return frame;
}

void PlayWmf(const uint8_t* data, size_t size, Canvas& canvas, const Rect& target) {
    const WmfFrame frame = ReadWmfFrame(data, size);
    const CanvasStateGuard guard(canvas);
    Player player(canvas, target, frame);
    player.Play(data, size, frame.header_offset + kMetaHeaderSize);
}

}  // namespace cindral
