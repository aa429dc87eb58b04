// Runs the real cindral-cli binary on real files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <limits>
#include <regex>

#include "cli_run.h"
#include "core/format/gdx_header.h"
#include "core/format/gdx_writer.h"
#include "gdx_fixtures.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

using testing::CliRun;

CliRun Cli(const std::string& args, const std::string& cwd = ".") {
    return testing::RunCli(args, cwd);
}

std::string Sample() {
    return testing::BinDir() + "/samples/sample.gdx";
}

GdxHeader PageHeader() {
    return testing::LetterPageHeader(-1000, -1600);
}

long JsonInteger(const std::string& json, const std::string& key) {
    std::smatch m;
    if (!std::regex_search(json, m, std::regex("\"" + key + "\": (-?[0-9]+)"))) return -999;
    return std::stol(m[1]);
}

TEST(CliInfo, PrintsTheJsonContract) {
    CliRun r = Cli("info '" + Sample() + "' --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"version\": 301, \"header\": {\"MinX\": ", 0), 0u) << r.out;
    for (const char* name :
         {"MinX", "MaxX", "BottomDepth", "TopDepth", "FirstHeaderHeight", "NextHeaderHeight",
          "FooterHeight", "BandGap", "RepeatBands", "PageHeight", "PageWidth", "XUnitsPerInch",
          "DepthUnitsPerInch", "ElevationDatum", "CustomPageLength", "UnitsPerPage"}) {
        EXPECT_NE(r.out.find("\"" + std::string(name) + "\": "), std::string::npos) << name;
    }
    EXPECT_GT(JsonInteger(r.out, "pages"), 1);
    // The code counts add up to the command count.
    long commands = JsonInteger(r.out, "commands");
    std::smatch codes;
    ASSERT_TRUE(std::regex_search(r.out, codes, std::regex("\"codes\": \\{([^}]*)\\}\\}\n$")));
    std::string list = codes[1];
    long sum = 0;
    int distinct = 0;
    std::regex pair("\"(-?[0-9]+)\": ([0-9]+)");
    for (std::sregex_iterator it(list.begin(), list.end(), pair), end; it != end; ++it) {
        sum += std::stol((*it)[2]);
        ++distinct;
    }
    EXPECT_EQ(sum, commands);
    EXPECT_GE(distinct, 40);  // the sample uses nearly every command
}

TEST(CliInfo, CountsCommandsNotTheRecordsThatBelongToThem) {
    TempDir dir;
    GdxWriter w(PageHeader());
    GdxCommand line{DrawPolylineRecord()};
    line.points = {{1, -1000}, {2, -1100}, {3, -1200}};
    w.Write(line);
    GdxCommand box{DrawTextBoxRecord()};
    box.text = "text";
    w.Write(box);
    w.WriteRecord(777, {1, 2, 3});
    w.Save(dir.File("small.gdx"));
    CliRun r = Cli("info '" + dir.File("small.gdx") + "' --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"commands\": 3, \"codes\": {\"14\": 1, \"777\": 1, \"1021\": 1}}"),
              std::string::npos)
        << r.out;
}

TEST(CliInfo, PagingOptionsChangeThePageCountNotTheHeader) {
    CliRun plain = Cli("info '" + Sample() + "' --json");
    CliRun custom = Cli("info '" + Sample() + "' --json --page-length 50");
    CliRun fine = Cli("info '" + Sample() + "' --json --dpi 300");
    CliRun interval = Cli("info '" + Sample() + "' --json --interval -1000 -1010");
    ASSERT_EQ(plain.status, 0);
    EXPECT_GT(JsonInteger(custom.out, "pages"), JsonInteger(plain.out, "pages"));
    EXPECT_EQ(JsonInteger(custom.out, "CustomPageLength"), 0);
    EXPECT_EQ(JsonInteger(fine.out, "pages"), JsonInteger(plain.out, "pages"));
    EXPECT_EQ(JsonInteger(interval.out, "pages"), 1);
}

TEST(CliInfo, PrintsAReadableSummary) {
    CliRun r = Cli("info '" + Sample() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* line : {"Version:      301", "Page:         8.5 x 11 in",
                             "Pages:        ", "Commands:     ", "DrawPolyline"}) {
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
    }
}

TEST(CliInfo, ReadsAReadOnlyLogAndTheCommittedSample) {
    TempDir dir;
    std::vector<uint8_t> bytes = ReadFileBytes(Sample());
    WriteFileBytes(dir.File("ro.gdx"), bytes);
    testing::MakeReadOnly(dir.File("ro.gdx"));
    EXPECT_EQ(Cli("info '" + dir.File("ro.gdx") + "'").status, 0);
    // The committed copy is the generator's output, byte for byte.
    EXPECT_EQ(ReadFileBytes(testing::SourceDir() + "/data/samples/sample.gdx"), bytes);
}

TEST(CliInfo, RefusesBadFilesWithTheirMessageAndExitStatus1) {
    auto header_only = [](auto change) {
        GdxWriter w(PageHeader());
        change(w.header());
        return w.Bytes();
    };
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* message;
    };
    const Row rows[] = {
        {"empty", {}, "the file is empty"},
        {"two bytes", {1, 2}, "only 2 bytes long"},
        {"first code 9", testing::RawRecordStart(9, 114, 114),
         "Borneth 2001 can't read GDX files created by older versions of Borneth.\r\n\r\n"
         "Please recompile your log in Borneth 2001"},
        {"unknown first code", testing::RawRecordStart(77, 114, 114),
         "Unknown compiled log version:"},
        {"header length", testing::RawRecordStart(301, 100, 100),
         "is 100 bytes long; this header version has 114"},
        {"truncated header", testing::RawRecordStart(300, 105, 10),
         "ends inside its header record"},
        {"NaN page height",
         header_only([](GdxHeader& h) { h.PageHeight = std::numeric_limits<double>::quiet_NaN(); }),
         "PageHeight is not a number"},
        {"negative units", header_only([](GdxHeader& h) { h.XUnitsPerInch = -100; }),
         "XUnitsPerInch is -100"},
    };
    TempDir dir;
    TempDir elsewhere;  // the error table is found beside the program, not here
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteFileBytes(dir.File("bad.gdx"), row.bytes);
        CliRun r = Cli("info '" + dir.File("bad.gdx") + "' --json", elsewhere.path());
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(dir.File("bad.gdx")), std::string::npos) << r.err;
        EXPECT_EQ(ReadFileBytes(dir.File("bad.gdx")), row.bytes);
    }
    CliRun missing = Cli("info '" + dir.File("none.gdx") + "'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos);
}

TEST(CliInfo, UsageErrorsExitWith2) {
    const char* rows[] = {"info",
                          "info a.gdx b.gdx",
                          "info SAMPLE --dpi 0",
                          "info SAMPLE --dpi abc",
                          "info SAMPLE --dpi",
                          "info SAMPLE --verbose",
                          "info SAMPLE --page-length -5"};
    for (std::string args : rows) {
        SCOPED_TRACE(args);
        auto at = args.find("SAMPLE");
        if (at != std::string::npos) args.replace(at, 6, "'" + Sample() + "'");
        CliRun r = Cli(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage: cindral-cli info FILE [--json] [--dpi R]"), std::string::npos)
            << r.err;
    }
}

}  // namespace
}  // namespace cindral
