#pragma once
// logp_object: the raster renderer. It plays the commands of one page of a compiled log onto
// a Canvas (the view bitmap, a PNG, the printer): before the inherited interpreter runs it
// works out where the page's window onto the log lies in device pixels, and its primitives
// map depths to rows, clip to the page bands and draw with pens, brushes and patterns.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/interpreter/gd_object.h"
#include "core/pages/page_layout.h"
#include "render/canvas/canvas.h"
#include "render/canvas/region.h"

namespace cindral {

// What the renderer follows from the settings record (render_settings.h fills it).
struct RenderOptions {
    bool print_black = false;             // black printing on paper
    bool keep_paragraphs_inside = false;  // DrawWrappedText keeps lines in the data window
};

class logp_object : public gd_object {
  public:
    // `default_depth_units_per_inch` is the settings' value a document has before its header
    // is read.
    logp_object(std::string pattern_file_name, std::string symbol_file_name,
                double default_page_length = kDefaultPageLength,
                double default_depth_units_per_inch = 50.0);
    ~logp_object() override;

    // Binds the canvas the next page is drawn on (not owned), the page's geometry as the page
    // arithmetic computed it, and the settings the renderer follows. Everything the page's
    // primitives place comes from these three until Unbind.
    void Bind(cindral::Canvas& canvas, const PageGeometry& page, const RenderOptions& options);
    void Unbind();
    const PageGeometry& Page() const { return page_; }
    cindral::Canvas* BoundCanvas() const { return canvas_; }

    int ToPixelX(double x) const;
    int ToPixelY(double depth) const;
    // Where text is placed: as above, held to the longest page side that is drawn, so the
    // text layout's sums of positions and extents stay in int.
    static int TextCoord(int64_t v);
    int TextX(double x) const { return TextCoord(ToPixelX(x)); }
    int TextY(double depth) const { return TextCoord(ToPixelY(depth)); }
    double ToDepth(int row, bool with_datum) const;
    // Row of an inch position in a page band, or nothing when the band is not on this page.
    std::optional<int> RegionRow(uint8_t region, double y_inches) const;

    // --- lines, colours, polylines, arcs and colour ramps ---
    void DrawArc(double cx, double cy, double radius, double startAngle, double endAngle) override;
    void DrawVerticalRule(double x) override;
    void SetColor(int32_t color) override;
    void DrawRegionLine(double x1, double y1, double x2, double y2, uint8_t region) override;
    void DrawLine(double x1, double y1, double x2, double y2) override;
    void GradientFillBox(int32_t startColor, int32_t endColor, double y1, double x1, double y2,
                         double x2, double fillX, uint8_t fromLeft) override;
    void GradientPolyFill(int32_t startColor, int32_t endColor, double rampX1, double rampX2,
                          uint8_t fromLeft, const std::vector<PointRecord>& points) override;
    void DrawPolyline(const std::vector<PointRecord>& points) override;
    void DrawStyledPolyline(int32_t width, int32_t color, uint8_t style,
                            const std::vector<DrawLineRecord>& segments) override;
    void DrawRectangle(double x1, double y1, double x2, double y2) override;
    void SetLineStyle(uint8_t style) override;
    void SetLineWidth(int32_t width) override;

    // --- fills (logp_fills.cpp) ---
    void FillPolygonPair(int32_t lineColor1, uint8_t lineStyle1, int32_t lineWidth1,
                         int32_t fillColor1, uint8_t fillStyle1, int32_t lineColor2,
                         uint8_t lineStyle2, int32_t lineWidth2, int32_t fillColor2,
                         uint8_t fillStyle2, int32_t overlapColor, uint8_t overlapStyle,
                         const std::vector<PointRecord>& polygon1,
                         const std::vector<PointRecord>& polygon2) override;
    void PatternFillBox(double x1, double y1, double x2, double y2, int32_t pattern, double xScale,
                        double yScale, uint8_t outline) override;
    void PatternFillBoxColored(double x1, double y1, double x2, double y2, int32_t pattern,
                               double xScale, double yScale, int32_t lineWidth, int32_t backColor,
                               int32_t lineColor, uint8_t outline) override;
    void RegionPatternFillBox(double x1, double y1, double x2, double y2, int32_t pattern,
                              double xScale, double yScale, uint8_t outline,
                              uint8_t region) override;
    void RegionPatternFillBoxColored(double x1, double y1, double x2, double y2, int32_t pattern,
                                     double xScale, double yScale, int32_t lineWidth,
                                     int32_t backColor, int32_t lineColor, uint8_t outline,
                                     uint8_t region) override;
    void FillBox(double x1, double y1, double x2, double y2, int32_t color,
                 uint8_t region) override;
    void PolyFill(int32_t pattern, double xScale, double yScale, uint8_t outline,
                  const std::vector<PointRecord>& points) override;
    void PolyFillColored(int32_t pattern, double xScale, double yScale, uint8_t outline,
                         int32_t color, const std::vector<PointRecord>& points) override;
    void DrawBox(double x1, double y1, double x2, double y2, uint8_t fillKind, int32_t color,
                 uint8_t extra37) override;

