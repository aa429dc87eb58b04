#include "core/format/gdx_header.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/base/errors.h"
#include "core/format/file_object.h"
#include "core/format/gdx_reader.h"
#include "core/format/gdx_writer.h"
#include "temp_dir.h"

namespace cindral {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

GdxHeader Sample(int version = kHeaderCode) {
    GdxHeader h;
    h.MinX = -1.5;
    h.MaxX = 800;
    h.BottomDepth = -1600;
    h.TopDepth = -1000;
    h.FirstHeaderHeight = 2;
    h.NextHeaderHeight = 0.75;
    h.FooterHeight = 0.5;
    h.BandGap = 0.1;
    h.RepeatBands = 1;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 20;
    h.ElevationDatum = 350;
    h.CustomPageLength = 1;
    h.UnitsPerPage = 150;
    h.version = version;
    return h;
}

// A log with a few commands after its header, in the given header layout.
std::vector<uint8_t> LogBytes(int version) {
    GdxWriter w(Sample(version));
    DrawLineRecord line;
    line.x1 = 10;
    line.x2 = 20;
    w.Write(line);
    GdxCommand poly{DrawPolylineRecord()};
    poly.points = {{1, 2}, {3, 4}};
    w.Write(poly);
    return w.Bytes();
}

std::vector<uint8_t> Body(const std::vector<uint8_t>& file, size_t header_length) {
    return std::vector<uint8_t>(file.begin() + 4 + header_length, file.end());
}

TEST(GdxHeaderCodec, LaysOutBothVersionsByteForByte) {
    ByteWriter current;
    EncodeHeaderRecord(Sample(), current);
    ASSERT_EQ(current.size(), 4u + 114u);
    const auto& b = current.bytes();
    EXPECT_EQ(b[0] | b[1] << 8, 301);
    EXPECT_EQ(b[2] | b[3] << 8, 114);
    ByteReader in(current.bytes());
    in.Seek(4 + 64);
    EXPECT_EQ(in.U8(), 1);    // RepeatBands
    EXPECT_EQ(in.F64(), 11);  // PageHeight at 65
    EXPECT_EQ(in.F64(), 8.5);
    in.Seek(4 + 97);
    EXPECT_EQ(in.F64(), 350);  // ElevationDatum
    EXPECT_EQ(in.U8(), 1);     // CustomPageLength at 105
    EXPECT_EQ(in.F64(), 150);  // UnitsPerPage at 106

    ByteWriter old;
    EncodeHeaderRecord(Sample(kOldHeaderCode), old);
    ASSERT_EQ(old.size(), 4u + 105u);
    EXPECT_EQ(old.bytes()[0] | old.bytes()[1] << 8, 300);
    // The older layout is the current one cut after ElevationDatum.
    EXPECT_TRUE(
        std::equal(old.bytes().begin() + 4, old.bytes().end(), current.bytes().begin() + 4));
}

TEST(GdxHeaderRead, ReadsBothVersions) {
    TempDir dir;
    WriteFileBytes(dir.File("new.gdx"), LogBytes(kHeaderCode));
    WriteFileBytes(dir.File("old.gdx"), LogBytes(kOldHeaderCode));

    GdxHeader h = ReadHeaderFromFile(dir.File("new.gdx"), 77);
    EXPECT_EQ(h.version, 301);
    EXPECT_EQ(h.CustomPageLength, 1);
    EXPECT_EQ(h.UnitsPerPage, 150);
    EXPECT_EQ(h.MinX, -1.5);  // the writer keeps a range that already covers its x values
    EXPECT_EQ(h.ElevationDatum, 350);

    GdxHeader o = ReadHeaderFromFile(dir.File("old.gdx"), 77);
    EXPECT_EQ(o.version, 300);
    EXPECT_EQ(o.CustomPageLength, 0);
    EXPECT_EQ(o.UnitsPerPage, 77);  // the application's default page length
    EXPECT_EQ(o.PageHeight, 11);
    EXPECT_EQ(o.TopDepth, -1000);

    file_object f;
    f.FileName = dir.File("old.gdx");
    f.OpenRead();
    ReadHeader(f);
    EXPECT_EQ(f.Position(), 4 + 105);  // left at the first command
}

TEST(GdxHeaderRead, ARefusedFileIsClosed) {
    TempDir dir;
    WriteFileBytes(dir.File("nine.gdx"), {9, 0, 0, 0});
    file_object f;
    f.FileName = dir.File("nine.gdx");
    f.OpenRead();
    try {
        ReadHeader(f);
        ADD_FAILURE() << "accepted";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(kObsoleteFileMessage, 0), 0u);
    }
    EXPECT_FALSE(f.IsOpen);
}

