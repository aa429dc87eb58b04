#include "cli/catalogue/pattern_sheet.h"

#include <algorithm>
#include <fstream>

#include "cli/catalogue/catalogue_sheet.h"
#include "core/libraries/library_file.h"
#include "core/libraries/library_source.h"
#include "core/libraries/pattern_object.h"
#include "render/renderers/pattern_tiling.h"

namespace cindral {
namespace {

constexpr Color kCellFrame = RgbColor(200, 200, 200);
constexpr int kMargin = 8;
constexpr int kLabelRows = 34;
// The name cut to `width` pixels of the selected font, ending in "..." when cut.
std::string Fitted(const Canvas& canvas, const std::string& name, int width) {
    if (canvas.GetTextExtent(name).cx <= width) return name;
    std::string shorter = name;
    while (!shorter.empty() && canvas.GetTextExtent(shorter + "...").cx > width) {
        shorter.pop_back();
    }
    return shorter + "...";
}

}  // namespace

Rect PatternSheetLayout::Box(int n) const {
    const int left = (n % columns) * cell_width;
    const int top = title + (n / columns) * cell_height;
    return {left + kMargin, top + kMargin, left + cell_width - kMargin,
            top + cell_height - kLabelRows};
}

int PatternCountOfFile(const std::string& file_name) {
    const int64_t records = LibraryFile(file_name).RecordCount(PatternRecord::kSize);
    return static_cast<int>(std::min<int64_t>(records, pattern_object::kLastPattern + 1));
}

std::map<int, std::string> PatternNamesBeside(const std::string& library_file) {
    std::map<int, std::string> names;
    const std::string source_name = library_file + ".txt";
    std::ifstream source(source_name);
    if (!source) return names;
    for (const LibrarySourceEntry& entry :
         ParseLibrarySource(source, LibraryKind::Pattern, source_name).entries) {
        names[entry.number] = entry.name;
    }
    return names;
}

void DrawPatternSheet(Canvas& canvas, pattern_object& patterns, const PatternSheetLayout& layout,
                      const std::map<int, std::string>& names, const std::string& title) {
    BeginCatalogueSheet(canvas, title);

    const double unit = PatternPixels(1, layout.pixels_per_inch);
    for (int n = 0; n < layout.count; ++n) {
        const Rect box = layout.Box(n);
        patterns.Load(n);
        canvas.SelectClipRect(box);
        canvas.SelectPen(Pen{});
        TilePattern(patterns.Current(), {box.left, box.top, box.right - 1, box.bottom - 1}, unit,
                    unit, box, [&](Point a, Point b) {
                        canvas.MoveTo(a.x, a.y);
                        canvas.LineTo(b.x, b.y);
                        canvas.SetPixel(b.x, b.y, kBlack);  // end pixels, and dots
                    });
        canvas.SelectNoClip();

        Pen frame;
        frame.color = kCellFrame;
        canvas.SelectPen(frame);
        Brush hollow;
        hollow.style = BrushStyle::Null;
        canvas.SelectBrush(hollow);
        canvas.Rectangle({box.left - 1, box.top - 1, box.right + 1, box.bottom + 1});

        const int text_top = box.bottom + 3;
        canvas.TextOut(box.left, text_top, std::to_string(n));
        const auto name = names.find(n);
        if (name != names.end()) {
            canvas.TextOut(box.left, text_top + 15,
                           Fitted(canvas, name->second, box.right - box.left));
        }
    }
}

}  // namespace cindral
