#pragma once
// Canvas: the device layer every renderer draws through. It is shaped after a GDI device
// context in MM_TEXT mapping (device pixels, y down): the state (pen, brush, font, colours,
// alignment, current position, clip) lives here as plain values, and each back-end turns
// the drawing calls into pixels, metafile records or trace lines.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/canvas/clip_geometry.h"
#include "render/canvas/gdi_types.h"
#include "render/canvas/region.h"

namespace cindral {

class OffscreenCanvas;

class Canvas {
  public:
    virtual ~Canvas() = default;

    // --- device ---
    virtual DeviceCaps Caps() const = 0;
    // The colour the device really shows for `c` (GetNearestColor).
    virtual Color NearestColor(Color c) const = 0;

    // --- state; selecting a value is a call, reading it back is free ---
    virtual void SelectPen(const Pen& pen) { pen_ = pen; }
    virtual void SelectBrush(const Brush& brush) { brush_ = brush; }
    virtual void SelectFont(const Font& font) { font_ = font; }
    virtual void SetTextColor(Color c) { text_color_ = c; }
    virtual void SetBackgroundColor(Color c) { background_color_ = c; }
    virtual void SetBackgroundMode(BackgroundMode m) { background_mode_ = m; }
    virtual void SetTextAlign(unsigned flags) { text_align_ = flags; }
    virtual void SetPolyFillMode(FillMode m) { fill_mode_ = m; }
    virtual void SetBrushOrigin(Point p) { brush_origin_ = p; }

    const Pen& pen() const { return pen_; }
    const Brush& brush() const { return brush_; }
    const Font& font() const { return font_; }
    Color text_color() const { return text_color_; }
    Color background_color() const { return background_color_; }
    BackgroundMode background_mode() const { return background_mode_; }
    unsigned text_align() const { return text_align_; }
    FillMode poly_fill_mode() const { return fill_mode_; }
    Point brush_origin() const { return brush_origin_; }
    Point current_position() const { return current_; }

    // --- clipping (device coordinates) ---
    // Replaces the clip by a copy of `region`.
    virtual void SelectClipRegion(const Region& region) { clip_ = region; }
    void SelectClipRect(const Rect& r) { SelectClipRegion(Region::FromRect(r)); }
    // Removes clipping.
    virtual void SelectNoClip() { clip_.reset(); }
    // Intersects the current clip (or the whole device when none) with `r`.
    void IntersectClipRect(const Rect& r);
    const std::optional<Region>& clip() const { return clip_; }
    // The smallest rectangle around what may be drawn: the clip's bounds, else the device.
    Rect ClipBox() const;
    // Where a pixel can land: the clip box within the device's surface (a clip region may
    // reach far past it). What a pixel-by-pixel walk should confine itself to.
    virtual Rect DrawableBox() const;

    // --- lines (the current pen); the end pixel of each segment is left out ---
    virtual void MoveTo(int x, int y) { current_ = {x, y}; }
    virtual void LineTo(int x, int y) = 0;
    // Segments through the points; does not use or move the current position.
    virtual void Polyline(const std::vector<Point>& points) = 0;
    // True when lines stay paths on this device (printer, PDF): a renderer that would stamp
    // a patterned or wide line pixel by pixel hands it over whole to StrokePath instead.
    virtual bool KeepsPaths() const { return false; }
    // One stroke of the path made of `subpaths`, as `stroke` says; leaves the selected pen as
    // it was. A device that draws pixels draws each subpath solid with a pen of that width.
    virtual void StrokePath(const std::vector<std::vector<PointF>>& subpaths,
                            const PathStroke& stroke);

    // --- filled shapes (outline with the pen, inside with the brush); boxes are
    // right/bottom exclusive ---
    virtual void Polygon(const std::vector<Point>& points) = 0;
    virtual void Rectangle(const Rect& box) = 0;
    virtual void Ellipse(const Rect& box) = 0;
    // Counter-clockwise from the radial through `start` to the radial through `end`.
    virtual void Arc(const Rect& box, Point start, Point end) = 0;
    virtual void Chord(const Rect& box, Point start, Point end) = 0;
    virtual void Pie(const Rect& box, Point start, Point end) = 0;
    // Fills `r` with the current brush; no outline.
    virtual void FillRect(const Rect& r) = 0;
    // Fills `region` with the current brush (PaintRgn).
    virtual void PaintRegion(const Region& region) = 0;
    virtual void SetPixel(int x, int y, Color c) = 0;
    // kInvalidColor outside the device.
    virtual Color GetPixel(int x, int y) const = 0;

    // --- text: 8-bit characters (Windows-1252), placed by the text alignment ---
    void TextOut(int x, int y, const std::string& text) { ExtTextOut(x, y, 0, nullptr, text, {}); }
    // `rect` is used with text_out::kOpaque / kClipped; `dx`, when not empty, gives the
    // distance from each character's origin to the next one's.
    virtual void ExtTextOut(int x, int y, unsigned options, const Rect* rect,
                            const std::string& text, const std::vector<int>& dx) = 0;
    virtual TextMetrics GetTextMetrics() const = 0;
    // Width (sum of advances) and height (the cell height) of `text` in the current font.
    virtual Size GetTextExtent(const std::string& text) const = 0;
    // Advance widths of the character codes first..last in the current font.
    virtual std::vector<int> GetCharWidths(int first, int last) const = 0;
    // The em square of an outline font (its design units), none for other fonts.
    virtual std::optional<int> OutlineEmSquare() const = 0;

    // --- bitmaps ---
    // Draws the `src` part of `bitmap` stretched into `dst` (StretchDIBits, SRCCOPY); a
    // negative width or height in `dst` mirrors the picture.
    virtual void StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) = 0;
    // Copies `bitmap` unscaled with its top-left corner at (x, y).
    void BitBlt(int x, int y, const Bitmap& bitmap) {
        StretchDib({x, y, x + bitmap.width, y + bitmap.height}, bitmap,
                   {0, 0, bitmap.width, bitmap.height});
    }

    // --- off-screen pictures ---
    // A white picture of `width` x `height` pixels to draw on and copy back as a bitmap.
    virtual std::unique_ptr<OffscreenCanvas> MakeOffscreen(int width, int height) const;

  protected:
    void set_current_position(Point p) { current_ = p; }
    // Back to a fresh device context (a new printed page starts from one).
    void ResetState();

  private:
    // A fresh device context's defaults.
    Pen pen_;
    Brush brush_;
    Font font_;
    Color text_color_ = kBlack;
    Color background_color_ = kWhite;
    BackgroundMode background_mode_ = BackgroundMode::Opaque;
    unsigned text_align_ = 0;
    FillMode fill_mode_ = FillMode::Alternate;
    Point brush_origin_;
    Point current_;
    std::optional<Region> clip_;
};

}  // namespace cindral
