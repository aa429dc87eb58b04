#include "core/format/file_object.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "core/base/errors.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    file_object f;
    f.FileName = path;
    f.OpenWrite();
    f.WriteBlock(bytes.data(), bytes.size());
    f.Close();
}

TEST(FileObject, StartsClosedWithItsItemSizes) {
    file_object f;
    EXPECT_FALSE(f.IsOpen);
    EXPECT_EQ(f.LongSize, 4);
    EXPECT_EQ(f.DoubleSize, 8);
    EXPECT_EQ(f.ShortSize, 2);
    f.Close();  // harmless when never opened
}

TEST(FileObject, WriteRecordAppendsCodeLengthAndData) {
    TempDir dir;
    file_object f;
    f.FileName = dir.File("r.bin");
    f.OpenWrite();
    uint8_t data = 0xAB;
    f.WriteRecord(7, &data, 1);
    f.WriteShort(-2);
    f.Close();
    EXPECT_EQ(ReadFileBytes(dir.File("r.bin")),
              (std::vector<uint8_t>{0x07, 0x00, 0x01, 0x00, 0xAB, 0xFE, 0xFF}));
}

TEST(FileObject, ReadsItemsAndSkipsQuietlyAtTheEnd) {
    TempDir dir;
    Write(dir.File("r.bin"), {0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 9, 8, 7});
    file_object f;
    f.FileName = dir.File("r.bin");
    f.OpenRead();
    EXPECT_EQ(f.FileSize, 9);
    EXPECT_EQ(f.ReadShort(), 0x1234);
    EXPECT_EQ(f.ReadLong(), -2);
    f.ReadBlock(nullptr, 0);
    f.SkipBytes(0);
    EXPECT_EQ(f.Position(), 6);
    EXPECT_EQ(f.ReadToMemoryBlock(1), std::vector<uint8_t>{9});
    f.SkipBytes(100);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Position(), 9);
    f.Close();
    EXPECT_FALSE(f.IsOpen);
}

TEST(FileObject, FailuresNameTheFile) {
    TempDir dir;
    Write(dir.File("short.bin"), {1, 2, 3});
    struct Row {
        const char* name;
        std::string file;
        void (*action)(file_object&);
        const char* message;
    };
    const Row rows[] = {
        {"missing file", dir.File("none.gdx"), [](file_object& f) { f.OpenRead(); },
         "cannot open the file for reading (No such file or directory)"},
        {"folder", dir.path(), [](file_object& f) { f.OpenRead(); }, "is a folder"},
        {"read past the end", dir.File("short.bin"),
         [](file_object& f) {
             f.OpenRead();
             f.ReadLong();
         },
         "read beyond the end of the file at byte 0 (4 bytes wanted, 3 present)"},
        {"block larger than the file", dir.File("short.bin"),
         [](file_object& f) {
             f.OpenRead();
             f.ReadToMemoryBlock(2000000000);
         },
         "a block of 2000000000 bytes at byte 0 runs past the end of the file"},
        {"reading a closed file", dir.File("short.bin"), [](file_object& f) { f.ReadShort(); },
         "the file is not open"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        file_object f;
        f.FileName = row.file;
        try {
            row.action(f);
            ADD_FAILURE() << "no error";
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + row.file + "\""), std::string::npos)
                << e.what();
            EXPECT_NE(std::string(e.what()).find(row.message), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(ReadFileBytes(dir.File("short.bin")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(FileObject, OpensReadOnlyFilesForReading) {
    TempDir dir;
    Write(dir.File("ro.gdx"), {1, 0, 2, 0});
    if (!testing::MakeReadOnly(dir.File("ro.gdx")))
        GTEST_SKIP() << "cannot make a file read-only here";
    file_object f;
    f.FileName = dir.File("ro.gdx");
    f.OpenRead();
    EXPECT_EQ(f.ReadShort(), 1);
    f.Close();
    file_object w;
    w.FileName = dir.File("ro.gdx");
    EXPECT_THROW(w.OpenUpdate(), IoError);
}

// Writes one 16-byte record with the file size limited to 8 bytes; exits 3 when the writer
// reports the full disk.
void WriteIntoAFullDisk(const std::string& path) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{8, 8};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    file_object f;
    f.FileName = path;
    f.OpenWrite();
    std::vector<uint8_t> data(12, 1);
    try {
        f.WriteRecord(10, data.data(), 12);
    } catch (const IoError& e) {
        // stderr is held to the same size limit, so the verdict travels in the exit code.
        std::string message = e.what();
        bool right = message.rfind("Not enough disk space. (\"" + path + "\" at byte 0)", 0) == 0;
        std::exit(right ? 3 : 4);
    }
    std::exit(0);
}

TEST(FileObject, AShortWriteStopsTheWriterWithTheDiskSpaceMessage) {
    TempDir dir;
    EXPECT_EXIT(WriteIntoAFullDisk(dir.File("full.gdx")), ::testing::ExitedWithCode(3), "");
}

}  // namespace
}  // namespace cindral
