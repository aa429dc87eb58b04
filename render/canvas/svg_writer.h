#pragma once
// SvgWriter: a Canvas that streams what is drawn on it as SVG elements, for the whole-log
// drawing in today's drawing and publishing tools. Lines, figures and text stay vectors and
// real text (each character at the advance we measured); runs of lines in one pen become
// one path, so a log of a million segments stays a file of tens of megabytes, written
// without holding the document in memory. Coordinates are the canvas's units, 96 per inch;
// thin lines sit on pixel centres so they stay crisp at that scale.

#include <ostream>
#include <set>
#include <string>

#include "render/canvas/canvas.h"
#include "render/canvas/metafile_canvas.h"

namespace cindral {

class SvgWriter : public Canvas {
  public:
    // Writes the document head at once; `title` names the drawing.
    SvgWriter(std::ostream& out, int width, int height, const std::string& title);
    ~SvgWriter() override;

    // Closes every open element and the document. No drawing call may follow.
    void Finish();

    DeviceCaps Caps() const override { return {96, 96, width_, height_, false}; }
    Color NearestColor(Color c) const override { return c & 0xFFFFFF; }
    void SelectClipRegion(const Region& region) override;
    void SelectNoClip() override;

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
    Color GetPixel(int, int) const override { return kInvalidColor; }
    void ExtTextOut(int x, int y, unsigned options, const Rect* rect, const std::string& text,
                    const std::vector<int>& dx) override;
    TextMetrics GetTextMetrics() const override { return fonts_.Metrics(font()); }
    Size GetTextExtent(const std::string& text) const override {
        return fonts_.Extent(font(), text);
    }
    std::vector<int> GetCharWidths(int first, int last) const override {
        return fonts_.CharWidths(font(), first, last);
    }
    std::optional<int> OutlineEmSquare() const override { return fonts_.EmSquare(font()); }
    void StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) override;

  private:
    enum class Arcs { Open, Chord, Pie };
    // The stroke attributes of the pen, empty for the null pen.
    std::string StrokeAttributes() const;
    // The fill attribute of the brush ("none" for the null brush), defining a hatch first.
    std::string FillAttribute();
    // Ends the path of joined lines, if one is open.
    void EndPath();
    void CurveFigure(const Rect& box, Point start, Point end, Arcs kind);

    std::ostream& out_;
    int width_, height_;
    // The open path of joined lines: its pen and where it ends.
    bool path_open_ = false;
    Pen path_pen_;
    Point path_end_;
    bool clip_open_ = false;
    int clip_count_ = 0;
    std::set<std::string> hatches_;
    bool finished_ = false;
    ReferenceFontDevice fonts_;
};

}  // namespace cindral
