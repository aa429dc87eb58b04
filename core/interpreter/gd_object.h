#pragma once
// The graphics document: the header of one compiled log, the pattern and symbol libraries,
// and the interpreter that plays every command as one call of a virtual drawing primitive.
// A renderer derives from it and overrides the primitives it draws itself; the defaults here
// reduce arcs, circles, symbols, stroke text and pattern fills to DrawLine calls.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/format/file_object.h"
#include "core/format/gdx_commands.h"
#include "core/format/gdx_header.h"
#include "core/format/gdx_reader.h"

namespace cindral {

class pattern_object;
class symbol_object;

// Smallest and largest x and y of the strokes of the last DrawStrokeText call.
struct StrokeTextExtent {
    double MinX = 1e27;
    double MaxX = -1e27;
    double MinY = 1e27;
    double MaxY = -1e27;
};

// Height and width of a stroke text as measured by MeasureStrokeText.
struct StrokeTextSize {
    double height = 0;
    double width = 0;
};

// The minor and major tick steps the axis frame uses for a data range.
struct TickSteps {
    double minor = 1;
    double major = 1;
};

// Point at distance `r` and bearing `a` (degrees, 0 up, clockwise) from (cx, cy).
std::pair<double, double> PolarOffset(double cx, double cy, double r, double a);

// Tick steps for about `n` intervals over the range a..b, from the fixed table of nice steps.
TickSteps NiceSteps(int n, double a, double b);

// Axis label text: fixed notation, thousands separators for non-negative values, trailing
// zeros and a trailing point removed. Independent of the process locale.
std::string FormatNumber(int decimals, double value);

// Decimals an axis label gets for a tick range of width r.
int AxisDecimals(double r);

class gd_object : public file_object, public GdxHeader {
  public:
    // Opens both libraries; a library that cannot be opened fails the construction.
    // `default_page_length` is what an older header gets as UnitsPerPage.
    gd_object(std::string pattern_file_name, std::string symbol_file_name,
              double default_page_length = kDefaultPageLength);
    ~gd_object() override;

    GdxHeader& Header() { return *this; }
    const GdxHeader& Header() const { return *this; }

    // The file operations that replace OpenWrite and OpenRead.
    virtual void CreateFile();
    virtual void ReadHeader();
    // Writes the in-memory header back over the file's header record.
    void WriteHeader();

    // Record writers. The viewer never calls them; only the region pattern boxes write here.
    virtual void WriteRegionLine(const DrawRegionLineRecord& record);
    virtual void WriteTextBox(const DrawTextBoxRecord& record, const std::string& text);
    virtual void WriteLabel(const DrawLabelRecord& record);
    virtual void WriteLongLabel(const DrawLongLabelRecord& record);
    virtual void WritePicture(const DrawPictureRecord& record, const std::vector<uint8_t>& data);
    virtual void WritePictureStream(const DrawPictureStreamRecord& record,
                                    const std::vector<uint8_t>& data);
    virtual void WriteRegionPatternBox(const RegionPatternFillBoxRecord& record);
    virtual void WriteRegionPatternBoxColored(const RegionPatternFillBoxColoredRecord& record);
    virtual void WriteScaledSymbol(const DrawScaledSymbolRecord& record);

