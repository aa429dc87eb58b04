// Inputs with which the fuzz targets once found a fault (tests/fuzz/log): each one is either
// refused with the reader's IoError or plays every page to the end. The fuzz tree replays
// the same files under clang's sanitizers, which also see float-to-integer overflows.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>

#include "core/environment/errors.h"
#include "core/environment/whole_file.h"
#include "core/format/file_object.h"
#include "core/format/gdx_reader.h"
#include "core/interpreter/page_index.h"
#include "core/interpreter/trace_object.h"
#include "core/pages/page_layout.h"
#include "gd_test_support.h"

namespace cindral {
namespace {

namespace fs = std::filesystem;

// Plays every page of the log through the page index, then the whole file; the count of
// pages played.
long PlayEveryPage(const std::string& path, const testing::PlayFixture& f) {
    const std::vector<uint8_t> raw = ReadFileBytes(path);
    auto bytes = std::make_shared<const FileBytes>(raw.begin(), raw.end());
    file_object file;
    file.FileName = path;
    file.UseMemoryImage(bytes);
    file.OpenRead();
    const GdxHeader header = ReadHeader(file);
    // As a document opens a log: every record checked without decoding, then the index.
    const int64_t first_command = file.Position();
    GdxSummary counts;
    GdxReader(file).CountCommands(counts);
    file.Seek(first_command);
    const PageIndex index = PageIndex::Build(file, header);
    file.Close();
    const PageLayout layout = Paginate(header, kScreenPixelsPerInch);
    const double scale = kScreenPixelsPerInch / header.DepthUnitsPerInch;
    const PageBands bands =
        ComputePageBands(header, kScreenPixelsPerInch, layout.PageHeightPx, scale, 0.25);
    std::ostringstream sink;
    trace_object trace(sink, f.Patterns(), f.Symbols());
    trace.FileName = path;
    trace.UseMemoryImage(bytes);
    long played = 0;
    for (long page : {0L, 1L, layout.LastPage - 1, layout.LastPage}) {
        if (page < 0 || page > layout.LastPage) continue;
        PageGeometryInput in;
        in.DepthScale = bands.DepthScale;
        in.PageHeightPx = layout.PageHeightPx;
        in.CurrentPage = static_cast<int>(page);
        in.LastPage = static_cast<int>(layout.LastPage);
        in.HeaderMode = HeaderModeOf(header, static_cast<int>(page));
        const PageGeometry g = ComputePageGeometry(header, in);
        const PageDepthWindow w = DepthWindowOf(header, g, layout.PageHeightPx, bands.DepthScale,
                                                in.CurrentPage, in.LastPage, 2);
        const std::vector<int64_t> offsets =
            index.CommandsFor(PageSelection{w.top, w.bottom, g.HeaderMode, g.HasFooter});
        trace.SetPlaySelection(&offsets);
        trace.PlayCommands();
        ++played;
    }
    trace.SetPlaySelection(nullptr);
    trace.PlayCommands();
    return played;
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
