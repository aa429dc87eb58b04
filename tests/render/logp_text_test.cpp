// The raster renderer's text, symbol and picture primitives, on the trace canvas where the
// exact calls matter and on a QImage where the pixels do.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <filesystem>

#include "canvas_test_support.h"
#include "core/environment/settings.h"
#include "core/format/byte_codec.h"
#include "core/gd_test_support.h"
#include "recording_ui.h"
#include "render/canvas/qt_canvas.h"
#include "render/canvas/trace_canvas.h"
#include "render/pictures/picture_draw.h"
#include "render/pictures/picture_files.h"
#include "render/pictures/picture_log.h"
#include "render/renderers/logp_object.h"
#include "render/renderers/render_settings.h"

namespace cindral {
namespace {

using testing::PaintedBox;
using testing::PixelAt;

constexpr Color kRed = 0x0000FF;
constexpr Color kGrey = 0x808080;

// 100 pixels per inch, one unit one pixel. A 300 x 500 page whose data window is rows
// 50..450 (header and footer 50 rows each); depth d lies on row 50 + (1000 - d).
class TextPage : public ::testing::Test {
  protected:
    TextPage() {
        testing::WritePatternLibrary(dir.File("p.pat"), {});
        // Symbol 7: a cross of two strokes in tenths of the size.
        testing::WriteSymbolLibrary(dir.File("s.sym"), 326, {{7, {{-5, 0, 5, 0}, {0, -5, 0, 10}}}});
        doc = std::make_unique<logp_object>(dir.File("p.pat"), dir.File("s.sym"));
        GdxHeader& h = doc->Header();
        h.MaxX = 300;
        h.TopDepth = 1000;
        h.BottomDepth = 0;
        h.PageHeight = 5;
        h.PageWidth = 3;
        page.PixelsPerInch = 100;
        page.XScale = 1;
        page.DepthScale = 1;
        page.PageHeightPx = 500;
        page.PageWidthPx = 300;
        page.HeaderMode = Band::FirstHeader;
        page.DepthOriginPx = 50;
        page.DataTopPx = 50;
        page.DataBottomPx = 450;
        page.FooterTopPx = 450;
        page.HasFooter = true;
        SetPictureTempDirectory(temp.path());
        previous_sink = SetRenderNoteSink([this](const std::string& s) { notes.push_back(s); });
        ResetRenderNotes();
    }
    ~TextPage() override {
        SetRenderNoteSink(previous_sink);
        SetPictureTempDirectory("");
    }

    std::vector<std::string> Trace(const std::function<void(logp_object&)>& draw) {
        TraceCanvas canvas({100, 100, 300, 500, false});
        doc->Bind(canvas, page, options);
        draw(*doc);
        doc->Unbind();
        return canvas.lines();
    }
    QImage Draw(const std::function<void(logp_object&)>& draw) {
        QImage image = testing::WhiteImage(300, 500);
        {
            QtCanvas canvas(&image);
            doc->Bind(canvas, page, options);
            draw(*doc);
            doc->Unbind();
        }
        return image;
    }
    static std::vector<std::string> Texts(const std::vector<std::string>& trace) {
        std::vector<std::string> out;
        for (const std::string& line : trace) {
            if (line.rfind("ExtTextOut", 0) == 0) out.push_back(line);
        }
        return out;
    }