    // ===== text, symbols and pictures (logp_text.cpp) =====
    void DrawText(double x, double y, uint8_t vertical, uint8_t transparent, int32_t align,
                  uint8_t raise, const std::string& text) override;
    void DrawFittedText(double x, double y, uint8_t rotation, int32_t align,
                        const std::string& text, uint8_t keepInside) override;
    void DrawPictureFile(double x1, double y1, double x2, double y2, const std::string& fileName,
                         uint8_t border, uint8_t stretch) override;
    void DrawWrappedText(double x1, double y1, double x2, double y2, uint8_t narrowMargin,
                         uint8_t wideMargin, const std::string& text) override;
    void DrawFormattedText(const std::string& text, int32_t fontSize, double x1, double y1,
                           double x2, double y2, int32_t layoutFlags, double sideMargin,
                           double lineInset) override;
    void DrawFontText(double x, double y, double unused, double height, int32_t angle,
                      uint8_t sizeMode, const std::string& text, bool clip) override;
    void SetFont(const std::string& fontName, int32_t size, uint8_t style, int32_t color) override;
    void DrawTextBox(uint8_t region, int32_t layoutFlags, double x1, double y1, double x2,
                     double y2, uint8_t border, uint8_t fill, int32_t fillColor, int32_t TextLength,
                     const std::string& text, int32_t fontSize, double marginLeft, double marginTop,
                     double marginRight, double marginBottom) override;
    void DrawLabel(int32_t size, int32_t angle, double x, double y, const std::string& text,
                   uint8_t region) override;
    void DrawPicture(int32_t size, const std::vector<uint8_t>& data, double x1, double y1,
                     double x2, double y2, uint8_t isBitmap, uint8_t region) override;
    void DrawPictureStream(uint8_t region, const std::vector<uint8_t>& stream, double x1, double y1,
                           double x2, double y2) override;
    void DrawSymbol(double x, double y, double extra16, int16_t symbol, double xScale,
                    double yScale, double extra42) override;
    void DrawScaledSymbol(double x, double y, double extra16, int16_t symbol, double size,
                          double extra34, double extra42, uint8_t region) override;
    void DrawRotatedText(double x1, double y1, double x2, double y2, uint8_t arrows,
                         uint8_t turnDirection, const std::string& text) override;
    // ===== end of text, symbols and pictures =====

    void PlayCommands() override;
    // The two halves around the interpreter: BeginPage readies the bound canvas and answers
    // false when nothing is to be drawn; EndPage drops the clip. Tests call primitives
    // between them without a file.
    bool BeginPage();
    void EndPage();

  protected:
    // The canvas; throws when none is bound.
    cindral::Canvas& Target() const;
    bool IsPrinter() const;
    // Black printing and near-white-on-paper rules for the pen before a line is drawn.
    void ApplyLineColorRules();
    void ApplyBlackRule();
    // One segment with the pen's width, colour and style; `phase` runs across segments.
    void Stroke(int x1, int y1, int x2, int y2, int& phase);

  private:
    // Resolution line widths in the file are given for.
    static constexpr int ScreenPixelsPerInch = 96;

    cindral::Canvas* canvas_ = nullptr;  // not owned
    PageGeometry page_;
    RenderOptions options_;
    // Derived from the three at Bind.
    bool print_black_ = false;
    int pen_pixels_per_inch_ = 72;
    Region page_region_;
    Region data_region_;
    Region text_region_;
    Region rule_region_;

    // Strokes of the loaded pattern over `box` with the current pen, cut to `clip`.
    void TileThinStrokes(const Rect& box, double xScale, double yScale, const Region& clip);
    // Strokes of the loaded pattern over `box` with a pen of the file's `lineWidth`, each
    // end point included; restores the pen and brush.
    void TileColoredStrokes(const Rect& box, double xScale, double yScale, int32_t lineWidth,
                            Color color, const Rect& visible);
    // Top, right, bottom and left edges of a region-placed box, in that order.
    void RegionBoxOutline(double x1, double y1, double x2, double y2, uint8_t region);
    // The polygon in strips with a solid brush of `fill`, clipped to `clip`.
    void FillPolygonStrips(const std::vector<PointRecord>& points, Color fill, const Region& clip);
};

}  // namespace cindral
