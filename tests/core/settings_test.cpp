// The settings record: every default at its offset, the round trip, the repairs of a bad
// file and the save that never loses the previous file.

#include "core/environment/settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>

#include "core/base/errors.h"
#include "core/format/byte_codec.h"
#include "core/format/gdx_writer.h"
#include "recording_ui.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

SettingsEnvironment TestEnvironment(const std::string& dir = "/opt/cindral/") {
    SettingsEnvironment e;
    e.program_directory = dir;
    e.user_directory = dir;
    e.exe_base_name = "viewer";
    e.screen.width = 1600;
    e.screen.height = 1200;
    e.screen.pixels_per_inch = 120;
    e.screen.monitor_width = 1280;
    e.screen.monitor_height = 1024;
    return e;
}

// One expected field of a new record.
struct Field {
    size_t offset;
    char type;  // 'i' int32, 'd' double, 'b' byte, 's' text of `size` bytes
    double number;
    std::string text;
    size_t size;
};

Field I(size_t o, int32_t v) {
    return {o, 'i', double(v), "", 4};
}
Field D(size_t o, double v) {
    return {o, 'd', v, "", 8};
}
Field B(size_t o, int v) {
    return {o, 'b', double(v), "", 1};
}
Field S(size_t o, const std::string& t, size_t size) {
    return {o, 's', 0, t, size};
}

std::vector<Field> ExpectedDefaults() {
    // Screen 1600 x 1200 at 120 pixels per inch, first monitor 1280 x 1024, no printer.
    return {
        S(1044, "/opt/cindral/LogFiles/lithology1.ldf", 261),
        S(1305, "/opt/cindral/viewer.Key", 261),
        S(1566, "/opt/cindral/QuenUtil.Pat", 261),
        S(1827, "/opt/cindral/QuenUtil.Sym", 261),
        S(2088, "Courier New", 64),
        I(2152, 10),
        D(2160, 10.5),
        D(2168, 8.0),
        B(2176, 0),
        B(2177, 0),
        I(2180, 1600 - 240),
        I(2184, 1200 - 240),
        I(2188, 120),
        I(2192, 120),
        B(2196, 1),
        B(2197, 0),
        I(2200, -999),
        I(2204, 60),
        I(2208, 768),
        I(2212, 614),
        B(2216, 1),
        D(2224, 100.0),
        I(2232, 10),
        B(2236, 1),
        B(2237, 1),
        B(3282, 1),
        I(3284, 3),
        I(3288, 1),
        I(3292, 3),
        I(3296, 96),
        I(3300, 192),
        I(3304, -1),
        I(3308, -1),
        B(3312, 0),
        D(3320, 50.0),
        B(3328, 1),
        B(3329, 94),
        D(3336, 1.0),
        D(3352, 0.25),
        B(3360, 1),
        B(3361, 1),
        I(3364, 10),
        B(3368, 1),
        B(3369, 0),
        D(3384, -100.0),
        B(3392, 0),
        B(3393, 1),
        B(3394, 0),
        B(3395, 1),
        I(3404, -1),
        I(3408, -1),
        I(3412, 60),
        I(3416, -999),
        I(3420, 768),
        I(3424, 614),
        I(3428, 96),
        I(3432, 80),
        B(3436, 0),
        B(3437, 1),
        B(3438, 0),
        D(3448, 1.0),
        I(3456, 2),
        I(3464, 2),
        D(3480, -100.0),
        B(3536, 1),
        D(3544, 0.01),
        D(3552, 0.0),
        D(3560, 1000.0),
    };
}

TEST(SettingsDefaults, EveryFieldAtItsOffsetAndEveryOtherByteZero) {
    std::vector<uint8_t> record = EncodeSettings(DefaultSettings(TestEnvironment()));
    ASSERT_EQ(record.size(), 3568u);
    std::vector<bool> covered(record.size(), false);
    for (const Field& f : ExpectedDefaults()) {
        SCOPED_TRACE("offset " + std::to_string(f.offset));
        ByteReader r(record);
        r.Seek(f.offset);
        switch (f.type) {
            case 'i':
                EXPECT_EQ(r.I32(), static_cast<int32_t>(f.number));
                break;
            case 'd':
                EXPECT_EQ(r.F64(), f.number);
                break;
            case 'b':
                EXPECT_EQ(r.U8(), static_cast<uint8_t>(f.number));
                break;
            case 's': {
                std::string expected = f.text;
                expected.resize(f.size, '\0');
                EXPECT_EQ(
                    std::string(record.begin() + f.offset, record.begin() + f.offset + f.size),
                    expected);
                break;
            }
        }
        for (size_t i = 0; i < f.size; ++i) covered[f.offset + i] = true;
    }
    for (size_t i = 0; i < record.size(); ++i) {
        if (!covered[i]) {
            EXPECT_EQ(record[i], 0) << "byte " << i;
        }
    }
}

