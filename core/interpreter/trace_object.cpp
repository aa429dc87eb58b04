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

void trace_object::DrawText(double x, double y, uint8_t vertical, uint8_t transparent,
                            int32_t align, uint8_t raise, const std::string& text) {
    Call(*this, "DrawText")("x", x)("y", y)("vertical", vertical)("transparent", transparent)(
        "align", align)("raise", raise)("text", text)
        .Then([&] { gd_object::DrawText(x, y, vertical, transparent, align, raise, text); });
}

void trace_object::DrawFittedText(double x, double y, uint8_t rotation, int32_t align,
                                  const std::string& text, uint8_t keepInside) {
    Call(*this, "DrawFittedText")("x", x)("y", y)("rotation", rotation)("align", align)(
        "text", text)("keepInside", keepInside)
        .Then([&] { gd_object::DrawFittedText(x, y, rotation, align, text, keepInside); });
}

void trace_object::DrawArc(double cx, double cy, double radius, double startAngle,
                           double endAngle) {
    Call(*this, "DrawArc")("cx", cx)("cy", cy)("radius", radius)("startAngle", startAngle)(
        "endAngle", endAngle)
        .Then([&] { gd_object::DrawArc(cx, cy, radius, startAngle, endAngle); });
}

void trace_object::DrawPictureFile(double x1, double y1, double x2, double y2,
                                   const std::string& fileName, uint8_t border, uint8_t stretch) {
    Call(*this, "DrawPictureFile")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("fileName", fileName)(
        "border", border)("stretch", stretch)
        .Then([&] { gd_object::DrawPictureFile(x1, y1, x2, y2, fileName, border, stretch); });
}

void trace_object::DrawVerticalRule(double x) {
    Call(*this, "DrawVerticalRule")("x", x).Then([&] { gd_object::DrawVerticalRule(x); });
}

void trace_object::DrawCircle(double cx, double cy, double radius) {
    Call(*this, "DrawCircle")("cx", cx)("cy", cy)("radius", radius).Then([&] {
        gd_object::DrawCircle(cx, cy, radius);
    });
}

void trace_object::SetColor(int32_t color) {
    Call(*this, "SetColor").Color("color", color).Then([&] { gd_object::SetColor(color); });
}

void trace_object::FillPolygonPair(int32_t lineColor1, uint8_t lineStyle1, int32_t lineWidth1,
                                   int32_t fillColor1, uint8_t fillStyle1, int32_t lineColor2,
                                   uint8_t lineStyle2, int32_t lineWidth2, int32_t fillColor2,
                                   uint8_t fillStyle2, int32_t overlapColor, uint8_t overlapStyle,
                                   const std::vector<PointRecord>& polygon1,
                                   const std::vector<PointRecord>& polygon2) {
    Call(*this, "FillPolygonPair")
        .Color("lineColor1", lineColor1)("lineStyle1", lineStyle1)("lineWidth1", lineWidth1)
        .Color("fillColor1", fillColor1)("fillStyle1", fillStyle1)
        .Color("lineColor2", lineColor2)("lineStyle2", lineStyle2)("lineWidth2", lineWidth2)
        .Color("fillColor2", fillColor2)("fillStyle2", fillStyle2)
        .Color("overlapColor", overlapColor)("overlapStyle", overlapStyle)("polygon1", polygon1)(
            "polygon2", polygon2)
        .Then([&] {
            gd_object::FillPolygonPair(lineColor1, lineStyle1, lineWidth1, fillColor1, fillStyle1,
                                       lineColor2, lineStyle2, lineWidth2, fillColor2, fillStyle2,
                                       overlapColor, overlapStyle, polygon1, polygon2);
        });
}

void trace_object::DrawWrappedText(double x1, double y1, double x2, double y2, uint8_t narrowMargin,
                                   uint8_t wideMargin, const std::string& text) {
    Call(*this, "DrawWrappedText")("x1", x1)("y1", y1)("x2", x2)("y2", y2)(
        "narrowMargin", narrowMargin)("wideMargin", wideMargin)("text", text)
        .Then([&] { gd_object::DrawWrappedText(x1, y1, x2, y2, narrowMargin, wideMargin, text); });
}

