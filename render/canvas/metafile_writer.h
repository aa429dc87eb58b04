#pragma once
// MetafileWriter: the part the WMF and EMF encoders share. It is a Canvas that a recorded
// drawing is replayed onto; it keeps what the file's device context holds at each point
// (selected pen, brush and font, colours, modes, clip, current position) and writes state
// records only when a drawing call needs a value the context does not hold yet. Objects
// live in a table in which each new object takes the lowest free slot and is deleted as
// soon as nothing holds it, so the table stays a handful of slots long.

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

#include "core/format/byte_codec.h"
#include "render/canvas/canvas.h"
#include "render/canvas/metafile_canvas.h"

namespace cindral {

// A bitmap as a bottom-up 24-bit device-independent bitmap: the 40-byte info header and the
// rows, each padded to 4 bytes.
struct PackedDib {
    std::vector<uint8_t> info;
    std::vector<uint8_t> bits;
};
PackedDib PackDib(const Bitmap& bitmap);

class MetafileWriter : public Canvas {
  public:
    ~MetafileWriter() override;

    // Ends the file and completes its header. No drawing call may follow.
    void Finish();
    // Records written so far, and the largest live object slot count reached.
    uint32_t records() const { return records_; }
    int peak_objects() const { return peak_slots_; }

    DeviceCaps Caps() const override { return {96, 96, width_, height_, false}; }
    Color NearestColor(Color c) const override { return c & 0xFFFFFF; }

    void LineTo(int x, int y) final;
    void Polyline(const std::vector<Point>& points) final;
    void Polygon(const std::vector<Point>& points) final;
    void Rectangle(const Rect& box) final;
    void Ellipse(const Rect& box) final;
    void Arc(const Rect& box, Point start, Point end) final;
    void Chord(const Rect& box, Point start, Point end) final;
    void Pie(const Rect& box, Point start, Point end) final;
    void FillRect(const Rect& r) final;
    void PaintRegion(const Region& region) final;
    void SetPixel(int x, int y, Color c) final;
    Color GetPixel(int, int) const final { return kInvalidColor; }
    void ExtTextOut(int x, int y, unsigned options, const Rect* rect, const std::string& text,
                    const std::vector<int>& dx) final;
    TextMetrics GetTextMetrics() const final { return fonts_.Metrics(font()); }
    Size GetTextExtent(const std::string& text) const final { return fonts_.Extent(font(), text); }
    std::vector<int> GetCharWidths(int first, int last) const final {
        return fonts_.CharWidths(font(), first, last);
    }
    std::optional<int> OutlineEmSquare() const final { return fonts_.EmSquare(font()); }
    void StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) final;

  protected:
    enum class Shape { Rectangle, Ellipse };
    enum class Curve { Arc, Chord, Pie };

    // `first_slot` is the lowest object index the format allows.
    MetafileWriter(std::ostream& out, int width, int height, int first_slot);

    // Writes one whole record and counts it.
    void Write(const std::vector<uint8_t>& record);
    std::ostream& out() { return out_; }
    uint64_t bytes_written() const { return bytes_; }
    uint32_t largest_record() const { return largest_; }
    int width() const { return width_; }
    int height() const { return height_; }

    virtual void EmitCreatePen(int slot, const Pen& pen) = 0;
    virtual void EmitCreateBrush(int slot, const Brush& brush) = 0;
    virtual void EmitCreateFont(int slot, const Font& font) = 0;
    virtual void EmitSelect(int slot) = 0;
    virtual void EmitDelete(int slot) = 0;
    virtual void EmitTextColor(Color c) = 0;
    virtual void EmitBackgroundColor(Color c) = 0;
    virtual void EmitBackgroundMode(BackgroundMode m) = 0;
    virtual void EmitTextAlign(unsigned flags) = 0;
    virtual void EmitPolyFillMode(FillMode m) = 0;
    virtual void EmitSaveDc() = 0;
    virtual void EmitRestoreDc() = 0;
    virtual void EmitIntersectClip(const Rect& r) = 0;
    virtual void EmitMoveTo(Point p) = 0;
    virtual void EmitLineTo(Point p) = 0;
    virtual void EmitPoly(const std::vector<Point>& points, bool closed) = 0;
    virtual void EmitShape(Shape shape, const Rect& box) = 0;
    virtual void EmitCurve(Curve curve, const Rect& box, Point start, Point end) = 0;
    virtual void EmitSetPixel(Point p, Color c) = 0;
    virtual void EmitText(Point p, unsigned options, const Rect* rect, const std::string& text,
                          const std::vector<int>& dx) = 0;
    // `bitmap` is drawn whole into `dst`.
    virtual void EmitStretchDib(const Rect& dst, const Bitmap& bitmap) = 0;
    // The end-of-file record, then the header fields only known now.
    virtual void EmitEnd() = 0;

  private:
    // What the file's device context holds.
    struct DcState {
        int pen = -1, brush = -1, font = -1;  // slots, -1 for the context's default
        Pen pen_value;
        Brush brush_value;
        Font font_value;
        Color text_color = kBlack;
        Color background_color = kWhite;
        BackgroundMode background_mode = BackgroundMode::Opaque;
        unsigned text_align = 0;
        FillMode fill_mode = FillMode::Alternate;
        std::optional<Point> position;
        std::optional<Rect> clip;
    };

    int NewSlot();
    void ReleaseUnheld();
    void SyncClip();
    void UsePen(const Pen& pen);
    void UseBrush(const Brush& brush);
    void UseBackground();
    void ForLines();
    void ForFills();

    std::ostream& out_;
    int width_, height_;
    int first_slot_;
    std::vector<bool> slots_;
    int peak_slots_ = 0;
    DcState dc_;
    std::optional<DcState> saved_;
    uint64_t bytes_ = 0;
    uint32_t records_ = 0;
    uint32_t largest_ = 0;
    bool finished_ = false;
    ReferenceFontDevice fonts_;
};

}  // namespace cindral
