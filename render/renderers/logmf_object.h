#pragma once
// logmf_object: the metafile renderer. It plays the whole compiled log once, top to bottom
// and unpaginated, into one vector drawing at 96 units per inch, with the header band above
// the data and the footer band below when asked. The drawing is recorded on a
// MetafileCanvas and written as WMF, EMF or SVG by SaveMetafile. Unlike the raster renderer
// it relies on no clip region for fills (pattern strokes are cut at the box geometrically)
// and has no page window, printer or black printing.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/interpreter/gd_object.h"
#include "render/canvas/metafile_canvas.h"

namespace cindral {

enum class MetafileFormat { Wmf, Emf, Svg };

// Size of the drawing of a log, as ComputeMetafileExtent (render/document/metafile_export.h)
// works it out.
struct MetafileExtent {
    int width = 0;   // units
    int height = 0;  // units
    bool header_included = false;
    bool footer_included = false;
};

// The format a file name asks for by its extension (any case), none for other names.
std::optional<MetafileFormat> MetafileFormatOf(const std::string& file_name);

class logmf_object : public gd_object {
  public:
    logmf_object(std::string pattern_file_name, std::string symbol_file_name,
                 double default_page_length = kDefaultPageLength);
    ~logmf_object() override;

    // Readies a drawing of `extent` in `format` at 96 units per inch, its scales from the
    // units per inch of the header held now. PlayCommands draws it.
    void Bind(MetafileFormat format, const MetafileExtent& extent);
    static constexpr int PixelsPerInch = 96;

    int ToUnitsX(double x) const;
    int ToUnitsY(double depth) const;
    // Row of an inch position in a band, or nothing when the band is not in the drawing.
    std::optional<int> RegionRow(uint8_t region, double y_inches) const;

    // Creates the canvas and places the bands of the bound drawing (what PlayCommands does
    // before the interpreter runs); tests call primitives after it without a file.
    void BeginDrawing();
    void PlayCommands() override;
    // The recording since BeginDrawing; nullptr before it.
    MetafileCanvas* Drawing() const { return canvas_.get(); }
    // Writes what was recorded to `output` in the bound format and frees the recording.
    // Returns the bytes written.
    uint64_t SaveMetafile(const std::string& output);

    void DrawText(double x, double y, uint8_t vertical, uint8_t transparent, int32_t align,
                  uint8_t raise, const std::string& text) override;
    void DrawFittedText(double x, double y, uint8_t rotation, int32_t align,
                        const std::string& text, uint8_t keepInside) override;
    void DrawVerticalRule(double x) override;
    void SetColor(int32_t color) override;
    void FillPolygonPair(int32_t lineColor1, uint8_t lineStyle1, int32_t lineWidth1,
                         int32_t fillColor1, uint8_t fillStyle1, int32_t lineColor2,
                         uint8_t lineStyle2, int32_t lineWidth2, int32_t fillColor2,
                         uint8_t fillStyle2, int32_t overlapColor, uint8_t overlapStyle,
                         const std::vector<PointRecord>& polygon1,
                         const std::vector<PointRecord>& polygon2) override;
    void DrawWrappedText(double x1, double y1, double x2, double y2, uint8_t narrowMargin,
                         uint8_t wideMargin, const std::string& text) override;
    void DrawFormattedText(const std::string& text, int32_t fontSize, double x1, double y1,
                           double x2, double y2, int32_t layoutFlags, double sideMargin,
                           double lineInset) override;
    void DrawFontText(double x, double y, double unused, double height, int32_t angle,
                      uint8_t sizeMode, const std::string& text, bool clip) override;
    void SetFont(const std::string& fontName, int32_t size, uint8_t style, int32_t color) override;
    void DrawRegionLine(double x1, double y1, double x2, double y2, uint8_t region) override;
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
    void DrawLine(double x1, double y1, double x2, double y2) override;
    void PatternFillBox(double x1, double y1, double x2, double y2, int32_t pattern, double xScale,
                        double yScale, uint8_t outline) override;
    void PatternFillBoxColored(double x1, double y1, double x2, double y2, int32_t pattern,
                               double xScale, double yScale, int32_t lineWidth, int32_t backColor,
                               int32_t lineColor, uint8_t outline) override;
    void GradientFillBox(int32_t startColor, int32_t endColor, double y1, double x1, double y2,
                         double x2, double fillX, uint8_t fromLeft) override;
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
    void GradientPolyFill(int32_t startColor, int32_t endColor, double rampX1, double rampX2,
                          uint8_t fromLeft, const std::vector<PointRecord>& points) override;
    void DrawPolyline(const std::vector<PointRecord>& points) override;
    void DrawStyledPolyline(int32_t width, int32_t color, uint8_t style,
                            const std::vector<DrawLineRecord>& segments) override;
    void SetLineStyle(uint8_t style) override;
    void DrawSymbol(double x, double y, double extra16, int16_t symbol, double xScale,
                    double yScale, double extra42) override;
    void DrawScaledSymbol(double x, double y, double extra16, int16_t symbol, double size,
                          double extra34, double extra42, uint8_t region) override;
    void DrawBox(double x1, double y1, double x2, double y2, uint8_t fillKind, int32_t color,
                 uint8_t outline) override;
    void DrawRotatedText(double x1, double y1, double x2, double y2, uint8_t arrows,
                         uint8_t turnDirection, const std::string& text) override;
    void SetLineWidth(int32_t width) override;

  private:
    // Resolution line widths in the file are given for.
    static constexpr int ScreenPixelsPerInch = 96;
    // One unpaginated drawing: page 1 of 1 for the page-number markers.
    static constexpr int kPage = 0;
    static constexpr int kLastPage = 0;
    // Paragraph lines run on to the drawing's bottom rather than stopping at whole lines.
    static constexpr bool kWholeTextLines = false;

    MetafileFormat format_ = MetafileFormat::Wmf;
    double x_scale_ = 1;
    double depth_scale_ = 1;
    int width_px_ = 0;
    int height_px_ = 0;
    bool header_included_ = false;
    bool footer_included_ = false;
    // Placed by BeginDrawing.
    int header_height_px_ = 0;
    int data_top_px_ = 0;
    int footer_top_px_ = 0;
    std::unique_ptr<MetafileCanvas> canvas_;

    MetafileCanvas& Target() const;
    // One segment in the pen's width, colour and style; `phase` runs across segments.
    void Stroke(int x1, int y1, int x2, int y2, int& phase);
    // Pattern strokes of `pattern` over the box (Left, Top, Right, Bottom), cut at its
    // edges, on a background of `back` unless that is white.
    void PatternStrokes(const Rect& box, int32_t lineWidth, int32_t lineColor, int32_t backColor,
                        double xScale, double yScale, int32_t pattern);
    void RegionBoxOutline(double x1, double y1, double x2, double y2, uint8_t region);
    void FillPolygonStrips(const std::vector<PointRecord>& points, Color fill);
};

}  // namespace cindral
