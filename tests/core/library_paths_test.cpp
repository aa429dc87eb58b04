// Choosing between the configured library file and the program's own copy.

#include "core/libraries/library_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "temp_dir.h"

namespace cindral {
namespace {

TEST(ResolveLibraryPath, FallsBackToTheProgramsCopyOnlyWhenTheConfiguredFileIsMissing) {
    testing::TempDir dir;
    std::string user = dir.File("user"), program = dir.File("program");
    std::filesystem::create_directories(user);
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(user + "/Folder.Pat");
    for (const std::string& f : {user + "/Own.Pat", program + "/QuenUtil.Pat", program + "/Own.Pat",
                                 program + "/Folder.Pat"}) {
        std::ofstream(f) << "x";
    }
    struct Row {
        std::string configured;
        std::string program_directory;
        std::string chosen;
        bool fallback;
    } rows[] = {
        {user + "/Own.Pat", program, user + "/Own.Pat", false},
        {user + "/QuenUtil.Pat", program, program + "/QuenUtil.Pat", true},
        {user + "/QuenUtil.Pat", program + "/", program + "/QuenUtil.Pat", true},
        {user + "/Gone.Pat", program, user + "/Gone.Pat", false},  // neither exists
        {user + "/Folder.Pat", program, program + "/Folder.Pat", true},
        {"QuenUtil.Pat", program, program + "/QuenUtil.Pat", true},  // relative, not in cwd
        {user + "/QuenUtil.Pat", "", user + "/QuenUtil.Pat", false},
        {"", program, "", false},
        {user + "/", program, user + "/", false},
    };
    for (const Row& row : rows) {
        ResolvedLibrary r = ResolveLibraryPath(row.configured, row.program_directory);
        EXPECT_EQ(r.path, row.chosen) << row.configured << " | " << row.program_directory;
        EXPECT_EQ(r.from_program_directory, row.fallback) << row.configured;
    }
}

}  // namespace
}  // namespace cindral
