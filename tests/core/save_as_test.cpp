#include "core/environment/save_as.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "recording_ui.h"
#include "temp_dir.h"

namespace cindral {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempDir;

std::vector<uint8_t> Bytes(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
    return bytes;
}

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Names(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Files written by this process fail beyond `limit` bytes with EFBIG while it lives: a real
// failed write on any file system, for root too.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    sighandler_t previous_;
};

const auto kLog = Bytes(200000, 3);

TEST(CheckSaveName, AppendsOrQuestionsTheExtension) {
    struct Row {
        const char* typed;
        const char* path;
        bool ask;
    };
    const Row rows[] = {
        {"/logs/well", "/logs/well.gdx", false},
        {"/logs/well.", "/logs/well.gdx", false},
        {"/logs/well.gdx", "/logs/well.gdx", false},
        {"/logs/well.GDX", "/logs/well.GDX", false},
        {"/logs.old/well", "/logs.old/well.gdx", false},
        {"/logs/well.txt", "/logs/well.txt", true},
        {"/logs/well.gdx.bak", "/logs/well.gdx.bak", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        SaveNameCheck check = CheckSaveName(row.typed, "gdx");
        EXPECT_EQ(check.path, row.path);
        EXPECT_EQ(check.ask_extension, row.ask);
    }
    EXPECT_EQ(CheckSaveName("/logs/well.txt", "gdx").question,
              "well.txt has an invalid file extension.\r\n\r\nDo you want to save anyway?");
}

TEST(SaveLogAs, CopiesToANewNameAndReplacesAnOldOne) {
    TempDir dir;
    Write(dir.File("log.gdx"), kLog);
    Write(dir.File("old.gdx"), Bytes(10, 1));
    for (const char* name : {"new.gdx", "old.gdx"}) {
        SCOPED_TRACE(name);
        RecordingUi ui;
        SaveAsResult result = SaveLogAs(dir.File("log.gdx"), dir.File(name), ui);
        EXPECT_TRUE(result.saved);
        EXPECT_EQ(result.document_file, dir.File(name));
        EXPECT_EQ(ReadFileBytes(dir.File(name)), kLog);
        EXPECT_TRUE(ui.messages.empty());
    }
    EXPECT_EQ(ReadFileBytes(dir.File("log.gdx")), kLog);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"log.gdx", "new.gdx", "old.gdx"}));
}

TEST(SaveLogAs, OntoItsOwnNameKeepsExactlyOneFile) {
    TempDir dir;
    Write(dir.File("log.gdx"), kLog);
    RecordingUi ui;
    SaveAsResult result = SaveLogAs(dir.File("log.gdx"), dir.path() + "/./log.gdx", ui);
    EXPECT_TRUE(result.saved);
    EXPECT_EQ(ReadFileBytes(dir.File("log.gdx")), kLog);
    EXPECT_EQ(Names(dir), std::vector<std::string>{"log.gdx"});
    EXPECT_TRUE(ui.messages.empty());
}

TEST(SaveLogAs, AnotherNameOfTheSameFileIsNotTruncated) {
    TempDir dir;
    Write(dir.File("log.gdx"), kLog);
    fs::create_hard_link(dir.File("log.gdx"), dir.File("link.gdx"));
    fs::create_symlink(dir.File("log.gdx"), dir.File("sym.gdx"));
    for (const char* name : {"link.gdx", "sym.gdx"}) {
        RecordingUi ui;
        SaveAsResult result = SaveLogAs(dir.File("log.gdx"), dir.File(name), ui);
        EXPECT_TRUE(result.saved);
        EXPECT_EQ(ReadFileBytes(dir.File("log.gdx")), kLog);
        EXPECT_EQ(ReadFileBytes(dir.File(name)), kLog);
    }
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"link.gdx", "log.gdx", "sym.gdx"}));
}

TEST(SaveLogAs, NeverOverwritesAUsersBackupNamedFile) {
    TempDir dir;
    Write(dir.File("log.gdx"), kLog);
    const auto theirs = Bytes(50, 9);
    Write(dir.File("log.~BN"), theirs);
    RecordingUi ui;
    EXPECT_TRUE(SaveLogAs(dir.File("log.gdx"), dir.File("log.gdx"), ui).saved);
    EXPECT_EQ(ReadFileBytes(dir.File("log.~BN")), theirs);
    EXPECT_EQ(ReadFileBytes(dir.File("log.gdx")), kLog);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"log.gdx", "log.~BN"}));
}

TEST(SaveLogAs, FailedWriteLeavesTheLogAndTheTargetAsTheyWere) {
    TempDir dir;
    Write(dir.File("log.gdx"), kLog);
    const auto old = Bytes(10, 1);
    Write(dir.File("old.gdx"), old);
    for (const char* target : {"new.gdx", "old.gdx", "log.gdx"}) {
        SCOPED_TRACE(target);
        RecordingUi ui;
        SaveAsResult result;
        {
            FileSizeLimit limit(4096);
            result = SaveLogAs(dir.File("log.gdx"), dir.File(target), ui);
        }
        EXPECT_FALSE(result.saved);
        EXPECT_EQ(result.document_file, dir.File("log.gdx"));
        EXPECT_EQ(ReadFileBytes(dir.File("log.gdx")), kLog);
        EXPECT_EQ(ReadFileBytes(dir.File("old.gdx")), old);
        EXPECT_EQ(Names(dir), (std::vector<std::string>{"log.gdx", "old.gdx"}));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
        EXPECT_EQ(ui.messages[0].text.rfind("Unable to save file to " + dir.File(target), 0), 0u);
        EXPECT_NE(ui.messages[0].text.find("The log is unchanged in " + dir.File("log.gdx")),
                  std::string::npos);
    }
}

TEST(SaveLogAs, MissingFolderIsReportedNotRaised) {
    TempDir dir;
    Write(dir.File("log.gdx"), kLog);
    RecordingUi ui;
    SaveAsResult result = SaveLogAs(dir.File("log.gdx"), dir.File("none/x.gdx"), ui);
    EXPECT_FALSE(result.saved);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("No such file or directory"), std::string::npos);
}

}  // namespace
}  // namespace cindral
