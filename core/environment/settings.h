#pragma once
// The viewer's preferences: one fixed record of 3568 bytes kept in the settings file
// (ExeBaseName + ".Cn2" in the user directory), read once at start-up and written back when
// the main window closes. The record also carries fields other programs of the family use;
// the viewer keeps them byte for byte and writes them back unchanged.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cindral {

constexpr size_t kSettingsSize = 3568;
// A text field holds at most this many bytes before its terminating zero.
constexpr size_t kSettingsTextCapacity = 260;
// WindowTop before the main window was ever placed.
constexpr int32_t kWindowNotPlaced = -999;

// The printable page of the default printer, in inches.
struct PrinterPage {
    double length = 10.5;
    double width = 8.0;
    uint8_t orientation = 0;  // 0 portrait, 1 landscape
};

struct ScreenMetrics {
    int32_t width = 1920;  // the whole desktop
    int32_t height = 1080;
    int32_t pixels_per_inch = 96;
    int32_t monitor_width = 1920;  // the first monitor
    int32_t monitor_height = 1080;
};

// What the defaults depend on.
struct SettingsEnvironment {
    std::string program_directory;  // with a trailing '/'
    std::string user_directory;     // with a trailing '/'
    std::string exe_base_name;
    ScreenMetrics screen;
    // Asked only when defaults are needed; nullopt when there is no printer (the fallback
    // page is used). The GUI warns the user from inside this call.
    std::function<std::optional<PrinterPage>()> default_printer;
};

// The environment of the running program (its directories and base name), with the
// standard screen and no printer.
SettingsEnvironment CurrentSettingsEnvironment();

struct Settings {
    std::string LogDesignFile;             // 1044
    std::string KeywordFile;               // 1305
    std::string PatternFile;               // 1566
    std::string SymbolFile;                // 1827
    double DefaultPageLength = 10.5;       // 2160, inches
    double DefaultPageWidth = 8.0;         // 2168, inches
    uint8_t PrinterOrientation = 0;        // 2176, 0 portrait, 1 landscape
    bool Maximized = false;                // 2197
    int32_t WindowTop = kWindowNotPlaced;  // 2200
    int32_t WindowLeft = 0;                // 2204
    int32_t WindowWidth = 0;               // 2208
    int32_t WindowHeight = 0;              // 2212
    bool CustomPageLengthOn = true;        // 2216
    double UnitsPerPage = 100.0;           // 2224, depth units per custom page
    bool PageSetupInches = true;           // 3282, false: centimetres
    bool TextLineOption = false;           // 3312
    double DepthUnitsPerInch = 50.0;       // 3320, before a document's header is read
    double RepeatedHeaderGap = 0.25;       // 3352, inches below a repeated first-page header
    int32_t ExportPixelsPerInch = 96;      // 3428
    int32_t ExportQuality = 80;            // 3432
    uint8_t HtmlTableOption = 0;           // 3436
    bool OpenTableInBrowser = true;        // 3437
    bool PrintInBlack = false;             // 3438

    // The whole record as read (or as defaulted); fields the viewer does not use are
    // written back from here.
    std::vector<uint8_t> Record = std::vector<uint8_t>(kSettingsSize, 0);
};

// Every field at its default, the printer's page asked for once.
Settings DefaultSettings(const SettingsEnvironment& environment);

// The 3568 bytes of the record. A text too long for its field is written empty (it then
// falls back to its default when read), never cut to a different name.
std::vector<uint8_t> EncodeSettings(const Settings& settings);
// Reads the record from exactly kSettingsSize bytes; raises CindralError on another size.
// Text fields without a terminating zero read as empty.
Settings DecodeSettings(const std::vector<uint8_t>& bytes);

// Puts back the default of every field whose value cannot be used (a page size that is not
// positive, an unknown orientation, a library file that does not exist, ...). Returns one
// line per field changed, naming it.
std::vector<std::string> RepairSettings(Settings& settings, const SettingsEnvironment& environment);

enum class SettingsFileState { Good, Missing, WrongSize, Repaired, Unreadable };

struct SettingsReading {
    Settings settings;
    SettingsFileState state = SettingsFileState::Good;
    std::vector<std::string> problems;  // what was wrong and what was used instead
};

// Reads and checks the settings file without changing anything on disk.
SettingsReading ReadSettingsFile(const std::string& path, const SettingsEnvironment& environment);

// The start-up load. A missing file gets the defaults written. A file that cannot be used
// as it stands is kept as path + ".bak", the usable part is kept, the rest defaulted and
// written back, the problems are logged and the user is told once. Failing to write the
// file here is logged only; the save at exit reports it.
Settings LoadSettings(const std::string& path, const SettingsEnvironment& environment);

// Writes the record without ever losing the previous file: a temporary file in the same
// folder is written, flushed to disk and renamed over the old one. Raises IoError.
void SaveSettings(const Settings& settings, const std::string& path);

// The process-wide record the viewer reads its preferences from.
Settings& CurrentSettings();

}  // namespace cindral