    testing::TempDir dir;
    testing::TempDir temp;
    std::unique_ptr<logp_object> doc;
    // Bound with the canvas of each drawing; its regions follow from the window below.
    PageGeometry page;
    RenderOptions options;
    std::vector<std::string> notes;
    RenderNoteSink previous_sink;
};

struct LabelRow {
    std::string text;
    std::string shown;
};

class Labels : public TextPage, public ::testing::WithParamInterface<LabelRow> {};

TEST_P(Labels, PageMarkersAreReplacedOnce) {
    page.Page = 2;
    page.LastPage = 11;
    const auto lines = Texts(Trace([&](logp_object& d) {
        d.DrawLabel(DrawLabelRecord{10, 1, 0, 0, GetParam().text, 1});
    }));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "ExtTextOut 10,100 options=0 \"" + GetParam().shown + "\"");
}

INSTANTIATE_TEST_SUITE_P(Texts, Labels,
                         ::testing::Values(LabelRow{"Page #p of #t", "Page 3 of 12"},
                                           LabelRow{"#p/#p", "3/#p"}, LabelRow{"#t", "12"},
                                           LabelRow{"plain", "plain"}));

TEST_F(TextPage, LabelsOutsideTheirBandAreNotDrawn) {
    // Region 2 is not this page's header; region 3 lands below the page.
    EXPECT_TRUE(Texts(Trace([](logp_object& d) {
                    d.DrawLabel(DrawLabelRecord{10, 1, 0, 0, "x", 2});
                })).empty());
    EXPECT_TRUE(Texts(Trace([](logp_object& d) {
                    d.DrawLabel(DrawLabelRecord{10, 0.6, 0, 0, "x", 3});
                })).empty());
    EXPECT_EQ(Texts(Trace([](logp_object& d) {
                  d.DrawLabel(DrawLabelRecord{10, 0.2, 0, 0, "x", 3});
              })).size(),
              1u);
}

TEST_F(TextPage, WrappedTextDrawsOnlyLinesEndedByCarriageReturns) {
    struct Row {
        std::string text;
        std::vector<std::string> lines;
    };
    for (const Row& row :
         {Row{"no break", {}}, Row{"one\rtwo", {"one"}}, Row{"one  \r\ntwo\r", {"one", "two"}}}) {
        const auto lines = Texts(Trace([&](logp_object& d) {
            d.DrawWrappedText(DrawWrappedTextRecord{20, 900, 200, 700, 0, 0, 0}, row.text);
        }));
        ASSERT_EQ(lines.size(), row.lines.size()) << row.text;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_NE(lines[i].find("\"" + row.lines[i] + "\""), std::string::npos) << lines[i];
        }
    }
}

// A paragraph whose box starts 30 rows above the data window: by default its lines stay where
// the box puts them (the clip hides what lies above); with the settings' text line option they
// are kept inside the window. The viewer and the CLI both set the option from the settings.
TEST_F(TextPage, WrappedTextKeepsLinesInsideTheDataWindowOnlyWhenTheSettingsSaySo) {
    for (bool keep_inside : {false, true}) {
        Settings settings;
        settings.TextLineOption = keep_inside;
        options = RenderOptionsOf(settings);
        const auto lines = Texts(Trace([](logp_object& d) {
            d.SetFont(SetFontColoredRecord{"Arial", 12, 0, 0});
            d.DrawWrappedText(DrawWrappedTextRecord{20, 1030, 200, 900, 0, 0, 0}, "a\rb\rc\rd\r");
        }));
        ASSERT_FALSE(lines.empty()) << keep_inside;
        const bool drawn_above_the_window = lines[0] == "ExtTextOut 25,20 options=0 \"a\"";
        EXPECT_NE(drawn_above_the_window, keep_inside) << lines[0];
        for (const std::string& line : lines) {
            const int row = std::stoi(line.substr(line.find(',') + 1));
            EXPECT_TRUE(!keep_inside || row >= page.DataTopPx) << line;
        }
    }
}

TEST_F(TextPage, SetFontTakesStyleBitsAndPointSize) {
    TraceCanvas canvas({100, 100, 300, 500, false});
    doc->Bind(canvas, page, options);
    doc->SetFont(SetFontColoredRecord{"Times New Roman", 12, 5, 0x00FF00});
    EXPECT_EQ(canvas.font().face, "Times New Roman");
    EXPECT_EQ(canvas.font().height, -16);  // 12 points at 100 pixels per inch
    EXPECT_EQ(canvas.font().weight, 700);
    EXPECT_TRUE(canvas.font().underline);
    EXPECT_FALSE(canvas.font().italic);
    EXPECT_EQ(canvas.text_color(), 0x00FF00u);
    doc->Unbind();
}

