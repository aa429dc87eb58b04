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

    void DrawText(double x, double y, uint8_t vertical, uint8_t transparent, int32_t align,
                  uint8_t raise, const std::string& text) override;
    void DrawFittedText(double x, double y, uint8_t rotation, int32_t align,
                        const std::string& text, uint8_t keepInside) override;
    void DrawArc(double cx, double cy, double radius, double startAngle, double endAngle) override;
    void DrawPictureFile(double x1, double y1, double x2, double y2, const std::string& fileName,
                         uint8_t border, uint8_t stretch) override;
    void DrawVerticalRule(double x) override;
    void DrawCircle(double cx, double cy, double radius) override;
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
    void DrawRectangle(double x1, double y1, double x2, double y2) override;
    void SetLineStyle(uint8_t style) override;
    void DrawSymbol(double x, double y, double extra16, int16_t symbol, double xScale,
                    double yScale, double extra42) override;
    void DrawScaledSymbol(double x, double y, double extra16, int16_t symbol, double size,
                          double extra34, double extra42, uint8_t region) override;
    void DrawBox(double x1, double y1, double x2, double y2, uint8_t fillKind, int32_t color,
                 uint8_t extra37) override;
    void DrawStrokeText(int32_t angle, const std::string& text, double x, double y, double unused,
                        double charWidth, double charHeight, bool draw) override;
    void DrawNote(double x, double y, const std::string& text) override;
    void DrawRotatedText(double x1, double y1, double x2, double y2, uint8_t arrows,
                         uint8_t turnDirection, const std::string& text) override;
    void SetLineWidth(int32_t width) override;

  protected:
    void BeginCommand(const GdxCommand& command) override;

  private:
    class Call;
    std::ostream& out_;
    int depth_ = 0;
};

}  // namespace cindral
