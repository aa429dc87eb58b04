#include "core/interpreter/gd_object.h"

#include "core/base/errors.h"
#include "core/environment/status.h"
#include "core/interpreter/command_routes.h"
#include "core/libraries/pattern_object.h"
#include "core/libraries/symbol_object.h"

namespace cindral {
namespace {

// Progress is reported when the play has advanced by more than this share of the file.
constexpr double kProgressStep = 0.1;

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

// `extent` is the document's own header, whose x range grows with the record.
template <class Record>
void AppendRecord(gd_object& doc, GdxHeader& extent, const Record& record) {
    ByteWriter payload;
    EncodeCommand(record, payload);
    doc.WriteRecord(Record::kCode, payload.bytes().data(), static_cast<uint16_t>(payload.size()));
    for (double x : {record.x1, record.x2}) {
        if (x < extent.MinX) extent.MinX = x;
        if (x > extent.MaxX) extent.MaxX = x;
    }
}

}  // namespace

void gd_object::WriteRegionPatternBox(const RegionPatternFillBoxRecord& record) {
    AppendRecord(*this, *this, record);
}

void gd_object::WriteRegionPatternBoxColored(const RegionPatternFillBoxColoredRecord& record) {
    AppendRecord(*this, *this, record);
}

void gd_object::BeginCommand(const GdxCommand&) {}

StrokeTextSize gd_object::MeasureStrokeText(int32_t angle, const std::string& text,
                                            double charWidth, double charHeight) {
    DrawStrokeText(DrawStrokeTextRecord{0, 0, 0, charWidth, charHeight, angle, text}, false);
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

void gd_object::Play(const GdxCommand& command) {
    // A code outside the command table was skipped by its length; it draws nothing.
    if (const CommandRoute* route = RouteOf(command.code)) route->play(*this, command);
}

}  // namespace cindral
