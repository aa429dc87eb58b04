// The text index against the pages it was built from: each kind of drawn string is found on
// its pages, in its band or at its depth, and its box covers the ink the raster renderer put
// down for it; and the find options over one table of words.

#include "render/document/text_index.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "bundled_libraries.h"
#include "core/format/gdx_commands.h"
#include "core/format/gdx_writer.h"
#include "render/document/log_document.h"
#include "temp_dir.h"

namespace cindral {
namespace {

LogDocumentOptions Options() {
    return testing::BundledLibraryOptions();
}

// Three pages of 4 in at 40 units an inch, a first and a next header and a footer on every
// page: the data windows hold 5000-4898, 4898-4786 and 4786-4700.
GdxHeader ThreePages() {
    GdxHeader h;
    h.TopDepth = 5000;
    h.BottomDepth = 4700;
    h.RepeatBands = 1;
    h.MinX = 0;
    h.MaxX = 600;
    h.PageHeight = 4;
    h.PageWidth = 6;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 40;
    h.FirstHeaderHeight = 0.75;
    h.NextHeaderHeight = 0.5;
    h.FooterHeight = 0.5;
    h.BandGap = 0.1;
    return h;
}

struct StringCase {
    const char* name;
    std::function<void(GdxWriter&)> write;  // the log's one drawing
    const char* query;
    const char* whole;       // the string the match lies in
    std::vector<int> pages;  // the pages it is found on, from 0
    Band band;               // or Band::None for a depth
    double depth;            // the depth it is drawn at (data window only)
};

GdxCommand TextBox(uint8_t region, const std::string& text) {
    GdxCommand box(DrawTextBoxRecord{});
    auto& t = std::get<DrawTextBoxRecord>(box.record);
    t.region = region;
    t.x1 = 100;
    t.x2 = 400;
    t.y1 = 0.05;
    t.y2 = 0.4;
    box.text = text;
    return box;
}

const StringCase kStrings[] = {
    {"PlainTextAtADepth",
     [](GdxWriter& w) {
         DrawTextRecord t;
         t.x = 100;
         t.y = 4950;
         t.text = "Glenmore Sandstone top";
         w.Write(t);
     },
     "glenmore",
     "Glenmore Sandstone top",
     {0},
     Band::None,
     4950},
    {"TurnedFontText",
     [](GdxWriter& w) {
         DrawFontTextRecord t;
         t.x = 300;
         t.y = 4860;
         t.height = 4;
         t.angle = 450;
         t.text = "Turned shale marker";
         w.Write(t);
     },
     "SHALE MARKER",
     "Turned shale marker",
     {1},
     Band::None,
     4860},
    {"PhraseBrokenByWrapping",
     [](GdxWriter& w) {
         SetFontColoredRecord font;
         font.fontName = "Times New Roman";
         font.size = 9;
         w.Write(font);
         GdxCommand wrapped(DrawWrappedTextRecord{});
         auto& r = std::get<DrawWrappedTextRecord>(wrapped.record);
         r.x1 = 100;
         r.x2 = 180;  // 0.8 in: a few words a line
         r.y1 = 4970;
         r.y2 = 4920;
         wrapped.text = "Sandstone, fine grained,\rwell sorted,\rcalcite cement\r";
         w.Write(wrapped);
     },
     "grained, well sorted",
     "Sandstone, fine grained, well sorted, calcite cement",
     {0},
     Band::None,
     4960},
    {"PhraseWrappedByWidth",
     [](GdxWriter& w) {
         GdxCommand formatted(DrawFormattedTextRecord{});
         auto& r = std::get<DrawFormattedTextRecord>(formatted.record);
         r.x1 = 300;
         r.x2 = 420;  // 1.2 in: a few words a line
         r.y1 = 4880;
         r.y2 = 4800;
         r.fontSize = 8;
         formatted.text =
             "Limestone, grey to buff, finely crystalline, with traces of chert and "
             "scattered fossil fragments";
         w.Write(formatted);
     },
     "traces of chert and scattered fossil",
     "Limestone, grey to buff, finely crystalline, with traces of chert and scattered fossil "
     "fragments",
     {1},
     Band::None,
     4865},
    {"RepeatedNextHeaderLabel",
     [](GdxWriter& w) {
         DrawLabelRecord label;
         label.x = 60;
         label.y = 0.25;
         label.text = "Well 7-12 continued";
         label.region = 2;
         w.Write(label);
     },
     "continued",
     "Well 7-12 continued",
     {1, 2},
     Band::NextHeader,
     0},
    {"FirstHeaderLabelWithPageNumber",
     [](GdxWriter& w) {
         DrawLabelRecord label;
         label.x = 60;
         label.y = 0.3;
         label.text = "Sheet #p of #t";
         label.region = 1;
         w.Write(label);
     },
     "Sheet 1 of 3",
     "Sheet 1 of 3",
     {0},
     Band::FirstHeader,
     0},
    {"FooterTextBoxOnEveryPage",
     [](GdxWriter& w) { w.Write(TextBox(3, "Synthetic footer note")); },
     "footer note",
     "Synthetic footer note",
     {0, 1, 2},
     Band::Footer,
     0},
    {"StrokeText",
     [](GdxWriter& w) {
         DrawStrokeTextRecord s;
         s.x = 200;
         s.y = 4740;
         s.charWidth = 8;
         s.charHeight = 10;
         s.text = "DST";
         w.Write(s);
     },
     "dst",
     "DST",
     {2},
     Band::None,
     4745},
};

// The box around the pixels of `image` that are not white, or an empty box.
InchBox InkBox(const QImage& image, double ppi) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] & 0xFFFFFF) == 0xFFFFFF) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    return {left / ppi, top / ppi, (right + 1) / ppi, (bottom + 1) / ppi};
}

