// The export paths (pictures, HTML table, metafiles, PDF) and the temporary picture files,
// made to fail at each system call they pass in turn through the file operations seam: an
// existing file of the user's name stays as it was, nothing partial or temporary remains
// and the failure reaches the caller.

#include <gtest/gtest.h>

#include <QImage>
#include <climits>
#include <filesystem>
#include <functional>
#include <set>

#include "core/base/errors.h"
#include "core/base/file_operations.h"
#include "core/format/gdx_writer.h"
#include "fault_cause.h"
#include "render/canvas/trace_canvas.h"
#include "render/document/log_document.h"
#include "render/document/metafile_export.h"
#include "render/document/print_pages.h"
#include "render/export/html_table.h"
#include "render/export/picture_writers.h"
#include "render/pictures/picture_files.h"
#include "render/pictures/picture_log.h"
#include "render/renderers/logp_object.h"
#include "temp_dir.h"

namespace cindral {
namespace {

namespace fs = std::filesystem;
namespace ops = file_operations;
using ops::Step;

struct ExportPath {
    const char* name;
    const char* file;  // the user's file, existing before the export
    std::function<void(const testing::TempDir&)> write;
    const char* also = nullptr;  // another file of the export's, existing before it
};

// A two-inch page, 100 units an inch both ways, 200 units wide.
GdxHeader SmallHeader(double bottom_depth) {
    GdxHeader h;
    h.PageHeight = 2;
    h.PageWidth = 2;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 100;
    h.MaxX = 200;
    h.TopDepth = 0;
    h.BottomDepth = bottom_depth;
    return h;
}

std::string LogIn(const testing::TempDir& dir) {
    GdxWriter w(SmallHeader(-300));
    for (int i = 0; i < 30; ++i) w.Write(DrawLineRecord{0, -10.0 * i, 200, -10.0 * i - 5});
    w.Save(dir.File("log.gdx"));
    return dir.File("log.gdx");
}

LogDocumentOptions Options() {
    LogDocumentOptions options;
    options.files.pattern_file = testing::BinDir() + "/QuenUtil.Pat";
    options.files.symbol_file = testing::BinDir() + "/QuenUtil.Sym";
    return options;
}

QImage Page() {
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

void Metafile(const testing::TempDir& dir, MetafileFormat format, const char* name) {
    LogDocument document(dir.File("log.gdx"), Options());
    auto renderer = MakeMetafileRenderer(document, document.Header());
    MetafileExportOptions options;
    options.output = dir.File(name);
    options.format = format;
    ExportMetafile(*renderer, options);
}

const ExportPath kExports[] = {
    {"Bmp", "page.bmp",
     [](const testing::TempDir& d) {
         SavePicture(Page(), d.File("page.bmp"), PictureFormat::Bmp, 80, 96);
     }},
    {"Jpeg", "page.jpg",
     [](const testing::TempDir& d) {
         SavePicture(Page(), d.File("page.jpg"), PictureFormat::Jpeg, 80, 96);
     }},
    {"Png", "page.png",
     [](const testing::TempDir& d) {
         SavePicture(Page(), d.File("page.png"), PictureFormat::Png, 80, 96);
     }},
    {"HtmlTable", "table.html",
     [](const testing::TempDir& d) {
         LogDocument document(d.File("log.gdx"), Options());
         WriteHtmlTable(document, HtmlTableOptions{d.File("table.html"), 30, 50});
     },
     "table_p1.jpg"},
    {"Wmf", "log.wmf",
     [](const testing::TempDir& d) { Metafile(d, MetafileFormat::Wmf, "log.wmf"); }},
    {"Emf", "log.emf",
     [](const testing::TempDir& d) { Metafile(d, MetafileFormat::Emf, "log.emf"); }},
    {"Pdf", "log.pdf",
     [](const testing::TempDir& d) {
         LogDocument document(d.File("log.gdx"), Options());
         WritePdf(document, d.File("log.pdf"), 0, document.LastPage());
     }},
};

std::set<std::string> Names(const testing::TempDir& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename());
    return names;
}

const ops::Fault kFaults[] = {
    {Step::Create, 1, EACCES, false}, {Step::Write, 1, ENOSPC, true},
    {Step::Write, 1, ENOSPC, false},  {Step::Sync, 1, EIO, false},
    {Step::Close, 1, EIO, false},     {Step::Rename, 1, EXDEV, false},
};

class ExportFaults : public ::testing::TestWithParam<ExportPath> {
  protected:
    void TearDown() override { ops::ClearFault(); }
};

TEST_P(ExportFaults, AFailureAtAnyStepKeepsTheOldFileAndIsRaised) {
    const ExportPath& path = GetParam();
    // The last step of each kind too: a fault late in a long write.
    std::vector<ops::Fault> faults(std::begin(kFaults), std::end(kFaults));
    {
        testing::TempDir probe;
        LogIn(probe);
        ops::InjectFault({Step::Write, INT_MAX, 0, false});
        path.write(probe);
        for (Step step : {Step::Write, Step::Sync, Step::Rename}) {
            const int calls = ops::Calls(step);
            ASSERT_GE(calls, 1) << "the export never passes this step";
            faults.push_back({step, calls, step == Step::Write ? ENOSPC : EIO, false});
        }
        ops::ClearFault();
    }
    for (const ops::Fault& fault : faults) {
        SCOPED_TRACE(::testing::Message() << "step " << int(fault.step) << " call " << fault.nth);
        testing::TempDir dir;
        const std::vector<uint8_t> before = {'o', 'l', 'd'};
        WriteFileBytes(dir.File(path.file), before);
        if (path.also) WriteFileBytes(dir.File(path.also), before);
        // Written before the fault is planned: the fault lands in the export, not in the log
        // it reads.
        LogIn(dir);
        const std::set<std::string> names = Names(dir);
        ops::InjectFault(fault);
        bool raised = false;
        std::string message;
        try {
            path.write(dir);
        } catch (const CindralError& e) {
            raised = true;
            message = e.what();
        }
        ops::ClearFault();
        EXPECT_TRUE(raised);
        EXPECT_TRUE(testing::NamesCause(message, fault.error)) << message;
        EXPECT_EQ(testing::ReadFileBytes(dir.File(path.file)), before);
        if (path.also) {
            EXPECT_EQ(testing::ReadFileBytes(dir.File(path.also)), before);
        }
        // Neither temporary files nor new files of the export (the HTML table's pictures).
        EXPECT_EQ(Names(dir), names);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, ExportFaults, ::testing::ValuesIn(kExports),
                         [](const auto& info) { return std::string(info.param.name); });

// A temporary picture file that cannot be written: the picture is reported as broken, a
// placeholder is drawn, and the temporary file is gone.
TEST(TemporaryPictureFiles, AFailedWriteIsReportedAndLeavesNoFile) {
    testing::TempDir dir;
    SetPictureTempDirectory(dir.path());
    std::vector<std::string> notes;
    const RenderNoteSink previous =
        SetRenderNoteSink([&](const std::string& line) { notes.push_back(line); });
    for (const ops::Fault& fault : kFaults) {
        if (fault.step != Step::Write && fault.step != Step::Close) continue;
        SCOPED_TRACE(int(fault.step));
        notes.clear();
        logp_object renderer(testing::BinDir() + "/QuenUtil.Pat",
                             testing::BinDir() + "/QuenUtil.Sym");
        renderer.Header() = SmallHeader(-100);
        const PageGeometry page =
            GeometryOfPage(renderer.Header(), DrawablePageScale(renderer.Header(), 96, 96), 0, 0);
        TraceCanvas canvas({96, 96, 192, 192, false});
        renderer.Bind(canvas, page, {});
        ASSERT_TRUE(renderer.BeginPage());
        std::vector<uint8_t> wmf(64, 0);
        ops::InjectFault(fault);
        renderer.DrawPicture(
            DrawPictureRecord{10, 0.1, 50, 0.5, 0, 0, static_cast<uint8_t>(page.HeaderMode)}, wmf);
        ops::ClearFault();
        renderer.EndPage();
        renderer.Unbind();
        ASSERT_FALSE(notes.empty()) << "the broken picture is not reported";
        EXPECT_TRUE(testing::NamesCause(notes[0], fault.error)) << notes[0];
        EXPECT_TRUE(fs::is_empty(dir.path())) << "a temporary picture file remains";
    }
    SetRenderNoteSink(previous);
    SetPictureTempDirectory("");
}

}  // namespace
}  // namespace cindral
