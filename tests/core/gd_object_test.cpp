// The interpreter: what PlayCommands reads, keeps and calls, and how it survives a broken file.

#include "core/interpreter/gd_object.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/base/errors.h"
#include "gd_test_support.h"

namespace cindral {
namespace {

using testing::PlayFixture;
using testing::TestHeader;
using testing::TraceLines;

// Counts the lines it is asked to draw and keeps the last one.
class LineCounter : public gd_object {
  public:
    using gd_object::gd_object;
    void DrawLine(const DrawLineRecord& r) override {
        ++lines;
        last = {r.x1, r.y1, r.x2, r.y2};
    }
    int lines = 0;
    std::array<double, 4> last{};
};

TEST(PlayCommands, AHeaderOnlyFilePlaysNothingAndClosesTheFile) {
    PlayFixture f;
    GdxWriter(TestHeader()).Save(f.Log());
    LineCounter doc(f.Patterns(), f.Symbols());
    doc.FileName = f.Log();
    doc.PlayCommands();
    EXPECT_EQ(doc.lines, 0);
    EXPECT_FALSE(doc.IsOpen);
    EXPECT_TRUE(TraceLines(f, f.Log()).empty());
}

TEST(PlayCommands, KeepsTheDepthIntervalTheApplicationSetAndReloadsTheRest) {
    PlayFixture f;
    GdxWriter(TestHeader()).Save(f.Log());
    gd_object doc(f.Patterns(), f.Symbols());
    doc.FileName = f.Log();
    doc.ReadHeader();
    doc.Close();
    doc.Header().BottomDepth = -150;
    doc.Header().TopDepth = -120;
    doc.Header().PageHeight = 99;
    doc.PlayCommands();
    EXPECT_EQ(doc.Header().BottomDepth, -150);
    EXPECT_EQ(doc.Header().TopDepth, -120);
    EXPECT_EQ(doc.Header().PageHeight, 11);
}

TEST(PlayCommands, TheDipSymbolSizeFactorOutlivesThePlay) {
    PlayFixture f;
    GdxWriter w(TestHeader());
    w.Write(SymbolSizeRecord{0.05});
    w.Write(DipSymbolRecord{50, 0, 90, 10});
    w.Save(f.Log());
    LineCounter doc(f.Patterns(), f.Symbols());
    doc.FileName = f.Log();
    doc.PlayCommands();
    EXPECT_EQ(doc.SymbolSizeFactor(), 0.05);
    // The strike line of azimuth 90 spans twice the half-length (MaxX - MinX) * 0.05.
    LineCounter second(f.Patterns(), f.Symbols());
    second.Header() = TestHeader();
    second.SetSymbolSizeFactor(doc.SymbolSizeFactor());
    second.DipSymbol(50, 0, 90, 10);
    EXPECT_EQ(second.lines, 2 + 2);  // strike, tick and the two digits of "10"
    doc.PlayCommands();
    EXPECT_EQ(doc.SymbolSizeFactor(), 0.05);
}

TEST(PlayCommands, AnUnknownCodeBetweenTwoCommandsIsSkipped) {
    PlayFixture f;
    GdxWriter w(TestHeader());
    w.Write(DrawLineRecord{1, 1, 0, 2, 2, 0});
    w.WriteRecord(777, std::vector<uint8_t>(300, 0xAB));
    w.Write(DrawLineRecord{3, 3, 0, 4, 4, 0});
    w.Save(f.Log());
    LineCounter doc(f.Patterns(), f.Symbols());
    doc.FileName = f.Log();
    doc.PlayCommands();
    EXPECT_EQ(doc.lines, 2);
    EXPECT_EQ(doc.last, (std::array<double, 4>{3, 3, 4, 4}));
}

TEST(DefaultPrimitives, ACircleOnALineOnlyTargetIs361Chords) {
    PlayFixture f;
    LineCounter doc(f.Patterns(), f.Symbols());
    doc.DrawCircle(DrawCircleRecord{0, 0, 10});
    EXPECT_EQ(doc.lines, 361);
    // The closing chord has no length: it ends where the last step ended.
    EXPECT_NEAR(doc.last[0], doc.last[2], 1e-9);
    EXPECT_NEAR(doc.last[1], doc.last[3], 1e-9);
}

TEST(DefaultPrimitives, MeasuringStrokeTextDrawsNothingAndSetsTheExtent) {
    PlayFixture f;
    LineCounter doc(f.Patterns(), f.Symbols());
    // 'A' rises to 10 of 13 units over 4 of 5; "AA" is one advance of 1.2 widths longer.
    StrokeTextSize size = doc.MeasureStrokeText(90, "AA", 5, 13);
    EXPECT_EQ(doc.lines, 0);
    EXPECT_DOUBLE_EQ(size.height, 10);
    EXPECT_DOUBLE_EQ(size.width, 6 + 4);
    EXPECT_DOUBLE_EQ(doc.TextExtent().MinX, 0);

    doc.MeasureStrokeText(90, "", 5, 13);
    EXPECT_EQ(doc.TextExtent().MinX, 1e27);
    EXPECT_EQ(doc.TextExtent().MaxY, -1e27);

    // Blanks advance but add nothing to the extent; markers neither draw nor advance.
    size = doc.MeasureStrokeText(90, " `|A", 5, 13);
    EXPECT_DOUBLE_EQ(doc.TextExtent().MinX, 6);
    EXPECT_DOUBLE_EQ(doc.TextExtent().MinY, -6.5);  // lowered by half a character height

    // Only the first 60 characters count.
    size = doc.MeasureStrokeText(90, std::string(70, 'A'), 5, 13);
    EXPECT_DOUBLE_EQ(size.width, 59 * 6 + 4);
}

TEST(DefaultPrimitives, StrokeTextFailsWithTheLibraryMessageBeyondTheFont) {
    PlayFixture f;
    testing::WriteSymbolLibrary(f.Symbols(), 100, testing::TestGlyphs());
    gd_object doc(f.Patterns(), f.Symbols());
    EXPECT_NO_THROW(doc.DrawStrokeText(DrawStrokeTextRecord{0, 0, 0, 1, 1, 90, "A"}, true));
    try {
        doc.DrawStrokeText(DrawStrokeTextRecord{0, 0, 0, 1, 1, 90, "Az"}, true);  // 'z' is 122
        ADD_FAILURE() << "accepted";
    } catch (const CindralError& e) {
        EXPECT_STREQ(e.what(), "Error 1037, Loading Symbol = 122");
    }
}

TEST(DefaultPrimitives, APolygonFillUsesAtMostItsFirst25Vertices) {
    PlayFixture f;
    LineCounter doc(f.Patterns(), f.Symbols());
    std::vector<PointRecord> points;
    for (int i = 0; i < 40; ++i) {
        double a = i * 2 * 3.14159265358979 / 40;
        points.push_back({10 * std::cos(a), 10 * std::sin(a)});
    }
    doc.PolyFill(PolyFillRecord{251, 1, 1, 1}, points);  // outline only
    EXPECT_EQ(doc.lines, 25);
    doc.lines = 0;
    doc.PolyFill(PolyFillRecord{251, 1, 1, 1}, {{0, 0}, {1, 1}});  // fewer than three: nothing
    EXPECT_EQ(doc.lines, 0);
}

TEST(DefaultPrimitives, PatternFillStaysInsideThePolygon) {
    PlayFixture f;
    struct Inside : gd_object {
        using gd_object::gd_object;
        void DrawLine(const DrawLineRecord& r) override {
            ++lines;
            // The triangle (0,0) (20,0) (0,20) holds every point with x + y <= 20; the inside
            // test allows a thousandth of a triangle's area.
            for (auto [x, y] : {std::pair{r.x1, r.y1}, std::pair{r.x2, r.y2}}) {
                if (x < -0.01 || y < -0.01 || x + y > 20.01) ++outside;
            }
        }
        int lines = 0, outside = 0;
    } doc(f.Patterns(), f.Symbols());
    doc.PolyFill(PolyFillRecord{2, 1, 1, 0}, {{0, 0}, {20, 0}, {0, 20}});
    EXPECT_GT(doc.lines, 10);
    EXPECT_EQ(doc.outside, 0);
}

TEST(Header, CreateFileStartsANewHeaderAndKeepsTheUnits) {
    PlayFixture f;
    gd_object doc(f.Patterns(), f.Symbols(), 250);
    doc.FileName = f.Log();
    doc.Header().XUnitsPerInch = 100;
    doc.Header().DepthUnitsPerInch = 20;
    doc.Header().BandGap = 0.5;
    doc.Header().MaxX = 77;
    doc.Header().PageHeight = 11;
    doc.CreateFile();
    doc.Close();
    EXPECT_EQ(doc.Header().MaxX, -1e27);
    EXPECT_EQ(doc.Header().PageHeight, 0);
    EXPECT_EQ(doc.Header().UnitsPerPage, 250);
    std::vector<uint8_t> bytes = testing::ReadFileBytes(f.Log());
    ASSERT_EQ(bytes.size(), 4u + kHeaderLength);
    ByteReader in(bytes);
    in.Skip(4);
    GdxHeader stored = DecodeHeaderPayload(in, kHeaderCode, 0);
    EXPECT_EQ(stored.BandGap, 0.5);
    EXPECT_EQ(stored.XUnitsPerInch, 100);
    EXPECT_EQ(stored.BottomDepth, 1e27);
    EXPECT_EQ(stored.UnitsPerPage, 250);
}

TEST(Header, WritingBackAHeaderWithoutVerticalExtentStoresZeroDepths) {
    PlayFixture f;
    GdxHeader empty = TestHeader();
    empty.BottomDepth = 1e27;
    empty.TopDepth = -1e27;
    GdxWriter w(empty);
    w.Write(DrawLineRecord{1, 1, 0, 2, 2, 0});
    w.Save(f.Log());
    gd_object doc(f.Patterns(), f.Symbols());
    doc.FileName = f.Log();
    doc.ReadHeader();
    doc.Header().CustomPageLength = 1;
    doc.Header().UnitsPerPage = 40;
    doc.WriteHeader();
    EXPECT_FALSE(doc.IsOpen);
    EXPECT_EQ(doc.Header().BottomDepth, 0);
    gd_object again(f.Patterns(), f.Symbols());
    again.FileName = f.Log();
    again.ReadHeader();
    again.Close();
    EXPECT_EQ(again.Header().TopDepth, 0);
    EXPECT_EQ(again.Header().BottomDepth, 0);
    EXPECT_EQ(again.Header().UnitsPerPage, 40);
    EXPECT_EQ(again.Header().PageHeight, 11);
}

TEST(Header, AMissingLibraryFailsTheConstruction) {
    PlayFixture f;
    EXPECT_THROW(gd_object(f.Patterns(), f.Symbols() + ".missing"), CindralError);
    EXPECT_THROW(gd_object(f.Patterns() + ".missing", f.Symbols()), CindralError);
}

}  // namespace
}  // namespace cindral
