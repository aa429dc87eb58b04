#pragma once
// TextCollectorCanvas: a canvas that measures text exactly as the screen canvas does and
// draws nothing; it keeps each run of text with where it landed, for the text index. Lines,
// fills and pictures cost nothing; stroke text (letters drawn as lines) is kept as the box
// of its strokes when the renderer marks where it begins and ends.

#include <QImage>
#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "render/canvas/qt_canvas.h"

namespace cindral {

class TextCollectorCanvas : public QtCanvas {
  public:
    struct Run {
        int64_t command = -1;  // the tag set when it was drawn
        QString text;
        double origin_x = 0, origin_y = 0;  // the baseline's start, device pixels
        double angle = 0;                   // degrees counter-clockwise
        int ascent = 0, descent = 0;
        std::vector<int> advances;  // one a character
    };

    // Measures on `image` (not owned), whose size and resolution are the page's.
    explicit TextCollectorCanvas(QImage* image);

    // Runs drawn from now on carry `command`.
    void SetCommand(int64_t command) { command_ = command; }
    // The lines drawn between these two calls are one run of `text` over their box.
    void BeginStrokes();
    void EndStrokes(const QString& text);

    const std::vector<Run>& Runs() const { return runs_; }

    void LineTo(int x, int y) override;
    void Polyline(const std::vector<Point>& points) override;
    void StrokePath(const std::vector<std::vector<PointF>>& subpaths,
                    const PathStroke& stroke) override {}
    void Polygon(const std::vector<Point>& points) override {}
    void Rectangle(const Rect& box) override {}
    void Ellipse(const Rect& box) override {}
    void Arc(const Rect& box, Point start, Point end) override {}
    void Chord(const Rect& box, Point start, Point end) override {}
    void Pie(const Rect& box, Point start, Point end) override {}
    void FillRect(const Rect& r) override {}
    void PaintRegion(const Region& region) override {}
    void SetPixel(int x, int y, Color c) override {}
    Color GetPixel(int x, int y) const override { return kWhite; }
    void StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) override {}
    void ExtTextOut(int x, int y, unsigned options, const Rect* rect, const std::string& text,
                    const std::vector<int>& dx) override;

  private:
    void Widen(Point p);
    // Whether at least half the box's height shows, within the device and the clip.
    bool MostlyShows(double left, double top, double right, double bottom) const;
    const std::vector<int>& Widths();

    int64_t command_ = -1;
    std::vector<Run> runs_;
    int strokes_depth_ = 0;
    bool stroked_ = false;
    int64_t stroke_left_ = 0, stroke_top_ = 0, stroke_right_ = 0, stroke_bottom_ = 0;
    // The 256 advances of the fonts met so far, by what tells fonts apart.
    std::map<std::string, std::vector<int>> widths_;
};

}  // namespace cindral
