#include "core/interpreter/trace_object.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace cindral {

std::string TraceNumber(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    std::string s(buffer, result.ptr);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

namespace {

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

// One traced call: its arguments are added in order, then Then() writes the line and runs
// the default with the lines it draws indented beneath.
class trace_object::Call {
  public:
    Call(trace_object& trace, const char* name) : trace_(trace), line_(name) { line_ += "("; }

    Call& operator()(const char* name, double v) { return Add(name, TraceNumber(v)); }
    Call& operator()(const char* name, int32_t v) { return Add(name, std::to_string(v)); }
    Call& operator()(const char* name, int16_t v) { return Add(name, std::to_string(v)); }
    Call& operator()(const char* name, uint8_t v) { return Add(name, std::to_string(v)); }
    Call& operator()(const char* name, bool v) { return Add(name, v ? "true" : "false"); }
    Call& operator()(const char* name, const std::string& v) { return Add(name, Quote(v)); }
    Call& operator()(const char* name, const std::vector<uint8_t>& v) {
        return Add(name, "<" + std::to_string(v.size()) + " bytes>");
    }
    Call& operator()(const char* name, const std::vector<PointRecord>& points) {
        std::string list = "[";
        for (const PointRecord& p : points) {
            list +=
                (list.size() > 1 ? " (" : "(") + TraceNumber(p.x) + " " + TraceNumber(p.y) + ")";
        }
        return Add(name, list + "]");
    }
    Call& operator()(const char* name, const std::vector<DrawLineRecord>& segments) {
        std::string list = "[";
        for (const DrawLineRecord& s : segments) {
            list += (list.size() > 1 ? " (" : "(") + TraceNumber(s.x1) + " " + TraceNumber(s.y1) +
                    " " + TraceNumber(s.x2) + " " + TraceNumber(s.y2) + ")";
        }
        return Add(name, list + "]");
    }
    // COLORREF values read best in hexadecimal.
    Call& Color(const char* name, int32_t v) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%06X", static_cast<unsigned>(v));
        return Add(name, hex);
    }

    template <class Default>
    void Then(Default run_default) {
        trace_.out_ << std::string(2 * static_cast<size_t>(trace_.depth_), ' ') << line_ << ")\n";
        ++trace_.depth_;
        struct Unindent {
            int& depth;
            ~Unindent() { --depth; }
        } unindent{trace_.depth_};
        run_default();
    }

  private:
    Call& Add(const char* name, const std::string& value) {
        if (line_.back() != '(') line_ += ", ";
        line_ += name;
        line_ += "=";
        line_ += value;
        return *this;
    }
    trace_object& trace_;
    std::string line_;
};

trace_object::trace_object(std::ostream& out, std::string pattern_file_name,
                           std::string symbol_file_name, double default_page_length)
    : gd_object(std::move(pattern_file_name), std::move(symbol_file_name), default_page_length),
      out_(out) {}

void trace_object::BeginCommand(const GdxCommand& command) {
    if (!AnnotateCommands) return;
    const CommandInfo* info = FindCommand(command.code);
    out_ << "# @" << command.offset << " code " << command.code << " "
         << (info ? info->operation : "unknown, skipped") << "\n";
}

void trace_object::DrawText(const DrawTextRecord& r) {
    const double x = r.x;
    const double y = r.y;
    const uint8_t vertical = r.vertical;
    const uint8_t transparent = r.transparent;
    const int32_t align = r.align;
    const uint8_t raise = r.raise;
    const std::string& text = r.text;
    Call(*this, "DrawText")("x", x)("y", y)("vertical", vertical)("transparent", transparent)(
        "align", align)("raise", raise)("text", text)
        .Then([&] { gd_object::DrawText(r); });
}

void trace_object::DrawFittedText(const DrawFittedTextRecord& r) {
    const double x = r.x;
    const double y = r.y;
    const uint8_t rotation = r.rotation;
    const int32_t align = r.align;
    const std::string& text = r.text;
    const uint8_t keepInside = r.keepInside;
    Call(*this, "DrawFittedText")("x", x)("y", y)("rotation", rotation)("align", align)(
        "text", text)("keepInside", keepInside)
        .Then([&] { gd_object::DrawFittedText(r); });
}

void trace_object::DrawArc(const DrawArcRecord& r) {
    const double cx = r.cx;
    const double cy = r.cy;
    const double radius = r.radius;
    const double startAngle = r.startAngle;
    const double endAngle = r.endAngle;
    Call(*this, "DrawArc")("cx", cx)("cy", cy)("radius", radius)("startAngle", startAngle)(
        "endAngle", endAngle)
        .Then([&] { gd_object::DrawArc(r); });
}

void trace_object::DrawPictureFile(const DrawPictureFileRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const std::string& fileName = r.fileName;
    const uint8_t border = r.border;
    const uint8_t stretch = r.stretch;
    Call(*this, "DrawPictureFile")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("fileName", fileName)(
        "border", border)("stretch", stretch)
        .Then([&] { gd_object::DrawPictureFile(r); });
}

void trace_object::DrawVerticalRule(const DrawVerticalRuleRecord& r) {
    const double x = r.x;
    Call(*this, "DrawVerticalRule")("x", x).Then([&] { gd_object::DrawVerticalRule(r); });
}

void trace_object::DrawCircle(const DrawCircleRecord& r) {
    const double cx = r.cx;
    const double cy = r.cy;
    const double radius = r.radius;
    Call(*this, "DrawCircle")("cx", cx)("cy", cy)("radius", radius).Then([&] {
        gd_object::DrawCircle(r);
    });
}

void trace_object::SetColor(const SetColorRecord& r) {
    const int32_t color = r.color;
    Call(*this, "SetColor").Color("color", color).Then([&] { gd_object::SetColor(r); });
}

void trace_object::FillPolygonPair(const FillPolygonPairRecord& r,
                                   const std::vector<PointRecord>& polygon1,
                                   const std::vector<PointRecord>& polygon2) {
    const int32_t lineColor1 = r.lineColor1;
    const uint8_t lineStyle1 = r.lineStyle1;
    const int32_t lineWidth1 = r.lineWidth1;
    const int32_t fillColor1 = r.fillColor1;
    const uint8_t fillStyle1 = r.fillStyle1;
    const int32_t lineColor2 = r.lineColor2;
    const uint8_t lineStyle2 = r.lineStyle2;
    const int32_t lineWidth2 = r.lineWidth2;
    const int32_t fillColor2 = r.fillColor2;
    const uint8_t fillStyle2 = r.fillStyle2;
    const int32_t overlapColor = r.overlapColor;
    const uint8_t overlapStyle = r.overlapStyle;
    Call(*this, "FillPolygonPair")
        .Color("lineColor1", lineColor1)("lineStyle1", lineStyle1)("lineWidth1", lineWidth1)
        .Color("fillColor1", fillColor1)("fillStyle1", fillStyle1)
        .Color("lineColor2", lineColor2)("lineStyle2", lineStyle2)("lineWidth2", lineWidth2)
        .Color("fillColor2", fillColor2)("fillStyle2", fillStyle2)
        .Color("overlapColor", overlapColor)("overlapStyle", overlapStyle)("polygon1", polygon1)(
            "polygon2", polygon2)
        .Then([&] { gd_object::FillPolygonPair(r, polygon1, polygon2); });
}

void trace_object::DrawWrappedText(const DrawWrappedTextRecord& r, const std::string& text) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const uint8_t narrowMargin = r.narrowMargin;
    const uint8_t wideMargin = r.wideMargin;
    Call(*this, "DrawWrappedText")("x1", x1)("y1", y1)("x2", x2)("y2", y2)(
        "narrowMargin", narrowMargin)("wideMargin", wideMargin)("text", text)
        .Then([&] { gd_object::DrawWrappedText(r, text); });
}

