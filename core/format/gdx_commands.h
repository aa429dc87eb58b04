#pragma once
// Every command record of a compiled log as a typed struct with its exact payload layout.
// Each struct lists its fields in file order through Fields(visitor); the visitor sees
// visitor(name, field) for numbers and visitor.Text(name, field, capacity) for short strings.
// Field names are the drawing operations' argument names; fields the viewer does not use are
// named after their payload offset.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "core/format/byte_codec.h"

namespace cindral {

// What follows a command record in the file.
enum class Follower {
    None,
    PointList,        // code-12 records ended by a code-7 record
    TwoPointLists,    // two such lists
    SegmentList,      // code-10 records ended by a code-7 record
    TextSubBlock,     // int16 code, uint16 length, text with its NUL
    TextRecord,       // a 1022 record when TextLength > 0
    PictureSubBlock,  // int16 code, int32 byte count, the bytes
};

// Field lists stay one short line per group of fields, in file order.
// clang-format off
#define CINDRAL_RECORD(Code, Size, Name, Follows)                  \
    static constexpr int16_t kCode = Code;                         \
    static constexpr uint16_t kSize = Size;                        \
    static constexpr const char* kOperation = Name;                \
    static constexpr Follower kFollower = Follower::Follows

struct AxisFrameRecord {
    CINDRAL_RECORD(1, 82, "AxisFrame", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double DataMinX = 0, DataMinY = 0, DataMaxX = 0, DataMaxY = 0;
    uint8_t CenteredLabels = 0, AutoTicks = 0;
    double TickX = 0, TickY = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2);
        v("DataMinX", DataMinX); v("DataMinY", DataMinY); v("DataMaxX", DataMaxX);
        v("DataMaxY", DataMaxY); v("CenteredLabels", CenteredLabels); v("AutoTicks", AutoTicks);
        v("TickX", TickX); v("TickY", TickY);
    }
};

struct DrawArcRecord {
    CINDRAL_RECORD(2, 40, "DrawArc", None);
    double cx = 0, cy = 0, radius = 0, startAngle = 0, endAngle = 0;
    template <class V> void Fields(V& v) {
        v("cx", cx); v("cy", cy); v("radius", radius); v("startAngle", startAngle);
        v("endAngle", endAngle);
    }
};

struct DrawCircleRecord {
    CINDRAL_RECORD(3, 24, "DrawCircle", None);
    double cx = 0, cy = 0, radius = 0;
    template <class V> void Fields(V& v) { v("cx", cx); v("cy", cy); v("radius", radius); }
};

struct SetColorRecord {
    CINDRAL_RECORD(4, 4, "SetColor", None);
    int32_t color = 0;
    template <class V> void Fields(V& v) { v("color", color); }
};

struct DipSymbolRecord {
    CINDRAL_RECORD(5, 32, "DipSymbol", None);
    double x = 0, y = 0, azimuth = 0, dip = 0;
    template <class V> void Fields(V& v) { v("x", x); v("y", y); v("azimuth", azimuth); v("dip", dip); }
};

struct SymbolSizeRecord {
    CINDRAL_RECORD(6, 8, "SetSymbolSize", None);
    double SymbolSizeFactor = 0.01;
    template <class V> void Fields(V& v) { v("SymbolSizeFactor", SymbolSizeFactor); }
};

struct EndOfListRecord {
    CINDRAL_RECORD(7, 1, "EndOfList", None);
    uint8_t unused0 = 0;
    template <class V> void Fields(V& v) { v("unused0", unused0); }
};

struct GridRecord {
    CINDRAL_RECORD(8, 48, "Grid", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, stepX = 0, stepY = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("stepX", stepX); v("stepY", stepY);
    }
};

struct DrawLineRecord {
    CINDRAL_RECORD(10, 48, "DrawLine", None);
    double x1 = 0, y1 = 0, unused16 = 0, x2 = 0, y2 = 0, unused40 = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("unused16", unused16); v("x2", x2); v("y2", y2);
        v("unused40", unused40);
    }
};

struct PatternFillBoxRecord {
    CINDRAL_RECORD(11, 53, "PatternFillBox", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t pattern = 0;
    double xScale = 1, yScale = 1;
    uint8_t outline = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("pattern", pattern);
        v("xScale", xScale); v("yScale", yScale); v("outline", outline);
    }
};