class EachKindOfString : public ::testing::TestWithParam<StringCase> {};

TEST_P(EachKindOfString, IsFoundOnItsPagesAndItsBoxCoversItsInk) {
    const StringCase& c = GetParam();
    testing::TempDir dir;
    const std::string path = dir.File("log.gdx");
    GdxWriter w(ThreePages());
    c.write(w);
    w.Save(path);
    LogDocument document(path, Options(), 96);
    ASSERT_EQ(document.PageCount(), 3);
    const std::shared_ptr<const TextIndex> index = document.Texts();
    const std::vector<TextMatch> matches = index->Find(c.query);

    std::vector<int> pages;
    for (const TextMatch& m : matches) pages.push_back(m.page);
    std::string strings;
    for (const DrawnString& s : index->Strings()) strings += s.text.toStdString() + "|";
    ASSERT_EQ(pages, c.pages) << strings;
    for (const TextMatch& m : matches) {
        SCOPED_TRACE("page " + std::to_string(m.page + 1));
        const DrawnString& s = index->Strings()[static_cast<size_t>(m.string)];
        EXPECT_EQ(s.text.toStdString(), c.whole);
        EXPECT_EQ(m.band, c.band);
        // The depth is the string's middle row: within the depths its box spans.
        if (c.band == Band::None) {
            const double top = document.DepthAt(m.page, int(std::floor(s.box.top * 96)), false);
            const double bottom =
                document.DepthAt(m.page, int(std::ceil(s.box.bottom * 96)), false);
            EXPECT_LE(m.depth, top);
            EXPECT_GE(m.depth, bottom);
            EXPECT_LE(c.depth, top + 1);
            EXPECT_GE(c.depth, bottom - 1);
        }
        EXPECT_EQ(m.length, QString(c.query).size());

        // The page holds only this string, so all its ink must lie in the string's box
        // (a pixel of slack for rounding), and the match's box within it.
        const InchBox ink = InkBox(document.RenderPage(m.page), 96);
        ASSERT_GT(ink.Width(), 0);
        const double slack = 1.5 / 96;
        EXPECT_LE(s.box.left, ink.left + slack);
        EXPECT_LE(s.box.top, ink.top + slack);
        EXPECT_GE(s.box.right, ink.right - slack);
        EXPECT_GE(s.box.bottom, ink.bottom - slack);
        EXPECT_GE(m.box.left, s.box.left - 1e-9);
        EXPECT_LE(m.box.right, s.box.right + 1e-9);
        EXPECT_GT(m.box.Width(), 0);
    }
    // The string under the middle of its first match is that string.
    if (!matches.empty()) {
        const TextMatch& m = matches.front();
        const InchBox& b = m.boxes.front();
        EXPECT_EQ(index->StringAt(m.page, (b.left + b.right) / 2, (b.top + b.bottom) / 2),
                  m.string);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, EachKindOfString, ::testing::ValuesIn(kStrings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextIndex, AWrappedPhraseIsOneMatchOverTheLinesItRunsOn) {
    testing::TempDir dir;
    const std::string path = dir.File("log.gdx");
    GdxWriter w(ThreePages());
    kStrings[3].write(w);
    w.Save(path);
    LogDocument document(path, Options(), 96);
    const std::vector<TextMatch> matches =
        document.Texts()->Find("traces of chert and scattered fossil");
    ASSERT_EQ(matches.size(), 1u);
    // One box a line it runs over, each below the one before.
    ASSERT_GE(matches[0].boxes.size(), 2u);
    for (size_t i = 1; i < matches[0].boxes.size(); ++i) {
        EXPECT_GT(matches[0].boxes[i].top, matches[0].boxes[i - 1].top);
    }
    EXPECT_EQ(document.Texts()->Context(matches[0], 1).toStdString(),
              "… with traces of chert and scattered fossil fragments");
}

TEST(TextIndex, CaseAndWholeWordsAndDepthOrder) {
    testing::TempDir dir;
    const std::string path = dir.File("log.gdx");
    GdxWriter w(ThreePages());
    // Written out of depth order: the index puts them in order down the log.
    const std::pair<double, const char*> texts[] = {
        {4750, "SHALE, grey"}, {4950, "Shale bed"}, {4850, "shales and shale-rich sand"}};
    for (const auto& [depth, text] : texts) {
        DrawTextRecord t;
        t.x = 100;
        t.y = depth;
        t.text = text;
        w.Write(t);
    }
    w.Save(path);
    LogDocument document(path, Options(), 96);
    const std::shared_ptr<const TextIndex> index = document.Texts();
    struct Query {
        const char* text;
        FindOptions options;
        std::vector<std::string> found;  // the matched characters, in order down the log
    };
    const Query queries[] = {
        {"shale", {}, {"Shale", "shale", "shale", "SHALE"}},
        {"shale", {true, false}, {"shale", "shale"}},
        {"shale", {false, true}, {"Shale", "shale", "SHALE"}},
        {"Shale", {true, true}, {"Shale"}},
        {"shale-rich", {false, true}, {"shale-rich"}},
        {"and  shale", {}, {"and shale"}},
        {"hale", {false, true}, {}},
        {"  ", {}, {}},
    };
    for (const Query& q : queries) {
        SCOPED_TRACE(q.text);
        std::vector<std::string> found;
        double last_depth = 1e9;
        for (const TextMatch& m : index->Find(q.text, q.options)) {
            const QString& s = index->Strings()[static_cast<size_t>(m.string)].text;
            found.push_back(s.mid(m.start, m.length).toStdString());
            EXPECT_LE(m.depth, last_depth);
            last_depth = m.depth;
        }
        EXPECT_EQ(found, q.found);
    }
}

TEST(TextIndex, ANewIntervalGivesANewIndexAndCopiesShareOne) {
    testing::TempDir dir;
    const std::string path = dir.File("log.gdx");
    GdxWriter w(ThreePages());
    kStrings[0].write(w);
    w.Save(path);
    LogDocument document(path, Options(), 96);
    EXPECT_EQ(document.TextsIfBuilt(), nullptr);
    const std::unique_ptr<LogDocument> copy = document.Copy();
    const std::shared_ptr<const TextIndex> built = copy->Texts();
    EXPECT_EQ(document.TextsIfBuilt(), built);
    document.SetInterval(4900, 4700);  // the text at 4950 is no longer shown
    EXPECT_EQ(document.TextsIfBuilt(), nullptr);
    EXPECT_TRUE(document.Texts()->Find("Glenmore").empty());
    EXPECT_EQ(built->Find("Glenmore").size(), 1u);
}

}  // namespace
}  // namespace cindral