TEST(GdxHeaderWriteBack, RewritesACurrentHeaderAndKeepsEveryCommandByte) {
    TempDir dir;
    std::string path = dir.File("log.gdx");
    std::vector<uint8_t> before = LogBytes(kHeaderCode);
    WriteFileBytes(path, before);
    GdxHeader h = ReadHeaderFromFile(path);
    h.CustomPageLength = 0;
    h.UnitsPerPage = 250;
    WriteHeader(path, h);
    std::vector<uint8_t> after = ReadFileBytes(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(Body(after, 114), Body(before, 114));
    GdxHeader back = ReadHeaderFromFile(path);
    EXPECT_EQ(back.CustomPageLength, 0);
    EXPECT_EQ(back.UnitsPerPage, 250);
    EXPECT_EQ(back.TopDepth, -1000);
}

TEST(GdxHeaderWriteBack, StoresAnEmptyExtentAsZero) {
    TempDir dir;
    std::string path = dir.File("log.gdx");
    WriteFileBytes(path, LogBytes(kHeaderCode));
    GdxHeader h = ReadHeaderFromFile(path);
    h.BottomDepth = 1e27;
    h.TopDepth = -1e27;
    WriteHeader(path, h);
    GdxHeader back = ReadHeaderFromFile(path);
    EXPECT_EQ(back.BottomDepth, 0);
    EXPECT_EQ(back.TopDepth, 0);
}

TEST(GdxHeaderWriteBack, ConvertsAnOlderHeaderWithoutTouchingACommand) {
    TempDir dir;
    std::string path = dir.File("old.gdx");
    std::vector<uint8_t> before = LogBytes(kOldHeaderCode);
    WriteFileBytes(path, before);
    ::chmod(path.c_str(), 0640);
    GdxHeader h = ReadHeaderFromFile(path);
    h.CustomPageLength = 1;
    h.UnitsPerPage = 42;
    WriteHeader(path, h);

    std::vector<uint8_t> after = ReadFileBytes(path);
    EXPECT_EQ(after.size(), before.size() + 9);
    EXPECT_EQ(Body(after, 114), Body(before, 105));
    GdxHeader back = ReadHeaderFromFile(path);
    EXPECT_EQ(back.version, 301);
    EXPECT_EQ(back.UnitsPerPage, 42);
    EXPECT_EQ(back.CustomPageLength, 1);
    GdxSummary summary = SummarizeFile(path);
    EXPECT_EQ(summary.commands, 2);
    struct stat info {};
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // Nothing but the log is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(GdxHeaderWriteBack, LeavesAReadOnlyFileAsItWas) {
    for (int version : {kHeaderCode, kOldHeaderCode}) {
        SCOPED_TRACE(version);
        TempDir dir;
        std::string path = dir.File("ro.gdx");
        std::vector<uint8_t> before = LogBytes(version);
        WriteFileBytes(path, before);
        if (!testing::MakeReadOnly(path)) GTEST_SKIP() << "cannot make a file read-only here";
        GdxHeader h = ReadHeaderFromFile(path);  // reading still works
        h.UnitsPerPage = 5;
        for (auto write :
             {+[](const std::string&p, const GdxHeader&x) { WriteHeader(p, x); },
              +[](const std::string&p, const GdxHeader&) { StorePageSize(p, 14, 8.5); }}) {
            try {
                write(path, h);
                ADD_FAILURE() << "wrote a read-only file";
            } catch (const IoError& e) {
                std::string message = e.what();
                EXPECT_NE(message.find("The header of \"" + path +
                                       "\" cannot be written back: the file is read-only"),
                          std::string::npos)
                    << message;
                EXPECT_NE(message.find("The file was not changed."), std::string::npos);
            }
        }
        EXPECT_EQ(ReadFileBytes(path), before);
    }
}

TEST(GdxHeaderWriteBack, RefusesValuesThatWouldMakeTheFileUnreadable) {
    TempDir dir;
    std::string path = dir.File("log.gdx");
    std::vector<uint8_t> before = LogBytes(kHeaderCode);
    WriteFileBytes(path, before);
    GdxHeader h = ReadHeaderFromFile(path);
    h.PageHeight = 0;
    EXPECT_THROW(WriteHeader(path, h), IoError);
    EXPECT_THROW(StorePageSize(path, -1, 8.5), IoError);
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST(StorePageSize, ChangesOnlyThePageSizeInEitherLayout) {
    for (int version : {kHeaderCode, kOldHeaderCode}) {
        SCOPED_TRACE(version);
        TempDir dir;
        std::string path = dir.File("log.gdx");
        std::vector<uint8_t> before = LogBytes(version);
        WriteFileBytes(path, before);
        StorePageSize(path, 14, 8.25);
        std::vector<uint8_t> after = ReadFileBytes(path);
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < after.size(); ++i) {
            if (i < 4 + 65 || i >= 4 + 81) {
                EXPECT_EQ(after[i], before[i]) << "byte " << i;
            }
        }
        GdxHeader back = ReadHeaderFromFile(path);
        EXPECT_EQ(back.PageHeight, 14);
        EXPECT_EQ(back.PageWidth, 8.25);
        EXPECT_EQ(back.version, version);
    }
}

}  // namespace
}  // namespace cindral
