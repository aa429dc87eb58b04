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
    Call(*this, "DrawText")("x", r.x)("y", r.y)("vertical", r.vertical)(
        "transparent", r.transparent)("align", r.align)("raise", r.raise)("text", r.text)
        .Then([&] { gd_object::DrawText(r); });
}

void trace_object::DrawFittedText(const DrawFittedTextRecord& r) {
    Call(*this, "DrawFittedText")("x", r.x)("y", r.y)("rotation", r.rotation)("align", r.align)(
        "text", r.text)("keepInside", r.keepInside)
        .Then([&] { gd_object::DrawFittedText(r); });
}

void trace_object::DrawArc(const DrawArcRecord& r) {
    Call(*this, "DrawArc")("cx", r.cx)("cy", r.cy)("radius", r.radius)("startAngle", r.startAngle)(
        "endAngle", r.endAngle)
        .Then([&] { gd_object::DrawArc(r); });
}

void trace_object::DrawPictureFile(const DrawPictureFileRecord& r) {
    Call(*this, "DrawPictureFile")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2)(
        "fileName", r.fileName)("border", r.border)("stretch", r.stretch)
        .Then([&] { gd_object::DrawPictureFile(r); });
}

void trace_object::DrawVerticalRule(const DrawVerticalRuleRecord& r) {
    Call(*this, "DrawVerticalRule")("x", r.x).Then([&] { gd_object::DrawVerticalRule(r); });
}

void trace_object::DrawCircle(const DrawCircleRecord& r) {
    Call(*this, "DrawCircle")("cx", r.cx)("cy", r.cy)("radius", r.radius).Then([&] {
        gd_object::DrawCircle(r);
    });
}

void trace_object::SetColor(const SetColorRecord& r) {
    Call(*this, "SetColor").Color("color", r.color).Then([&] { gd_object::SetColor(r); });
}

void trace_object::FillPolygonPair(const FillPolygonPairRecord& r,
                                   const std::vector<PointRecord>& polygon1,
                                   const std::vector<PointRecord>& polygon2) {
    Call(*this, "FillPolygonPair")
        .Color("lineColor1", r.lineColor1)("lineStyle1", r.lineStyle1)("lineWidth1", r.lineWidth1)
        .Color("fillColor1", r.fillColor1)("fillStyle1", r.fillStyle1)
        .Color("lineColor2", r.lineColor2)("lineStyle2", r.lineStyle2)("lineWidth2", r.lineWidth2)
        .Color("fillColor2", r.fillColor2)("fillStyle2", r.fillStyle2)
        .Color("overlapColor", r.overlapColor)("overlapStyle", r.overlapStyle)(
            "polygon1", polygon1)("polygon2", polygon2)
        .Then([&] { gd_object::FillPolygonPair(r, polygon1, polygon2); });
}

void trace_object::DrawWrappedText(const DrawWrappedTextRecord& r, const std::string& text) {
    Call(*this, "DrawWrappedText")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2)(
        "narrowMargin", r.narrowMargin)("wideMargin", r.wideMargin)("text", text)
        .Then([&] { gd_object::DrawWrappedText(r, text); });
}

void trace_object::DrawFormattedText(const DrawFormattedTextRecord& r, const std::string& text) {
    Call(*this, "DrawFormattedText")("text", text)("fontSize", r.fontSize)("x1", r.x1)("y1", r.y1)(
        "x2", r.x2)("y2", r.y2)("layoutFlags", r.layoutFlags)("sideMargin", r.sideMargin)(
        "lineInset", r.lineInset)
        .Then([&] { gd_object::DrawFormattedText(r, text); });
}

void trace_object::DrawFontText(const DrawFontTextRecord& r) {
    Call(*this, "DrawFontText")("x", r.x)("y", r.y)("unused", r.unused16)("height", r.height)(
        "angle", r.angle)("sizeMode", r.sizeMode)("text", r.text)(
        "clip", true)  // a played font text is always clipped
        .Then([&] { gd_object::DrawFontText(r); });
}

void trace_object::SetFont(const SetFontColoredRecord& r) {
    Call(*this, "SetFont")("fontName", r.fontName)("size", r.size)("style", r.style)
        .Color("color", r.color)
        .Then([&] { gd_object::SetFont(r); });
}

void trace_object::DrawRegionLine(const DrawRegionLineRecord& r) {
    Call(*this, "DrawRegionLine")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2)("region",
                                                                                  r.region)
        .Then([&] { gd_object::DrawRegionLine(r); });
}

