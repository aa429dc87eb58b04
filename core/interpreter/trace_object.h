#pragma once
// A graphics document that writes one text line per drawing-primitive call with its
// arguments, then runs the default, so the lines a default reduces a call to follow it,
// indented. Numbers use a fixed, locale-independent format, so traces diff across machines.

#include <ostream>
#include <string>

#include "core/interpreter/gd_object.h"

namespace cindral {

// A number as the trace writes it: fixed notation, at most four decimals, trailing zeros
// dropped, never "-0".
std::string TraceNumber(double value);

class trace_object : public gd_object {
  public:
    trace_object(std::ostream& out, std::string pattern_file_name, std::string symbol_file_name,
                 double default_page_length = kDefaultPageLength);

    // When false, command annotations ("# @offset code name") are left out.
    bool AnnotateCommands = true;

    void DrawText(const DrawTextRecord& r) override;
    void DrawFittedText(const DrawFittedTextRecord& r) override;
    void DrawArc(const DrawArcRecord& r) override;
    void DrawPictureFile(const DrawPictureFileRecord& r) override;
    void DrawVerticalRule(const DrawVerticalRuleRecord& r) override;
    void DrawCircle(const DrawCircleRecord& r) override;
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
    void DrawRectangle(const DrawRectangleRecord& r) override;
    void SetLineStyle(const SetLineStyleRecord& r) override;
    void DrawSymbol(const DrawSymbolRecord& r) override;
    void DrawScaledSymbol(const DrawScaledSymbolRecord& r) override;
    void DrawBox(const DrawBoxRecord& r) override;
    void DrawStrokeText(const DrawStrokeTextRecord& r, bool draw) override;
    void DrawNote(const DrawNoteRecord& r) override;
    void DrawRotatedText(const DrawRotatedTextRecord& r) override;
    void SetLineWidth(const SetLineWidthRecord& r) override;

  protected:
    void BeginCommand(const GdxCommand& command) override;

  private:
    class Call;
    std::ostream& out_;
    int depth_ = 0;
};

}  // namespace cindral