TEST_F(TextPage, FontTextSizeModesCentreOnTheAnchor) {
    struct Row {
        uint8_t mode;
        bool centre_x, centre_y;
    };
    for (const Row& row : {Row{0, false, false}, Row{1, true, false}, Row{2, false, true}}) {
        const QImage image = Draw([&](logp_object& d) {
            d.SetFont(SetFontColoredRecord{"Arial", 10, 0, 0});
            d.DrawFontText(DrawFontTextRecord{150, 750, 0, 20, 0, row.mode, "HHHH"});
        });
        const Rect ink = PaintedBox(image);
        ASSERT_FALSE(ink.IsEmpty());
        const int mid_x = (ink.left + ink.right) / 2;
        const int mid_y = (ink.top + ink.bottom) / 2;
        // The anchor is (150, 300).
        EXPECT_EQ(std::abs(mid_x - 150) <= 3, row.centre_x) << int(row.mode) << " " << mid_x;
        EXPECT_EQ(std::abs(mid_y - 300) <= 4, row.centre_y) << int(row.mode) << " " << mid_y;
    }
}

TEST_F(TextPage, TurnedTextRunsDownFromTheAnchor) {
    const QImage image = Draw([](logp_object& d) {
        d.SetFont(SetFontColoredRecord{"Arial", 12, 0, 0});
        d.DrawText(DrawTextRecord{150, 900, /*vertical=*/1, /*transparent=*/1, 0, 0, "HHHHHH"});
    });
    const Rect ink = PaintedBox(image);
    EXPECT_GT(ink.Height(), 2 * ink.Width());
    EXPECT_GE(ink.top, 150);
    EXPECT_LE(ink.right, 151);
}

TEST_F(TextPage, TextOutsideTheDataWindowIsClipped) {
    const QImage image = Draw([](logp_object& d) {
        d.SetFont(SetFontColoredRecord{"Arial", 12, 0, 0});
        d.DrawText(DrawTextRecord{150, 1020, 0, 1, 0, 0, "HHHH"});  // row 30: in the header band
    });
    EXPECT_TRUE(PaintedBox(image).IsEmpty());
}

TEST_F(TextPage, SymbolsScaleWithTheirSize) {
    const auto trace = Trace([](logp_object& d) {
        d.DrawSymbol(DrawSymbolRecord{100, 900, 0, 7, 0.2, 0, 0});
    });
    // Anchor (100, 150); F = 20 pixels per ten units.
    std::vector<std::string> moves;
    for (const auto& l : trace) {
        if (l.rfind("MoveTo", 0) == 0 || l.rfind("LineTo", 0) == 0) moves.push_back(l);
    }
    EXPECT_EQ(moves, (std::vector<std::string>{"MoveTo 90,150", "LineTo 110,150", "MoveTo 100,160",
                                               "LineTo 100,130"}));
}

std::vector<uint8_t> SolidBmp(int w, int h, Color c) {
    ByteWriter out;
    const int stride = ((w * 24 + 31) / 32) * 4;
    out.U8('B');
    out.U8('M');
    out.U32(54 + stride * h);
    out.U32(0);
    out.U32(54);
    out.U32(40);
    out.I32(w);
    out.I32(h);
    out.U16(1);
    out.U16(24);
    out.Zeros(24);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            out.U8(BlueOf(c));
            out.U8(GreenOf(c));
            out.U8(RedOf(c));
        }
        out.Zeros(stride - 3 * w);
    }
    return out.Take();
}

TEST_F(TextPage, UnstretchedPictureKeepsItsSizeAndShrinksTheBorder) {
    WriteFileBytes(dir.File("red.bmp"), SolidBmp(100, 50, kRed));
    // Box rows 100..300 and columns 20..220 (left = 20 + 1, top = 100 - 1).
    const QImage image = Draw([&](logp_object& d) {
        d.DrawPictureFile(DrawPictureFileRecord{20, 950, 220, 750, dir.File("red.bmp"),
                                                /*border=*/1, /*stretch=*/0});
    });
    EXPECT_EQ(PixelAt(image, 21 + 50, 99 + 25), kRed);
    EXPECT_EQ(PixelAt(image, 21 + 98, 99 + 48), kRed);
    EXPECT_EQ(PixelAt(image, 21 + 99, 99 + 20), kBlack);   // the border's right edge
    EXPECT_EQ(PixelAt(image, 21 + 20, 99 + 50), kBlack);   // and its bottom
    EXPECT_EQ(PixelAt(image, 21 + 101, 99 + 25), kWhite);  // beyond the picture and border
    EXPECT_EQ(PixelAt(image, 21 + 50, 99 + 51), kWhite);
    EXPECT_TRUE(notes.empty());
}