    // Drawing primitives, one per command. Point and segment lists arrive already read, as
    // the last argument; byte buffers and texts are lent for the duration of the call.
    virtual void DrawText(double x, double y, uint8_t vertical, uint8_t transparent, int32_t align,
                          uint8_t raise, const std::string& text);
    virtual void DrawFittedText(double x, double y, uint8_t rotation, int32_t align,
                                const std::string& text, uint8_t keepInside);
    virtual void DrawArc(double cx, double cy, double radius, double startAngle, double endAngle);
    virtual void DrawPictureFile(double x1, double y1, double x2, double y2,
                                 const std::string& fileName, uint8_t border, uint8_t stretch);
    virtual void DrawVerticalRule(double x);
    virtual void DrawCircle(double cx, double cy, double radius);
    virtual void SetColor(int32_t color);
    virtual void FillPolygonPair(int32_t lineColor1, uint8_t lineStyle1, int32_t lineWidth1,
                                 int32_t fillColor1, uint8_t fillStyle1, int32_t lineColor2,
                                 uint8_t lineStyle2, int32_t lineWidth2, int32_t fillColor2,
                                 uint8_t fillStyle2, int32_t overlapColor, uint8_t overlapStyle,
                                 const std::vector<PointRecord>& polygon1,
                                 const std::vector<PointRecord>& polygon2);
    virtual void DrawWrappedText(double x1, double y1, double x2, double y2, uint8_t narrowMargin,
                                 uint8_t wideMargin, const std::string& text);
    virtual void DrawFormattedText(const std::string& text, int32_t fontSize, double x1, double y1,
                                   double x2, double y2, int32_t layoutFlags, double sideMargin,
                                   double lineInset);
    virtual void DrawFontText(double x, double y, double unused, double height, int32_t angle,
                              uint8_t sizeMode, const std::string& text, bool clip);
    virtual void SetFont(const std::string& fontName, int32_t size, uint8_t style, int32_t color);
    virtual void DrawRegionLine(double x1, double y1, double x2, double y2, uint8_t region);
    virtual void DrawTextBox(uint8_t region, int32_t layoutFlags, double x1, double y1, double x2,
                             double y2, uint8_t border, uint8_t fill, int32_t fillColor,
                             int32_t TextLength, const std::string& text, int32_t fontSize,
                             double marginLeft, double marginTop, double marginRight,
                             double marginBottom);
    virtual void DrawLabel(int32_t size, int32_t angle, double x, double y, const std::string& text,
                           uint8_t region);
    virtual void DrawPicture(int32_t size, const std::vector<uint8_t>& data, double x1, double y1,
                             double x2, double y2, uint8_t isBitmap, uint8_t region);
    virtual void DrawPictureStream(uint8_t region, const std::vector<uint8_t>& stream, double x1,
                                   double y1, double x2, double y2);
    virtual void DrawLine(double x1, double y1, double x2, double y2);
    virtual void PatternFillBox(double x1, double y1, double x2, double y2, int32_t pattern,
                                double xScale, double yScale, uint8_t outline);
    virtual void PatternFillBoxColored(double x1, double y1, double x2, double y2, int32_t pattern,
                                       double xScale, double yScale, int32_t lineWidth,
                                       int32_t backColor, int32_t lineColor, uint8_t outline);
    virtual void GradientFillBox(int32_t startColor, int32_t endColor, double y1, double x1,
                                 double y2, double x2, double fillX, uint8_t fromLeft);
    virtual void RegionPatternFillBox(double x1, double y1, double x2, double y2, int32_t pattern,
                                      double xScale, double yScale, uint8_t outline,
                                      uint8_t region);
    virtual void RegionPatternFillBoxColored(double x1, double y1, double x2, double y2,
                                             int32_t pattern, double xScale, double yScale,
                                             int32_t lineWidth, int32_t backColor,
                                             int32_t lineColor, uint8_t outline, uint8_t region);
    virtual void FillBox(double x1, double y1, double x2, double y2, int32_t color, uint8_t region);
    virtual void PolyFill(int32_t pattern, double xScale, double yScale, uint8_t outline,
                          const std::vector<PointRecord>& points);
    virtual void PolyFillColored(int32_t pattern, double xScale, double yScale, uint8_t outline,
                                 int32_t color, const std::vector<PointRecord>& points);
    virtual void GradientPolyFill(int32_t startColor, int32_t endColor, double rampX1,
                                  double rampX2, uint8_t fromLeft,
                                  const std::vector<PointRecord>& points);
    virtual void DrawPolyline(const std::vector<PointRecord>& points);
    virtual void DrawStyledPolyline(int32_t width, int32_t color, uint8_t style,
                                    const std::vector<DrawLineRecord>& segments);
    virtual void DrawRectangle(double x1, double y1, double x2, double y2);
    virtual void SetLineStyle(uint8_t style);
    virtual void DrawSymbol(double x, double y, double extra16, int16_t symbol, double xScale,
                            double yScale, double extra42);
    virtual void DrawScaledSymbol(double x, double y, double extra16, int16_t symbol, double size,
                                  double extra34, double extra42, uint8_t region);
    virtual void DrawBox(double x1, double y1, double x2, double y2, uint8_t fillKind,
                         int32_t color, uint8_t extra37);
    virtual void DrawStrokeText(int32_t angle, const std::string& text, double x, double y,
                                double unused, double charWidth, double charHeight, bool draw);
    virtual void DrawNote(double x, double y, const std::string& text);
    virtual void DrawRotatedText(double x1, double y1, double x2, double y2, uint8_t arrows,
                                 uint8_t turnDirection, const std::string& text);
    virtual void SetLineWidth(int32_t width);

