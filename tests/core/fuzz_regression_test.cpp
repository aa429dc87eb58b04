// Inputs with which the fuzz targets once found a fault (tests/fuzz/log): each one is either
// refused with the reader's IoError or plays every page to the end. The fuzz tree replays
// the same files under clang's sanitizers, which also see float-to-integer overflows.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>

#include "core/base/errors.h"
#include "core/base/whole_file.h"
#include "core/format/file_object.h"
#include "core/format/gdx_reader.h"
#include "fuzz/play_log.h"
#include "gd_test_support.h"

namespace cindral {
namespace {

namespace fs = std::filesystem;

long PlayEveryPage(const std::string& path, const testing::PlayFixture& f) {
    const std::vector<uint8_t> raw = ReadFileBytes(path);
    return fuzz::PlayLogPages(path, std::make_shared<const FileBytes>(raw.begin(), raw.end()),
                              f.Patterns(), f.Symbols());
}

TEST(FuzzRegressions, EveryKeptInputIsRefusedOrPlaysToTheEnd) {
    testing::PlayFixture f;
    int inputs = 0;
    for (const auto& entry : fs::directory_iterator(testing::SourceDir() + "/tests/fuzz/log")) {
        ++inputs;
        try {
            EXPECT_GE(PlayEveryPage(entry.path().string(), f), 1) << entry.path();
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find(entry.path().string()), std::string::npos)
                << "a refusal names the file: " << e.what();
        }
    }
    EXPECT_GE(inputs, 2);
}

}  // namespace
}  // namespace cindral

namespace cindral {
namespace {

// Angles so large that a degree no longer changes them once stepped forever; an arc draws
// at most one turn of chords whatever its angles.
TEST(FuzzRegressions, AnArcWithHugeAnglesDrawsAtMostOneTurn) {
    const std::pair<double, double> angles[] = {
        {-3.09e175, 0}, {0, 1e300}, {-1e308, 1e308}, {1e12, 1e12 + 90}, {5e15, -5e15}};
    testing::PlayFixture f;
    for (const auto& [start, end] : angles) {
        SCOPED_TRACE(::testing::Message() << start << " .. " << end);
        GdxWriter w(testing::TestHeader());
        w.Write(DrawArcRecord{50, -50, 10, start, end});
        w.Save(f.Log());
        const std::vector<std::string> lines = testing::TraceLines(f, f.Log(), false);
        const auto chords = std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.find("DrawLine(") != std::string::npos;
        });
        EXPECT_GE(chords, 1);
        EXPECT_LE(chords, 362);
    }
}

}  // namespace
}  // namespace cindral
