#include "core/interpreter/gd_object.h"

#include <type_traits>
#include <variant>

#include "core/environment/errors.h"
#include "core/environment/status.h"
#include "core/libraries/pattern_object.h"
#include "core/libraries/symbol_object.h"

namespace cindral {
namespace {

// Progress is reported when the play has advanced by more than this share of the file.
constexpr double kProgressStep = 0.1;

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

// Closes the document's file when a play leaves by an exception.
class CloseOnExit {
  public:
    explicit CloseOnExit(file_object& file) : file_(file) {}
    ~CloseOnExit() {
        if (!file_.IsOpen) return;
        try {
            file_.Close();
        } catch (const IoError&) {
            // The error that ended the play is the one worth reporting.
        }
    }

  private:
    file_object& file_;
};

}  // namespace

gd_object::gd_object(std::string pattern_file_name, std::string symbol_file_name,
                     double default_page_length)
    : patterns_(std::make_unique<pattern_object>(std::move(pattern_file_name))),
      symbols_(std::make_unique<symbol_object>(std::move(symbol_file_name))),
      default_page_length_(default_page_length) {}

gd_object::~gd_object() = default;

void gd_object::CreateFile() {
    OpenWrite();
    GdxHeader fresh;
    // Units and bands stay as the object holds them; everything else starts new.
    fresh.BandGap = BandGap;
    fresh.RepeatBands = RepeatBands;
    fresh.XUnitsPerInch = XUnitsPerInch;
    fresh.DepthUnitsPerInch = DepthUnitsPerInch;
    fresh.UnitsPerPage = default_page_length_;
    Header() = fresh;
    ByteWriter record;
    EncodeHeaderRecord(Header(), record);
    WriteBlock(record.bytes().data(), record.size());
}

void gd_object::ReadHeader() {
    OpenRead();
    Header() = ::cindral::ReadHeader(*this, default_page_length_);
}

void gd_object::WriteHeader() {
    Close();
    if (BottomDepth > TopDepth) BottomDepth = TopDepth = 0;
    ::cindral::WriteHeader(FileName, Header());
}

// Only the two region pattern boxes have a writer of their own; the others write nothing.
void gd_object::WriteRegionLine(const DrawRegionLineRecord&) {}
void gd_object::WriteTextBox(const DrawTextBoxRecord&, const std::string&) {}
void gd_object::WriteLabel(const DrawLabelRecord&) {}
void gd_object::WriteLongLabel(const DrawLongLabelRecord&) {}
void gd_object::WritePicture(const DrawPictureRecord&, const std::vector<uint8_t>&) {}
void gd_object::WritePictureStream(const DrawPictureStreamRecord&, const std::vector<uint8_t>&) {}
void gd_object::WriteScaledSymbol(const DrawScaledSymbolRecord&) {}

namespace {

template <class Record>
void AppendRecord(gd_object& doc, const Record& record) {
    ByteWriter payload;
    EncodeCommand(record, payload);
    doc.WriteRecord(Record::kCode, payload.bytes().data(), static_cast<uint16_t>(payload.size()));
    for (double x : {record.x1, record.x2}) {
        if (x < doc.MinX) doc.MinX = x;
        if (x > doc.MaxX) doc.MaxX = x;
    }
}

}  // namespace

void gd_object::WriteRegionPatternBox(const RegionPatternFillBoxRecord& record) {
    AppendRecord(*this, record);
}

void gd_object::WriteRegionPatternBoxColored(const RegionPatternFillBoxColoredRecord& record) {
    AppendRecord(*this, record);
}

void gd_object::BeginCommand(const GdxCommand&) {}

StrokeTextSize gd_object::MeasureStrokeText(int32_t angle, const std::string& text,
                                            double charWidth, double charHeight) {
    DrawStrokeText(angle, text, 0, 0, 0, charWidth, charHeight, false);
    return {text_extent_.MaxY - text_extent_.MinY, text_extent_.MaxX - text_extent_.MinX};
}

void gd_object::PlayCommands() {
    ShowStatus("Processing graphic commands within " + FileName + " ...");
    ShowProgress(0);
    double reported = 0;

    double bottom = BottomDepth;
    double top = TopDepth;
    // Every play starts from the file's beginning state, so a page never depends on the page
    // drawn before it.
    symbol_size_factor_ = kDefaultSymbolSizeFactor;
    CloseOnExit closer(*this);
    ReadHeader();
    BottomDepth = bottom;
    TopDepth = top;

    GdxReader reader(*this);
    GdxCommand command;
    auto played = [&](double fraction) {
        if (fraction > reported + kProgressStep) {
            ShowProgress(fraction);
            reported = fraction;
        }
        return !CancelRequested();
    };
    if (selection_ != nullptr) {
        const size_t count = selection_->size();
        for (size_t i = 0; i < count; ++i) {
            Seek((*selection_)[i]);
            if (!reader.Next(command)) break;
            BeginCommand(command);
            Play(command);
            if (!played(static_cast<double>(i + 1) / static_cast<double>(count))) break;
        }
    } else {
        while (reader.Next(command)) {
            BeginCommand(command);
            Play(command);
            // A header-only file ends before the loop; FileSize is never 0 here.
            if (!played(static_cast<double>(Position()) / static_cast<double>(FileSize))) break;
        }
    }
    Close();
}

void gd_object::Play(GdxCommand& c) {
    std::visit(
        Overloaded{
            [](const UnknownRecord&) {},
            [](const EndOfListRecord&) {},
            [](const PointRecord&) {},
            [&](const AxisFrameRecord& r) { AxisFrame(r); },
            [&](const DrawArcRecord& r) {
                DrawArc(r.cx, r.cy, r.radius, r.startAngle, r.endAngle);
            },
            [&](const DrawCircleRecord& r) { DrawCircle(r.cx, r.cy, r.radius); },
            [&](const SetColorRecord& r) { SetColor(r.color); },
            [&](const DipSymbolRecord& r) { DipSymbol(r.x, r.y, r.azimuth, r.dip); },
            [&](const SymbolSizeRecord& r) { symbol_size_factor_ = r.SymbolSizeFactor; },
            [&](const GridRecord& r) { RectangularGrid(r.x1, r.y1, r.x2, r.y2, r.stepX, r.stepY); },
            [&](const DrawLineRecord& r) { DrawLine(r.x1, r.y1, r.x2, r.y2); },
            [&](const PatternFillBoxRecord& r) {
                PatternFillBox(r.x1, r.y1, r.x2, r.y2, r.pattern, r.xScale, r.yScale, r.outline);
            },
            [&](const PolyFillRecord& r) {
                PolyFill(r.pattern, r.xScale, r.yScale, r.outline, c.points);
            },
            [&](const DrawPolylineRecord&) { DrawPolyline(c.points); },
            [&](const RadialLineRecord& r) { RadialLine(r.cx, r.cy, r.length, r.angle); },
            [&](const BoxOutlineRecord& r) { BoxOutline(r.x1, r.y1, r.x2, r.y2); },
            [&](const DrawRectangleRecord& r) { DrawRectangle(r.x1, r.y1, r.x2, r.y2); },
            [&](const PieOutlineRecord& r) {
                PieOutline(r.cx, r.cy, r.radius, r.startAngle, r.endAngle);
            },
            [&](const SetLineStyleRecord& r) { SetLineStyle(r.style); },
            [&](const DrawSymbolRecord& r) {
                DrawSymbol(r.x, r.y, r.extra16, r.symbol, r.xScale, r.yScale, r.extra42);
            },
            [&](const DrawStrokeTextRecord& r) {
                DrawStrokeText(r.angle, r.text, r.x, r.y, r.unused16, r.charWidth, r.charHeight,
                               true);
            },
            [&](const DrawNoteRecord& r) { DrawNote(r.x, r.y, r.text); },
            [&](const SetLineWidthRecord& r) { SetLineWidth(r.width); },
            [&](const DrawFontTextRecord& r) {
                DrawFontText(r.x, r.y, r.unused16, r.height, r.angle, r.sizeMode, r.text, true);
            },
            [&](const SetFontRecord& r) { SetFont(r.fontName, r.size, r.style, 0); },
            [&](const DrawWrappedTextRecord& r) {
                DrawWrappedText(r.x1, r.y1, r.x2, r.y2, r.narrowMargin, r.wideMargin, c.text);
            },
            [&](const DrawBoxRecord& r) {
                DrawBox(r.x1, r.y1, r.x2, r.y2, r.fillKind, r.color, r.extra37);
            },
            [&](const DrawPictureFileRecord& r) {
                DrawPictureFile(r.x1, r.y1, r.x2, r.y2, r.fileName, r.border, r.stretch);
            },
            [&](const DrawRegionLineRecord& r) {
                DrawRegionLine(r.x1, r.y1, r.x2, r.y2, r.region);
            },
            [&](const DrawLabelRecord& r) {
                DrawLabel(r.size, r.angle, r.x, r.y, r.text, r.region);
            },
            [&](const DrawPictureRecord& r) {
                DrawPicture(static_cast<int32_t>(c.data.size()), c.data, r.x1, r.y1, r.x2, r.y2,
                            r.isBitmap, r.region);
            },
            [&](const DrawScaledSymbolRecord& r) {
                DrawScaledSymbol(r.x, r.y, r.extra16, r.symbol, r.size, r.extra34, r.extra42,
                                 r.region);
            },
            [&](const RegionPatternFillBoxRecord& r) {
                RegionPatternFillBox(r.x1, r.y1, r.x2, r.y2, r.pattern, r.xScale, r.yScale,
                                     r.outline, r.region);
            },
            [&](const DrawRotatedTextRecord& r) {
                DrawRotatedText(r.x1, r.y1, r.x2, r.y2, r.arrows, r.turnDirection, r.text);
            },
            [&](const RegionPatternFillBoxColoredRecord& r) {
                RegionPatternFillBoxColored(r.x1, r.y1, r.x2, r.y2, r.pattern, r.xScale, r.yScale,
                                            r.lineWidth, r.backColor, r.lineColor, r.outline,
                                            r.region);
            },
            [&](const PatternFillBoxColoredRecord& r) {
                PatternFillBoxColored(r.x1, r.y1, r.x2, r.y2, r.pattern, r.xScale, r.yScale,
                                      r.lineWidth, r.backColor, r.lineColor, r.outline);
            },
            [&](const SetFontColoredRecord& r) { SetFont(r.fontName, r.size, r.style, r.color); },
            [&](const FillBoxRecord& r) { FillBox(r.x1, r.y1, r.x2, r.y2, r.color, r.region); },
            [&](const DrawPictureStreamRecord& r) {
                DrawPictureStream(r.region, c.data, r.x1, r.y1, r.x2, r.y2);
            },
            [&](const FillPolygonPairRecord& r) {
                FillPolygonPair(r.lineColor1, r.lineStyle1, r.lineWidth1, r.fillColor1,
                                r.fillStyle1, r.lineColor2, r.lineStyle2, r.lineWidth2,
                                r.fillColor2, r.fillStyle2, r.overlapColor, r.overlapStyle,
                                c.points, c.points2);
            },
            [&](const DrawTextRecord& r) {
                DrawText(r.x, r.y, r.vertical, r.transparent, r.align, r.raise, r.text);
            },
            [&](const PolyFillColoredRecord& r) {
                PolyFillColored(r.pattern, r.xScale, r.yScale, r.outline, r.color, c.points);
            },
            [&](const DrawStyledPolylineRecord& r) {
                DrawStyledPolyline(r.width, r.color, r.style, c.segments);
            },
            [&](const DrawVerticalRuleRecord& r) { DrawVerticalRule(r.x); },
            [&](const DrawLongLabelRecord& r) {
                DrawLabel(r.size, r.angle, r.x, r.y, r.text, r.region);
            },
            [&](const DrawTextBoxRecord& r) {
                DrawTextBox(r.region, r.layoutFlags, r.x1, r.y1, r.x2, r.y2, r.border, r.fill,
                            r.fillColor, r.TextLength, r.TextLength > 0 ? c.text : std::string(),
                            r.fontSize, r.marginLeft, r.marginTop, r.marginRight, r.marginBottom);
            },
            [&](const DrawFormattedTextRecord& r) {
                DrawFormattedText(c.text, r.fontSize, r.x1, r.y1, r.x2, r.y2, r.layoutFlags,
                                  r.sideMargin, r.lineInset);
            },
            [&](const DrawFittedTextRecord& r) {
                DrawFittedText(r.x, r.y, r.rotation, r.align, r.text, r.keepInside);
            },
            [&](const GradientFillBoxRecord& r) {
                GradientFillBox(r.startColor, r.endColor, r.y1, r.x1, r.y2, r.x2, r.fillX,
                                r.fromLeft);
            },
            [&](const GradientPolyFillRecord& r) {
                GradientPolyFill(r.startColor, r.endColor, r.rampX1, r.rampX2, r.fromLeft,
                                 c.points);
            },
        },
        c.record);
}

}  // namespace cindral