TEST(SettingsDefaults, ThePrinterPageIsAskedOnceAndUsed) {
    SettingsEnvironment e = TestEnvironment();
    int asked = 0;
    e.default_printer = [&]() -> std::optional<PrinterPage> {
        ++asked;
        return PrinterPage{10.0, 7.5, 1};
    };
    std::vector<uint8_t> record = EncodeSettings(DefaultSettings(e));
    EXPECT_EQ(asked, 1);
    ByteReader r(record);
    r.Seek(2160);
    EXPECT_EQ(r.F64(), 10.0);
    EXPECT_EQ(r.F64(), 7.5);
    EXPECT_EQ(r.U8(), 1);
}

TEST(SettingsRecord, RoundTripKeepsTheFieldsAndEveryByteTheViewerDoesNotUse) {
    std::vector<uint8_t> record = EncodeSettings(DefaultSettings(TestEnvironment()));
    // Bytes other programs own, including the padding between fields.
    for (size_t i : {0u, 500u, 2088u, 2153u, 2177u, 2220u, 2300u, 3300u, 3500u, 3567u}) {
        record[i] = static_cast<uint8_t>(0xA0 + i % 50);
    }
    Settings s = DecodeSettings(record);
    s.PatternFile = "/data/my.pat";
    s.WindowTop = 33;
    s.WindowLeft = -5;
    s.Maximized = true;
    s.UnitsPerPage = 250.5;
    s.PrintInBlack = true;
    s.ExportQuality = 55;
    std::vector<uint8_t> written = EncodeSettings(s);
    Settings back = DecodeSettings(written);
    EXPECT_EQ(back.PatternFile, "/data/my.pat");
    EXPECT_EQ(back.WindowTop, 33);
    EXPECT_EQ(back.WindowLeft, -5);
    EXPECT_TRUE(back.Maximized);
    EXPECT_EQ(back.UnitsPerPage, 250.5);
    EXPECT_TRUE(back.PrintInBlack);
    EXPECT_EQ(back.ExportQuality, 55);
    for (size_t i : {0u, 500u, 2088u, 2153u, 2177u, 2220u, 2300u, 3300u, 3500u, 3567u}) {
        EXPECT_EQ(written[i], record[i]) << "byte " << i;
    }
    EXPECT_EQ(EncodeSettings(back), written);
}

TEST(SettingsRecord, TextThatDoesNotFitIsWrittenEmptyNotCut) {
    Settings s = DefaultSettings(TestEnvironment());
    s.SymbolFile = "/" + std::string(260, 'x');  // 261 characters
    s.PatternFile = std::string(260, 'p');       // exactly fits
    Settings back = DecodeSettings(EncodeSettings(s));
    EXPECT_EQ(back.SymbolFile, "");
    EXPECT_EQ(back.PatternFile, std::string(260, 'p'));
}

TEST(SettingsRecord, TextWithoutTerminatorReadsEmpty) {
    std::vector<uint8_t> record = EncodeSettings(DefaultSettings(TestEnvironment()));
    std::memset(record.data() + 1566, 'a', 261);
    EXPECT_EQ(DecodeSettings(record).PatternFile, "");
}

TEST(SettingsRecord, OnlyTheExactSizeDecodes) {
    EXPECT_THROW(DecodeSettings(std::vector<uint8_t>(3567)), CindralError);
    EXPECT_THROW(DecodeSettings(std::vector<uint8_t>(3569)), CindralError);
}

// A settings folder with the two library files present.
class SettingsFolder {
  public:
    SettingsFolder() {
        WriteFileBytes(Pattern(), {1, 2, 3});
        WriteFileBytes(Symbol(), {4, 5, 6});
    }
    std::string Path() const { return dir.File("viewer.Cn2"); }
    std::string Pattern() const { return dir.File("QuenUtil.Pat"); }
    std::string Symbol() const { return dir.File("QuenUtil.Sym"); }
    SettingsEnvironment Environment() const { return TestEnvironment(dir.path() + "/"); }
    std::vector<uint8_t> GoodRecord() const {
        Settings s = DefaultSettings(Environment());
        s.UnitsPerPage = 321.0;  // a choice the user made, to see what survives
        return EncodeSettings(s);
    }
    TempDir dir;
};