void trace_object::DrawFormattedText(const std::string& text, int32_t fontSize, double x1,
                                     double y1, double x2, double y2, int32_t layoutFlags,
                                     double sideMargin, double lineInset) {
    Call(*this, "DrawFormattedText")("text", text)("fontSize", fontSize)("x1", x1)("y1", y1)(
        "x2", x2)("y2", y2)("layoutFlags", layoutFlags)("sideMargin", sideMargin)("lineInset",
                                                                                  lineInset)
        .Then([&] {
            gd_object::DrawFormattedText(text, fontSize, x1, y1, x2, y2, layoutFlags, sideMargin,
                                         lineInset);
        });
}

void trace_object::DrawFontText(double x, double y, double unused, double height, int32_t angle,
                                uint8_t sizeMode, const std::string& text, bool clip) {
    Call(*this, "DrawFontText")("x", x)("y", y)("unused", unused)("height", height)("angle", angle)(
        "sizeMode", sizeMode)("text", text)("clip", clip)
        .Then([&] { gd_object::DrawFontText(x, y, unused, height, angle, sizeMode, text, clip); });
}

void trace_object::SetFont(const std::string& fontName, int32_t size, uint8_t style,
                           int32_t color) {
    Call(*this, "SetFont")("fontName", fontName)("size", size)("style", style)
        .Color("color", color)
        .Then([&] { gd_object::SetFont(fontName, size, style, color); });
}

void trace_object::DrawRegionLine(double x1, double y1, double x2, double y2, uint8_t region) {
    Call(*this, "DrawRegionLine")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("region", region)
        .Then([&] { gd_object::DrawRegionLine(x1, y1, x2, y2, region); });
}

void trace_object::DrawTextBox(uint8_t region, int32_t layoutFlags, double x1, double y1, double x2,
                               double y2, uint8_t border, uint8_t fill, int32_t fillColor,
                               int32_t TextLength, const std::string& text, int32_t fontSize,
                               double marginLeft, double marginTop, double marginRight,
                               double marginBottom) {
    Call(*this, "DrawTextBox")("region", region)("layoutFlags", layoutFlags)("x1", x1)("y1", y1)(
        "x2", x2)("y2", y2)("border", border)("fill", fill)
        .Color("fillColor", fillColor)("TextLength", TextLength)("text", text)(
            "fontSize", fontSize)("marginLeft", marginLeft)("marginTop", marginTop)(
            "marginRight", marginRight)("marginBottom", marginBottom)
        .Then([&] {
            gd_object::DrawTextBox(region, layoutFlags, x1, y1, x2, y2, border, fill, fillColor,
                                   TextLength, text, fontSize, marginLeft, marginTop, marginRight,
                                   marginBottom);
        });
}

void trace_object::DrawLabel(int32_t size, int32_t angle, double x, double y,
                             const std::string& text, uint8_t region) {
    Call(*this, "DrawLabel")("size", size)("angle", angle)("x", x)("y", y)("text", text)("region",
                                                                                         region)
        .Then([&] { gd_object::DrawLabel(size, angle, x, y, text, region); });
}

void trace_object::DrawPicture(int32_t size, const std::vector<uint8_t>& data, double x1, double y1,
                               double x2, double y2, uint8_t isBitmap, uint8_t region) {
    Call(*this, "DrawPicture")("size", size)("data", data)("x1", x1)("y1", y1)("x2", x2)("y2", y2)(
        "isBitmap", isBitmap)("region", region)
        .Then([&] { gd_object::DrawPicture(size, data, x1, y1, x2, y2, isBitmap, region); });
}

void trace_object::DrawPictureStream(uint8_t region, const std::vector<uint8_t>& stream, double x1,
                                     double y1, double x2, double y2) {
    Call(*this, "DrawPictureStream")("region", region)("stream", stream)("x1", x1)("y1", y1)(
        "x2", x2)("y2", y2)
        .Then([&] { gd_object::DrawPictureStream(region, stream, x1, y1, x2, y2); });
}

void trace_object::DrawLine(double x1, double y1, double x2, double y2) {
    Call(*this, "DrawLine")("x1", x1)("y1", y1)("x2", x2)("y2", y2).Then(
        [&] { gd_object::DrawLine(x1, y1, x2, y2); });
}

