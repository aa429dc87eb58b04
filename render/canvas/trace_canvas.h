#pragma once
// TraceCanvas: writes one text line per Canvas call ("LineTo 120,344") instead of pixels,
// for golden tests that show readably what a renderer asked for. Numbers are plain decimal
// integers and colours 0x00BBGGRR in hex, whatever the locale. Text metrics come from a
// fixed rule (below), so traces do not depend on installed fonts.

#include <string>
#include <vector>

#include "render/canvas/canvas.h"

namespace cindral {

class TraceCanvas : public Canvas {
  public:
    explicit TraceCanvas(DeviceCaps caps = {96, 96, 816, 1056, false});

    const std::vector<std::string>& lines() const { return lines_; }
    // All lines, each ended by '\n'.
    std::string Text() const;
    void Clear() { lines_.clear(); }

    DeviceCaps Caps() const override { return caps_; }
    Color NearestColor(Color c) const override { return c & 0xFFFFFF; }

    void SelectPen(const Pen& pen) override;
    void SelectBrush(const Brush& brush) override;
    void SelectFont(const Font& font) override;
    void SetTextColor(Color c) override;
    void SetBackgroundColor(Color c) override;
    void SetBackgroundMode(BackgroundMode m) override;
    void SetTextAlign(unsigned flags) override;
    void SetPolyFillMode(FillMode m) override;
    void SetBrushOrigin(Point p) override;
    void SelectClipRegion(const Region& region) override;
    void SelectNoClip() override;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const std::vector<Point>& points) override;
    void Polygon(const std::vector<Point>& points) override;
    void Rectangle(const Rect& box) override;
    void Ellipse(const Rect& box) override;
    void Arc(const Rect& box, Point start, Point end) override;
    void Chord(const Rect& box, Point start, Point end) override;
    void Pie(const Rect& box, Point start, Point end) override;
    void FillRect(const Rect& r) override;
    void PaintRegion(const Region& region) override;
    void SetPixel(int x, int y, Color c) override;
    Color GetPixel(int x, int y) const override { return kInvalidColor; }

    void ExtTextOut(int x, int y, unsigned options, const Rect* rect, const std::string& text,
                    const std::vector<int>& dx) override;
    // Fixed metrics: em = -height for a negative height, cell = height for a positive
    // one (em = cell * 7 / 8), cell 16 for 0; cell = em * 8 / 7 rounded up; ascent =
    // cell * 4 / 5; every character advances em / 2 (at least 1), a space em / 4.
    TextMetrics GetTextMetrics() const override;
    Size GetTextExtent(const std::string& text) const override;
    std::vector<int> GetCharWidths(int first, int last) const override;
    std::optional<int> OutlineEmSquare() const override { return 2048; }

    void StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) override;

  private:
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    int CharWidth(unsigned char c) const;

    DeviceCaps caps_;
    std::vector<std::string> lines_;
};

// The pieces of a trace line, shared with tests.
std::string TracePoint(Point p);
std::string TraceRect(const Rect& r);
std::string TraceColor(Color c);

}  // namespace cindral
