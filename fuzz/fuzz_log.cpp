// Opens a log from the input bytes and plays every page into the trace target, through the
// page index as the viewer does, and once as the whole file.

#include <cstdint>
#include <memory>
#include <sstream>
#include <vector>

#include "core/environment/errors.h"
#include "core/format/file_object.h"
#include "core/format/gdx_reader.h"
#include "core/interpreter/page_index.h"
#include "core/interpreter/trace_object.h"
#include "core/pages/page_layout.h"
#include "fuzz_support.h"

namespace {

// Enough pages to reach the later-page bands and the last page; a log claiming a million
// pages still plays its first and last few.
constexpr long kPagesPlayed = 6;

void PlayPages(const std::string& path, const std::shared_ptr<const cindral::FileBytes>& bytes,
               const std::string& patterns, const std::string& symbols) {
    using namespace cindral;
    file_object file;
    file.FileName = path;
    file.UseMemoryImage(bytes);
    file.OpenRead();
    const GdxHeader header = ReadHeader(file);
    // As a document opens a log: every record checked without decoding, then the index.
    const int64_t first_command = file.Position();
    GdxSummary counts;
    GdxReader(file).CountCommands(counts);
    file.Seek(first_command);
    const PageIndex index = PageIndex::Build(file, header);
    file.Close();

    const PageLayout layout = Paginate(header, kScreenPixelsPerInch);
    const PageBands bands = ComputePageBands(header, kScreenPixelsPerInch, layout.PageHeightPx,
                                             kScreenPixelsPerInch / header.DepthUnitsPerInch, 0.25);
    std::ostringstream sink;
    trace_object trace(sink, patterns, symbols);
    trace.AnnotateCommands = false;
    trace.FileName = path;
    trace.UseMemoryImage(bytes);
    for (long page = 0; page <= layout.LastPage; ++page) {
        if (page == kPagesPlayed / 2 && layout.LastPage >= kPagesPlayed) {
            page = layout.LastPage - kPagesPlayed / 2;
        }
        PageGeometryInput in;
        in.DepthScale = bands.DepthScale;
        in.PageHeightPx = layout.PageHeightPx;
        in.CurrentPage = static_cast<int>(page);
        in.LastPage = static_cast<int>(layout.LastPage);
        in.HeaderMode = HeaderModeOf(header, static_cast<int>(page));
        const PageGeometry g = ComputePageGeometry(header, in);
        const PageDepthWindow window =
            DepthWindowOf(header, g, layout.PageHeightPx, bands.DepthScale, static_cast<int>(page),
                          static_cast<int>(layout.LastPage), 2);
        PageSelection selection{window.top, window.bottom, g.HeaderMode, g.HasFooter};
        const std::vector<int64_t> offsets = index.CommandsFor(selection);
        trace.SetPlaySelection(&offsets);
        trace.PlayCommands();
        sink.str({});
    }
    trace.SetPlaySelection(nullptr);
    trace.PlayCommands();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cindral;
    static const std::string patterns = fuzz::LibraryPath("QuenUtil.Pat");
    static const std::string symbols = fuzz::LibraryPath("QuenUtil.Sym");
    auto bytes = std::make_shared<const FileBytes>(data, data + size);
    try {
        PlayPages(fuzz::ScratchDirectory() + "input.gdx", bytes, patterns, symbols);
    } catch (const CindralError&) {
    }
    return 0;
}