TEST_F(TextPage, StretchedPictureFillsTheBox) {
    WriteFileBytes(dir.File("red.bmp"), SolidBmp(4, 4, kRed));
    const QImage image = Draw([&](logp_object& d) {
        d.DrawPictureFile(
            DrawPictureFileRecord{20, 950, 220, 750, dir.File("red.bmp"), 0, /*stretch=*/1});
    });
    const Rect ink = PaintedBox(image);
    EXPECT_EQ(ink, (Rect{21, 99, 21 + 199, 99 + 199}));
}

TEST_F(TextPage, BrokenPicturesLeaveAFrameAndANoteOnce) {
    WriteFileBytes(dir.File("cut.bmp"), std::vector<uint8_t>{'B', 'M', 1, 2, 3});
    for (const std::string& name : {dir.File("missing.bmp"), dir.File("cut.bmp")}) {
        for (int page = 0; page < 2; ++page) {  // every page replays the picture
            const QImage image = Draw([&](logp_object& d) {
                d.DrawPictureFile(DrawPictureFileRecord{20, 950, 220, 750, name, 0, 0});
                d.DrawLine(DrawLineRecord{0, 700, 0, 300, 700});  // the page goes on: row 350
            });
            EXPECT_EQ(PixelAt(image, 21, 150), kGrey);
            EXPECT_EQ(PixelAt(image, 100, 99), kGrey);
            EXPECT_EQ(PixelAt(image, 100, 150), kWhite);
            EXPECT_EQ(PixelAt(image, 100, 350), kBlack);
        }
    }
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_NE(notes[0].find("missing.bmp"), std::string::npos);
    EXPECT_NE(notes[1].find("cut.bmp"), std::string::npos);
}

// A bare metafile filling its 100 x 100 window with a blue rectangle.
std::vector<uint8_t> BlueSquareMetafile() {
    ByteWriter w;
    const std::vector<std::vector<int16_t>> records = {
        {0x020C, 100, 100},              // window extent
        {0x02FC, 0, 0x0000, 0x00FF, 0},  // blue brush
        {0x012D, 0},                     // select it
        {0x041B, 100, 100, 0, 0},        // rectangle
    };
    size_t words = 9 + 3;
    for (const auto& r : records) words += 3 + r.size() - 1;
    w.U16(1);
    w.U16(9);
    w.U16(0x300);
    w.U32(uint32_t(words));
    w.U16(1);
    w.U32(8);
    w.U16(0);
    for (const auto& r : records) {
        w.U32(uint32_t(3 + r.size() - 1));
        w.U16(static_cast<uint16_t>(r[0]));
        for (size_t i = 1; i < r.size(); ++i) w.I16(r[i]);
    }
    w.U32(3);
    w.U16(0);
    return w.Take();
}

TEST_F(TextPage, EmbeddedPicturesAreDrawnAndTheirTemporariesRemoved) {
    struct Row {
        std::vector<uint8_t> data;
        uint8_t is_bitmap;
        Color color;
    };
    for (const Row& row :
         {Row{SolidBmp(3, 3, kRed), 1, kRed}, Row{BlueSquareMetafile(), 0, 0xFF0000}}) {
        const QImage image = Draw([&](logp_object& d) {
            // Header band (region 1): rows 10..40, columns 100..200.
            d.DrawPicture(DrawPictureRecord{100, 0.1, 200, 0.4, 0, row.is_bitmap, 1}, row.data);
        });
        EXPECT_EQ(PixelAt(image, 150, 25), row.color);
        EXPECT_EQ(PixelAt(image, 98, 25), kWhite);
        EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
    }
    EXPECT_TRUE(notes.empty()) << notes[0];
}