void trace_object::DrawTextBox(const DrawTextBoxRecord& r, const std::string& text) {
    Call(*this, "DrawTextBox")("region", r.region)("layoutFlags", r.layoutFlags)("x1", r.x1)(
        "y1", r.y1)("x2", r.x2)("y2", r.y2)("border", r.border)("fill", r.fill)
        .Color("fillColor", r.fillColor)("TextLength", r.TextLength)("text", text)(
            "fontSize", r.fontSize)("marginLeft", r.marginLeft)("marginTop", r.marginTop)(
            "marginRight", r.marginRight)("marginBottom", r.marginBottom)
        .Then([&] { gd_object::DrawTextBox(r, text); });
}

void trace_object::DrawLabel(const DrawLabelRecord& r) {
    Call(*this, "DrawLabel")("size", r.size)("angle", r.angle)("x", r.x)("y", r.y)("text", r.text)(
        "region", r.region)
        .Then([&] { gd_object::DrawLabel(r); });
}

void trace_object::DrawPicture(const DrawPictureRecord& r, const std::vector<uint8_t>& data) {
    Call(*this, "DrawPicture")("size", static_cast<int32_t>(data.size()))("data", data)("x1", r.x1)(
        "y1", r.y1)("x2", r.x2)("y2", r.y2)("isBitmap", r.isBitmap)("region", r.region)
        .Then([&] { gd_object::DrawPicture(r, data); });
}

void trace_object::DrawPictureStream(const DrawPictureStreamRecord& r,
                                     const std::vector<uint8_t>& stream) {
    Call(*this, "DrawPictureStream")("region", r.region)("stream", stream)("x1", r.x1)("y1", r.y1)(
        "x2", r.x2)("y2", r.y2)
        .Then([&] { gd_object::DrawPictureStream(r, stream); });
}

void trace_object::DrawLine(const DrawLineRecord& r) {
    Call(*this, "DrawLine")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2).Then([&] {
        gd_object::DrawLine(r);
    });
}

void trace_object::PatternFillBox(const PatternFillBoxRecord& r) {
    Call(*this, "PatternFillBox")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2)(
        "pattern", r.pattern)("xScale", r.xScale)("yScale", r.yScale)("outline", r.outline)
        .Then([&] { gd_object::PatternFillBox(r); });
}

void trace_object::PatternFillBoxColored(const PatternFillBoxColoredRecord& r) {
    Call(*this, "PatternFillBoxColored")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2)(
        "pattern", r.pattern)("xScale", r.xScale)("yScale", r.yScale)("lineWidth", r.lineWidth)
        .Color("backColor", r.backColor)
        .Color("lineColor", r.lineColor)("outline", r.outline)
        .Then([&] { gd_object::PatternFillBoxColored(r); });
}

void trace_object::GradientFillBox(const GradientFillBoxRecord& r) {
    Call(*this, "GradientFillBox")
        .Color("startColor", r.startColor)
        .Color("endColor", r.endColor)("y1", r.y1)("x1", r.x1)("y2", r.y2)("x2", r.x2)(
            "fillX", r.fillX)("fromLeft", r.fromLeft)
        .Then([&] { gd_object::GradientFillBox(r); });
}

void trace_object::RegionPatternFillBox(const RegionPatternFillBoxRecord& r) {
    Call(*this, "RegionPatternFillBox")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2)(
        "pattern", r.pattern)("xScale", r.xScale)("yScale", r.yScale)("outline", r.outline)(
        "region", r.region)
        .Then([&] { gd_object::RegionPatternFillBox(r); });
}

void trace_object::RegionPatternFillBoxColored(const RegionPatternFillBoxColoredRecord& r) {
    Call(*this, "RegionPatternFillBoxColored")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2)(
        "pattern", r.pattern)("xScale", r.xScale)("yScale", r.yScale)("lineWidth", r.lineWidth)
        .Color("backColor", r.backColor)
        .Color("lineColor", r.lineColor)("outline", r.outline)("region", r.region)
        .Then([&] { gd_object::RegionPatternFillBoxColored(r); });
}

void trace_object::FillBox(const FillBoxRecord& r) {
    Call(*this, "FillBox")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2)
        .Color("color", r.color)("region", r.region)
        .Then([&] { gd_object::FillBox(r); });
}