void trace_object::DrawFormattedText(const DrawFormattedTextRecord& r, const std::string& text) {
    const int32_t fontSize = r.fontSize;
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const int32_t layoutFlags = r.layoutFlags;
    const double sideMargin = r.sideMargin;
    const double lineInset = r.lineInset;
    Call(*this, "DrawFormattedText")("text", text)("fontSize", fontSize)("x1", x1)("y1", y1)(
        "x2", x2)("y2", y2)("layoutFlags", layoutFlags)("sideMargin", sideMargin)("lineInset",
                                                                                  lineInset)
        .Then([&] { gd_object::DrawFormattedText(r, text); });
}

void trace_object::DrawFontText(const DrawFontTextRecord& r) {
    const double x = r.x;
    const double y = r.y;
    const double unused = r.unused16;
    const double height = r.height;
    const int32_t angle = r.angle;
    const uint8_t sizeMode = r.sizeMode;
    const std::string& text = r.text;
    Call(*this, "DrawFontText")("x", x)("y", y)("unused", unused)("height", height)("angle", angle)(
        "sizeMode", sizeMode)("text", text)("clip", true)  // a played font text is always clipped
        .Then([&] { gd_object::DrawFontText(r); });
}

void trace_object::SetFont(const SetFontColoredRecord& r) {
    const std::string& fontName = r.fontName;
    const int32_t size = r.size;
    const uint8_t style = r.style;
    const int32_t color = r.color;
    Call(*this, "SetFont")("fontName", fontName)("size", size)("style", style)
        .Color("color", color)
        .Then([&] { gd_object::SetFont(r); });
}