struct PointRecord {
    CINDRAL_RECORD(12, 16, "Point", None);
    double x = 0, y = 0;
    template <class V> void Fields(V& v) { v("x", x); v("y", y); }
};

struct PolyFillRecord {
    CINDRAL_RECORD(13, 21, "PolyFill", PointList);
    int32_t pattern = 0;
    double xScale = 1, yScale = 1;
    uint8_t outline = 0;
    template <class V> void Fields(V& v) {
        v("pattern", pattern); v("xScale", xScale); v("yScale", yScale); v("outline", outline);
    }
};

struct DrawPolylineRecord {
    CINDRAL_RECORD(14, 8, "DrawPolyline", PointList);
    double unused0 = 0;
    template <class V> void Fields(V& v) { v("unused0", unused0); }
};

struct RadialLineRecord {
    CINDRAL_RECORD(15, 32, "RadialLine", None);
    double cx = 0, cy = 0, length = 0, angle = 0;
    template <class V> void Fields(V& v) { v("cx", cx); v("cy", cy); v("length", length); v("angle", angle); }
};

struct BoxOutlineRecord {
    CINDRAL_RECORD(16, 32, "BoxOutline", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    template <class V> void Fields(V& v) { v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); }
};

struct DrawRectangleRecord {
    CINDRAL_RECORD(17, 32, "DrawRectangle", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    template <class V> void Fields(V& v) { v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); }
};

struct PieOutlineRecord {
    CINDRAL_RECORD(18, 40, "PieOutline", None);
    double cx = 0, cy = 0, radius = 0, startAngle = 0, endAngle = 0;
    template <class V> void Fields(V& v) {
        v("cx", cx); v("cy", cy); v("radius", radius); v("startAngle", startAngle);
        v("endAngle", endAngle);
    }
};

struct SetLineStyleRecord {
    CINDRAL_RECORD(19, 1, "SetLineStyle", None);
    uint8_t style = 0;
    template <class V> void Fields(V& v) { v("style", style); }
};

struct DrawSymbolRecord {
    CINDRAL_RECORD(20, 50, "DrawSymbol", None);
    double x = 0, y = 0, extra16 = 0;
    int16_t symbol = 0;
    double xScale = 1, yScale = 1, extra42 = 0;
    template <class V> void Fields(V& v) {
        v("x", x); v("y", y); v("extra16", extra16); v("symbol", symbol); v("xScale", xScale);
        v("yScale", yScale); v("extra42", extra42);
    }
};

struct DrawStrokeTextRecord {
    CINDRAL_RECORD(21, 105, "DrawStrokeText", None);
    double x = 0, y = 0, unused16 = 0, charWidth = 0, charHeight = 0;
    int32_t angle = 90;
    std::string text;
    template <class V> void Fields(V& v) {
        v("x", x); v("y", y); v("unused16", unused16); v("charWidth", charWidth);
        v("charHeight", charHeight); v("angle", angle); v.Text("text", text, 60);
    }
};

struct DrawNoteRecord {
    CINDRAL_RECORD(22, 77, "DrawNote", None);
    double x = 0, y = 0;
    std::string text;
    template <class V> void Fields(V& v) { v("x", x); v("y", y); v.Text("text", text, 60); }
};

struct SetLineWidthRecord {
    CINDRAL_RECORD(23, 4, "SetLineWidth", None);
    int32_t width = 1;
    template <class V> void Fields(V& v) { v("width", width); }
};

struct DrawFontTextRecord {
    CINDRAL_RECORD(24, 98, "DrawFontText", None);
    double x = 0, y = 0, unused16 = 0, height = 0;
    int32_t angle = 0;
    uint8_t sizeMode = 0;
    std::string text;
    template <class V> void Fields(V& v) {
        v("x", x); v("y", y); v("unused16", unused16); v("height", height); v("angle", angle);
        v("sizeMode", sizeMode); v.Text("text", text, 60);
    }
};

struct SetFontRecord {
    CINDRAL_RECORD(25, 46, "SetFont", None);
    std::string fontName;
    int32_t size = 10;
    uint8_t style = 0;
    template <class V> void Fields(V& v) { v.Text("fontName", fontName, 40); v("size", size); v("style", style); }
};

struct DrawWrappedTextRecord {
    CINDRAL_RECORD(26, 38, "DrawWrappedText", TextSubBlock);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t placeholder32 = 0;
    uint8_t narrowMargin = 0, wideMargin = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("placeholder32", placeholder32);
        v("narrowMargin", narrowMargin); v("wideMargin", wideMargin);
    }
};

