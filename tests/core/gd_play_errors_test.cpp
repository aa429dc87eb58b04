// Broken logs through PlayCommands: every one stops the play with an error that names the file
// and the offset, draws what came before, leaves the file closed, and the next play works.

#include <gtest/gtest.h>

#include "core/base/errors.h"
#include "core/interpreter/gd_object.h"
#include "gd_test_support.h"
#include "gdx_fixtures.h"

namespace cindral {
namespace {

using testing::PlayFixture;
using testing::TestHeader;

std::vector<uint8_t> Payload(const CommandRecord& record) {
    ByteWriter out;
    EncodeCommand(record, out);
    return out.Take();
}

class Counter : public gd_object {
  public:
    using gd_object::gd_object;
    void DrawLine(const DrawLineRecord&) override { ++lines; }
    // Counts pictures whose bytes all arrived.
    void DrawPicture(const DrawPictureRecord&, const std::vector<uint8_t>& data) override {
        pictures += static_cast<int>(data == std::vector<uint8_t>(5000, 7));
    }
    int lines = 0;
    int pictures = 0;
};

TEST(PlayCommands, StopsCleanlyOnEveryMalformedFile) {
    // Each body starts with one good line, so the error comes after something was drawn.
    auto body = [](auto write) {
        GdxWriter w(TestHeader());
        w.Write(DrawLineRecord{1, 1, 0, 2, 2, 0});
        write(w);
        return w.Bytes();
    };
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* message;
        int lines_before;
    };
    // The first command follows the 118-byte header; the second starts at byte 170.
    const Row rows[] = {
        {"empty file", {}, "the file is empty", 0},
        {"unknown header code", testing::RawRecordStart(4660, 114, 114),
         "begins with record code 4660", 0},
        {"older authoring version", testing::RawRecordStart(9, 0, 0), "can't read GDX files", 0},
        {"truncated header", testing::RawRecordStart(301, 114, 20), "ends inside its header record",
         0},
        {"truncated command", body([](GdxWriter& w) {
             w.WriteRawBytes({10, 0, 48, 0, 1, 2, 3});
         }),
         "record code 10 at byte 170 is cut short", 1},
        {"frame cut short", body([](GdxWriter& w) {
             w.WriteRawBytes({4, 0});
         }),
         "ends inside a record frame at byte 170", 1},
        {"end of a point list past the end", body([](GdxWriter& w) {
             w.WriteRecord(13, Payload(PolyFillRecord()));
             w.WriteRawBytes({7, 0, 0xF4, 0x01, 1, 2});
         }),
         "record code 7 at byte", 1},
        {"picture larger than the file", body([](GdxWriter& w) {
             w.WriteRecord(103, Payload(DrawPictureRecord()));
             w.WriteRawBytes({0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3});
         }),
         "record code 103 at byte 170 has picture data of 2147483647 bytes", 1},
        {"negative picture size", body([](GdxWriter& w) {
             w.WriteRecord(206, Payload(DrawPictureStreamRecord()));
             w.WriteRawBytes({0, 0, 0x00, 0x00, 0x00, 0x80});
         }),
         "picture data of -2147483648 bytes", 1},
        {"text longer than the file", body([](GdxWriter& w) {
             w.WriteRecord(1023, Payload(DrawFormattedTextRecord()));
             w.WriteRawBytes({0, 0, 0xFF, 0xFF, 'a', 0});
         }),
         "has a text of 65535 bytes that runs past the end", 1},
        {"box text past the end", body([](GdxWriter& w) {
             DrawTextBoxRecord box;
             box.TextLength = 40;
             w.WriteRecord(1021, Payload(box));
         }),
         "announces a text of 40 bytes but the file ends", 1},
        {"short point in a polygon", body([](GdxWriter& w) {
             w.WriteRecord(13, Payload(PolyFillRecord()));
             w.WriteRecord(12, std::vector<uint8_t>(4));
         }),
         "is a point of 4 bytes", 1},
    };
    PlayFixture f;
    Counter doc(f.Patterns(), f.Symbols());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteFileBytes(f.Log("bad.gdx"), row.bytes);
        doc.FileName = f.Log("bad.gdx");
        doc.lines = 0;
        try {
            doc.PlayCommands();
            ADD_FAILURE() << "played";
        } catch (const IoError& e) {
            std::string message = e.what();
            EXPECT_NE(message.find(f.Log("bad.gdx")), std::string::npos) << message;
            EXPECT_NE(message.find(row.message), std::string::npos) << message;
        }
        EXPECT_FALSE(doc.IsOpen);
        EXPECT_EQ(doc.lines, row.lines_before);
    }

    // The same document then plays a sound file to its end, picture included.
    GdxWriter good(TestHeader());
    GdxCommand picture{DrawPictureRecord()};
    picture.data = std::vector<uint8_t>(5000, 7);
    good.Write(picture);
    good.Write(DrawLineRecord{1, 1, 0, 2, 2, 0});
    good.Save(f.Log());
    doc.FileName = f.Log();
    doc.lines = 0;
    doc.PlayCommands();
    EXPECT_EQ(doc.lines, 1);
    EXPECT_EQ(doc.pictures, 1);
    EXPECT_FALSE(doc.IsOpen);
}

TEST(PlayCommands, AnErrorInsideAPrimitiveClosesTheFileToo) {
    PlayFixture f;
    testing::WriteSymbolLibrary(f.Symbols(), 100, testing::TestGlyphs());
    GdxWriter w(TestHeader());
    DrawStrokeTextRecord text;
    text.text = "z";  // beyond a symbol library of 100 records
    text.charWidth = text.charHeight = 1;
    w.Write(text);
    w.Save(f.Log());
    gd_object doc(f.Patterns(), f.Symbols());
    doc.FileName = f.Log();
    EXPECT_THROW(doc.PlayCommands(), CindralError);
    EXPECT_FALSE(doc.IsOpen);
}

TEST(PlayCommands, AMissingFileIsReportedByName) {
    PlayFixture f;
    gd_object doc(f.Patterns(), f.Symbols());
    doc.FileName = f.Log("missing.gdx");
    try {
        doc.PlayCommands();
        ADD_FAILURE() << "played";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.gdx"), std::string::npos);
    }
    EXPECT_FALSE(doc.IsOpen);
}

}  // namespace
}  // namespace cindral
