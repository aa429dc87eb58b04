// Writes the starting corpora of the fuzz targets and the record-code dictionary of the log
// target from the system's own writers, so the seeds follow the formats as they change.
// Usage: make_seeds FOLDER SAMPLE.gdx   (makes FOLDER/<target>/ and FOLDER/log.dict)

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <variant>

#include "core/base/whole_file.h"
#include "core/environment/display_options.h"
#include "core/environment/settings.h"
#include "core/format/file_object.h"
#include "core/format/gdx_writer.h"
#include "render/canvas/emf_writer.h"
#include "render/canvas/wmf_writer.h"
#include "render/export/picture_writers.h"

namespace {

using namespace cindral;
namespace fs = std::filesystem;

std::string folder;

void Put(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(folder + "/" + target);
    WriteFileBytes(folder + "/" + target + "/" + name, bytes);
}

GdxHeader SmallHeader(int version) {
    GdxHeader h;
    h.version = version;
    h.PageHeight = 2;
    h.PageWidth = 2;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 50;
    h.MaxX = 200;
    h.BottomDepth = -300;
    h.FirstHeaderHeight = 0.3;
    h.NextHeaderHeight = 0.2;
    h.FooterHeight = 0.2;
    h.BandGap = 0.05;
    return h;
}

// One command of every kind in the table, its numbers inside the page.
template <size_t I = 1>
void WriteEveryCommand(GdxWriter& w) {
    if constexpr (I < std::variant_size_v<CommandRecord>) {
        GdxCommand command(CommandRecord(std::in_place_index<I>));
        command.points = {{10, -10}, {120, -40}, {60, -150}};
        command.points2 = {{20, -20}, {90, -90}};
        command.segments = {DrawLineRecord{5, -5, 50, -60}, DrawLineRecord{50, -60, 90, -10}};
        command.text = "Gr 1";
        command.data = {'B', 'M'};
        std::visit(
            [](auto& r) {
                if constexpr (std::is_same_v<std::decay_t<decltype(r)>, DrawTextBoxRecord>) {
                    r.TextLength = 5;
                }
            },
            command.record);
        w.Write(command);
        WriteEveryCommand<I + 1>(w);
    }
}

void Logs() {
    for (int version : {kHeaderCode, kOldHeaderCode}) {
        GdxWriter w(SmallHeader(version));
        WriteEveryCommand(w);
        Put("log", "every-command-" + std::to_string(version) + ".gdx", w.Bytes());
    }
    GdxWriter lines(SmallHeader(kHeaderCode));
    for (int i = 0; i < 40; ++i) lines.Write(DrawLineRecord{0, -7.5 * i, 200, -7.5 * i - 3});
    Put("log", "lines.gdx", lines.Bytes());
    std::ofstream dict(folder + "/log.dict");
    for (const CommandInfo& info : CommandTable()) {
        char entry[64];
        std::snprintf(entry, sizeof entry, "code_%d=\"\\x%02X\\x%02X\"\n", info.code,
                      info.code & 0xFF, (info.code >> 8) & 0xFF);
        dict << entry;
    }
    for (int code : {int(kHeaderCode), int(kOldHeaderCode), int(kBoxTextCode)}) {
        char entry[64];
        std::snprintf(entry, sizeof entry, "code_%d=\"\\x%02X\\x%02X\"\n", code, code & 0xFF,
                      (code >> 8) & 0xFF);
        dict << entry;
    }
}

// The sample log cut after its last whole command below `limit` bytes: real commands, but
// small enough for many runs a second.
void SampleStart(const std::string& sample, size_t limit) {
    const std::vector<uint8_t> bytes = ReadFileBytes(sample);
    file_object file;
    file.FileName = sample;
    file.OpenRead();
    ReadHeader(file);
    GdxReader reader(file);
    GdxCommand command;
    size_t end = static_cast<size_t>(file.Position());
    while (reader.Next(command) && static_cast<size_t>(file.Position()) <= limit) {
        end = static_cast<size_t>(file.Position());
    }
    Put("log", "sample-start.gdx", std::vector<uint8_t>(bytes.begin(), bytes.begin() + end));
}

void SettingsFiles() {
    SettingsEnvironment environment;
    environment.program_directory = "/nonexistent/";
    environment.user_directory = "/nonexistent/";
    environment.exe_base_name = "cindral";
    Put("settings", "defaults.Cn2", EncodeSettings(DefaultSettings(environment)));
    Put("settings", "defaults.CN1", EncodeDisplayOptions(DefaultDisplayOptions()));
}

QImage Picture(int width, int height, QImage::Format format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(1, 1, width / 2, height / 3, QColor(200, 30, 40));
    p.drawLine(0, height - 1, width - 1, 0);
    p.end();
    return image.convertToFormat(format);
}

void Pictures() {
    Put("bmp", "rgb.bmp", EncodeBmp(Picture(7, 5, QImage::Format_RGB32), 96));
    Put("bmp", "one.bmp", EncodeBmp(Picture(1, 1, QImage::Format_RGB32), 300));
    Put("jpeg", "q75.jpg", EncodeJpeg(Picture(17, 9, QImage::Format_RGB32), 75, 96));
    Put("jpeg", "q10.jpg", EncodeJpeg(Picture(8, 8, QImage::Format_RGB32), 10, 300));
    Put("jpeg", "gray.jpg", EncodeJpeg(Picture(9, 3, QImage::Format_Grayscale8), 50, 96));
}

template <class Writer>
std::vector<uint8_t> Metafile(Writer& writer, std::ostringstream& out) {
    Pen pen;
    pen.width = 2;
    pen.style = PenStyle::Dash;
    writer.SelectPen(pen);
    Brush brush;
    brush.style = BrushStyle::Hatched;
    brush.hatch = HatchStyle::Cross;
    writer.SelectBrush(brush);
    writer.MoveTo(3, 4);
    writer.LineTo(90, 70);
    writer.Rectangle({10, 10, 50, 40});
    writer.Ellipse({20, 20, 80, 60});
    writer.Polygon({{1, 1}, {30, 5}, {12, 40}});
    writer.Arc({5, 5, 60, 60}, {60, 30}, {5, 30});
    Font font;
    font.height = -12;
    writer.SelectFont(font);
    writer.ExtTextOut(15, 25, 0, nullptr, "Depth 1200", {});
    Bitmap bitmap;
    bitmap.width = 3;
    bitmap.height = 2;
    bitmap.argb = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF000000u, 0xFFFFFFFFu, 0xFF808080u};
    writer.StretchDib({40, 40, 70, 60}, bitmap, {0, 0, 3, 2});
    writer.Finish();
    const std::string bytes = out.str();
    return {bytes.begin(), bytes.end()};
}

void Metafiles() {
    {
        std::ostringstream out;
        WmfWriter writer(out, 100, 80);
        Put("wmf", "drawing.wmf", Metafile(writer, out));
    }
    {
        std::ostringstream out;
        EmfWriter writer(out, 100, 80);
        Put("emf", "drawing.emf", Metafile(writer, out));
    }
    std::vector<uint8_t> calls;
    for (int i = 0; i < 400; ++i) calls.push_back(static_cast<uint8_t>(i * 37 + (i >> 3)));
    Put("metafile_roundtrip", "calls", calls);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds FOLDER SAMPLE.gdx\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    folder = argv[1];
    Logs();
    SampleStart(argv[2], 24 * 1024);
    SettingsFiles();
    Pictures();
    Metafiles();
    return 0;
}
