// What an exported drawing shows, read back by programs other than the one that wrote it: the
// whole log exported as SVG, WMF and EMF, rasterised by independent readers, must look like
// the raster renderer's pages of the same log laid end to end at 96 dpi (the drawing's own
// resolution); and the header fields of the WMF and the EMF, worked out here from the log's
// page size and scale, must be what the files say.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>

#include "core/format/byte_codec.h"
#include "every_command_log.h"
#include "raster_compare.h"
#include "render/canvas/qt_canvas.h"
#include "render/canvas/region.h"
#include "render/canvas/svg_writer.h"
#include "render/document/log_document.h"
#include "render/document/metafile_export.h"
#include "render/pictures/emf_player.h"
#include "temp_dir.h"

namespace cindral {
namespace {

int Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

LogDocumentOptions Libraries() {
    LogDocumentOptions options;
    options.files.pattern_file = testing::BinDir() + "/QuenUtil.Pat";
    options.files.symbol_file = testing::BinDir() + "/QuenUtil.Sym";
    return options;
}

enum class LogKind { Sample, EveryCommand, Figures };

// A log of the figures both renderers draw alike, one of each kind in a column of its own
// and repeated down the log: thin level and upright lines and a blocked curve, where a pen
// off by half a pixel shows on every row; solid lines of widths 1 to 3; rectangles, circles,
// filled polygons; wrapped text and text boxes, whose clips must end before the figures
// beside and below them; labels, a filled box and an embedded picture in the header and
// footer bands.
void WriteFigures(GdxWriter& w) {
    const GdxHeader& h = w.header();
    SetFontRecord font;
    font.fontName = "Arial";
    font.size = 9;
    w.Write(font);
    for (uint8_t region : {uint8_t(1), uint8_t(3)}) {
        w.Write(DrawRegionLineRecord{40, 0.3, 700, 0.3, region});
        w.Write(BandFill(region));
        w.Write(BandLabel(region));
        w.Write(BandPicture(region, SmallBitmap()));
        GdxCommand textbox(DrawTextBoxRecord{});
        auto& t = std::get<DrawTextBoxRecord>(textbox.record);
        t.region = region;
        t.x1 = 620;
        t.x2 = 700;
        t.y1 = 0.02;
        t.y2 = 0.35;
        t.border = 1;
        textbox.text = "Text box in band " + std::to_string(region) + ", cut at its edge";
        w.Write(textbox);
    }
    const double step = 50;
    int n = 0;
    for (double d = h.TopDepth; d > h.BottomDepth; d -= step, ++n) {
        const double e = d - step;
        w.Write(SetColorRecord{static_cast<int32_t>(0x202020 + 0x301000 * (n % 5))});
        w.Write(SetLineStyleRecord{0});
        for (int i = 0; i <= 8; ++i) {
            w.Write(DrawLineRecord{300, d - 2 - i * step / 10, 0, 400, d - 2 - i * step / 10, 0});
            w.Write(DrawLineRecord{300 + i * 12.5, d - 2, 0, 300 + i * 12.5, e + 2, 0});
        }
        w.Write(SetLineWidthRecord{1 + n % 3});
        w.Write(DrawLineRecord{40, d - 2, 0, 220, e + 2, 0});
        w.Write(DrawRectangleRecord{45, d - 4, 90, e + 4});
        w.Write(DrawCircleRecord{190, d - step / 2, step / 4});
        w.Write(SetLineWidthRecord{1});
        GdxCommand steps(DrawPolylineRecord{});  // a square wave, as a blocked curve
        for (int i = 0; i < 8; ++i) {
            steps.points.push_back({i % 2 ? 245.0 : 285.0, d - 3 - i * step / 9});
            steps.points.push_back({i % 2 ? 245.0 : 285.0, d - 3 - (i + 1) * step / 9});
        }
        w.Write(steps);
        GdxCommand polycolored(PolyFillColoredRecord{});
        std::get<PolyFillColoredRecord>(polycolored.record).pattern = 30;
        std::get<PolyFillColoredRecord>(polycolored.record).color = 0x008080;
        polycolored.points = {{420, d - 2}, {480, d - step / 3}, {470, e + 2}, {430, e + 8}};
        w.Write(polycolored);
        GdxCommand wrapped(DrawWrappedTextRecord{});
        auto& wr = std::get<DrawWrappedTextRecord>(wrapped.record);
        wr.x1 = 500;
        wr.x2 = 580;
        wr.y1 = d - 2;
        wr.y2 = e + 2;
        wrapped.text = "Sandstone, fine grained,\rwell sorted,\rcalcite cement\r";
        w.Write(wrapped);
        w.Write(DrawLineRecord{600, d - step / 2 - 4, 0, 790, e + 4, 0});
        DrawTextRecord text;
        text.x = 710;
        text.y = d - step / 4;
        text.text = "Depth " + std::to_string(static_cast<int>(d));
        w.Write(text);
    }
}

// The log of a case, written into `dir` when it is generated. The generated log has every
// command code once per 50 depth units (1.25 inches), so that figures do not pile up into
// blocks where every reader's own line and text rules add up; a first header and a footer,
// no repeated header.
std::string LogPath(LogKind kind, const testing::TempDir& dir) {
    if (kind == LogKind::Sample) return testing::BinDir() + "/samples/sample.gdx";
    if (kind == LogKind::Figures) {
        GdxWriter writer(BaseHeader());
        WriteFigures(writer);
        const std::string path = dir.File("figures.gdx");
        writer.Save(path);
        return path;
    }
    const std::string picture = dir.File("picture.bmp");
    WriteFileBytes(picture, SmallBitmap());
    GdxWriter writer(BaseHeader());
    WriteEveryCommand(writer, picture, 50);
    const std::string path = dir.File("every.gdx");
    writer.Save(path);
    return path;
}

// The size and rows of the drawing as the export promises them (docs/metafile-export.md),
// worked out from the header alone.
struct DrawingRows {
    int width = 0, height = 0;
    bool header = false, footer = false;
    int data_top = 0;    // the row of the top depth
    int data_rows = 0;   // rows of log
    int footer_top = 0;  // first row of the footer band, or the height
};

DrawingRows RowsOf(const GdxHeader& h, bool header_option, bool footer_option) {
    DrawingRows r;
    r.header = header_option && h.FirstHeaderHeight >= 0;
    r.footer = footer_option && h.FooterHeight >= 0;
    const double log_inches = (h.TopDepth - h.BottomDepth) / h.DepthUnitsPerInch;
    const double header_inches = r.header ? h.FirstHeaderHeight + h.BandGap : 0;
    const double footer_inches = r.footer ? h.FooterHeight + h.BandGap : 0;
    r.width = int(std::lround(96 * h.PageWidth));
    r.height = int(std::lround(96 * (log_inches + header_inches + footer_inches)));
    r.data_top = int(std::lround(96 * header_inches));
    r.data_rows = int(std::lround(96 * log_inches));
    r.footer_top = r.footer ? int(std::lround(r.height - 96 * h.FooterHeight)) : r.height;
    return r;
}

// The raster renderer's pages at 96 dpi laid into the rows of the drawing: each page's data
// window where its depths lie in the drawing, the first page's header band at the top, the
// last page's footer at the bottom. Repeated headers and the footers of other pages have no
// place in one unpaginated drawing and are left out.
QImage PagesAsDrawing(LogDocument& document, const DrawingRows& rows) {
    QImage drawing(rows.width, rows.height, QImage::Format_RGB32);
    drawing.fill(Qt::white);
    QPainter painter(&drawing);
    const int last = document.LastPage();
    for (int page = 0; page <= last; ++page) {
        const QImage image = document.RenderPage(page);
        const PageGeometry g = document.Geometry(page);
        const int top = std::max<int64_t>(g.DataTopPx, g.DepthOriginPx);
        for (int y = top; y < g.DataBottomPx && y < image.height(); ++y) {
            const int64_t at = y - g.DepthOriginPx + rows.data_top;
            if (at < rows.data_top || at >= rows.data_top + rows.data_rows) continue;
            painter.drawImage(QPoint(0, int(at)), image, QRect(0, y, image.width(), 1));
        }
        if (page == 0 && rows.header)
            painter.drawImage(QPoint(0, 0), image, QRect(0, 0, image.width(), g.HeaderBottomPx));
        if (page == last && rows.footer && g.HasFooter) {
            painter.drawImage(
                QPoint(0, rows.footer_top), image,
                QRect(0, g.FooterTopPx, image.width(), rows.height - rows.footer_top));
        }
    }
    return drawing;
}

// A reader's picture on a white drawing of the expected size, from its top left corner:
// readers that take an EMF's inclusive bounds for its size draw one row and column short.
QImage OnDrawing(const QImage& read, const DrawingRows& rows) {
    QImage drawing(rows.width, rows.height, QImage::Format_RGB32);
    drawing.fill(Qt::white);
    QPainter painter(&drawing);
    painter.drawImage(QPoint(0, 0), read);
    return drawing;
}

QImage Rasterise(const std::string& svg, const std::string& png) {
    EXPECT_EQ(Shell("rsvg-convert -b white " + Quoted(svg) + " -o " + Quoted(png)), 0) << svg;
    return QImage(QString::fromStdString(png));
}

QImage ReadSvg(const std::string& file, const DrawingRows& rows, const testing::TempDir& dir) {
    return OnDrawing(Rasterise(file, dir.File("svg.png")), rows);
}

QImage ReadEmfWithOurPlayer(const std::string& file, const DrawingRows& rows,
                            const testing::TempDir&) {
    QImage drawing(rows.width, rows.height, QImage::Format_RGB32);
    drawing.fill(Qt::white);
    {
        QtCanvas canvas(&drawing);
        PlayEmf(testing::ReadFileBytes(file), canvas);
    }
    return drawing;
}

QImage ReadEmfWithEmf2svg(const std::string& file, const DrawingRows& rows,
                          const testing::TempDir& dir) {
    const std::string svg = dir.File("emf.svg");
    EXPECT_EQ(Shell("emf2svg-conv -i " + Quoted(file) + " -o " + Quoted(svg) + " 2>/dev/null"), 0);
    return OnDrawing(Rasterise(svg, dir.File("emf.png")), rows);
}

// libwmf's wmf2svg fits the drawing to a box of its own, worked out from its guesses at the
// extents of what is drawn (text among them), not to the placeable box, and scales x and y
// apart. It writes one <rect> for each Rectangle and each SetPixel record, in file order, so
// the rectangles' corners in the file and in its SVG give that fit, which is undone here: the
// picture is then in the file's own units, and a figure the file puts in the wrong place is
// still in the wrong place.
QImage ReadWmfWithWmf2svg(const std::string& file, const DrawingRows& rows,
                          const testing::TempDir& dir) {
    const std::string fitted = dir.File("wmf2svg.svg");
    EXPECT_EQ(Shell("wmf2svg --inline --maxwidth=" + std::to_string(rows.width) +
                    " --maxheight=" + std::to_string(rows.height) + " --maxsize -o " +
                    Quoted(fitted) + " " + Quoted(file) + " 2>/dev/null"),
              0);
    const std::vector<uint8_t> bytes = testing::ReadFileBytes(file);
    std::vector<std::array<int, 4>> boxes;  // left, top, right, bottom; SetPixel as empty
    for (size_t at = 22 + 18; at + 6 <= bytes.size();) {
        ByteReader r(bytes.data() + at, bytes.size() - at);
        const uint32_t words = r.U32();
        const uint16_t function = r.U16();
        if (function == 0x041B) {
            const int bottom = r.I16(), right = r.I16(), top = r.I16(), left = r.I16();
            boxes.push_back({left, top, right, bottom});
        } else if (function == 0x041F) {
            boxes.push_back({0, 0, 0, 0});
        }
        if (words < 3) break;
        at += size_t(words) * 2;
    }
    std::string svg = ReadText(fitted);
    const std::regex rect(
        R"re(<rect x="(-?[\d.]+)" y="(-?[\d.]+)" width="(-?[\d.]+)" height="(-?[\d.]+)")re");
    std::vector<std::array<double, 4>> drawn;
    for (auto m = std::sregex_iterator(svg.begin(), svg.end(), rect); m != std::sregex_iterator();
         ++m) {
        drawn.push_back(
            {std::stod((*m)[1]), std::stod((*m)[2]), std::stod((*m)[3]), std::stod((*m)[4])});
    }
    EXPECT_EQ(drawn.size(), boxes.size()) << "one <rect> per Rectangle and SetPixel record";
    // Least squares of reader = a * file + b for each axis, over both corners of every box.
    double fit[2][2] = {};
    for (int axis = 0; axis < 2; ++axis) {
        double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (size_t i = 0; i < std::min(drawn.size(), boxes.size()); ++i) {
            const std::array<int, 4>& b = boxes[i];
            if (b[2] - b[0] < 4 || b[3] - b[1] < 4) continue;  // pixels and slivers
            for (const auto& [u, v] : {std::pair<double, double>{b[axis], drawn[i][axis]},
                                       {b[axis + 2], drawn[i][axis] + drawn[i][axis + 2]}}) {
                n += 1;
                sx += u;
                sy += v;
                sxx += u * u;
                sxy += u * v;
            }
        }
        const double a = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        fit[axis][0] = a;
        fit[axis][1] = (sy - a * sx) / n;
    }
    // The reader's drawing, mapped back into the file's units; its root has no namespace.
    const size_t open = svg.find("<svg"), body = svg.find('>', open) + 1;
    const size_t close = svg.rfind("</svg>");
    std::ostringstream wrapped;
    wrapped << "<svg xmlns=\"http://www.w3.org/2000/svg\" "
               "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\""
            << rows.width << "\" height=\"" << rows.height << "\" viewBox=\"0 0 " << rows.width
            << " " << rows.height << "\"><g transform=\"matrix(" << 1 / fit[0][0] << " 0 0 "
            << 1 / fit[1][0] << " " << -fit[0][1] / fit[0][0] << " " << -fit[1][1] / fit[1][0]
            << ")\">" << svg.substr(body, close - body) << "</g></svg>\n";
    const std::string registered = dir.File("wmf.svg");
    std::ofstream(registered) << wrapped.str();
    return OnDrawing(Rasterise(registered, dir.File("wmf.png")), rows);
}

using Reader = QImage (*)(const std::string&, const DrawingRows&, const testing::TempDir&);

struct ContentCase {
    const char* name;
    MetafileFormat format;
    Reader read;
    LogKind log;
    bool header, footer;
    // Limits, about a tenth above what the case measures: the 8 x 8 block mean and the worst
    // 32 x 32 block (raster_compare.h), and the mean single-pixel difference, which a thin line
    // drawn half a pixel off doubles along its length while block means hardly move.
    double mean8, worst32, pixel;
};

void PrintTo(const ContentCase& c, std::ostream* os) {
    *os << c.name;
}

class DrawingContent : public ::testing::TestWithParam<ContentCase> {};

TEST_P(DrawingContent, ReadBackItLooksLikeThePagesEndToEnd) {
    const ContentCase& c = GetParam();
    testing::TempDir dir;
    const std::string log = LogPath(c.log, dir);
    LogDocument document(log, Libraries(), 96);
    const DrawingRows rows = RowsOf(document.Header(), c.header, c.footer);

    auto renderer = MakeMetafileRenderer(document, document.Header());
    MetafileExportOptions options;
    options.format = c.format;
    options.header = c.header;
    options.footer = c.footer;
    options.output = dir.File(c.format == MetafileFormat::Wmf   ? "drawing.wmf"
                              : c.format == MetafileFormat::Emf ? "drawing.emf"
                                                                : "drawing.svg");
    const MetafileExportResult result = ExportMetafile(*renderer, options);
    ASSERT_EQ(result.extent.width, rows.width);
    ASSERT_EQ(result.extent.height, rows.height);

    const QImage expected = PagesAsDrawing(document, rows);
    const QImage read = c.read(options.output, rows, dir);
    ASSERT_EQ(read.size(), expected.size());
    const Difference d = Compare(expected, read);
    if (d.mean8 > c.mean8 || d.worst32 > c.worst32 || d.mean1 > c.pixel) {
        const std::string saved = ::testing::TempDir() + "content-" + c.name + "-";
        expected.save(QString::fromStdString(saved + "pages.png"));
        read.save(QString::fromStdString(saved + "read.png"));
        ADD_FAILURE() << c.name << ": block difference " << d.mean8 << " (at most " << c.mean8
                      << "), worst block " << d.worst32 << " (at most " << c.worst32
                      << "), pixel difference " << d.mean1 << " (at most " << c.pixel
                      << "); pictures: " << saved << "*.png";
    }
}

const LogKind kSample = LogKind::Sample, kEvery = LogKind::EveryCommand,
              kFigures = LogKind::Figures;

// The generated log of every command code stays far from the pages (block differences of 12
// to 23) because the metafile renderer draws several commands unlike the raster renderer:
// wide dashed and dotted pens, turned and rotated text sizes, pattern and polygon fills,
// fill kinds, and no picture files at all. Its limits only hold the drawing to what it is
// now; the sample and the figures carry the tight limits.
INSTANTIATE_TEST_SUITE_P(
    Svg, DrawingContent,
    ::testing::Values(ContentCase{"svg_sample", MetafileFormat::Svg, ReadSvg, kSample, true, true,
                                  2.4, 36, 9.5},
                      ContentCase{"svg_sample_no_header", MetafileFormat::Svg, ReadSvg, kSample,
                                  false, true, 2.0, 20, 8.0},
                      ContentCase{"svg_figures", MetafileFormat::Svg, ReadSvg, kFigures, true, true,
                                  3.0, 26, 6.8},
                      ContentCase{"svg_every_command", MetafileFormat::Svg, ReadSvg, kEvery, true,
                                  true, 12.9, 140, 22.4},
                      ContentCase{"svg_every_command_no_footer", MetafileFormat::Svg, ReadSvg,
                                  kEvery, true, false, 13.2, 140, 22.9}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Emf, DrawingContent,
    ::testing::Values(ContentCase{"emf_player_sample", MetafileFormat::Emf, ReadEmfWithOurPlayer,
                                  kSample, true, true, 2.0, 40, 7.6},
                      ContentCase{"emf_player_figures", MetafileFormat::Emf, ReadEmfWithOurPlayer,
                                  kFigures, true, true, 2.7, 26, 5.5},
                      ContentCase{"emf_player_every_command_no_header", MetafileFormat::Emf,
                                  ReadEmfWithOurPlayer, kEvery, false, true, 12.5, 136, 21.5},
                      ContentCase{"emf2svg_sample", MetafileFormat::Emf, ReadEmfWithEmf2svg,
                                  kSample, true, true, 4.2, 60, 13.5},
                      ContentCase{"emf2svg_figures", MetafileFormat::Emf, ReadEmfWithEmf2svg,
                                  kFigures, true, true, 3.9, 30, 9.8},
                      ContentCase{"emf2svg_every_command", MetafileFormat::Emf, ReadEmfWithEmf2svg,
                                  kEvery, true, true, 16.8, 140, 28.8}),
    [](const auto& info) { return std::string(info.param.name); });

// libwmf ignores clip records, fills hatches solid, leaves out our embedded pictures and
// draws thin lines lighter, so its limits are the loosest: they still catch a drawing out of
// place, out of scale or with figures missing, and the EMF readers stand for the clips.
INSTANTIATE_TEST_SUITE_P(
    Wmf, DrawingContent,
    ::testing::Values(ContentCase{"wmf2svg_sample", MetafileFormat::Wmf, ReadWmfWithWmf2svg,
                                  kSample, true, true, 6.4, 155, 16.5},
                      ContentCase{"wmf2svg_figures", MetafileFormat::Wmf, ReadWmfWithWmf2svg,
                                  kFigures, true, true, 7.8, 88, 13.6},
                      ContentCase{"wmf2svg_every_command_no_footer", MetafileFormat::Wmf,
                                  ReadWmfWithWmf2svg, kEvery, true, false, 24, 136, 36}),
    [](const auto& info) { return std::string(info.param.name); });

// A log `width` inches wide with `inches` of log and the sample's bands, one line drawn.
std::string SizedLog(const testing::TempDir& dir, double width, double inches) {
    GdxHeader h = BaseHeader();
    h.PageWidth = width;
    h.BottomDepth = h.TopDepth - inches * h.DepthUnitsPerInch;
    GdxWriter w(h);
    w.Write(SetColorRecord{0x0000FF});
    w.Write(DrawLineRecord{10, h.TopDepth - 1, 0, 90, h.BottomDepth + 1, 0});
    DrawLabelRecord label;
    label.x = 20;
    label.y = 0.2;
    label.text = "Header";
    label.region = 1;
    w.Write(label);
    GdxCommand wrapped(DrawWrappedTextRecord{});  // drawn through a clip
    auto& wr = std::get<DrawWrappedTextRecord>(wrapped.record);
    wr.x1 = 100;
    wr.x2 = 160;
    wr.y1 = h.TopDepth - 10;
    wr.y2 = h.TopDepth - 60;
    wrapped.text = "Sandstone, fine grained,\rwell sorted\r";
    w.Write(wrapped);
    const std::string path = dir.File("sized.gdx");
    w.Save(path);
    return path;
}

struct HeaderCase {
    const char* name;
    MetafileFormat format;
    double width, inches;  // of the page and of the log
    bool header, footer;
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
    *os << c.name;
}

class MetafileHeader : public ::testing::TestWithParam<HeaderCase> {};

// The fields a reader sizes and walks the drawing by, against the page size at 96 units per
// inch; counts and sizes against a walk of the records, in which every saved context (a clip)
// is restored. An EMF frame in hundredths of a
// millimetre is rounded, not cut: the widths and heights of the table leave a fraction above
// one half (818 units are 21,642.9 hundredths).
TEST_P(MetafileHeader, FieldsFollowThePageSizeAndTheRecords) {
    const HeaderCase& c = GetParam();
    testing::TempDir dir;
    LogDocument document(SizedLog(dir, c.width, c.inches), Libraries(), 96);
    const DrawingRows rows = RowsOf(document.Header(), c.header, c.footer);
    auto renderer = MakeMetafileRenderer(document, document.Header());
    MetafileExportOptions options;
    options.format = c.format;
    options.header = c.header;
    options.footer = c.footer;
    options.output = dir.File("drawing");
    ExportMetafile(*renderer, options);
    const std::vector<uint8_t> bytes = testing::ReadFileBytes(options.output);
    ASSERT_GT(bytes.size(), 100u);
    ByteReader r(bytes);

    if (c.format == MetafileFormat::Wmf) {
        EXPECT_EQ(r.U32(), 0x9AC6CDD7u) << "placeable key";
        EXPECT_EQ(r.U16(), 0);
        EXPECT_EQ(r.I16(), 0);
        EXPECT_EQ(r.I16(), 0);
        EXPECT_EQ(r.I16(), rows.width);
        EXPECT_EQ(r.I16(), rows.height);
        EXPECT_EQ(r.U16(), 96) << "units per inch";
        EXPECT_EQ(r.U32(), 0u);
        uint16_t checksum = 0;
        for (size_t i = 0; i < 20; i += 2) checksum ^= uint16_t(bytes[i] | bytes[i + 1] << 8);
        EXPECT_EQ(r.U16(), checksum);
        EXPECT_EQ(r.U16(), 1) << "in memory";
        EXPECT_EQ(r.U16(), 9) << "header words";
        EXPECT_EQ(r.U16(), 0x0300);
        const uint32_t words = r.U32();
        const uint16_t objects = r.U16();
        const uint32_t largest = r.U32();
        EXPECT_EQ(r.U16(), 0);
        EXPECT_EQ(size_t(words) * 2, bytes.size() - 22);
        // Walk the records: sizes, the window, the object table as the slots are taken
        // (lowest free) and given back.
        uint32_t most = 0;
        std::vector<bool> live;
        size_t peak = 0, at = 22 + 18;
        int saved = 0, clips = 0;
        bool window = false, ended = false;
        while (at + 6 <= bytes.size()) {
            ByteReader rec(bytes.data() + at, bytes.size() - at);
            const uint32_t size = rec.U32();
            const uint16_t function = rec.U16();
            ASSERT_GE(size, 3u) << "at " << at;
            ASSERT_LE(at + size_t(size) * 2, bytes.size()) << "at " << at;
            most = std::max(most, size);
            if (function == 0x020C) {  // SetWindowExt: y, x
                EXPECT_EQ(rec.I16(), rows.height);
                EXPECT_EQ(rec.I16(), rows.width);
                window = true;
            } else if (function == 0x02FA || function == 0x02FB || function == 0x02FC ||
                       function == 0x00F7 || function == 0x0142 || function == 0x06FF) {
                const size_t slot = std::find(live.begin(), live.end(), false) - live.begin();
                if (slot == live.size()) live.push_back(false);
                live[slot] = true;
                peak = std::max(peak, live.size());
            } else if (function == 0x01F0) {
                const uint16_t slot = rec.U16();
                ASSERT_LT(slot, live.size());
                EXPECT_TRUE(live[slot]) << "deletes a free slot";
                live[slot] = false;
            } else if (function == 0x001E || function == 0x0127) {
                saved += function == 0x001E ? 1 : -1;
                EXPECT_TRUE(saved == 0 || saved == 1) << "contexts saved: " << saved;
                ++clips;
            } else if (function == 0x0000) {
                ended = true;
                EXPECT_EQ(at + size_t(size) * 2, bytes.size()) << "the end record is last";
            }
            at += size_t(size) * 2;
        }
        EXPECT_TRUE(window && ended);
        EXPECT_GT(clips, 0);
        EXPECT_EQ(saved, 0) << "every clip is released";
        EXPECT_EQ(at, bytes.size());
        EXPECT_EQ(largest, most);
        EXPECT_EQ(objects, peak);
    } else {
        const auto hundredths = [](int units) { return int(std::lround(units * 2540.0 / 96)); };
        EXPECT_EQ(r.U32(), 1u);
        EXPECT_EQ(r.U32(), 108u);
        const std::array<int, 4> bounds{r.I32(), r.I32(), r.I32(), r.I32()};
        EXPECT_EQ(bounds, (std::array<int, 4>{0, 0, rows.width - 1, rows.height - 1}));
        const std::array<int, 4> frame{r.I32(), r.I32(), r.I32(), r.I32()};
        EXPECT_EQ(frame, (std::array<int, 4>{0, 0, hundredths(rows.width) - 1,
                                             hundredths(rows.height) - 1}));
        EXPECT_EQ(r.U32(), 0x464D4520u);
        EXPECT_EQ(r.U32(), 0x00010000u);
        const uint32_t size = r.U32(), records = r.U32();
        const uint16_t handles = r.U16();
        EXPECT_EQ(r.U16(), 0);
        EXPECT_EQ(r.U32(), 0u) << "no description";
        EXPECT_EQ(r.U32(), 0u);
        EXPECT_EQ(r.U32(), 0u) << "no palette";
        // The reference device: 96 pixels per inch, 1920 pixels on 508 mm.
        EXPECT_EQ(r.I32(), 1920);
        EXPECT_EQ(r.I32(), 1920);
        EXPECT_EQ(r.I32(), 508);
        EXPECT_EQ(r.I32(), 508);
        EXPECT_EQ(size, bytes.size());
        uint32_t walked = 0;
        int most_slot = 0;
        size_t at = 0;
        uint32_t last_type = 0;
        int saved = 0, clips = 0;
        while (at + 8 <= bytes.size()) {
            ByteReader rec(bytes.data() + at, bytes.size() - at);
            const uint32_t type = rec.U32(), length = rec.U32();
            ASSERT_TRUE(length >= 8 && length % 4 == 0) << "record at " << at;
            ASSERT_LE(at + length, bytes.size());
            // CreatePen, CreateBrushIndirect, ExtCreateFontIndirectW name their slot first.
            if (type == 38 || type == 39 || type == 82) most_slot = std::max(most_slot, rec.I32());
            if (type == 33 || type == 34) {  // SaveDC, RestoreDC
                saved += type == 33 ? 1 : -1;
                EXPECT_TRUE(saved == 0 || saved == 1) << "contexts saved: " << saved;
                ++clips;
            }
            ++walked;
            last_type = type;
            at += length;
        }
        EXPECT_EQ(at, bytes.size());
        EXPECT_EQ(last_type, 14u) << "ends with the end record";
        EXPECT_GT(clips, 0);
        EXPECT_EQ(saved, 0) << "every clip is released";
        EXPECT_EQ(records, walked);
        EXPECT_EQ(handles, most_slot + 1) << "slot 0 is the file's own";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, MetafileHeader,
    ::testing::Values(
        HeaderCase{"wmf_letter", MetafileFormat::Wmf, 8.5, 10, true, true},
        HeaderCase{"wmf_odd_size_no_bands", MetafileFormat::Wmf, 8.52, 7.27, false, false},
        HeaderCase{"emf_letter", MetafileFormat::Emf, 8.5, 10, true, true},
        HeaderCase{"emf_odd_size", MetafileFormat::Emf, 8.52, 7.27, true, true},
        HeaderCase{"emf_odd_size_no_footer", MetafileFormat::Emf, 8.52, 7.27, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Neighbouring fills in an SVG drawing meet without a seam: rasterised by librsvg at zooms
// where their shared edges fall inside pixels, every pixel inside the two is one of their
// colours, none lighter where the white below showed through.
TEST(SvgFills, NeighbouringFillsLeaveNoSeamAtAnyZoom) {
    const auto Solid = [](Color color) {
        Brush brush;
        brush.color = color;
        return brush;
    };
    const Color navy = RgbColor(0, 0, 128), green = RgbColor(0, 128, 0);
    const Rect area{0, 0, 60, 40};
    const std::vector<Point> left_part = {{0, 0}, {37, 0}, {23, 40}, {0, 40}};
    const std::vector<Point> right_part = {{37, 0}, {60, 0}, {60, 40}, {23, 40}};
    struct Case {
        const char* name;
        std::function<void(SvgWriter&)> draw;
    } cases[] = {
        {"boxes side by side",
         [&](SvgWriter& svg) {
             svg.FillRect({0, 0, 27, 40});
             svg.SelectBrush(Solid(green));
             svg.FillRect({27, 0, 60, 40});
         }},
        {"regions either side of a slanted edge",
         [&](SvgWriter& svg) {
             svg.PaintRegion(Region::FromPolygon(left_part, FillMode::Alternate, area));
             svg.SelectBrush(Solid(green));
             svg.PaintRegion(Region::FromPolygon(right_part, FillMode::Alternate, area));
         }},
        {"polygons sharing a slanted edge",
         [&](SvgWriter& svg) {
             Pen none;
             none.style = PenStyle::Null;
             svg.SelectPen(none);
             svg.Polygon(left_part);
             svg.SelectBrush(Solid(green));
             svg.Polygon(right_part);
         }},
    };
    testing::TempDir dir;
    for (const Case& c : cases) {
        const std::string file = dir.File("fills.svg");
        {
            std::ofstream out(file);
            SvgWriter svg(out, area.right, area.bottom, "fills");
            svg.SelectBrush(Solid(navy));
            c.draw(svg);
            svg.Finish();
        }
        for (const char* zoom : {"1.37", "2.5", "3.3"}) {
            SCOPED_TRACE(std::string(c.name) + " at " + zoom);
            const std::string png = dir.File("fills.png");
            ASSERT_EQ(Shell("rsvg-convert -b white -z " + std::string(zoom) + " " + Quoted(file) +
                            " -o " + Quoted(png)),
                      0);
            const QImage read =
                QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
            ASSERT_FALSE(read.isNull());
            int seams = 0;
            // The outer edge may blend with the white around; the inside may not.
            for (int y = 2; y < read.height() - 2; ++y) {
                for (int x = 2; x < read.width() - 2; ++x) {
                    const QRgb p = read.pixel(x, y);
                    const bool own = p == qRgb(0, 0, 128) || p == qRgb(0, 128, 0);
                    if (!own && ++seams == 1) {
                        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << p;
                    }
                }
            }
            EXPECT_EQ(seams, 0);
        }
    }
}

}  // namespace
}  // namespace cindral