TEST_F(TextPage, BrokenEmbeddedPicturesLeaveAFrame) {
    const std::vector<uint8_t> junk(40, 0x11);
    for (uint8_t is_bitmap : {1, 0}) {
        const QImage image = Draw([&](logp_object& d) {
            d.DrawPicture(DrawPictureRecord{100, 0.1, 200, 0.4, 0, is_bitmap, 1}, junk);
            d.DrawPictureStream(DrawPictureStreamRecord{100, 0.1, 200, 0.4, 1}, junk);
        });
        EXPECT_EQ(PixelAt(image, 100, 25), kGrey);
        EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
    }
    EXPECT_EQ(notes.size(), 3u);
}

TEST_F(TextPage, AnEmbeddedMetafileWithAnEmptyBoxIsNotedNotAsked) {
    RecordingUi ui;
    ScopedUi scoped(ui);
    const std::vector<uint8_t> data = BlueSquareMetafile();
    for (int page = 0; page < 3; ++page) {
        Trace([&](logp_object& d) {
            d.DrawPicture(DrawPictureRecord{100, 0.1, 100, 0.4, 0, 0, 1}, data);
        });
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(notes.size(), 1u);
}

TEST_F(TextPage, RotatedTextAboveThePageStaysAlignedWithTheRest) {
    // The same box drawn 100 rows lower must show the same ink, shifted.
    const auto draw_at = [&](double top_depth) {
        // A data window far beyond the page, so no clip cuts either box.
        page.DataTopPx = -1000;
        page.DataBottomPx = 1999;
        return Draw([&](logp_object& d) {
            d.SetFont(SetFontColoredRecord{"Arial", 14, 0, 0});
            d.DrawRotatedText(
                DrawRotatedTextRecord{100, top_depth, 140, top_depth - 200, 0, 1, "Sandstone"});
        });
    };
    const QImage high = draw_at(1090);  // box rows -40..160
    const QImage low = draw_at(990);    // box rows 60..260
    const Rect ink = PaintedBox(low);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_GT(ink.Height(), ink.Width());
    int compared = 0;
    for (int y = 100; y < 260; ++y) {
        for (int x = 90; x < 150; ++x) {
            ASSERT_EQ(PixelAt(high, x, y - 100), PixelAt(low, x, y)) << x << "," << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 0);
}

TEST_F(TextPage, FormattedTextWrapsInsideTheBox) {
    const auto lines = Texts(Trace([](logp_object& d) {
        d.DrawFormattedText(DrawFormattedTextRecord{20, 900, 120, 700, 0, 10, 0, 0, 0},
                            "alpha beta gamma");
    }));
    EXPECT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find("ExtTextOut 20,150"), std::string::npos) << lines[0];
}

}  // namespace
}  // namespace cindral

namespace cindral {
namespace {

TEST_F(TextPage, TextBoxesDrawInTheirOwnFontSizeInsideFillAndBorder) {
    std::vector<std::string> trace = Trace([](logp_object& d) {
        Font big = d.BoundCanvas()->font();
        big.height = -30;
        d.BoundCanvas()->SelectFont(big);
        d.DrawTextBox(DrawTextBoxRecord{20, 0.1, 220, 0.4, 1, 0, /*border=*/1, /*fill=*/1, 0x00FFFF,
                                        5, 0, 8, 0.05, 0.05, 0.05, 0.05},
                      "hello");
        EXPECT_EQ(d.BoundCanvas()->font().height, -30);  // the canvas font comes back
    });
    const auto fill = std::find(trace.begin(), trace.end(), "FillRect 20,10,220,40");
    ASSERT_NE(fill, trace.end());
    const auto text = std::find_if(trace.begin(), trace.end(), [](const std::string& l) {
        return l.rfind("ExtTextOut 25,15 ", 0) == 0;  // inset by 5-pixel margins
    });
    ASSERT_NE(text, trace.end());
    EXPECT_LT(fill, text);
    // 8 points at 100 pixels per inch: the glyphs match the advances the layout used.
    const auto font =
        std::find_if(std::make_reverse_iterator(text), trace.rend(),
                     [](const std::string& l) { return l.rfind("SelectFont", 0) == 0; });
    ASSERT_NE(font, trace.rend());
    EXPECT_NE(font->find("height=-11"), std::string::npos) << *font;
}

}  // namespace
}  // namespace cindral
