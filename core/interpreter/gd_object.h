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

class gd_object : public file_object, protected GdxHeader {
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

    // Drawing primitives, one per command, each given the record the reader decoded. Point
    // and segment lists, picture bytes and texts that follow a record arrive already read, as
    // the arguments after it, lent for the duration of the call.
    virtual void DrawText(const DrawTextRecord& r);
    virtual void DrawFittedText(const DrawFittedTextRecord& r);
    virtual void DrawArc(const DrawArcRecord& r);
    virtual void DrawPictureFile(const DrawPictureFileRecord& r);
    virtual void DrawVerticalRule(const DrawVerticalRuleRecord& r);
    virtual void DrawCircle(const DrawCircleRecord& r);
    virtual void SetColor(const SetColorRecord& r);
    virtual void FillPolygonPair(const FillPolygonPairRecord& r,
                                 const std::vector<PointRecord>& polygon1,
                                 const std::vector<PointRecord>& polygon2);
    virtual void DrawWrappedText(const DrawWrappedTextRecord& r, const std::string& text);
    virtual void DrawFormattedText(const DrawFormattedTextRecord& r, const std::string& text);
    virtual void DrawFontText(const DrawFontTextRecord& r);
    virtual void SetFont(const SetFontColoredRecord& r);
    virtual void DrawRegionLine(const DrawRegionLineRecord& r);
    virtual void DrawTextBox(const DrawTextBoxRecord& r, const std::string& text);
    virtual void DrawLabel(const DrawLabelRecord& r);
    virtual void DrawPicture(const DrawPictureRecord& r, const std::vector<uint8_t>& data);
    virtual void DrawPictureStream(const DrawPictureStreamRecord& r,
                                   const std::vector<uint8_t>& stream);
    virtual void DrawLine(const DrawLineRecord& r);
    virtual void PatternFillBox(const PatternFillBoxRecord& r);
    virtual void PatternFillBoxColored(const PatternFillBoxColoredRecord& r);
    virtual void GradientFillBox(const GradientFillBoxRecord& r);
    virtual void RegionPatternFillBox(const RegionPatternFillBoxRecord& r);
    virtual void RegionPatternFillBoxColored(const RegionPatternFillBoxColoredRecord& r);
    virtual void FillBox(const FillBoxRecord& r);
    virtual void PolyFill(const PolyFillRecord& r, const std::vector<PointRecord>& points);
    virtual void PolyFillColored(const PolyFillColoredRecord& r,
                                 const std::vector<PointRecord>& points);
    virtual void GradientPolyFill(const GradientPolyFillRecord& r,
                                  const std::vector<PointRecord>& points);
    virtual void DrawPolyline(const std::vector<PointRecord>& points);
    virtual void DrawStyledPolyline(const DrawStyledPolylineRecord& r,
                                    const std::vector<DrawLineRecord>& segments);
    virtual void DrawRectangle(const DrawRectangleRecord& r);
    virtual void SetLineStyle(const SetLineStyleRecord& r);
    virtual void DrawSymbol(const DrawSymbolRecord& r);
    virtual void DrawScaledSymbol(const DrawScaledSymbolRecord& r);
    virtual void DrawBox(const DrawBoxRecord& r);
    // With `draw` false the strokes are only measured (TextExtent).
    virtual void DrawStrokeText(const DrawStrokeTextRecord& r, bool draw);
    virtual void DrawNote(const DrawNoteRecord& r);
    virtual void DrawRotatedText(const DrawRotatedTextRecord& r);
    virtual void SetLineWidth(const SetLineWidthRecord& r);
    // A line from (x1, y1) to (x2, y2) through DrawLine: what the defaults reduce figures to.
    void DrawSegment(double x1, double y1, double x2, double y2) {
        DrawLine(DrawLineRecord{x1, y1, 0, x2, y2, 0});
    }

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
    // The four edges of a box in a band, through DrawRegionLine.
    void RegionBoxOutline(double x1, double y1, double x2, double y2, uint8_t region);
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
    void Play(const GdxCommand& command);
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
