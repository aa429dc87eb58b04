// cindral-cli symbols: a catalogue sheet (PNG) of every symbol of a library with its number,
// for checking a library by eye.

#include <QImage>
#include <string>

#include "cli/command.h"
#include "cli/gui_application.h"
#include "cli/options.h"
#include "cli/png_output.h"
#include "core/environment/errors.h"
#include "core/environment/program_paths.h"
#include "core/libraries/symbol_object.h"
#include "render/canvas/qt_canvas.h"
#include "cli/catalogue/symbol_sheet.h"

namespace cindral::cli {
namespace {

const char kUsage[] =
    "symbols -o SHEET.png [--symbols FILE]   (default: QuenUtil.Sym beside the program)";

int RunSymbols(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    const std::optional<std::string> out = reader.Value("-o");
    const CommonOptions common = reader.Common();
    if (!reader.Positionals().empty()) throw UsageError{"takes no FILE; use --symbols FILE"};
    if (!out || out->empty()) throw UsageError{"needs -o SHEET.png"};
    const std::string library =
        common.symbols.empty() ? ExecutableDirectory() + "QuenUtil.Sym" : common.symbols;

    symbol_object symbols(library);
    SymbolSheetLayout layout;
    layout.count = SymbolCountOfFile(library);
    if (layout.count == 0)
        throw CindralError("The symbol library " + library + " holds no symbols.");

    const auto application = EnsureGuiApplication();
    QImage sheet(layout.Width(), layout.Height(), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QtCanvas canvas(&sheet);
        DrawSymbolSheet(canvas, symbols, layout,
                        "Symbols of " + library + " (" + std::to_string(layout.count) + ")");
        canvas.Finish();
    }
    SavePng(sheet, *out);
    return kExitOk;
}

const CommandRegistration registration({"symbols", kUsage, RunSymbols});

}  // namespace
}  // namespace cindral::cli
