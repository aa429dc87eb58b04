#include "cli/catalogue/symbol_sheet.h"

#include <algorithm>
#include <cmath>

#include "cli/catalogue/catalogue_sheet.h"
#include "core/libraries/library_file.h"
#include "core/libraries/symbol_object.h"

namespace cindral {
namespace {

constexpr Color kCellFrame = RgbColor(200, 200, 200);
constexpr Color kAnchorMark = RgbColor(255, 160, 160);

}  // namespace

int SymbolCountOfFile(const std::string& file_name) {
    const int64_t records = LibraryFile(file_name).RecordCount(SymbolRecord::kSize);
    return static_cast<int>(std::min<int64_t>(records, symbol_object::kLastSymbol + 1));
}

void DrawSymbolSheet(Canvas& canvas, symbol_object& symbols, const SymbolSheetLayout& layout,
                     const std::string& title) {
    // One scale for all: the largest stroke reach of the library fills a cell's drawing area.
    int reach = 1;
    for (int n = 0; n < layout.count; ++n) {
        symbols.Load(n);
        for (int i = 0; i < symbols.StrokeCount(); ++i) {
            const auto& s = symbols.Stroke(i);
            for (int v : {int(s.x1), int(s.y1), int(s.x2), int(s.y2)})
                reach = std::max(reach, std::abs(v));
        }
    }
    const int label_rows = 16;
    const double half = (layout.cell - label_rows) / 2.0 - 6;
    const double scale = half / reach;

    BeginCatalogueSheet(canvas, title);
    canvas.SetTextAlign(6);  // centred, top

    Brush hollow;
    hollow.style = BrushStyle::Null;
    canvas.SelectBrush(hollow);
    for (int n = 0; n < layout.count; ++n) {
        const int left = (n % layout.columns) * layout.cell;
        const int top = layout.title + (n / layout.columns) * layout.cell;
        Pen frame;
        frame.color = kCellFrame;
        canvas.SelectPen(frame);
        canvas.Rectangle({left, top, left + layout.cell + 1, top + layout.cell + 1});

        const int cx = left + layout.cell / 2;
        const int cy = top + (layout.cell - label_rows) / 2;
        Pen anchor;
        anchor.color = kAnchorMark;
        canvas.SelectPen(anchor);
        canvas.MoveTo(cx - 3, cy);
        canvas.LineTo(cx + 4, cy);
        canvas.MoveTo(cx, cy - 3);
        canvas.LineTo(cx, cy + 4);

        canvas.SelectPen(Pen{});
        symbols.Load(n);
        for (int i = 0; i < symbols.StrokeCount(); ++i) {
            const auto& s = symbols.Stroke(i);
            const int x1 = cx + int(std::lround(s.x1 * scale));
            const int y1 = cy - int(std::lround(s.y1 * scale));
            const int x2 = cx + int(std::lround(s.x2 * scale));
            const int y2 = cy - int(std::lround(s.y2 * scale));
            canvas.MoveTo(x1, y1);
            canvas.LineTo(x2, y2);
            canvas.SetPixel(x2, y2, kBlack);  // a stroke's end pixel, and single-point strokes
        }
        canvas.TextOut(cx, top + layout.cell - label_rows, std::to_string(n));
    }
    canvas.SetTextAlign(0);
}

}  // namespace cindral
