// cindral-cli find on the committed sample: the matches' lines and the JSON that must say the
// same (read back by Python's json module), the options, and the exit statuses.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "core/base/whole_file.h"
#include "temp_dir.h"

namespace cindral {
namespace {

std::string Sample() {
    return "'" + testing::BinDir() + "/samples/sample.gdx'";
}

std::vector<std::vector<std::string>> Rows(const std::string& text, char separator) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, separator);) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

// The JSON matches as "page|where|x|text|match|inside", where is the depth to two decimals
// or the band, and inside says whether x lies in the box.
const char kJsonReader[] = R"(
import json, sys
for m in json.load(open(sys.argv[1], encoding='utf-8')):
    where = '%.2f' % m['depth'] if m['band'] == 'data' else m['band']
    b = m['box']
    inside = b['left'] <= m['x'] < b['right'] and b['top'] < b['bottom']
    print('|'.join([str(m['page']), where, '%.2f' % m['x'], m['text'], m['match'], str(inside)]))
)";

struct FindCase {
    const char* args;  // after "find SAMPLE"
    int status;
    // Each match's page, band (or "data" for a depth) and whole string, in order.
    std::vector<std::vector<std::string>> matches;
    const char* err;  // in standard error
};

const FindCase kCases[] = {
    {"Glenmore",
     0,
     {{"1", "header", "Field: Glenmore East"}, {"1", "data", "Top Glenmore Sandstone"}},
     ""},
    {"glenmore --case", 0, {}, "no matches"},
    {"Glen --word", 0, {}, "no matches"},
    {"'the  viewer' --word",
     0,
     {{"1", "header",
       "Remarks: sample log for testing the viewer. Lithology from cuttings, curves synthetic. "
       "Not for operational use."}},
     ""},
    {"'Sample Well 7-12'",
     0,
     {{"1", "header", "Cindral Sample Well 7-12  -  Composite Log"},
      {"2", "header", "Sample Well 7-12 (continued)"},
      {"3", "header", "Sample Well 7-12 (continued)"},
      {"4", "header", "Sample Well 7-12 (continued)"}},
     ""},
    {"", 2, {}, "needs a FILE and the TEXT"},
    {"'  '", 2, {}, "not blank"},
    {"shale --bogus", 2, {}, "--bogus"},
};

class CliFind : public ::testing::TestWithParam<FindCase> {};

TEST_P(CliFind, PrintsEachMatchOnALineAndTheSameInJson) {
    const FindCase& c = GetParam();
    const testing::CliRun text = testing::RunCli("find " + Sample() + " " + c.args);
    EXPECT_EQ(text.status, c.status) << text.err;
    EXPECT_NE(text.err.find(c.err), std::string::npos) << text.err;
    if (c.status != 0) {
        EXPECT_EQ(text.out, "");
        return;
    }
    const std::vector<std::vector<std::string>> lines = Rows(text.out, '\t');
    ASSERT_EQ(lines.size(), c.matches.size()) << text.out;
    for (size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), 4u) << text.out;
        EXPECT_EQ(lines[i][0], c.matches[i][0]);
        if (c.matches[i][1] == "data") {
            EXPECT_NE(lines[i][1].find('.'), std::string::npos) << lines[i][1];
            EXPECT_NO_THROW(std::stod(lines[i][1]));
        } else {
            EXPECT_EQ(lines[i][1], c.matches[i][1]);
        }
        EXPECT_EQ(lines[i][3], c.matches[i][2]);
    }
    if (c.matches.empty()) EXPECT_EQ(text.out, "");

    // The JSON says the same of each match, and its box holds the match's x.
    const testing::CliRun json = testing::RunCli("find " + Sample() + " " + c.args + " --json");
    EXPECT_EQ(json.status, 0);
    if (c.matches.empty()) {
        EXPECT_EQ(json.out, "");
        return;
    }
    testing::TempDir dir;
    WriteFileBytes(dir.File("out.json"), std::vector<uint8_t>(json.out.begin(), json.out.end()));
    WriteFileBytes(dir.File("read.py"),
                   std::vector<uint8_t>(std::begin(kJsonReader), std::end(kJsonReader) - 1));
    std::string read;
    FILE* pipe = ::popen(
        ("python3 '" + dir.File("read.py") + "' '" + dir.File("out.json") + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) read.append(buffer, n);
    ::pclose(pipe);
    const std::vector<std::vector<std::string>> objects = Rows(read, '|');
    ASSERT_EQ(objects.size(), lines.size()) << json.out;
    for (size_t i = 0; i < objects.size(); ++i) {
        ASSERT_EQ(objects[i].size(), 6u) << read;
        EXPECT_EQ(objects[i][0] + objects[i][1] + objects[i][2] + objects[i][3],
                  lines[i][0] + lines[i][1] + lines[i][2] + lines[i][3]);
        EXPECT_EQ(objects[i][5], "True") << read;
    }
}

INSTANTIATE_TEST_SUITE_P(Sample, CliFind, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(CliFind, ARefusedFileExitsWith1) {
    testing::TempDir dir;
    WriteFileBytes(dir.File("bad.gdx"), {1, 2, 3});
    for (const std::string& file : {dir.File("bad.gdx"), dir.File("missing.gdx")}) {
        const testing::CliRun run = testing::RunCli("find '" + file + "' shale");
        EXPECT_EQ(run.status, 1) << file;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
}

}  // namespace
}  // namespace cindral