    // Plays every command of the file, from the first to the end or a confirmed cancel.
    // Keeps the BottomDepth and TopDepth the application set across its header re-read.
    // A malformed file stops the play with IoError; the file is closed in every case.
    virtual void PlayCommands();
    // Makes the next plays visit only the commands at these byte offsets, in the order given
    // (the page index chooses them, in file order); nullptr plays every command again. The
    // list is not owned and must outlive the plays.
    void SetPlaySelection(const std::vector<int64_t>* offsets) { selection_ = offsets; }

    // Height and width of a stroke text, measured without drawing.
    StrokeTextSize MeasureStrokeText(int32_t angle, const std::string& text, double charWidth,
                                     double charHeight);

    // Figure routines the interpreter draws itself from DrawLine, DrawArc, DrawCircle and
    // DrawStrokeText.
    void AxisFrame(const AxisFrameRecord& r);
    void DipSymbol(double x, double y, double azimuth, double dip);
    void RectangularGrid(double x1, double y1, double x2, double y2, double stepX, double stepY);
    void RadialLine(double cx, double cy, double length, double angle);
    void BoxOutline(double x1, double y1, double x2, double y2);
    void PieOutline(double cx, double cy, double radius, double startAngle, double endAngle);

    static constexpr double kDefaultSymbolSizeFactor = 0.01;
    // Degrees of one chord of DrawArc.
    static constexpr double kArcStep = 1.0;
    // The dip symbol's size as a share of the log's width (command 6 sets it).
    double SymbolSizeFactor() const { return symbol_size_factor_; }
    void SetSymbolSizeFactor(double factor) { symbol_size_factor_ = factor; }
    pattern_object& Patterns() const { return *patterns_; }
    symbol_object& Symbols() const { return *symbols_; }
    // Data units per page unit of the last axis frame's axes (0 for an axis without ticks).
    double AxisScaleX() const { return axis_scale_x_; }
    double AxisScaleY() const { return axis_scale_y_; }
    // The strokes of the last DrawStrokeText call.
    const StrokeTextExtent& TextExtent() const { return text_extent_; }

  protected:
    // Called before each command is played, with the command as read; a tracing target
    // annotates its output here. Renderers have no use for it.
    virtual void BeginCommand(const GdxCommand& command);

  private:
    void Play(GdxCommand& command);
    const std::vector<int64_t>* selection_ = nullptr;
    std::unique_ptr<pattern_object> patterns_;
    std::unique_ptr<symbol_object> symbols_;
    // UnitsPerPage an older header is given.
    double default_page_length_ = kDefaultPageLength;
    double symbol_size_factor_ = kDefaultSymbolSizeFactor;
    double axis_scale_x_ = 0;
    double axis_scale_y_ = 0;
    StrokeTextExtent text_extent_;
    void TileBox(double x1, double y1, double x2, double y2, double xScale, double yScale,
                 bool clamp_to_box, const std::vector<PointRecord>* polygon);
};

}  // namespace cindral
