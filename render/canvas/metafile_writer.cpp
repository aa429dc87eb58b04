#include "render/canvas/metafile_writer.h"

#include <algorithm>
#include <stdexcept>

namespace cindral {
namespace {

bool SamePen(const Pen& a, const Pen& b) {
    return a.style == b.style && a.width == b.width && a.color == b.color && a.end_cap == b.end_cap;
}

bool SameBrush(const Brush& a, const Brush& b) {
    return a.style == b.style && a.color == b.color && a.hatch == b.hatch;
}

bool SameFont(const Font& a, const Font& b) {
    return a.face == b.face && a.height == b.height && a.width == b.width &&
           a.escapement == b.escapement && a.orientation == b.orientation && a.weight == b.weight &&
           a.italic == b.italic && a.underline == b.underline && a.strike_out == b.strike_out &&
           a.charset == b.charset && a.pitch_and_family == b.pitch_and_family;
}

}  // namespace

PackedDib PackDib(const Bitmap& bitmap) {
    PackedDib dib;
    const uint32_t stride = ((uint32_t(bitmap.width) * 24 + 31) / 32) * 4;
    ByteWriter info;
    info.U32(40);
    info.I32(bitmap.width);
    info.I32(bitmap.height);  // positive: bottom-up rows
    info.U16(1);
    info.U16(24);
    info.U32(0);  // BI_RGB
    info.U32(stride * uint32_t(bitmap.height));
    info.I32(3780);
    info.I32(3780);
    info.U32(0);
    info.U32(0);
    dib.info = info.Take();
    dib.bits.assign(size_t(stride) * size_t(bitmap.height), 0);
    for (int y = 0; y < bitmap.height; ++y) {
        uint8_t* row = dib.bits.data() + size_t(bitmap.height - 1 - y) * stride;
        for (int x = 0; x < bitmap.width; ++x) {
            const uint32_t p = bitmap.At(x, y);
            row[3 * x] = uint8_t(p);
            row[3 * x + 1] = uint8_t(p >> 8);
            row[3 * x + 2] = uint8_t(p >> 16);
        }
    }
    return dib;
}

MetafileWriter::MetafileWriter(std::ostream& out, int width, int height, int first_slot)
    : out_(out), width_(width), height_(height), first_slot_(first_slot) {}

MetafileWriter::~MetafileWriter() = default;

void MetafileWriter::Write(const std::vector<uint8_t>& record) {
    out_.write(reinterpret_cast<const char*>(record.data()), std::streamsize(record.size()));
    bytes_ += record.size();
    ++records_;
    largest_ = std::max<uint32_t>(largest_, static_cast<uint32_t>(record.size()));
}

void MetafileWriter::Finish() {
    if (finished_) return;
    finished_ = true;
    // A clip still selected is released, so the file leaves no saved context behind for the
    // reader's device (a drawing played into another one would stay clipped).
    SelectNoClip();
    SyncClip();
    EmitEnd();
    out_.flush();
    if (!out_) throw std::runtime_error("the metafile could not be written");
}

int MetafileWriter::NewSlot() {
    size_t i = 0;
    while (i < slots_.size() && slots_[i]) ++i;
    if (i == slots_.size()) slots_.push_back(false);
    slots_[i] = true;
    peak_slots_ = std::max(peak_slots_, static_cast<int>(slots_.size()));
    return static_cast<int>(i) + first_slot_;
}

// Deletes every object neither selected now nor kept by a saved context.
void MetafileWriter::ReleaseUnheld() {
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i]) continue;
        const int slot = static_cast<int>(i) + first_slot_;
        const bool held =
            slot == dc_.pen || slot == dc_.brush || slot == dc_.font ||
            (saved_ && (slot == saved_->pen || slot == saved_->brush || slot == saved_->font));
        if (held) continue;
        EmitDelete(slot);
        slots_[i] = false;
    }
}

void MetafileWriter::SyncClip() {
    const std::optional<Region>& wanted = clip();
    const std::optional<Rect> want =
        wanted ? std::optional<Rect>(wanted->Bounds()) : std::optional<Rect>();
    if (want == dc_.clip) return;
    if (dc_.clip) {
        // The context saved before the clip comes back whole, objects and modes included.
        EmitRestoreDc();
        dc_ = *saved_;
        saved_.reset();
        ReleaseUnheld();
    }
    if (want) {
        EmitSaveDc();
        saved_ = dc_;
        EmitIntersectClip(*want);
        dc_.clip = want;
    }
}

void MetafileWriter::UsePen(const Pen& pen) {
    if (dc_.pen >= 0 && SamePen(dc_.pen_value, pen)) return;
    const int slot = NewSlot();
    EmitCreatePen(slot, pen);
    EmitSelect(slot);
    dc_.pen = slot;
    dc_.pen_value = pen;
    ReleaseUnheld();
}

void MetafileWriter::UseBrush(const Brush& brush) {
    if (dc_.brush >= 0 && SameBrush(dc_.brush_value, brush)) return;
    const int slot = NewSlot();
    EmitCreateBrush(slot, brush);
    EmitSelect(slot);
    dc_.brush = slot;
    dc_.brush_value = brush;
    ReleaseUnheld();
}