void trace_object::DrawRegionLine(const DrawRegionLineRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const uint8_t region = r.region;
    Call(*this, "DrawRegionLine")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("region", region)
        .Then([&] { gd_object::DrawRegionLine(r); });
}

void trace_object::DrawTextBox(const DrawTextBoxRecord& r, const std::string& text) {
    const uint8_t region = r.region;
    const int32_t layoutFlags = r.layoutFlags;
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const uint8_t border = r.border;
    const uint8_t fill = r.fill;
    const int32_t fillColor = r.fillColor;
    const int32_t TextLength = r.TextLength;
    const int32_t fontSize = r.fontSize;
    const double marginLeft = r.marginLeft;
    const double marginTop = r.marginTop;
    const double marginRight = r.marginRight;
    const double marginBottom = r.marginBottom;
    Call(*this, "DrawTextBox")("region", region)("layoutFlags", layoutFlags)("x1", x1)("y1", y1)(
        "x2", x2)("y2", y2)("border", border)("fill", fill)
        .Color("fillColor", fillColor)("TextLength", TextLength)("text", text)(
            "fontSize", fontSize)("marginLeft", marginLeft)("marginTop", marginTop)(
            "marginRight", marginRight)("marginBottom", marginBottom)
        .Then([&] { gd_object::DrawTextBox(r, text); });
}

void trace_object::DrawLabel(const DrawLabelRecord& r) {
    const int32_t size = r.size;
    const int32_t angle = r.angle;
    const double x = r.x;
    const double y = r.y;
    const std::string& text = r.text;
    const uint8_t region = r.region;
    Call(*this, "DrawLabel")("size", size)("angle", angle)("x", x)("y", y)("text", text)("region",
                                                                                         region)
        .Then([&] { gd_object::DrawLabel(r); });
}

void trace_object::DrawPicture(const DrawPictureRecord& r, const std::vector<uint8_t>& data) {
    const int32_t size = static_cast<int32_t>(data.size());
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const uint8_t isBitmap = r.isBitmap;
    const uint8_t region = r.region;
    Call(*this, "DrawPicture")("size", size)("data", data)("x1", x1)("y1", y1)("x2", x2)("y2", y2)(
        "isBitmap", isBitmap)("region", region)
        .Then([&] { gd_object::DrawPicture(r, data); });
}

void trace_object::DrawPictureStream(const DrawPictureStreamRecord& r,
                                     const std::vector<uint8_t>& stream) {
    const uint8_t region = r.region;
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    Call(*this, "DrawPictureStream")("region", region)("stream", stream)("x1", x1)("y1", y1)(
        "x2", x2)("y2", y2)
        .Then([&] { gd_object::DrawPictureStream(r, stream); });
}

void trace_object::DrawLine(const DrawLineRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    Call(*this, "DrawLine")("x1", x1)("y1", y1)("x2", x2)("y2", y2).Then(
        [&] { gd_object::DrawLine(r); });
}

void trace_object::PatternFillBox(const PatternFillBoxRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const int32_t pattern = r.pattern;
    const double xScale = r.xScale;
    const double yScale = r.yScale;
    const uint8_t outline = r.outline;
    Call(*this, "PatternFillBox")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("pattern", pattern)(
        "xScale", xScale)("yScale", yScale)("outline", outline)
        .Then([&] { gd_object::PatternFillBox(r); });
}

