#pragma once
// QtCanvas: the Canvas on a Qt paint device (a QImage for the screen page and PNG, a
// QPrinter or QPdfWriter for paper). On a bitmap antialiasing is off and the GDI pixel rules
// are reproduced: thin lines are our own Bresenham walk that leaves out the end pixel, styled
// pens count pixels, fills leave out the right and bottom edge, hatches are 8x8 tiles on the
// brush origin. On a vector device (printer, PDF) a reader sees paths, not pixels: thin lines
// and ellipses become strokes through the same pixel centres (at least 1/300 inch wide),
// text stays text, and hatches keep the size they have on a 96-dpi screen. Geometry is cut
// to the device before Qt sees it.

#include <QFont>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <QRegion>
#include <QTransform>
#include <deque>
#include <optional>
#include <vector>

#include "render/canvas/canvas.h"

class QPainterPath;
class QPolygonF;

namespace cindral {

class QtCanvas : public Canvas {
  public:
    // Draws on `device` (not owned; it must outlive the canvas). `is_printer` marks paper.
    // `placement`, a scale and a move on a paged device, puts the canvas's pixels on the
    // device's: a page fitted to the sheet is drawn as it is laid out at the device's
    // resolution and reduced or enlarged on the way, so every size rule holds as on paper at
    // full size. The canvas then reaches as far as the device does, counted in its own pixels.
    explicit QtCanvas(QPaintDevice* device, bool is_printer = false,
                      const QTransform& placement = QTransform());
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    DeviceCaps Caps() const override;
    // As the base, from the device's size without building its caps: called per figure.
    Rect DrawableBox() const override;
    Color NearestColor(Color c) const override;

    void SelectClipRegion(const Region& region) override;
    void SelectNoClip() override;

    void LineTo(int x, int y) override;
    void Polyline(const std::vector<Point>& points) override;
    bool KeepsPaths() const override { return vector_; }
    void StrokePath(const std::vector<std::vector<PointF>>& subpaths,
                    const PathStroke& stroke) override;
    void Polygon(const std::vector<Point>& points) override;
    void Rectangle(const Rect& given) override;
    void Ellipse(const Rect& given) override;
    void Arc(const Rect& box, Point start, Point end) override;
    void Chord(const Rect& box, Point start, Point end) override;
    void Pie(const Rect& box, Point start, Point end) override;
    void FillRect(const Rect& r) override;
    void PaintRegion(const Region& region) override;
    void SetPixel(int x, int y, Color c) override;
    Color GetPixel(int x, int y) const override;

    void ExtTextOut(int x, int y, unsigned options, const Rect* rect, const std::string& text,
                    const std::vector<int>& dx) override;
    TextMetrics GetTextMetrics() const override;
    Size GetTextExtent(const std::string& text) const override;
    std::vector<int> GetCharWidths(int first, int last) const override;
    std::optional<int> OutlineEmSquare() const override;

    void StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) override;

    // Ends painting so the device can be read (a QImage saved, a PDF closed). No drawing
    // call may follow.
    void Finish();
    // On a paged device (printer, PDF): starts the next sheet with a fresh device context,
    // as a new page of a print job has. False when the device refuses.
    bool NewPage();
    // True when the device keeps paths and text rather than pixels.
    bool IsVector() const { return vector_; }

  private:
    enum class Figure { Open, Closed };
    enum class ArcKind { Arc, Chord, Pie };

    Rect DeviceRect() const;
    void SyncClip();
    // The pen's outline through `points`; Closed joins the last point to the first and
    // draws every vertex, Open leaves out the very last pixel.
    void StrokeFigure(const std::vector<Point>& points, Figure figure);
    void StrokeThin(const std::vector<Point>& points, Figure figure);
    void StrokeWide(const std::vector<Point>& points, Figure figure);
    void StrokeThinVector(const std::vector<Point>& points, Figure figure);
    void EllipseVector(const Rect& box);
    // Device pixels per pixel of a hatch tile: the tile keeps its 96-dpi size everywhere.
    int TileScale() const;
    // The on and off runs of a thin styled pen, in device pixels.
    std::vector<int> DashRuns(PenStyle style) const;
    bool DashedThin(const Pen& p) const;
    // A thin pen on a vector device: one pixel, but never finer than 1/300 inch, which a
    // 1200-dpi printer would otherwise print as a hairline.
    double ThinPenWidth() const;
    // The Qt font for the selected one on this device.
    QFont DeviceFont() const;
    // Fills the area with the current brush; `path` is in Qt coordinates (pixel centres
    // at +0.5), so integer vertices fill like GDI.
    void FillPath(const QPainterPath& path);
    void FillPolygonF(const QPolygonF& polygon, Qt::FillRule rule);
    bool ApplyBrush();
    // Fills the ellipse inscribed in `box` with the brush; with `outline` its edge pixels
    // in the pen colour instead.
    void FillEllipseRows(const Rect& box, bool outline);
    void DrawArcFigure(const Rect& given, Point start, Point end, ArcKind kind);
    // Pen and brush reach the painter only when they change, and only when something is drawn
    // (Ready() before each drawing call): a paper device writes the drawing state out again
    // for every change it is told of, even a change back.
    void UsePen(const QPen& pen);
    void UseBrush(const QBrush& brush);
    void Ready();
    // Fills `r` in `c` with nothing around it.
    void FillDevice(const QRect& r, Color c);
    // The characters at their advances from `origin`, one drawText each; or as one run of
    // glyphs, false when the font lacks one of them.
    void DrawCharByChar(const QString& chars, const std::vector<int>& advance, QPointF origin);
    bool DrawGlyphRun(const QFont& qfont, const QString& chars, const std::vector<int>& advance,
                      QPointF origin);
    // The picture equal to `image` drawn before, so a paper device stores it once.
    const QImage& StoredPicture(const QImage& image, bool from_jpeg);

    QPaintDevice* device_;
    QTransform placement_;
    QImage* image_ = nullptr;
    bool is_printer_;
    bool vector_ = false;
    QPainter painter_;
    bool clip_dirty_ = true;
    // What the next drawing call wants, and what the painter was last given.
    QPen wanted_pen_{Qt::NoPen};
    QBrush wanted_brush_{Qt::NoBrush};
    QPen applied_pen_{Qt::NoPen};
    QBrush applied_brush_{Qt::NoBrush};
    std::optional<QRegion> applied_clip_;
    std::vector<QImage> tiles_;
    QFont raw_font_for_;
    QRawFont raw_font_;
    struct StoredImage {
        size_t hash;
        bool from_jpeg;
        QImage image;
    };
    // A deque, so a picture handed out stays where it is while others are added.
    std::deque<StoredImage> pictures_;
    qsizetype pictures_bytes_ = 0;
};

}  // namespace cindral