void PutF64(std::vector<uint8_t>& r, size_t offset, double v) {
    ByteWriter w;
    w.F64(v);
    std::memcpy(r.data() + offset, w.bytes().data(), 8);
}

void PutI32(std::vector<uint8_t>& r, size_t offset, int32_t v) {
    ByteWriter w;
    w.I32(v);
    std::memcpy(r.data() + offset, w.bytes().data(), 4);
}

void PutText(std::vector<uint8_t>& r, size_t offset, const std::string& text) {
    std::memset(r.data() + offset, 0, 261);
    std::memcpy(r.data() + offset, text.data(), text.size());
}

struct BadFileCase {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> spoil;
    std::function<void(const Settings&, const SettingsFolder&)> check;
    bool keeps_user_choice;  // the untouched custom page length survives
};

class SettingsBadFile : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(SettingsBadFile, KeepsABackupUsesWhatIsUsableAndTellsTheUserOnce) {
    const BadFileCase& c = GetParam();
    SettingsFolder folder;
    std::vector<uint8_t> bad = folder.GoodRecord();
    c.spoil(bad);
    WriteFileBytes(folder.Path(), bad);
    RecordingUi ui;
    ScopedUi scoped(ui);

    Settings s = LoadSettings(folder.Path(), folder.Environment());

    EXPECT_EQ(ReadFileBytes(folder.Path() + ".bak"), bad);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
    EXPECT_NE(ui.messages[0].text.find(folder.Path() + ".bak"), std::string::npos);
    c.check(s, folder);
    EXPECT_EQ(s.UnitsPerPage, c.keeps_user_choice ? 321.0 : 100.0);
    // The repaired record is on disk, so the next start is quiet.
    EXPECT_EQ(ReadFileBytes(folder.Path()), EncodeSettings(s));
    RecordingUi second;
    ScopedUi again(second);
    LoadSettings(folder.Path(), folder.Environment());
    EXPECT_TRUE(second.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsBadFile,
    ::testing::Values(
        BadFileCase{"Short", [](auto& r) { r.resize(99); },
                    [](const Settings& s, const auto&) { EXPECT_EQ(s.DefaultPageLength, 10.5); },
                    false},
        BadFileCase{"Empty", [](auto& r) { r.clear(); },
                    [](const Settings& s, const auto&) { EXPECT_EQ(s.WindowTop, -999); }, false},
        BadFileCase{"Long", [](auto& r) { r.resize(4000, 7); },
                    [](const Settings& s, const auto&) { EXPECT_EQ(s.ExportQuality, 80); }, false},
        BadFileCase{"NegativePageLength", [](auto& r) { PutF64(r, 2160, -11.0); },
                    [](const Settings& s, const auto&) {
                        EXPECT_EQ(s.DefaultPageLength, 10.5);
                        EXPECT_EQ(s.DefaultPageWidth, 8.0);
                    },
                    true},
        BadFileCase{"NaNPageWidth",
                    [](auto& r) { PutF64(r, 2168, std::numeric_limits<double>::quiet_NaN()); },
                    [](const Settings& s, const auto&) { EXPECT_EQ(s.DefaultPageWidth, 8.0); },
                    true},
        BadFileCase{"UnknownOrientation", [](auto& r) { r[2176] = 7; },
                    [](const Settings& s, const auto&) { EXPECT_EQ(s.PrinterOrientation, 0); },
                    true},
        BadFileCase{"MissingPatternLibrary",
                    [](auto& r) { PutText(r, 1566, "/nonexistent/Gone.Pat"); },
                    [](const Settings& s, const SettingsFolder& f) {
                        EXPECT_EQ(s.PatternFile, f.Pattern());
                        EXPECT_EQ(s.SymbolFile, f.Symbol());
                    },
                    true},
        BadFileCase{
            "UnterminatedSymbolLibrary", [](auto& r) { std::memset(r.data() + 1827, 'q', 261); },
            [](const Settings& s, const SettingsFolder& f) { EXPECT_EQ(s.SymbolFile, f.Symbol()); },
            true},
        BadFileCase{"ZeroCustomPageLength", [](auto& r) { PutF64(r, 2224, 0.0); },
                    [](const Settings&, const auto&) {}, false},
        BadFileCase{"ZeroDepthUnitsPerInch", [](auto& r) { PutF64(r, 3320, 0.0); },
                    [](const Settings& s, const auto&) { EXPECT_EQ(s.DepthUnitsPerInch, 50.0); },
                    true},
        BadFileCase{"NegativeWindowWidth", [](auto& r) { PutI32(r, 2208, -40); },
                    [](const Settings& s, const auto&) { EXPECT_EQ(s.WindowWidth, 768); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadSettings, AFirstStartWritesTheDefaultsQuietly) {
    SettingsFolder folder;
    RecordingUi ui;
    ScopedUi scoped(ui);
    Settings s = LoadSettings(folder.Path(), folder.Environment());
    EXPECT_EQ(ReadFileBytes(folder.Path()).size(), 3568u);
    EXPECT_EQ(ReadFileBytes(folder.Path()), EncodeSettings(DefaultSettings(folder.Environment())));
    EXPECT_EQ(s.WindowTop, kWindowNotPlaced);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + ".bak"));
}

TEST(LoadSettings, AGoodFileIsReadAsItIsAndLeftAlone) {
    SettingsFolder folder;
    std::vector<uint8_t> good = folder.GoodRecord();
    good[3500] = 0x5A;  // another program's byte
    WriteFileBytes(folder.Path(), good);
    RecordingUi ui;
    ScopedUi scoped(ui);
    Settings s = LoadSettings(folder.Path(), folder.Environment());
    EXPECT_EQ(s.UnitsPerPage, 321.0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + ".bak"));
    EXPECT_EQ(ReadFileBytes(folder.Path()), good);
    EXPECT_EQ(EncodeSettings(s), good);
}

TEST(LoadSettings, AFileThatCannotBeReadIsNeitherReplacedNorBackedUp) {
    SettingsFolder folder;
    std::filesystem::create_directory(folder.Path());  // a folder where the file should be
    RecordingUi ui;
    ScopedUi scoped(ui);
    Settings s = LoadSettings(folder.Path(), folder.Environment());
    EXPECT_EQ(s.UnitsPerPage, 100.0);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path()));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + ".bak"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("Unable to read the settings file"), std::string::npos);
}

