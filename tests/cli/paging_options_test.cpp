// The paging options and page numbers mean the same in every command: a page outside the log
// and an interval the interval dialog would refuse are refusals (exit 1) with the same
// message, and what a command reports follows the options it was given.

#include <gtest/gtest.h>

#include "cli_run.h"

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

TEST(CliPaging, InfoReportsThePagingItCounted) {
    CliRun run = testing::RunCli("info " + Sample() + " --page-length 100 --interval -1000 -1300");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Page length:  100 depth units per page"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Interval:     top -1000, bottom -1300"), std::string::npos);
    EXPECT_NE(run.out.find("Pages:        3 (at 96 dpi)"), std::string::npos);
}

}  // namespace
}  // namespace cindral
