#include "core/environment/settings.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/environment/directories.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "core/format/byte_codec.h"

namespace cindral {
namespace {

constexpr size_t kTextField = kSettingsTextCapacity + 1;

// Offsets of the fields the viewer reads or writes.
constexpr size_t kLogDesignFile = 1044;
constexpr size_t kKeywordFile = 1305;
constexpr size_t kPatternFile = 1566;
constexpr size_t kSymbolFile = 1827;
constexpr size_t kDefaultPageLength = 2160;
constexpr size_t kDefaultPageWidth = 2168;
constexpr size_t kPrinterOrientation = 2176;
constexpr size_t kMaximized = 2197;
constexpr size_t kWindowTop = 2200;
constexpr size_t kWindowLeft = 2204;
constexpr size_t kWindowWidth = 2208;
constexpr size_t kWindowHeight = 2212;
constexpr size_t kCustomPageLengthOn = 2216;
constexpr size_t kUnitsPerPage = 2224;
constexpr size_t kPageSetupInches = 3282;
constexpr size_t kTextLineOption = 3312;
constexpr size_t kDepthUnitsPerInch = 3320;
constexpr size_t kRepeatedHeaderGap = 3352;
constexpr size_t kExportPixelsPerInch = 3428;
constexpr size_t kExportQuality = 3432;
constexpr size_t kHtmlTableOption = 3436;
constexpr size_t kOpenTableInBrowser = 3437;
constexpr size_t kPrintInBlack = 3438;

// Places little-endian fields at fixed offsets of a record.
class RecordPatch {
  public:
    explicit RecordPatch(std::vector<uint8_t>& record) : record_(record) {}
    void I32(size_t offset, int32_t v) {
        Put(offset, [&](ByteWriter& w) { w.I32(v); });
    }
    void F64(size_t offset, double v) {
        Put(offset, [&](ByteWriter& w) { w.F64(v); });
    }
    void U8(size_t offset, uint8_t v) {
        Put(offset, [&](ByteWriter& w) { w.U8(v); });
    }
    void Flag(size_t offset, bool v) { U8(offset, v ? 1 : 0); }
    // Zero-terminated text filling `size` bytes.
    void Text(size_t offset, const std::string& text, size_t size) {
        Put(offset, [&](ByteWriter& w) {
            w.Bytes(text.data(), text.size());
            w.Zeros(size - text.size());
        });
    }

  private:
    template <typename Write>
    void Put(size_t offset, Write write) {
        ByteWriter w;
        write(w);
        std::memcpy(record_.data() + offset, w.bytes().data(), w.size());
    }
    std::vector<uint8_t>& record_;
};

class RecordView {
  public:
    explicit RecordView(const std::vector<uint8_t>& record) : record_(record) {}
    int32_t I32(size_t offset) const { return At(offset).I32(); }
    double F64(size_t offset) const { return At(offset).F64(); }
    uint8_t U8(size_t offset) const { return At(offset).U8(); }
    bool Flag(size_t offset) const { return U8(offset) != 0; }
    // Text up to its terminating zero; empty when the field has none.
    std::string Text(size_t offset, size_t size) const {
        const char* begin = reinterpret_cast<const char*>(record_.data() + offset);
        const void* zero = std::memchr(begin, 0, size);
        if (!zero) return {};
        return std::string(begin, static_cast<const char*>(zero));
    }