struct DrawBoxRecord {
    CINDRAL_RECORD(27, 38, "DrawBox", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    uint8_t fillKind = 0;
    int32_t color = 0;
    uint8_t extra37 = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("fillKind", fillKind);
        v("color", color); v("extra37", extra37);
    }
};

struct DrawPictureFileRecord {
    CINDRAL_RECORD(28, 290, "DrawPictureFile", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string fileName;
    uint8_t border = 0, stretch = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v.Text("fileName", fileName, 255);
        v("border", border); v("stretch", stretch);
    }
};

struct DrawRegionLineRecord {
    CINDRAL_RECORD(101, 33, "DrawRegionLine", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    uint8_t region = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("region", region);
    }
};

struct DrawLabelRecord {
    CINDRAL_RECORD(102, 86, "DrawLabel", None);
    double x = 0, y = 0;
    int32_t size = 10, angle = 0;
    std::string text;
    uint8_t region = 0;
    template <class V> void Fields(V& v) {
        v("x", x); v("y", y); v("size", size); v("angle", angle); v.Text("text", text, 60);
        v("region", region);
    }
};

struct DrawPictureRecord {
    CINDRAL_RECORD(103, 38, "DrawPicture", PictureSubBlock);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t placeholder32 = 0;
    uint8_t isBitmap = 0, region = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("placeholder32", placeholder32);
        v("isBitmap", isBitmap); v("region", region);
    }
};

struct DrawScaledSymbolRecord {
    CINDRAL_RECORD(104, 51, "DrawScaledSymbol", None);
    double x = 0, y = 0, extra16 = 0;
    int16_t symbol = 0;
    double size = 0, extra34 = 0, extra42 = 0;
    uint8_t region = 0;
    template <class V> void Fields(V& v) {
        v("x", x); v("y", y); v("extra16", extra16); v("symbol", symbol); v("size", size);
        v("extra34", extra34); v("extra42", extra42); v("region", region);
    }
};

struct RegionPatternFillBoxRecord {
    CINDRAL_RECORD(105, 54, "RegionPatternFillBox", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t pattern = 0;
    double xScale = 1, yScale = 1;
    uint8_t outline = 0, region = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("pattern", pattern);
        v("xScale", xScale); v("yScale", yScale); v("outline", outline); v("region", region);
    }
};

struct DrawRotatedTextRecord {
    CINDRAL_RECORD(201, 290, "DrawRotatedText", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    uint8_t arrows = 0, turnDirection = 0;
    std::string text;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("arrows", arrows);
        v("turnDirection", turnDirection); v.Text("text", text, 255);
    }
};

struct RegionPatternFillBoxColoredRecord {
    CINDRAL_RECORD(202, 66, "RegionPatternFillBoxColored", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t pattern = 0;
    double xScale = 1, yScale = 1;
    int32_t lineWidth = 1, backColor = 0xFFFFFF, lineColor = 0;
    uint8_t outline = 0, region = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("pattern", pattern);
        v("xScale", xScale); v("yScale", yScale); v("lineWidth", lineWidth);
        v("backColor", backColor); v("lineColor", lineColor); v("outline", outline);
        v("region", region);
    }
};

struct PatternFillBoxColoredRecord {
    CINDRAL_RECORD(203, 65, "PatternFillBoxColored", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t pattern = 0;
    double xScale = 1, yScale = 1;
    int32_t lineWidth = 1, backColor = 0xFFFFFF, lineColor = 0;
    uint8_t outline = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("pattern", pattern);
        v("xScale", xScale); v("yScale", yScale); v("lineWidth", lineWidth);
        v("backColor", backColor); v("lineColor", lineColor); v("outline", outline);
    }
};

struct SetFontColoredRecord {
    CINDRAL_RECORD(204, 50, "SetFont", None);
    std::string fontName;
    int32_t size = 10;
    uint8_t style = 0;
    int32_t color = 0;
    template <class V> void Fields(V& v) {
        v.Text("fontName", fontName, 40); v("size", size); v("style", style); v("color", color);
    }
};

struct FillBoxRecord {
    CINDRAL_RECORD(205, 37, "FillBox", None);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t color = 0;
    uint8_t region = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("color", color); v("region", region);
    }
};

struct DrawPictureStreamRecord {
    CINDRAL_RECORD(206, 33, "DrawPictureStream", PictureSubBlock);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    uint8_t region = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("region", region);
    }
};