void trace_object::PolyFill(const PolyFillRecord& r, const std::vector<PointRecord>& points) {
    Call(*this, "PolyFill")("pattern", r.pattern)("xScale", r.xScale)("yScale", r.yScale)(
        "outline", r.outline)("points", points)
        .Then([&] { gd_object::PolyFill(r, points); });
}

void trace_object::PolyFillColored(const PolyFillColoredRecord& r,
                                   const std::vector<PointRecord>& points) {
    Call(*this, "PolyFillColored")("pattern", r.pattern)("xScale", r.xScale)("yScale", r.yScale)(
        "outline", r.outline)
        .Color("color", r.color)("points", points)
        .Then([&] { gd_object::PolyFillColored(r, points); });
}

void trace_object::GradientPolyFill(const GradientPolyFillRecord& r,
                                    const std::vector<PointRecord>& points) {
    Call(*this, "GradientPolyFill")
        .Color("startColor", r.startColor)
        .Color("endColor", r.endColor)("rampX1", r.rampX1)("rampX2", r.rampX2)(
            "fromLeft", r.fromLeft)("points", points)
        .Then([&] { gd_object::GradientPolyFill(r, points); });
}

void trace_object::DrawPolyline(const std::vector<PointRecord>& points) {
    Call(*this, "DrawPolyline")("points", points).Then([&] { gd_object::DrawPolyline(points); });
}

void trace_object::DrawStyledPolyline(const DrawStyledPolylineRecord& r,
                                      const std::vector<DrawLineRecord>& segments) {
    Call(*this, "DrawStyledPolyline")("width", r.width)
        .Color("color", r.color)("style", r.style)("segments", segments)
        .Then([&] { gd_object::DrawStyledPolyline(r, segments); });
}

void trace_object::DrawRectangle(const DrawRectangleRecord& r) {
    Call(*this, "DrawRectangle")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2).Then([&] {
        gd_object::DrawRectangle(r);
    });
}

void trace_object::SetLineStyle(const SetLineStyleRecord& r) {
    Call(*this, "SetLineStyle")("style", r.style).Then([&] { gd_object::SetLineStyle(r); });
}

void trace_object::DrawSymbol(const DrawSymbolRecord& r) {
    Call(*this, "DrawSymbol")("x", r.x)("y", r.y)("extra16", r.extra16)("symbol", r.symbol)(
        "xScale", r.xScale)("yScale", r.yScale)("extra42", r.extra42)
        .Then([&] { gd_object::DrawSymbol(r); });
}

void trace_object::DrawScaledSymbol(const DrawScaledSymbolRecord& r) {
    Call(*this, "DrawScaledSymbol")("x", r.x)("y", r.y)("extra16", r.extra16)("symbol", r.symbol)(
        "size", r.size)("extra34", r.extra34)("extra42", r.extra42)("region", r.region)
        .Then([&] { gd_object::DrawScaledSymbol(r); });
}

void trace_object::DrawBox(const DrawBoxRecord& r) {
    Call(*this, "DrawBox")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2)("fillKind", r.fillKind)
        .Color("color", r.color)("extra37", r.extra37)
        .Then([&] { gd_object::DrawBox(r); });
}

void trace_object::DrawStrokeText(const DrawStrokeTextRecord& r, bool draw) {
    Call(*this, "DrawStrokeText")("angle", r.angle)("text", r.text)("x", r.x)("y", r.y)(
        "unused", r.unused16)("charWidth", r.charWidth)("charHeight", r.charHeight)("draw", draw)
        .Then([&] { gd_object::DrawStrokeText(r, draw); });
}

void trace_object::DrawNote(const DrawNoteRecord& r) {
    Call(*this, "DrawNote")("x", r.x)("y", r.y)("text", r.text).Then([&] {
        gd_object::DrawNote(r);
    });
}

void trace_object::DrawRotatedText(const DrawRotatedTextRecord& r) {
    Call(*this, "DrawRotatedText")("x1", r.x1)("y1", r.y1)("x2", r.x2)("y2", r.y2)(
        "arrows", r.arrows)("turnDirection", r.turnDirection)("text", r.text)
        .Then([&] { gd_object::DrawRotatedText(r); });
}

void trace_object::SetLineWidth(const SetLineWidthRecord& r) {
    Call(*this, "SetLineWidth")("width", r.width).Then([&] { gd_object::SetLineWidth(r); });
}

}  // namespace cindral