void trace_object::PatternFillBox(double x1, double y1, double x2, double y2, int32_t pattern,
                                  double xScale, double yScale, uint8_t outline) {
    Call(*this, "PatternFillBox")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("pattern", pattern)(
        "xScale", xScale)("yScale", yScale)("outline", outline)
        .Then([&] { gd_object::PatternFillBox(x1, y1, x2, y2, pattern, xScale, yScale, outline); });
}

void trace_object::PatternFillBoxColored(double x1, double y1, double x2, double y2,
                                         int32_t pattern, double xScale, double yScale,
                                         int32_t lineWidth, int32_t backColor, int32_t lineColor,
                                         uint8_t outline) {
    Call(*this, "PatternFillBoxColored")("x1", x1)("y1", y1)("x2", x2)("y2", y2)(
        "pattern", pattern)("xScale", xScale)("yScale", yScale)("lineWidth", lineWidth)
        .Color("backColor", backColor)
        .Color("lineColor", lineColor)("outline", outline)
        .Then([&] {
            gd_object::PatternFillBoxColored(x1, y1, x2, y2, pattern, xScale, yScale, lineWidth,
                                             backColor, lineColor, outline);
        });
}

void trace_object::GradientFillBox(int32_t startColor, int32_t endColor, double y1, double x1,
                                   double y2, double x2, double fillX, uint8_t fromLeft) {
    Call(*this, "GradientFillBox")
        .Color("startColor", startColor)
        .Color("endColor", endColor)("y1", y1)("x1", x1)("y2", y2)("x2", x2)("fillX", fillX)(
            "fromLeft", fromLeft)
        .Then([&] {
            gd_object::GradientFillBox(startColor, endColor, y1, x1, y2, x2, fillX, fromLeft);
        });
}

void trace_object::RegionPatternFillBox(double x1, double y1, double x2, double y2, int32_t pattern,
                                        double xScale, double yScale, uint8_t outline,
                                        uint8_t region) {
    Call(*this, "RegionPatternFillBox")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("pattern", pattern)(
        "xScale", xScale)("yScale", yScale)("outline", outline)("region", region)
        .Then([&] {
            gd_object::RegionPatternFillBox(x1, y1, x2, y2, pattern, xScale, yScale, outline,
                                            region);
        });
}

void trace_object::RegionPatternFillBoxColored(double x1, double y1, double x2, double y2,
                                               int32_t pattern, double xScale, double yScale,
                                               int32_t lineWidth, int32_t backColor,
                                               int32_t lineColor, uint8_t outline, uint8_t region) {
    Call(*this, "RegionPatternFillBoxColored")("x1", x1)("y1", y1)("x2", x2)("y2", y2)(
        "pattern", pattern)("xScale", xScale)("yScale", yScale)("lineWidth", lineWidth)
        .Color("backColor", backColor)
        .Color("lineColor", lineColor)("outline", outline)("region", region)
        .Then([&] {
            gd_object::RegionPatternFillBoxColored(x1, y1, x2, y2, pattern, xScale, yScale,
                                                   lineWidth, backColor, lineColor, outline,
                                                   region);
        });
}

void trace_object::FillBox(double x1, double y1, double x2, double y2, int32_t color,
                           uint8_t region) {
    Call(*this, "FillBox")("x1", x1)("y1", y1)("x2", x2)("y2", y2)
        .Color("color", color)("region", region)
        .Then([&] { gd_object::FillBox(x1, y1, x2, y2, color, region); });
}

void trace_object::PolyFill(int32_t pattern, double xScale, double yScale, uint8_t outline,
                            const std::vector<PointRecord>& points) {
    Call(*this, "PolyFill")("pattern", pattern)("xScale", xScale)("yScale", yScale)(
        "outline", outline)("points", points)
        .Then([&] { gd_object::PolyFill(pattern, xScale, yScale, outline, points); });
}

void trace_object::PolyFillColored(int32_t pattern, double xScale, double yScale, uint8_t outline,
                                   int32_t color, const std::vector<PointRecord>& points) {
    Call(*this, "PolyFillColored")("pattern", pattern)("xScale", xScale)("yScale", yScale)(
        "outline", outline)
        .Color("color", color)("points", points)
        .Then([&] { gd_object::PolyFillColored(pattern, xScale, yScale, outline, color, points); });
}