struct FillPolygonPairRecord {
    CINDRAL_RECORD(207, 33, "FillPolygonPair", TwoPointLists);
    int32_t lineColor1 = 0;
    uint8_t lineStyle1 = 0;
    int32_t lineWidth1 = 1, fillColor1 = 0;
    uint8_t fillStyle1 = 0;
    int32_t lineColor2 = 0;
    uint8_t lineStyle2 = 0;
    int32_t lineWidth2 = 1, fillColor2 = 0;
    uint8_t fillStyle2 = 0;
    int32_t overlapColor = 0;
    uint8_t overlapStyle = 0;
    template <class V> void Fields(V& v) {
        v("lineColor1", lineColor1); v("lineStyle1", lineStyle1); v("lineWidth1", lineWidth1);
        v("fillColor1", fillColor1); v("fillStyle1", fillStyle1); v("lineColor2", lineColor2);
        v("lineStyle2", lineStyle2); v("lineWidth2", lineWidth2); v("fillColor2", fillColor2);
        v("fillStyle2", fillStyle2); v("overlapColor", overlapColor);
        v("overlapStyle", overlapStyle);
    }
};

struct DrawTextRecord {
    CINDRAL_RECORD(208, 279, "DrawText", None);
    double x = 0, y = 0;
    uint8_t vertical = 0, transparent = 1;
    int32_t align = 0;
    uint8_t raise = 0;
    std::string text;
    template <class V> void Fields(V& v) {
        v("x", x); v("y", y); v("vertical", vertical); v("transparent", transparent);
        v("align", align); v("raise", raise); v.Text("text", text, 255);
    }
};

struct PolyFillColoredRecord {
    CINDRAL_RECORD(209, 25, "PolyFillColored", PointList);
    int32_t pattern = 0;
    double xScale = 1, yScale = 1;
    uint8_t outline = 0;
    int32_t color = 0;
    template <class V> void Fields(V& v) {
        v("pattern", pattern); v("xScale", xScale); v("yScale", yScale); v("outline", outline);
        v("color", color);
    }
};

struct DrawStyledPolylineRecord {
    CINDRAL_RECORD(210, 9, "DrawStyledPolyline", SegmentList);
    int32_t width = 1, color = 0;
    uint8_t style = 0;
    template <class V> void Fields(V& v) { v("width", width); v("color", color); v("style", style); }
};

struct DrawVerticalRuleRecord {
    CINDRAL_RECORD(211, 8, "DrawVerticalRule", None);
    double x = 0;
    template <class V> void Fields(V& v) { v("x", x); }
};

struct DrawLongLabelRecord {
    CINDRAL_RECORD(1020, 146, "DrawLabel", None);
    double x = 0, y = 0;
    int32_t size = 10, angle = 0;
    std::string text;
    uint8_t region = 0;
    template <class V> void Fields(V& v) {
        v("x", x); v("y", y); v("size", size); v("angle", angle); v.Text("text", text, 120);
        v("region", region);
    }
};

struct DrawTextBoxRecord {
    CINDRAL_RECORD(1021, 87, "DrawTextBox", TextRecord);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    uint8_t region = 0;
    int32_t layoutFlags = 0;
    uint8_t border = 0, fill = 0;
    int32_t fillColor = 0xFFFFFF;
    int32_t TextLength = 0;
    int32_t placeholder47 = 0;
    int32_t fontSize = 10;
    double marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("region", region);
        v("layoutFlags", layoutFlags); v("border", border); v("fill", fill);
        v("fillColor", fillColor); v("TextLength", TextLength); v("placeholder47", placeholder47);
        v("fontSize", fontSize); v("marginLeft", marginLeft); v("marginTop", marginTop);
        v("marginRight", marginRight); v("marginBottom", marginBottom);
    }
};

// Layout flag of formatted text and text boxes: lines run on below the box instead of
// stopping at its bottom.
constexpr int32_t kLayoutRunsOn = 0x0100;

struct DrawFormattedTextRecord {
    CINDRAL_RECORD(1023, 60, "DrawFormattedText", TextSubBlock);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t placeholder32 = 0;
    int32_t fontSize = 10, layoutFlags = 0;
    double sideMargin = 0, lineInset = 0;
    template <class V> void Fields(V& v) {
        v("x1", x1); v("y1", y1); v("x2", x2); v("y2", y2); v("placeholder32", placeholder32);
        v("fontSize", fontSize); v("layoutFlags", layoutFlags); v("sideMargin", sideMargin);
        v("lineInset", lineInset);
    }
};

