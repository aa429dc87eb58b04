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

    void DrawText(const DrawTextRecord& r) override;
    void DrawFittedText(const DrawFittedTextRecord& r) override;
    void DrawVerticalRule(const DrawVerticalRuleRecord& r) override;
    void SetColor(const SetColorRecord& r) override;
    void FillPolygonPair(const FillPolygonPairRecord& r, const std::vector<PointRecord>& polygon1,
                         const std::vector<PointRecord>& polygon2) override;
    void DrawWrappedText(const DrawWrappedTextRecord& r, const std::string& text) override;
    void DrawFormattedText(const DrawFormattedTextRecord& r, const std::string& text) override;
    void DrawFontText(const DrawFontTextRecord& r) override;
    void SetFont(const SetFontColoredRecord& r) override;
    void DrawRegionLine(const DrawRegionLineRecord& r) override;
    void DrawTextBox(const DrawTextBoxRecord& r, const std::string& text) override;
    void DrawLabel(const DrawLabelRecord& r) override;
    void DrawPicture(const DrawPictureRecord& r, const std::vector<uint8_t>& data) override;
    void DrawPictureStream(const DrawPictureStreamRecord& r,
                           const std::vector<uint8_t>& stream) override;
    void DrawLine(const DrawLineRecord& r) override;
    void PatternFillBox(const PatternFillBoxRecord& r) override;
    void PatternFillBoxColored(const PatternFillBoxColoredRecord& r) override;
    void GradientFillBox(const GradientFillBoxRecord& r) override;
    void RegionPatternFillBox(const RegionPatternFillBoxRecord& r) override;
    void RegionPatternFillBoxColored(const RegionPatternFillBoxColoredRecord& r) override;
    void FillBox(const FillBoxRecord& r) override;
    void PolyFill(const PolyFillRecord& r, const std::vector<PointRecord>& points) override;
    void PolyFillColored(const PolyFillColoredRecord& r,
                         const std::vector<PointRecord>& points) override;
    void GradientPolyFill(const GradientPolyFillRecord& r,
                          const std::vector<PointRecord>& points) override;
    void DrawPolyline(const std::vector<PointRecord>& points) override;
    void DrawStyledPolyline(const DrawStyledPolylineRecord& r,
                            const std::vector<DrawLineRecord>& segments) override;
    void SetLineStyle(const SetLineStyleRecord& r) override;
    void DrawSymbol(const DrawSymbolRecord& r) override;
    void DrawScaledSymbol(const DrawScaledSymbolRecord& r) override;
    void DrawBox(const DrawBoxRecord& r) override;
    void DrawRotatedText(const DrawRotatedTextRecord& r) override;
    void SetLineWidth(const SetLineWidthRecord& r) override;

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
    void FillPolygonStrips(const std::vector<PointRecord>& points, Color fill);
};

}  // namespace cindral
