// cindral-cli patterns: a catalogue sheet (PNG) of every pattern of a library with its number
// and name, drawn with the renderer's pattern tiling, for choosing and checking patterns.

#include <QImage>
#include <string>

#include "cli/command.h"
#include "cli/gui_application.h"
#include "cli/options.h"
#include "cli/png_output.h"
#include "core/environment/errors.h"
#include "core/libraries/pattern_object.h"
#include "core/environment/program_paths.h"
#include "cli/catalogue/pattern_sheet.h"
#include "render/canvas/qt_canvas.h"

namespace cindral::cli {
namespace {

const char kUsage[] =
    "patterns -o SHEET.png [--patterns FILE]   (default: QuenUtil.Pat beside the program)";

int RunPatterns(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    const std::optional<std::string> out = reader.Value("-o");
    const CommonOptions common = reader.Common();
    if (!reader.Positionals().empty()) throw UsageError{"takes no FILE; use --patterns FILE"};
    if (!out || out->empty()) throw UsageError{"needs -o SHEET.png"};
    const std::string library =
        common.patterns.empty() ? ExecutableDirectory() + "QuenUtil.Pat" : common.patterns;

    pattern_object patterns(library);
    PatternSheetLayout layout;
    layout.count = PatternCountOfFile(library);
    if (layout.count == 0)
        throw CindralError("The pattern library " + library + " holds no patterns.");
    const std::map<int, std::string> names = PatternNamesBeside(library);

    const auto application = EnsureGuiApplication();
    QImage sheet(layout.Width(), layout.Height(), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QtCanvas canvas(&sheet);
        DrawPatternSheet(canvas, patterns, layout, names,
                         "Patterns of " + library + " (" + std::to_string(layout.count) + ")");
        canvas.Finish();
    }
    SavePng(sheet, *out);
    return kExitOk;
}

const CommandRegistration registration({"patterns", kUsage, RunPatterns});

}  // namespace
}  // namespace cindral::cli
