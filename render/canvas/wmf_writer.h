#pragma once
// WmfWriter: encodes a drawing as a placeable Windows metafile: the 22-byte placeable header
// with its checksum, the 18-byte metafile header, then 16-bit records in MM_ANISOTROPIC
// with the window set to the drawing. Coordinates are 16-bit: the caller refuses drawings
// larger than that; stray points beyond it are cut back to the range (lines keep their
// direction, other figures are clamped).

#include <ostream>

#include "render/canvas/metafile_writer.h"

namespace cindral {

// The largest drawing side a WMF can hold, in units.
constexpr int kWmfMaxCoordinate = 32767;

class WmfWriter : public MetafileWriter {
  public:
    // Writes the headers at once; `out` must be seekable (Finish patches the header).
    // `units_per_inch` goes into the placeable header.
    WmfWriter(std::ostream& out, int width, int height, int units_per_inch = 96);

  private:
    void EmitCreatePen(int slot, const Pen& pen) override;
    void EmitCreateBrush(int slot, const Brush& brush) override;
    void EmitCreateFont(int slot, const Font& font) override;
    void EmitSelect(int slot) override;
    void EmitDelete(int slot) override;
    void EmitTextColor(Color c) override;
    void EmitBackgroundColor(Color c) override;
    void EmitBackgroundMode(BackgroundMode m) override;
    void EmitTextAlign(unsigned flags) override;
    void EmitPolyFillMode(FillMode m) override;
    void EmitSaveDc() override;
    void EmitRestoreDc() override;
    void EmitIntersectClip(const Rect& r) override;
    void EmitMoveTo(Point p) override;
    void EmitLineTo(Point p) override;
    void EmitPoly(const std::vector<Point>& points, bool closed) override;
    void EmitShape(Shape shape, const Rect& box) override;
    void EmitCurve(Curve curve, const Rect& box, Point start, Point end) override;
    void EmitSetPixel(Point p, Color c) override;
    void EmitText(Point p, unsigned options, const Rect* rect, const std::string& text,
                  const std::vector<int>& dx) override;
    void EmitStretchDib(const Rect& dst, const Bitmap& bitmap) override;
    void EmitEnd() override;

    void Record(uint16_t function, const ByteWriter& params);
    // A record whose parameters are one value.
    void RecordOneU16(uint16_t function, uint16_t value);
    void RecordOneU32(uint16_t function, uint32_t value);
    std::streampos start_;
    // The position lines start from, and where the file's context really stands: a line
    // cut to the 16-bit range ends short of its own end point.
    Point position_;
    std::optional<Point> file_position_;
};

}  // namespace cindral