void trace_object::PatternFillBoxColored(const PatternFillBoxColoredRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const int32_t pattern = r.pattern;
    const double xScale = r.xScale;
    const double yScale = r.yScale;
    const int32_t lineWidth = r.lineWidth;
    const int32_t backColor = r.backColor;
    const int32_t lineColor = r.lineColor;
    const uint8_t outline = r.outline;
    Call(*this, "PatternFillBoxColored")("x1", x1)("y1", y1)("x2", x2)("y2", y2)(
        "pattern", pattern)("xScale", xScale)("yScale", yScale)("lineWidth", lineWidth)
        .Color("backColor", backColor)
        .Color("lineColor", lineColor)("outline", outline)
        .Then([&] { gd_object::PatternFillBoxColored(r); });
}

void trace_object::GradientFillBox(const GradientFillBoxRecord& r) {
    const int32_t startColor = r.startColor;
    const int32_t endColor = r.endColor;
    const double y1 = r.y1;
    const double x1 = r.x1;
    const double y2 = r.y2;
    const double x2 = r.x2;
    const double fillX = r.fillX;
    const uint8_t fromLeft = r.fromLeft;
    Call(*this, "GradientFillBox")
        .Color("startColor", startColor)
        .Color("endColor", endColor)("y1", y1)("x1", x1)("y2", y2)("x2", x2)("fillX", fillX)(
            "fromLeft", fromLeft)
        .Then([&] { gd_object::GradientFillBox(r); });
}

void trace_object::RegionPatternFillBox(const RegionPatternFillBoxRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const int32_t pattern = r.pattern;
    const double xScale = r.xScale;
    const double yScale = r.yScale;
    const uint8_t outline = r.outline;
    const uint8_t region = r.region;
    Call(*this, "RegionPatternFillBox")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("pattern", pattern)(
        "xScale", xScale)("yScale", yScale)("outline", outline)("region", region)
        .Then([&] { gd_object::RegionPatternFillBox(r); });
}

void trace_object::RegionPatternFillBoxColored(const RegionPatternFillBoxColoredRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const int32_t pattern = r.pattern;
    const double xScale = r.xScale;
    const double yScale = r.yScale;
    const int32_t lineWidth = r.lineWidth;
    const int32_t backColor = r.backColor;
    const int32_t lineColor = r.lineColor;
    const uint8_t outline = r.outline;
    const uint8_t region = r.region;
    Call(*this, "RegionPatternFillBoxColored")("x1", x1)("y1", y1)("x2", x2)("y2", y2)(
        "pattern", pattern)("xScale", xScale)("yScale", yScale)("lineWidth", lineWidth)
        .Color("backColor", backColor)
        .Color("lineColor", lineColor)("outline", outline)("region", region)
        .Then([&] { gd_object::RegionPatternFillBoxColored(r); });
}

void trace_object::FillBox(const FillBoxRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const int32_t color = r.color;
    const uint8_t region = r.region;
    Call(*this, "FillBox")("x1", x1)("y1", y1)("x2", x2)("y2", y2)
        .Color("color", color)("region", region)
        .Then([&] { gd_object::FillBox(r); });
}

void trace_object::PolyFill(const PolyFillRecord& r, const std::vector<PointRecord>& points) {
    const int32_t pattern = r.pattern;
    const double xScale = r.xScale;
    const double yScale = r.yScale;
    const uint8_t outline = r.outline;
    Call(*this, "PolyFill")("pattern", pattern)("xScale", xScale)("yScale", yScale)(
        "outline", outline)("points", points)
        .Then([&] { gd_object::PolyFill(r, points); });
}

void trace_object::PolyFillColored(const PolyFillColoredRecord& r,
                                   const std::vector<PointRecord>& points) {
    const int32_t pattern = r.pattern;
    const double xScale = r.xScale;
    const double yScale = r.yScale;
    const uint8_t outline = r.outline;
    const int32_t color = r.color;
    Call(*this, "PolyFillColored")("pattern", pattern)("xScale", xScale)("yScale", yScale)(
        "outline", outline)
        .Color("color", color)("points", points)
        .Then([&] { gd_object::PolyFillColored(r, points); });
}

void trace_object::GradientPolyFill(const GradientPolyFillRecord& r,
                                    const std::vector<PointRecord>& points) {
    const int32_t startColor = r.startColor;
    const int32_t endColor = r.endColor;
    const double rampX1 = r.rampX1;
    const double rampX2 = r.rampX2;
    const uint8_t fromLeft = r.fromLeft;
    Call(*this, "GradientPolyFill")
        .Color("startColor", startColor)
        .Color("endColor", endColor)("rampX1", rampX1)("rampX2", rampX2)("fromLeft", fromLeft)(
            "points", points)
        .Then([&] { gd_object::GradientPolyFill(r, points); });
}