  private:
    ByteReader At(size_t offset) const {
        ByteReader r(record_);
        r.Seek(offset);
        return r;
    }
    const std::vector<uint8_t>& record_;
};

std::string FittingText(const std::string& text) {
    if (text.size() > kSettingsTextCapacity || text.find('\0') != std::string::npos) {
        LogLine("Settings: a file name of " + std::to_string(text.size()) +
                " characters does not fit its field and is not saved");
        return {};
    }
    return text;
}

struct WindowDefaults {
    int32_t left, top, width, height;
};

WindowDefaults DefaultWindow(const ScreenMetrics& s) {
    return {s.pixels_per_inch / 2, kWindowNotPlaced, s.monitor_width * 6 / 10,
            s.monitor_height * 6 / 10};
}

// The record with every default the viewer does not interpret itself.
std::vector<uint8_t> DefaultRecord(const ScreenMetrics& screen) {
    std::vector<uint8_t> record(kSettingsSize, 0);
    RecordPatch p(record);
    p.Text(2088, "Courier New", 64);
    p.I32(2152, 10);
    p.I32(2180, screen.width - 2 * screen.pixels_per_inch);
    p.I32(2184, screen.height - 2 * screen.pixels_per_inch);
    p.I32(2188, screen.pixels_per_inch);
    p.I32(2192, screen.pixels_per_inch);
    p.U8(2196, 1);
    p.I32(2232, 10);
    p.U8(2236, 1);
    p.U8(2237, 1);
    p.I32(3284, 3);
    p.I32(3288, 1);
    p.I32(3292, 3);
    p.I32(3296, 96);
    p.I32(3300, 192);
    p.I32(3304, -1);
    p.I32(3308, -1);
    p.U8(3328, 1);
    p.U8(3329, 94);
    p.F64(3336, 1.0);
    p.U8(3360, 1);
    p.U8(3361, 1);
    p.I32(3364, 10);
    p.U8(3368, 1);
    p.F64(3384, -100.0);
    p.U8(3393, 1);
    p.U8(3395, 1);
    p.I32(3404, -1);
    p.I32(3408, -1);
    WindowDefaults window = DefaultWindow(screen);
    p.I32(3412, window.left);
    p.I32(3416, window.top);
    p.I32(3420, window.width);
    p.I32(3424, window.height);
    p.F64(3448, 1.0);
    p.I32(3456, 2);
    p.I32(3464, 2);
    p.F64(3480, -100.0);
    p.U8(3536, 1);
    p.F64(3544, 0.01);
    p.F64(3552, 0.0);
    p.F64(3560, 1000.0);
    return record;
}

PrinterPage AskPrinter(const SettingsEnvironment& environment) {
    std::optional<PrinterPage> printer;
    if (environment.default_printer) printer = environment.default_printer();
    return printer.value_or(PrinterPage{});
}

void ApplyPrinter(Settings& s, const PrinterPage& printer) {
    s.DefaultPageLength = printer.length;
    s.DefaultPageWidth = printer.width;
    s.PrinterOrientation = printer.orientation;
}

bool Positive(double v) {
    return std::isfinite(v) && v > 0;
}

bool FileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

// Only a file that is not there counts as missing: one that exists but cannot be read
// (permissions, a folder of that name) must not be replaced by the defaults.
std::vector<uint8_t> ReadWholeFile(const std::string& path, bool& missing) {
    std::error_code error;
    missing = !std::filesystem::exists(path, error) && !error;
    if (missing) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, error)) {
        throw IoError("Unable to read the settings file " + path, errno);
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    if (in.bad()) throw IoError("Unable to read the settings file " + path, errno);
    return bytes;
}

// Copies the file byte for byte; the previous .bak, if any, is replaced.
void KeepBackup(const std::string& path, const std::string& backup) {
    std::filesystem::copy_file(path, backup, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace

SettingsEnvironment CurrentSettingsEnvironment() {
    SettingsEnvironment e;
    e.program_directory = ProgramDirectory();
    e.user_directory = UserDirectory();
    e.exe_base_name = ExeBaseName();
    return e;
}

Settings DefaultSettings(const SettingsEnvironment& environment) {
    Settings s;
    s.Record = DefaultRecord(environment.screen);
    s.LogDesignFile = environment.program_directory + "LogFiles/lithology1.ldf";
    s.KeywordFile = environment.user_directory + environment.exe_base_name + ".Key";
    s.PatternFile = environment.user_directory + "QuenUtil.Pat";
    s.SymbolFile = environment.user_directory + "QuenUtil.Sym";
    ApplyPrinter(s, AskPrinter(environment));
    WindowDefaults window = DefaultWindow(environment.screen);
    s.Maximized = false;
    s.WindowTop = window.top;
    s.WindowLeft = window.left;
    s.WindowWidth = window.width;
    s.WindowHeight = window.height;
    s.CustomPageLengthOn = true;
    s.UnitsPerPage = 100.0;
    s.PageSetupInches = true;
    s.TextLineOption = false;
    s.DepthUnitsPerInch = 50.0;
    s.RepeatedHeaderGap = 0.25;
    s.ExportPixelsPerInch = 96;
    s.ExportQuality = 80;
    s.HtmlTableOption = 0;
    s.OpenTableInBrowser = true;
    s.PrintInBlack = false;
    s.Record = EncodeSettings(s);
    return s;
}

std::vector<uint8_t> EncodeSettings(const Settings& s) {
    std::vector<uint8_t> record = s.Record;
    record.resize(kSettingsSize, 0);
    RecordPatch p(record);
    p.Text(kLogDesignFile, FittingText(s.LogDesignFile), kTextField);
    p.Text(kKeywordFile, FittingText(s.KeywordFile), kTextField);
    p.Text(kPatternFile, FittingText(s.PatternFile), kTextField);
    p.Text(kSymbolFile, FittingText(s.SymbolFile), kTextField);
    p.F64(kDefaultPageLength, s.DefaultPageLength);
    p.F64(kDefaultPageWidth, s.DefaultPageWidth);
    p.U8(kPrinterOrientation, s.PrinterOrientation);
    p.Flag(kMaximized, s.Maximized);
    p.I32(kWindowTop, s.WindowTop);
    p.I32(kWindowLeft, s.WindowLeft);
    p.I32(kWindowWidth, s.WindowWidth);
    p.I32(kWindowHeight, s.WindowHeight);
    p.Flag(kCustomPageLengthOn, s.CustomPageLengthOn);
    p.F64(kUnitsPerPage, s.UnitsPerPage);
    p.Flag(kPageSetupInches, s.PageSetupInches);
    p.Flag(kTextLineOption, s.TextLineOption);
    p.F64(kDepthUnitsPerInch, s.DepthUnitsPerInch);
    p.F64(kRepeatedHeaderGap, s.RepeatedHeaderGap);
    p.I32(kExportPixelsPerInch, s.ExportPixelsPerInch);
    p.I32(kExportQuality, s.ExportQuality);
    p.U8(kHtmlTableOption, s.HtmlTableOption);
    p.Flag(kOpenTableInBrowser, s.OpenTableInBrowser);
    p.Flag(kPrintInBlack, s.PrintInBlack);
    return record;
}

Settings DecodeSettings(const std::vector<uint8_t>& bytes) {
    if (bytes.size() != kSettingsSize) {
        throw CindralError("A settings record has " + std::to_string(kSettingsSize) +
                           " bytes, not " + std::to_string(bytes.size()));
    }
    RecordView v(bytes);
    Settings s;
    s.Record = bytes;
    s.LogDesignFile = v.Text(kLogDesignFile, kTextField);
    s.KeywordFile = v.Text(kKeywordFile, kTextField);
    s.PatternFile = v.Text(kPatternFile, kTextField);
    s.SymbolFile = v.Text(kSymbolFile, kTextField);
    s.DefaultPageLength = v.F64(kDefaultPageLength);
    s.DefaultPageWidth = v.F64(kDefaultPageWidth);
    s.PrinterOrientation = v.U8(kPrinterOrientation);
    s.Maximized = v.Flag(kMaximized);
    s.WindowTop = v.I32(kWindowTop);
    s.WindowLeft = v.I32(kWindowLeft);
    s.WindowWidth = v.I32(kWindowWidth);
    s.WindowHeight = v.I32(kWindowHeight);
    s.CustomPageLengthOn = v.Flag(kCustomPageLengthOn);
    s.UnitsPerPage = v.F64(kUnitsPerPage);
    s.PageSetupInches = v.Flag(kPageSetupInches);
    s.TextLineOption = v.Flag(kTextLineOption);
    s.DepthUnitsPerInch = v.F64(kDepthUnitsPerInch);
    s.RepeatedHeaderGap = v.F64(kRepeatedHeaderGap);
    s.ExportPixelsPerInch = v.I32(kExportPixelsPerInch);
    s.ExportQuality = v.I32(kExportQuality);
    s.HtmlTableOption = v.U8(kHtmlTableOption);
    s.OpenTableInBrowser = v.Flag(kOpenTableInBrowser);
    s.PrintInBlack = v.Flag(kPrintInBlack);
    return s;
}

std::vector<std::string> RepairSettings(Settings& s, const SettingsEnvironment& environment) {
    std::vector<std::string> fixed;
    // The printer is asked at most once, and only when a page field needs it.
    std::optional<PrinterPage> printer;
    auto printer_page = [&]() -> const PrinterPage& {
        if (!printer) printer = AskPrinter(environment);
        return *printer;
    };
    Settings d;  // plain defaults for the fields that need no environment

    auto library = [&](std::string& file, const char* what, const std::string& fallback) {
        if (file.empty()) {
            fixed.push_back(std::string(what) + " is empty; using " + fallback);
            file = fallback;
        } else if (file != fallback && !FileExists(file)) {
            fixed.push_back(std::string(what) + " " + file + " does not exist; using " + fallback);
            file = fallback;
        }
    };
    library(s.PatternFile, "the pattern library", environment.user_directory + "QuenUtil.Pat");
    library(s.SymbolFile, "the symbol library", environment.user_directory + "QuenUtil.Sym");

    if (!Positive(s.DefaultPageLength) || !Positive(s.DefaultPageWidth)) {
        fixed.push_back("the default page size is not usable; using the printer's page");
        s.DefaultPageLength = printer_page().length;
        s.DefaultPageWidth = printer_page().width;
    }
    if (s.PrinterOrientation > 1) {
        fixed.push_back("the printer orientation " + std::to_string(s.PrinterOrientation) +
                        " is unknown; using the printer's orientation");
        s.PrinterOrientation = printer_page().orientation;
    }
    if (s.WindowWidth <= 0 || s.WindowHeight <= 0) {
        WindowDefaults window = DefaultWindow(environment.screen);
        fixed.push_back("the main window size is not usable; using the default size");
        s.WindowWidth = window.width;
        s.WindowHeight = window.height;
    }
    auto positive = [&](double& value, double fallback, const char* what) {
        if (Positive(value)) return;
        fixed.push_back(std::string(what) + " is not usable; using the default");
        value = fallback;
    };
    positive(s.UnitsPerPage, d.UnitsPerPage, "the custom page length");
    positive(s.DepthUnitsPerInch, d.DepthUnitsPerInch, "the default depth units per inch");
    if (!std::isfinite(s.RepeatedHeaderGap) || s.RepeatedHeaderGap < 0) {
        fixed.push_back("the repeated header gap is not usable; using the default");
        s.RepeatedHeaderGap = d.RepeatedHeaderGap;
    }
    if (s.ExportPixelsPerInch <= 0) {
        fixed.push_back("the export resolution is not usable; using the default");
        s.ExportPixelsPerInch = d.ExportPixelsPerInch;
    }
    if (s.ExportQuality < 1 || s.ExportQuality > 100) {
        fixed.push_back("the export quality is not usable; using the default");
        s.ExportQuality = d.ExportQuality;
    }
    return fixed;
}

SettingsReading ReadSettingsFile(const std::string& path, const SettingsEnvironment& environment) {
    SettingsReading reading;
    bool missing = false;
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadWholeFile(path, missing);
    } catch (const IoError& e) {
        reading.settings = DefaultSettings(environment);
        reading.state = SettingsFileState::Unreadable;
        reading.problems.push_back(e.what());
        return reading;
    }
    if (missing) {
        reading.settings = DefaultSettings(environment);
        reading.state = SettingsFileState::Missing;
        return reading;
    }
    if (bytes.size() != kSettingsSize) {
        reading.settings = DefaultSettings(environment);
        reading.state = SettingsFileState::WrongSize;
        reading.problems.push_back("the file has " + std::to_string(bytes.size()) +
                                   " bytes instead of " + std::to_string(kSettingsSize) +
                                   "; using the defaults");
        return reading;
    }
    reading.settings = DecodeSettings(bytes);
    reading.problems = RepairSettings(reading.settings, environment);
    if (!reading.problems.empty()) reading.state = SettingsFileState::Repaired;
    return reading;
}

Settings LoadSettings(const std::string& path, const SettingsEnvironment& environment) {
    SettingsReading reading = ReadSettingsFile(path, environment);
    if (reading.state == SettingsFileState::Good) return reading.settings;

    // A file that cannot even be read is left where it is; the defaults serve this run.
    const bool unreadable = reading.state == SettingsFileState::Unreadable;
    std::string backup;
    if (reading.state != SettingsFileState::Missing && !unreadable) {
        backup = path + ".bak";
        try {
            KeepBackup(path, backup);
        } catch (const std::exception& e) {
            LogLine("Settings: unable to keep " + path + " as " + backup + ": " + e.what());
            backup.clear();
        }
        const std::string prefix = "Settings: " + path + ": ";
        for (const std::string& problem : reading.problems) LogLine(prefix + problem);
    }
    if (unreadable) {
        for (const std::string& problem : reading.problems) LogLine("Settings: " + problem);
    } else {
        try {
            SaveSettings(reading.settings, path);
        } catch (const IoError& e) {
            LogLine(std::string("Settings: ") + e.what());
        }
    }
    if (reading.state != SettingsFileState::Missing) {
        std::string text = "The settings file " + path + " could not be used as it stood:";
        for (const std::string& problem : reading.problems) text += "\n- " + problem;
        if (!backup.empty()) text += "\n\nThe previous file was kept as " + backup + ".";
        CurrentUi().ShowMessage(MessageKind::Warning, "Settings", text, Buttons::Ok);
    }
    return reading.settings;
}

void SaveSettings(const Settings& settings, const std::string& path) {
    WriteFileAtomically(path, EncodeSettings(settings));
}

Settings& CurrentSettings() {
    static Settings settings = DefaultSettings(CurrentSettingsEnvironment());
    return settings;
}

}  // namespace cindral