void trace_object::GradientPolyFill(int32_t startColor, int32_t endColor, double rampX1,
                                    double rampX2, uint8_t fromLeft,
                                    const std::vector<PointRecord>& points) {
    Call(*this, "GradientPolyFill")
        .Color("startColor", startColor)
        .Color("endColor", endColor)("rampX1", rampX1)("rampX2", rampX2)("fromLeft", fromLeft)(
            "points", points)
        .Then([&] {
            gd_object::GradientPolyFill(startColor, endColor, rampX1, rampX2, fromLeft, points);
        });
}

void trace_object::DrawPolyline(const std::vector<PointRecord>& points) {
    Call(*this, "DrawPolyline")("points", points).Then([&] { gd_object::DrawPolyline(points); });
}

void trace_object::DrawStyledPolyline(int32_t width, int32_t color, uint8_t style,
                                      const std::vector<DrawLineRecord>& segments) {
    Call(*this, "DrawStyledPolyline")("width", width)
        .Color("color", color)("style", style)("segments", segments)
        .Then([&] { gd_object::DrawStyledPolyline(width, color, style, segments); });
}

void trace_object::DrawRectangle(double x1, double y1, double x2, double y2) {
    Call(*this, "DrawRectangle")("x1", x1)("y1", y1)("x2", x2)("y2", y2).Then(
        [&] { gd_object::DrawRectangle(x1, y1, x2, y2); });
}

void trace_object::SetLineStyle(uint8_t style) {
    Call(*this, "SetLineStyle")("style", style).Then([&] { gd_object::SetLineStyle(style); });
}

void trace_object::DrawSymbol(double x, double y, double extra16, int16_t symbol, double xScale,
                              double yScale, double extra42) {
    Call(*this, "DrawSymbol")("x", x)("y", y)("extra16", extra16)("symbol", symbol)(
        "xScale", xScale)("yScale", yScale)("extra42", extra42)
        .Then([&] { gd_object::DrawSymbol(x, y, extra16, symbol, xScale, yScale, extra42); });
}

void trace_object::DrawScaledSymbol(double x, double y, double extra16, int16_t symbol, double size,
                                    double extra34, double extra42, uint8_t region) {
    Call(*this, "DrawScaledSymbol")("x", x)("y", y)("extra16", extra16)("symbol", symbol)(
        "size", size)("extra34", extra34)("extra42", extra42)("region", region)
        .Then([&] {
            gd_object::DrawScaledSymbol(x, y, extra16, symbol, size, extra34, extra42, region);
        });
}

void trace_object::DrawBox(double x1, double y1, double x2, double y2, uint8_t fillKind,
                           int32_t color, uint8_t extra37) {
    Call(*this, "DrawBox")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("fillKind", fillKind)
        .Color("color", color)("extra37", extra37)
        .Then([&] { gd_object::DrawBox(x1, y1, x2, y2, fillKind, color, extra37); });
}

void trace_object::DrawStrokeText(int32_t angle, const std::string& text, double x, double y,
                                  double unused, double charWidth, double charHeight, bool draw) {
    Call(*this, "DrawStrokeText")("angle", angle)("text", text)("x", x)("y", y)("unused", unused)(
        "charWidth", charWidth)("charHeight", charHeight)("draw", draw)
        .Then([&] {
            gd_object::DrawStrokeText(angle, text, x, y, unused, charWidth, charHeight, draw);
        });
}

void trace_object::DrawNote(double x, double y, const std::string& text) {
    Call(*this, "DrawNote")("x", x)("y", y)("text", text).Then([&] {
        gd_object::DrawNote(x, y, text);
    });
}

void trace_object::DrawRotatedText(double x1, double y1, double x2, double y2, uint8_t arrows,
                                   uint8_t turnDirection, const std::string& text) {
    Call(*this, "DrawRotatedText")("x1", x1)("y1", y1)("x2", x2)("y2", y2)("arrows", arrows)(
        "turnDirection", turnDirection)("text", text)
        .Then([&] { gd_object::DrawRotatedText(x1, y1, x2, y2, arrows, turnDirection, text); });
}

void trace_object::SetLineWidth(int32_t width) {
    Call(*this, "SetLineWidth")("width", width).Then([&] { gd_object::SetLineWidth(width); });
}

}  // namespace cindral