TEST(ReadSettingsFile, NeverWritesAnything) {
    SettingsFolder folder;
    std::vector<uint8_t> bad(10, 1);
    WriteFileBytes(folder.Path(), bad);
    SettingsReading reading = ReadSettingsFile(folder.Path(), folder.Environment());
    EXPECT_EQ(reading.state, SettingsFileState::WrongSize);
    EXPECT_EQ(ReadFileBytes(folder.Path()), bad);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + ".bak"));
    EXPECT_EQ(ReadSettingsFile(folder.dir.File("none.Cn2"), folder.Environment()).state,
              SettingsFileState::Missing);
    EXPECT_FALSE(std::filesystem::exists(folder.dir.File("none.Cn2")));
}

std::vector<std::string> FolderEntries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SaveSettings, AWriteThatFailsHalfWayLeavesThePreviousFileIntact) {
    SettingsFolder folder;
    std::vector<uint8_t> previous = folder.GoodRecord();
    WriteFileBytes(folder.Path(), previous);
    std::vector<std::string> before = FolderEntries(folder.dir.path());

    Settings changed = DecodeSettings(previous);
    changed.WindowTop = 99;
    // A file size limit makes the write fail after 1000 bytes, as a full disk would.
    struct rlimit old_limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old_limit;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(SaveSettings(changed, folder.Path()), IoError);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(ReadFileBytes(folder.Path()), previous);
    EXPECT_EQ(FolderEntries(folder.dir.path()), before);  // no temporary file left behind
}

TEST(SaveSettings, ReplacesTheFileWhole) {
    SettingsFolder folder;
    WriteFileBytes(folder.Path(), std::vector<uint8_t>(5000, 9));
    Settings s = DefaultSettings(folder.Environment());
    SaveSettings(s, folder.Path());
    EXPECT_EQ(ReadFileBytes(folder.Path()), EncodeSettings(s));
}

TEST(SaveSettings, AnUnwritableFolderRaisesAnIoError) {
    Settings s = DefaultSettings(TestEnvironment());
    EXPECT_THROW(SaveSettings(s, "/nonexistent-folder/viewer.Cn2"), IoError);
}

}  // namespace
}  // namespace cindral
