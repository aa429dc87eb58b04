// cindral-cli patterns and symbols: a catalogue sheet (PNG) of every pattern or symbol of a
// library with its number (and a pattern's name), drawn with the renderer's own tiling and
// strokes, for choosing and checking a library by eye.

#include <QImage>
#include <functional>
#include <string>

#include "cli/catalogue/pattern_sheet.h"
#include "cli/catalogue/symbol_sheet.h"
#include "cli/command.h"
#include "cli/gui_application.h"
#include "cli/options.h"
#include "cli/png_output.h"
#include "core/base/errors.h"
#include "core/environment/program_paths.h"
#include "core/libraries/pattern_object.h"
#include "core/libraries/symbol_object.h"
#include "render/canvas/qt_canvas.h"

namespace cindral::cli {
namespace {

// A sheet of `library`: its size, and how it is drawn onto a canvas under `title`.
struct Sheet {
    int width = 0;
    int height = 0;
    std::function<void(Canvas&, const std::string& title)> draw;
};

struct Catalogue {
    const char* noun;          // "pattern"
    const char* default_file;  // among the program's data files
    std::string CommonOptions::*option;
    // The sheet of `library` and how many entries it holds.
    std::function<Sheet(const std::string& library, int& count)> open;
};

int RunCatalogue(const Catalogue& catalogue, const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    const std::optional<std::string> out = reader.Value("-o");
    const CommonOptions common = reader.Common();
    const std::string noun = catalogue.noun;
    if (!reader.Positionals().empty()) throw UsageError{"takes no FILE; use --" + noun + "s FILE"};
    if (!out || out->empty()) throw UsageError{"needs -o SHEET.png"};
    const std::string& chosen = common.*catalogue.option;
    const std::string library = chosen.empty() ? DataDirectory() + catalogue.default_file : chosen;

    int count = 0;
    const Sheet sheet = catalogue.open(library, count);
    if (count == 0) {
        throw CindralError("The " + noun + " library " + library + " holds no " + noun + "s.");
    }
    const auto application = EnsureGuiApplication();
    QImage picture(sheet.width, sheet.height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QtCanvas canvas(&picture);
        std::string title = noun + "s of " + library + " (" + std::to_string(count) + ")";
        title[0] = static_cast<char>(title[0] - 'a' + 'A');
        sheet.draw(canvas, title);
        canvas.Finish();
    }
    SavePng(picture, *out);
    return kExitOk;
}

const Catalogue kPatterns{"pattern", "QuenUtil.Pat", &CommonOptions::patterns,
                          [](const std::string& library, int& count) {
                              auto patterns = std::make_shared<pattern_object>(library);
                              PatternSheetLayout layout;
                              layout.count = PatternCountOfFile(library);
                              count = layout.count;
                              const auto names = PatternNamesBeside(library);
                              return Sheet{layout.Width(), layout.Height(),
                                           [=](Canvas& canvas, const std::string& title) {
                                               DrawPatternSheet(canvas, *patterns, layout, names,
                                                                title);
                                           }};
                          }};

const Catalogue kSymbols{"symbol", "QuenUtil.Sym", &CommonOptions::symbols,
                         [](const std::string& library, int& count) {
                             auto symbols = std::make_shared<symbol_object>(library);
                             SymbolSheetLayout layout;
                             layout.count = SymbolCountOfFile(library);
                             count = layout.count;
                             return Sheet{layout.Width(), layout.Height(),
                                          [=](Canvas& canvas, const std::string& title) {
                                              DrawSymbolSheet(canvas, *symbols, layout, title);
                                          }};
                         }};

const CommandRegistration patterns(
    {"patterns",
     "patterns -o SHEET.png [--patterns FILE]   (default: QuenUtil.Pat beside the program)",
     [](const std::vector<std::string>& args) { return RunCatalogue(kPatterns, args); }, nullptr});
const CommandRegistration symbols(
    {"symbols",
     "symbols -o SHEET.png [--symbols FILE]   (default: QuenUtil.Sym beside the program)",
     [](const std::vector<std::string>& args) { return RunCatalogue(kSymbols, args); }, nullptr});

}  // namespace
}  // namespace cindral::cli
