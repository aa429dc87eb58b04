// Every write path of core, made to fail at each system call it passes in turn (the file
// operations seam): the user's file must stay exactly as it was, no partial or temporary file
// may remain, and the failure must reach the caller. Without a fault each path must replace
// the file, flushed to disk, keeping its permissions.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <set>

#include "core/base/errors.h"
#include "core/base/file_operations.h"
#include "core/environment/display_options.h"
#include "core/environment/save_as.h"
#include "core/environment/settings.h"
#include "core/format/gdx_header.h"
#include "core/format/gdx_writer.h"
#include "fault_cause.h"
#include "gd_test_support.h"
#include "recording_ui.h"

namespace cindral {
namespace {

namespace fs = std::filesystem;
namespace ops = file_operations;
using ops::Step;

struct Outcome {
    bool told = false;  // an exception or a message reached the caller
    std::string text;
};

// A write path: prepares its files in `dir`, names the file the user would lose, writes.
struct WritePath {
    const char* name;
    std::function<std::string(const testing::TempDir&)> prepare;  // returns the user's file
    std::function<Outcome(const testing::TempDir&)> write;
};

std::vector<uint8_t> LogBytes(int version, double page_height) {
    GdxHeader h = testing::TestHeader();
    h.version = version;
    h.PageHeight = page_height;
    GdxWriter w(h);
    for (int i = 0; i < 3000; ++i) w.Write(DrawLineRecord{1.0 * i, -1, 2, -2});
    return w.Bytes();
}

Outcome Raised(const std::function<void()>& write) {
    try {
        write();
    } catch (const CindralError& e) {
        return {true, e.what()};
    }
    return {};
}

Outcome Shown(const std::function<void(Ui&)>& write) {
    RecordingUi ui;
    write(ui);
    bool error = !ui.messages.empty() && ui.messages[0].kind == MessageKind::Error;
    return {error, ui.messages.empty() ? "" : ui.messages[0].text};
}

SettingsEnvironment Environment(const testing::TempDir& dir) {
    SettingsEnvironment e;
    e.program_directory = dir.path() + "/";
    e.user_directory = dir.path() + "/";
    e.exe_base_name = "cindral";
    return e;
}

std::string Put(const testing::TempDir& dir, const std::string& name,
                const std::vector<uint8_t>& bytes, mode_t mode = 0640) {
    WriteFileBytes(dir.File(name), bytes);
    ::chmod(dir.File(name).c_str(), mode);
    return dir.File(name);
}

const WritePath kPaths[] = {
    {"SettingsSave",
     [](const testing::TempDir& d) {
         return Put(d, "cindral.Cn2", EncodeSettings(DefaultSettings(Environment(d))));
     },
     [](const testing::TempDir& d) {
         Settings s = DefaultSettings(Environment(d));
         s.RepeatedHeaderGap = 0.75;
         return Raised([&] { SaveSettings(s, d.File("cindral.Cn2")); });
     }},
    {"OptionsSave",
     [](const testing::TempDir& d) {
         return Put(d, "cindral.CN1", EncodeDisplayOptions(DefaultDisplayOptions()));
     },
     [](const testing::TempDir& d) {
         DisplayOptions o = DefaultDisplayOptions();
         o.DiagnosticStatusLayout = !o.DiagnosticStatusLayout;
         return Raised([&] { SaveDisplayOptions(o, d.File("cindral.CN1")); });
     }},
    {"SaveAsOverAnotherFile",
     [](const testing::TempDir& d) {
         Put(d, "log.gdx", LogBytes(kHeaderCode, 11));
         return Put(d, "copy.gdx", {1, 2, 3}, 0600);
     },
     [](const testing::TempDir& d) {
         return Shown([&](Ui& ui) { SaveLogAs(d.File("log.gdx"), d.File("copy.gdx"), ui); });
     }},
    {"SaveAsOntoItself",
     [](const testing::TempDir& d) { return Put(d, "log.gdx", LogBytes(kHeaderCode, 11)); },
     [](const testing::TempDir& d) {
         return Shown([&](Ui& ui) { SaveLogAs(d.File("log.gdx"), d.File("log.gdx"), ui); });
     }},
    {"HeaderWriteBack",
     [](const testing::TempDir& d) { return Put(d, "log.gdx", LogBytes(kHeaderCode, 11)); },
     [](const testing::TempDir& d) {
         GdxHeader h = ReadHeaderFromFile(d.File("log.gdx"));
         h.CustomPageLength = 1;
         h.UnitsPerPage = 55;
         return Raised([&] { WriteHeader(d.File("log.gdx"), h); });
     }},
    {"HeaderWriteBackOfAnOlderHeader",
     [](const testing::TempDir& d) { return Put(d, "log.gdx", LogBytes(kOldHeaderCode, 11)); },
     [](const testing::TempDir& d) {
         GdxHeader h = ReadHeaderFromFile(d.File("log.gdx"));
         h.UnitsPerPage = 55;
         return Raised([&] { WriteHeader(d.File("log.gdx"), h); });
     }},
    {"PageSizeWriteBack",
     [](const testing::TempDir& d) { return Put(d, "log.gdx", LogBytes(kOldHeaderCode, 11)); },
     [](const testing::TempDir& d) {
         return Raised([&] { StorePageSize(d.File("log.gdx"), 14, 8.5); });
     }},
};

std::set<std::string> Names(const testing::TempDir& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename());
    return names;
}

mode_t Mode(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

struct FaultKind {
    const char* name;
    ops::Fault fault;
};

const FaultKind kFaults[] = {
    {"NoTemporaryFile", {Step::Create, 1, EACCES, false}},
    {"ShortWrite", {Step::Write, 1, ENOSPC, true}},
    {"DiskFullAtFirstWrite", {Step::Write, 1, ENOSPC, false}},
    {"DiskFullAtLastWrite", {Step::Write, -1, ENOSPC, false}},
    {"FailedFsync", {Step::Sync, 1, EIO, false}},
    {"FailedClose", {Step::Close, 1, EIO, false}},
    {"FailedRename", {Step::Rename, 1, EXDEV, false}},
};

class WriteFaults : public ::testing::TestWithParam<WritePath> {
  protected:
    void TearDown() override { ops::ClearFault(); }
};

TEST_P(WriteFaults, AFailureAtAnyStepKeepsTheFileAndIsReported) {
    const WritePath& path = GetParam();
    for (const FaultKind& kind : kFaults) {
        SCOPED_TRACE(kind.name);
        testing::TempDir dir;
        const std::string file = path.prepare(dir);
        const std::vector<uint8_t> before = testing::ReadFileBytes(file);
        const mode_t mode = Mode(file);
        const std::set<std::string> names = Names(dir);
        ops::Fault fault = kind.fault;
        if (fault.nth < 0) {
            // Count the writes of a clean run on a copy of the same files first.
            testing::TempDir probe;
            path.prepare(probe);
            ops::InjectFault({Step::Write, INT_MAX, 0, false});
            path.write(probe);
            fault.nth = ops::Calls(Step::Write);
        }
        ops::InjectFault(fault);
        const Outcome outcome = path.write(dir);
        ops::ClearFault();
        EXPECT_TRUE(outcome.told) << "nobody is told of the failure";
        // The message names the cause, not the text of a later call's error.
        EXPECT_TRUE(testing::NamesCause(outcome.text, kind.fault.error)) << outcome.text;
        EXPECT_EQ(testing::ReadFileBytes(file), before) << outcome.text;
        EXPECT_EQ(Mode(file), mode);
        EXPECT_EQ(Names(dir), names) << "a partial or temporary file remains";
    }
}

TEST_P(WriteFaults, WithoutAFaultTheFileIsReplacedFlushedAndKeepsItsPermissions) {
    const WritePath& path = GetParam();
    testing::TempDir dir;
    const std::string file = path.prepare(dir);
    const std::vector<uint8_t> before = testing::ReadFileBytes(file);
    const std::set<std::string> names = Names(dir);
    // A fault that never fires counts the steps.
    ops::InjectFault({Step::Write, INT_MAX, 0, false});
    const Outcome outcome = path.write(dir);
    const int syncs = ops::Calls(Step::Sync);
    const int renames = ops::Calls(Step::Rename);
    ops::ClearFault();
    EXPECT_FALSE(outcome.told) << outcome.text;
    EXPECT_GE(syncs, 1) << "the new bytes are never flushed to disk";
    EXPECT_GE(renames, 1) << "the file is not replaced by rename";
    EXPECT_EQ(Names(dir), names);
    EXPECT_EQ(Mode(file), 0640u);
    if (std::string(path.name) != "SaveAsOntoItself") {
        EXPECT_NE(testing::ReadFileBytes(file), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, WriteFaults, ::testing::ValuesIn(kPaths),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SaveAs, TheCopyHasTheLogsPermissionsAndBytes) {
    testing::TempDir dir;
    for (mode_t mode : {0600u, 0640u, 0444u, 0755u}) {
        SCOPED_TRACE(mode);
        const std::string log = Put(dir, "log.gdx", LogBytes(kHeaderCode, 11), mode);
        RecordingUi ui;
        ASSERT_TRUE(SaveLogAs(log, dir.File("copy.gdx"), ui).saved);
        EXPECT_EQ(Mode(dir.File("copy.gdx")), mode);
        EXPECT_EQ(testing::ReadFileBytes(dir.File("copy.gdx")), testing::ReadFileBytes(log));
        ::chmod(log.c_str(), 0600);
        ::chmod(dir.File("copy.gdx").c_str(), 0600);
    }
}

}  // namespace
}  // namespace cindral
