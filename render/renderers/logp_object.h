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
    void DrawArc(const DrawArcRecord& r) override;
    void DrawVerticalRule(const DrawVerticalRuleRecord& r) override;
    void SetColor(const SetColorRecord& r) override;
    void DrawRegionLine(const DrawRegionLineRecord& r) override;
    void DrawLine(const DrawLineRecord& r) override;
    void GradientFillBox(const GradientFillBoxRecord& r) override;
    void GradientPolyFill(const GradientPolyFillRecord& r,
                          const std::vector<PointRecord>& points) override;
    void DrawPolyline(const std::vector<PointRecord>& points) override;
    void DrawStyledPolyline(const DrawStyledPolylineRecord& r,
                            const std::vector<DrawLineRecord>& segments) override;
    void DrawRectangle(const DrawRectangleRecord& r) override;
    void SetLineStyle(const SetLineStyleRecord& r) override;
    void SetLineWidth(const SetLineWidthRecord& r) override;

    // --- fills (logp_fills.cpp) ---
    void FillPolygonPair(const FillPolygonPairRecord& r, const std::vector<PointRecord>& polygon1,
                         const std::vector<PointRecord>& polygon2) override;
    void PatternFillBox(const PatternFillBoxRecord& r) override;
    void PatternFillBoxColored(const PatternFillBoxColoredRecord& r) override;
    void RegionPatternFillBox(const RegionPatternFillBoxRecord& r) override;
    void RegionPatternFillBoxColored(const RegionPatternFillBoxColoredRecord& r) override;
    void FillBox(const FillBoxRecord& r) override;
    void PolyFill(const PolyFillRecord& r, const std::vector<PointRecord>& points) override;
    void PolyFillColored(const PolyFillColoredRecord& r,
                         const std::vector<PointRecord>& points) override;
    void DrawBox(const DrawBoxRecord& r) override;

    // ===== text, symbols and pictures (logp_text.cpp) =====
    void DrawText(const DrawTextRecord& r) override;
    void DrawFittedText(const DrawFittedTextRecord& r) override;
    void DrawPictureFile(const DrawPictureFileRecord& r) override;
    void DrawWrappedText(const DrawWrappedTextRecord& r, const std::string& text) override;
    void DrawFormattedText(const DrawFormattedTextRecord& r, const std::string& text) override;
    void DrawFontText(const DrawFontTextRecord& r) override;
    void SetFont(const SetFontColoredRecord& r) override;
    void DrawTextBox(const DrawTextBoxRecord& r, const std::string& text) override;
    void DrawLabel(const DrawLabelRecord& r) override;
    void DrawPicture(const DrawPictureRecord& r, const std::vector<uint8_t>& data) override;
    void DrawPictureStream(const DrawPictureStreamRecord& r,
                           const std::vector<uint8_t>& stream) override;
    void DrawSymbol(const DrawSymbolRecord& r) override;
    void DrawScaledSymbol(const DrawScaledSymbolRecord& r) override;
    void DrawRotatedText(const DrawRotatedTextRecord& r) override;
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
    // The polygon in strips with a solid brush of `fill`, clipped to `clip`.
    void FillPolygonStrips(const std::vector<PointRecord>& points, Color fill, const Region& clip);
};

}  // namespace cindral
