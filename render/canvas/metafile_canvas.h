#pragma once
// MetafileCanvas: a Canvas that records what is drawn on it instead of painting, so one play
// of a log can be written afterwards as a placeable WMF, an EMF or an SVG. The recording is
// a compact byte list of the calls (state changes only when the state really changes), and
// the writers stream from it to the file: the drawing is never held twice in memory.
// Text is measured on a 96-per-inch reference device, and every text call is recorded with
// its character advances, so all outputs place each character where the layout put it.

#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "core/format/byte_codec.h"
#include "render/canvas/canvas.h"

namespace cindral {

class QtCanvas;

// Fonts measured on a 96-per-inch bitmap device: what the metafile canvas and the writers
// answer when asked for text metrics.
class ReferenceFontDevice {
  public:
    ReferenceFontDevice();
    ~ReferenceFontDevice();
    ReferenceFontDevice(const ReferenceFontDevice&) = delete;
    ReferenceFontDevice& operator=(const ReferenceFontDevice&) = delete;

    TextMetrics Metrics(const Font& font) const;
    Size Extent(const Font& font, const std::string& text) const;
    std::vector<int> CharWidths(const Font& font, int first, int last) const;
    std::optional<int> EmSquare(const Font& font) const;

  private:
    QtCanvas& With(const Font& font) const;
    QImage image_;
    std::unique_ptr<QtCanvas> canvas_;
};

class MetafileCanvas : public Canvas {
  public:
    // A drawing of `width` x `height` units at 96 units per inch.
    MetafileCanvas(int width, int height);
    ~MetafileCanvas() override;

    int width() const { return width_; }
    int height() const { return height_; }
    // Bytes the recording holds now.
    size_t RecordedBytes() const;
    // Count of drawing calls recorded (state changes not counted).
    size_t DrawingCalls() const { return drawing_calls_; }

    // Plays the recording onto `target` (a writer, a QtCanvas on an SVG generator or an
    // image), call for call, starting from a fresh device context.
    void Replay(Canvas& target) const;
    // Drops the recording to free its memory; nothing can be replayed afterwards.
    void Discard();

    DeviceCaps Caps() const override;
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
    // A recording cannot be read back.
    Color GetPixel(int, int) const override { return kInvalidColor; }

    void ExtTextOut(int x, int y, unsigned options, const Rect* rect, const std::string& text,
                    const std::vector<int>& dx) override;
    TextMetrics GetTextMetrics() const override;
    Size GetTextExtent(const std::string& text) const override;
    std::vector<int> GetCharWidths(int first, int last) const override;
    std::optional<int> OutlineEmSquare() const override;

    void StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) override;

  private:
    // Starts the record of one call; its fields follow in Out().
    void Op(uint8_t code);
    ByteWriter& Out() { return chunks_.back(); }
    void Points(const std::vector<Point>& points);
    void RectFields(const Rect& r);
    void PointFields(Point p);
    void BoxAndPoints(uint8_t code, const Rect& box, Point start, Point end);
    // Plays the calls of one piece of the recording; every call lies within one piece.
    static void ReplayChunk(const std::vector<uint8_t>& bytes, Canvas& target);

    int width_;
    int height_;
    // The recording in pieces of about a megabyte: growing it never copies what is
    // recorded, so memory never holds the recording twice.
    std::vector<ByteWriter> chunks_;
    size_t drawing_calls_ = 0;
    ReferenceFontDevice fonts_;
};

}  // namespace cindral