void trace_object::DrawPolyline(const std::vector<PointRecord>& points) {
    Call(*this, "DrawPolyline")("points", points).Then([&] { gd_object::DrawPolyline(points); });
}

void trace_object::DrawStyledPolyline(const DrawStyledPolylineRecord& r,
                                      const std::vector<DrawLineRecord>& segments) {
    const int32_t width = r.width;
    const int32_t color = r.color;
    const uint8_t style = r.style;
    Call(*this, "DrawStyledPolyline")("width", width)
        .Color("color", color)("style", style)("segments", segments)
        .Then([&] { gd_object::DrawStyledPolyline(r, segments); });
}

void trace_object::DrawRectangle(const DrawRectangleRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    Call(*this, "DrawRectangle")("x1", x1)("y1", y1)("x2", x2)("y2", y2).Then(
        [&] { gd_object::DrawRectangle(r); });
}

void trace_object::SetLineStyle(const SetLineStyleRecord& r) {
    const uint8_t style = r.style;
    Call(*this, "SetLineStyle")("style", style).Then([&] { gd_object::SetLineStyle(r); });
}

void trace_object::DrawSymbol(const DrawSymbolRecord& r) {
    const double x = r.x;
    const double y = r.y;
    const double extra16 = r.extra16;
    const int16_t symbol = r.symbol;
    const double xScale = r.xScale;
    const double yScale = r.yScale;
    const double extra42 = r.extra42;
    Call(*this, "DrawSymbol")("x", x)("y", y)("extra16", extra16)("symbol", symbol)(
        "xScale", xScale)("yScale", yScale)("extra42", extra42)
        .Then([&] { gd_object::DrawSymbol(r); });
}

void trace_object::DrawScaledSymbol(const DrawScaledSymbolRecord& r) {
    const double x = r.x;
    const double y = r.y;
    const double extra16 = r.extra16;
    const int16_t symbol = r.symbol;
    const double size = r.size;
    const double extra34 = r.extra34;
    const double extra42 = r.extra42;
    const uint8_t region = r.region;
    Call(*this, "DrawScaledSymbol")("x", x)("y", y)("extra16", extra16)("symbol", symbol)(
        "size", size)("extra34", extra34)("extra42", extra42)("region", region)
        .Then([&] { gd_object::DrawScaledSymbol(r); });
}

void trace_object::DrawBox(const DrawBoxRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const uint8_t fillKind = r.fillKind;
    const int32_t color = r.color;
    const uint8_t extra37 = r.extra37;
    Call(*this, "DrawBox")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("fillKind", fillKind)
        .Color("color", color)("extra37", extra37)
        .Then([&] { gd_object::DrawBox(r); });
}

void trace_object::DrawStrokeText(const DrawStrokeTextRecord& r, bool draw) {
    const int32_t angle = r.angle;
    const std::string& text = r.text;
    const double x = r.x;
    const double y = r.y;
    const double unused = r.unused16;
    const double charWidth = r.charWidth;
    const double charHeight = r.charHeight;
    Call(*this, "DrawStrokeText")("angle", angle)("text", text)("x", x)("y", y)("unused", unused)(
        "charWidth", charWidth)("charHeight", charHeight)("draw", draw)
        .Then([&] { gd_object::DrawStrokeText(r, draw); });
}

void trace_object::DrawNote(const DrawNoteRecord& r) {
    const double x = r.x;
    const double y = r.y;
    const std::string& text = r.text;
    Call(*this, "DrawNote")("x", x)("y", y)("text", text).Then([&] { gd_object::DrawNote(r); });
}

void trace_object::DrawRotatedText(const DrawRotatedTextRecord& r) {
    const double x1 = r.x1;
    const double y1 = r.y1;
    const double x2 = r.x2;
    const double y2 = r.y2;
    const uint8_t arrows = r.arrows;
    const uint8_t turnDirection = r.turnDirection;
    const std::string& text = r.text;
    Call(*this, "DrawRotatedText")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("arrows", arrows)(
        "turnDirection", turnDirection)("text", text)
        .Then([&] { gd_object::DrawRotatedText(r); });
}

void trace_object::SetLineWidth(const SetLineWidthRecord& r) {
    const int32_t width = r.width;
    Call(*this, "SetLineWidth")("width", width).Then([&] { gd_object::SetLineWidth(r); });
}

}  // namespace cindral
