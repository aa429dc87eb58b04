// The paging options and page numbers mean the same in every command: a page outside the log
// and an interval the interval dialog would refuse are refusals (exit 1) with the same
// message, and what a command reports follows the options it was given.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>

#include "cli_run.h"
#include "document_states.h"
#include "render/document/log_document.h"

namespace cindral {
namespace {

using testing::CliRun;

std::string Sample() {
    return "'" + testing::BinDir() + "/samples/sample.gdx'";
}

TEST(CliPaging, EveryCommandRefusesTheSameWay) {
    const std::string out = "-o '" + ::testing::TempDir() + "paging.png'";
    struct Row {
        std::string options;
        const char* message;
    };
    // The sample runs from -1000 down to -1600 on 4 pages.
    const Row rows[] = {
        {"--page 9", "Page 9 is beyond the log's 4 pages."},
        {"--interval -1100 -1000",
         "The Starting Depth (-1100) must be greater than the Ending Depth (-1000)"},
        {"--interval 1000 500", "The Starting Depth (1000) is higher than the log's top (-1000)"},
        {"--interval -1100 -1700", "The Ending Depth (-1700) is lower than the log's base (-1600)"},
    };
    for (const char* command : {"info", "render", "trace"}) {
        for (const Row& row : rows) {
            const bool paged = row.options.rfind("--page ", 0) == 0;
            if (paged && std::string(command) == "info") continue;
            const std::string args = std::string(command) + " " + Sample() + " " + row.options +
                                     (std::string(command) == "render" ? " " + out : "");
            SCOPED_TRACE(args);
            CliRun run = testing::RunCli(args);
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
            EXPECT_TRUE(run.out.empty());
        }
    }
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The table of states the log document is tested over (tests/document_states.h), through
// `--interval` and `--page-length`: `info` counts the pages the document lays out, `render`
// draws the last of them as the document does and refuses the one after it.
class CliDocumentStates : public ::testing::TestWithParam<testing::DocumentState> {};

TEST_P(CliDocumentStates, InfoAndRenderPageAsTheDocumentDoes) {
    const testing::DocumentState& state = GetParam();
    testing::TempDir dir;
    const std::string log = dir.File("log.gdx");
    testing::WriteStatesLog(log, testing::kFirstVersion);
    std::string options = " --dpi " + std::to_string(testing::kStatesDpi);
    if (state.interval) {
        options +=
            " --interval " + Number(state.interval->first) + " " + Number(state.interval->second);
    }
    if (state.page_length) options += " --page-length " + Number(*state.page_length);
    const int pages = state.first.pages;

    CliRun info = testing::RunCli("info '" + log + "'" + options);
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Pages:        " + std::to_string(pages) + " (at 100 dpi)"),
              std::string::npos)
        << info.out;
    EXPECT_EQ(info.out.find("Interval:     top " + Number(state.first.top) + ", bottom " +
                            Number(state.first.bottom)) != std::string::npos,
              bool(state.interval))
        << info.out;
    EXPECT_NE(info.out.find(state.page_length
                                ? "Page length:  " + Number(*state.page_length) + " depth units"
                                : std::string("Page length:  by page size")),
              std::string::npos)
        << info.out;

    const std::string png = dir.File("last.png");
    CliRun last = testing::RunCli("render '" + log + "'" + options + " --page " +
                                  std::to_string(pages) + " -o '" + png + "'");
    ASSERT_EQ(last.status, 0) << last.err;
    LogDocumentOptions opening;
    opening.files.pattern_file = testing::BinDir() + "/QuenUtil.Pat";
    opening.files.symbol_file = testing::BinDir() + "/QuenUtil.Sym";
    LogDocument document(log, opening, testing::kStatesDpi);
    if (state.page_length) document.SetPageLength(true, *state.page_length);
    if (state.interval) document.SetInterval(state.interval->first, state.interval->second);
    EXPECT_TRUE(QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32) ==
                document.RenderPage(pages - 1));

    const std::string past = dir.File("past.png");
    CliRun beyond = testing::RunCli("render '" + log + "'" + options + " --page " +
                                    std::to_string(pages + 1) + " -o '" + past + "'");
    EXPECT_EQ(beyond.status, 1);
    EXPECT_NE(beyond.err.find("Page " + std::to_string(pages + 1) + " is beyond the log's " +
                              std::to_string(pages) + (pages == 1 ? " page." : " pages.")),
              std::string::npos)
        << beyond.err;
    EXPECT_FALSE(std::filesystem::exists(past));
}

INSTANTIATE_TEST_SUITE_P(Table, CliDocumentStates, ::testing::ValuesIn(testing::kDocumentStates),
                         [](const auto& info) { return testing::StateName(info.param); });

}  // namespace
}  // namespace cindral
