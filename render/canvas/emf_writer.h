#pragma once
// EmfWriter: encodes a drawing as an enhanced metafile: the header with the drawing's bounds
// in units and its frame in hundredths of a millimetre at 96 units per inch, then records
// of 32-bit coordinates (16-bit point lists where every point fits), each a multiple of
// four bytes long. Nothing is clamped: a log of any height keeps its geometry.

#include <ostream>

#include "render/canvas/metafile_writer.h"

namespace cindral {

class EmfWriter : public MetafileWriter {
  public:
    // Writes the header at once; `out` must be seekable (Finish patches the header).
    EmfWriter(std::ostream& out, int width, int height);

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

    void Record(uint32_t type, const ByteWriter& payload);
    // A record whose parameters are one value.
    void RecordOneU32(uint32_t type, uint32_t value);
    std::streampos start_;
};

// Hundredths of a millimetre of `units` at 96 units per inch, rounded.
int HiMetricOfUnits(int units);

}  // namespace cindral