struct DrawFittedTextRecord {
    CINDRAL_RECORD(1024, 278, "DrawFittedText", None);
    double x = 0, y = 0;
    uint8_t rotation = 0;
    int32_t align = 0;
    std::string text;
    uint8_t keepInside = 0;
    template <class V> void Fields(V& v) {
        v("x", x); v("y", y); v("rotation", rotation); v("align", align);
        v.Text("text", text, 255); v("keepInside", keepInside);
    }
};

struct GradientFillBoxRecord {
    CINDRAL_RECORD(1025, 49, "GradientFillBox", None);
    int32_t startColor = 0, endColor = 0xFFFFFF;
    double y1 = 0, x1 = 0, y2 = 0, x2 = 0, fillX = 0;
    uint8_t fromLeft = 1;
    template <class V> void Fields(V& v) {
        v("startColor", startColor); v("endColor", endColor); v("y1", y1); v("x1", x1);
        v("y2", y2); v("x2", x2); v("fillX", fillX); v("fromLeft", fromLeft);
    }
};

struct GradientPolyFillRecord {
    CINDRAL_RECORD(1026, 25, "GradientPolyFill", PointList);
    int32_t startColor = 0, endColor = 0xFFFFFF;
    double rampX1 = 0, rampX2 = 0;
    uint8_t fromLeft = 1;
    template <class V> void Fields(V& v) {
        v("startColor", startColor); v("endColor", endColor); v("rampX1", rampX1);
        v("rampX2", rampX2); v("fromLeft", fromLeft);
    }
};

#undef CINDRAL_RECORD
// clang-format on

// A record whose code is not in the command table; it is skipped by its length.
struct UnknownRecord {
    int16_t code = 0;
    uint16_t length = 0;
};

using CommandRecord = std::variant<
    UnknownRecord, AxisFrameRecord, DrawArcRecord, DrawCircleRecord, SetColorRecord,
    DipSymbolRecord, SymbolSizeRecord, EndOfListRecord, GridRecord, DrawLineRecord,
    PatternFillBoxRecord, PointRecord, PolyFillRecord, DrawPolylineRecord, RadialLineRecord,
    BoxOutlineRecord, DrawRectangleRecord, PieOutlineRecord, SetLineStyleRecord, DrawSymbolRecord,
    DrawStrokeTextRecord, DrawNoteRecord, SetLineWidthRecord, DrawFontTextRecord, SetFontRecord,
    DrawWrappedTextRecord, DrawBoxRecord, DrawPictureFileRecord, DrawRegionLineRecord,
    DrawLabelRecord, DrawPictureRecord, DrawScaledSymbolRecord, RegionPatternFillBoxRecord,
    DrawRotatedTextRecord, RegionPatternFillBoxColoredRecord, PatternFillBoxColoredRecord,
    SetFontColoredRecord, FillBoxRecord, DrawPictureStreamRecord, FillPolygonPairRecord,
    DrawTextRecord, PolyFillColoredRecord, DrawStyledPolylineRecord, DrawVerticalRuleRecord,
    DrawLongLabelRecord, DrawTextBoxRecord, DrawFormattedTextRecord, DrawFittedTextRecord,
    GradientFillBoxRecord, GradientPolyFillRecord>;

// The text record a 1021 box may be followed by.
constexpr int16_t kBoxTextCode = 1022;

// One row of the command table.
struct CommandInfo {
    int16_t code;
    uint16_t size;  // exact payload bytes
    const char* operation;
    Follower follower;
};

// Every command code in ascending order.
const std::vector<CommandInfo>& CommandTable();
// The row of `code`, or nullptr for a code outside the table.
const CommandInfo* FindCommand(int16_t code);

int16_t CodeOf(const CommandRecord& record);
// Appends the payload (exactly the table's size); nothing for an UnknownRecord.
void EncodeCommand(const CommandRecord& record, ByteWriter& out);
// Decodes the payload of a code in the table; `in` must hold at least its size.
CommandRecord DecodeCommand(int16_t code, ByteReader& in);
// The same into `out`, reusing its storage when it already holds a record of that code.
void DecodeCommandInto(int16_t code, ByteReader& in, CommandRecord& out);

}  // namespace cindral