void MetafileWriter::UseBackground() {
    if (background_mode() != dc_.background_mode) {
        EmitBackgroundMode(background_mode());
        dc_.background_mode = background_mode();
    }
    if (background_color() != dc_.background_color) {
        EmitBackgroundColor(background_color());
        dc_.background_color = background_color();
    }
}

void MetafileWriter::ForLines() {
    SyncClip();
    UsePen(pen());
    if (pen().style != PenStyle::Solid && pen().style != PenStyle::Null) UseBackground();
}

void MetafileWriter::ForFills() {
    SyncClip();
    UsePen(pen());
    UseBrush(brush());
    if (brush().style == BrushStyle::Hatched || brush().style == BrushStyle::Pattern) {
        UseBackground();
    }
    if (poly_fill_mode() != dc_.fill_mode) {
        EmitPolyFillMode(poly_fill_mode());
        dc_.fill_mode = poly_fill_mode();
    }
}

void MetafileWriter::LineTo(int x, int y) {
    ForLines();
    const Point from = current_position();
    if (dc_.position != from) EmitMoveTo(from);
    EmitLineTo({x, y});
    dc_.position = Point{x, y};
    set_current_position({x, y});
}

void MetafileWriter::Polyline(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    ForLines();
    EmitPoly(points, false);
}

void MetafileWriter::Polygon(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    ForFills();
    EmitPoly(points, true);
}

void MetafileWriter::Rectangle(const Rect& box) {
    ForFills();
    EmitShape(Shape::Rectangle, box);
}

void MetafileWriter::Ellipse(const Rect& box) {
    ForFills();
    EmitShape(Shape::Ellipse, box);
}

void MetafileWriter::Arc(const Rect& box, Point start, Point end) {
    ForLines();
    EmitCurve(Curve::Arc, box, start, end);
}

void MetafileWriter::Chord(const Rect& box, Point start, Point end) {
    ForFills();
    EmitCurve(Curve::Chord, box, start, end);
}

void MetafileWriter::Pie(const Rect& box, Point start, Point end) {
    ForFills();
    EmitCurve(Curve::Pie, box, start, end);
}

void MetafileWriter::FillRect(const Rect& r) {
    if (r.IsEmpty() || brush().style == BrushStyle::Null) return;
    SyncClip();
    // A rectangle drawn with the null pen fills one unit less each way, so the box grows.
    UsePen({PenStyle::Null, 0, kBlack, PenEndCap::Round});
    UseBrush(brush());
    if (brush().style != BrushStyle::Solid) UseBackground();
    EmitShape(Shape::Rectangle, {r.left, r.top, r.right + 1, r.bottom + 1});
}

void MetafileWriter::PaintRegion(const Region& region) {
    for (const Rect& r : region.Rects()) FillRect(r);
}

void MetafileWriter::SetPixel(int x, int y, Color c) {
    SyncClip();
    EmitSetPixel({x, y}, c & 0xFFFFFF);
}

void MetafileWriter::ExtTextOut(int x, int y, unsigned options, const Rect* rect,
                                const std::string& text, const std::vector<int>& dx) {
    SyncClip();
    Font wanted = font();
    // Height 0 asks each reader for its own default size; name the size we measured with.
    if (wanted.height == 0) wanted.height = GetTextMetrics().height;
    if (dc_.font < 0 || !SameFont(dc_.font_value, wanted)) {
        const int slot = NewSlot();
        EmitCreateFont(slot, wanted);
        EmitSelect(slot);
        dc_.font = slot;
        dc_.font_value = wanted;
        ReleaseUnheld();
    }
    if (text_color() != dc_.text_color) {
        EmitTextColor(text_color());
        dc_.text_color = text_color();
    }
    if (text_align() != dc_.text_align) {
        EmitTextAlign(text_align());
        dc_.text_align = text_align();
    }
    UseBackground();
    std::vector<int> advances = dx;
    if (advances.size() != text.size()) {
        const std::vector<int> widths = GetCharWidths(0, 255);
        advances.clear();
        for (unsigned char ch : text) advances.push_back(widths[ch]);
    }
    EmitText({x, y}, options, rect, text, advances);
}

void MetafileWriter::StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) {
    if (bitmap.width <= 0 || bitmap.height <= 0) return;
    SyncClip();
    // Only the source part travels, so every reader agrees on which rows are meant.
    const Rect part{std::clamp(src.left, 0, bitmap.width), std::clamp(src.top, 0, bitmap.height),
                    std::clamp(src.right, 0, bitmap.width),
                    std::clamp(src.bottom, 0, bitmap.height)};
    if (part.IsEmpty()) return;
    if (part == Rect{0, 0, bitmap.width, bitmap.height}) {
        EmitStretchDib(dst, bitmap);
        return;
    }
    Bitmap cut;
    cut.width = static_cast<int>(part.Width());
    cut.height = static_cast<int>(part.Height());
    cut.argb.reserve(size_t(cut.width) * cut.height);
    for (int y = part.top; y < part.bottom; ++y) {
        for (int x = part.left; x < part.right; ++x) cut.argb.push_back(bitmap.At(x, y));
    }
    EmitStretchDib(dst, cut);
}

}  // namespace cindral
