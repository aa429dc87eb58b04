// cindral-cli render --pages, run as the real binary: which files a page range and a name
// pattern give (and which command lines are refused before anything is written), and that
// every page drawn in a batch, on several threads, is the page a one-page run draws.

#include <gtest/gtest.h>

#include <QImage>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli_run.h"
#include "core/base/whole_file.h"
#include "core/format/gdx_writer.h"
#include "core/gd_test_support.h"
#include "gdx_fixtures.h"

namespace cindral {
namespace {

namespace fs = std::filesystem;
using testing::PlayFixture;

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

// Twelve letter pages at 20 units per inch, each with a line of its own slant and colour, so
// a page drawn in the place of another differs.
std::string TwelvePageLog(const PlayFixture& f) {
    const double page_units = 11 * 20;
    GdxWriter writer(testing::LetterPageHeader(0, -12 * page_units + 20));
    for (int page = 0; page < 12; ++page) {
        const double top = -page * page_units;
        writer.Write(SetColorRecord{uint32_t(0x101010 * (page + 1)) & 0xFFFFFF});
        writer.Write(DrawLineRecord{50.0 + 40 * page, top - 5, 0, 800.0 - 30 * page,
                                    top - page_units + 25, 0});
        writer.Write(DrawLineRecord{100, top - 10 * (page + 1), 0, 700, top - 10 * (page + 1), 0});
    }
    writer.Save(f.Log());
    return f.Log();
}

std::string Libraries(const PlayFixture& f) {
    return " --patterns '" + f.Patterns() + "' --symbols '" + f.Symbols() + "'";
}

struct Batch {
    const char* args;  // after FILE; names are relative to the output folder
    int status;
    std::set<std::string> written;  // the output folder afterwards (the stale files aside)
    const char* message;            // part of stderr, for a refusal
};

void PrintTo(const Batch& b, std::ostream* out) {
    *out << b.args;
}

class CliBatch : public ::testing::TestWithParam<Batch> {};

TEST_P(CliBatch, RangeAndNameGiveTheseFilesOrARefusalBeforeAnyIsWritten) {
    const Batch& b = GetParam();
    PlayFixture f;
    const std::string log = TwelvePageLog(f);
    testing::TempDir out;
    // Files from an earlier run: one the batch replaces, one it has nothing to do with.
    const std::vector<uint8_t> stale = {'o', 'l', 'd'};
    WriteFileBytes(out.File("p-2.png"), stale);
    WriteFileBytes(out.File("p-12.png"), stale);

    const testing::CliRun run =
        testing::RunCli("render '" + log + "' " + b.args + " --dpi 12" + Libraries(f), out.path());
    EXPECT_EQ(run.status, b.status) << run.err;
    EXPECT_NE(run.err.find(b.message), std::string::npos) << run.err;
    std::set<std::string> names = Names(out.path());
    const bool replaced = b.written.count("p-2.png") > 0;
    EXPECT_EQ(testing::ReadFileBytes(out.File("p-12.png")), stale);
    names.erase("p-12.png");
    if (!replaced) {
        EXPECT_EQ(testing::ReadFileBytes(out.File("p-2.png")), stale);
        names.erase("p-2.png");
    }
    EXPECT_EQ(names, b.written);
    // Every file written is a whole picture of a page (12 dpi: 102 x 132).
    for (const std::string& name : b.written) {
        const QImage image(QString::fromStdString(out.File(name)));
        EXPECT_EQ(image.size(), QSize(102, 132)) << name;
    }
}

const Batch kBatches[] = {
    // Range forms.
    {"--pages 1-3 -o p-%d.png", 0, {"p-1.png", "p-2.png", "p-3.png"}, ""},
    {"--pages ' 4 - 5 ' -o p-%d.png", 0, {"p-4.png", "p-5.png"}, ""},
    {"--pages 7 -o one.png", 0, {"one.png"}, ""},
    {"--pages 7-7 -o p-%d.bmp", 0, {"p-7.bmp"}, ""},
    {"--pages all -j 3 -o a%d.jpg",
     0,
     {"a1.jpg", "a2.jpg", "a3.jpg", "a4.jpg", "a5.jpg", "a6.jpg", "a7.jpg", "a8.jpg", "a9.jpg",
      "a10.jpg", "a11.jpg", "a12.jpg"},
     ""},
    // Widths, as printf pads an int.
    {"--pages 9-10 -o p%03d.png", 0, {"p009.png", "p010.png"}, ""},
    {"--pages 10-11 -o p%1d.png", 0, {"p10.png", "p11.png"}, ""},
    {"--pages 9-10 -o 'p%3d.png'", 0, {"p  9.png", "p 10.png"}, ""},
    {"--pages 3-4 -o 'x%%-%d.PNG'", 0, {"x%-3.PNG", "x%-4.PNG"}, ""},
    // Refused on the command line: nothing written.
    {"--pages 1-3 -o p.png", 2, {}, "-o needs %d"},
    {"--pages all -o p.png", 2, {}, "-o needs %d"},
    {"--pages 0-2 -o p-%d.png", 2, {}, "--pages needs A-B with 1 <= A <= B"},
    {"--pages 3-2 -o p-%d.png", 2, {}, "--pages needs A-B with 1 <= A <= B"},
    {"--pages 2- -o p-%d.png", 2, {}, "--pages needs A-B, A or all"},
    {"--pages -2 -o p-%d.png", 2, {}, "--pages needs A-B, A or all"},
    {"--pages 1,3 -o p-%d.png", 2, {}, "--pages needs A-B, A or all"},
    {"--pages ALL -o p-%d.png", 2, {}, "--pages needs A-B, A or all"},
    {"--pages 1-2 -o p%s.png", 2, {}, "%d or %0Nd"},
    {"--pages 1-2 -o p%d-%d.png", 2, {}, "one page number only"},
    {"--pages 1-2 -o p%100d.png", 2, {}, "%d or %0Nd"},
    {"--pages 1-2 -o p%", 2, {}, "%d or %0Nd"},
    {"--page 1 --pages 1-2 -o p-%d.png", 2, {}, "cannot be given together"},
    {"--pages 1-2 -j 0 -o p-%d.png", 2, {}, "-j needs"},
    // Refused with the log in hand, before any page is drawn.
    {"--pages 11-13 -o p-%d.png", 1, {}, "Page 13 is beyond the log's 12 pages."},
    {"--pages 13-13 -o p.png", 1, {}, "Page 13 is beyond the log's 12 pages."},
    {"--pages 1-2 -o p-%d.gif", 1, {}, "Cannot render to p-%d.gif"},
};

// Test names from the command lines: letters and digits kept, the rest '_'.
INSTANTIATE_TEST_SUITE_P(Forms, CliBatch, ::testing::ValuesIn(kBatches), [](const auto& info) {
    std::string name = std::to_string(info.index) + "_";
    for (const char* c = info.param.args; *c; ++c) name += std::isalnum(*c) ? *c : '_';
    return name;
});

// Three threads against one page per run, at two resolutions and through a depth interval:
// the same pixels for every page.
TEST(CliBatchPictures, EveryPageIsThePixelsOfItsOneRunRender) {
    PlayFixture f;
    const std::string log = TwelvePageLog(f);
    for (const std::string options : {" --dpi 24", " --dpi 50 --interval -300 -2000"}) {
        SCOPED_TRACE(options);
        testing::TempDir out;
        const testing::CliRun batch = testing::RunCli(
            "render '" + log + "' --pages all -j 3 -o 'b-%02d.png'" + options + Libraries(f),
            out.path());
        ASSERT_EQ(batch.status, 0) << batch.err;
        const size_t pages = Names(out.path()).size();
        EXPECT_GE(pages, 8u);
        for (size_t page = 1; page <= pages; ++page) {
            char name[16];
            std::snprintf(name, sizeof name, "b-%02zu.png", page);
            const testing::CliRun one =
                testing::RunCli("render '" + log + "' --page " + std::to_string(page) +
                                    " -o one.png" + options + Libraries(f),
                                out.path());
            ASSERT_EQ(one.status, 0) << one.err;
            const QImage single(QString::fromStdString(out.File("one.png")));
            const QImage batched(QString::fromStdString(out.File(name)));
            ASSERT_FALSE(single.isNull());
            EXPECT_EQ(batched.convertToFormat(QImage::Format_RGB32),
                      single.convertToFormat(QImage::Format_RGB32))
                << name;
        }
    }
}

}  // namespace
}  // namespace cindral
