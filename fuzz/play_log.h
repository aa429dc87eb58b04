#pragma once
// Opens a log from bytes in memory as a document does (every record checked without decoding,
// then the page index) and plays its first and last pages into the trace target through the
// index, then the whole file. The log fuzz target runs it on every input; the regression test
// runs it on the inputs the fuzzer once failed on. A refused log raises the reader's IoError.

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/format/file_object.h"
#include "core/format/gdx_reader.h"
#include "core/interpreter/page_index.h"
#include "core/interpreter/trace_object.h"
#include "core/pages/page_layout.h"

namespace cindral::fuzz {

// Pages played at each end: enough to reach the later-page bands and the last page; a log
// claiming a million pages still plays only these. Returns the pages played.
inline long PlayLogPages(const std::string& path, const std::shared_ptr<const FileBytes>& bytes,
                         const std::string& patterns, const std::string& symbols,
                         long pages_at_each_end = 3) {
    file_object file;
    file.FileName = path;
    file.UseMemoryImage(bytes);
    file.OpenRead();
    const GdxHeader header = ReadHeader(file);
    const int64_t first_command = file.Position();
    GdxSummary counts;
    GdxReader(file).CountCommands(counts);
    file.Seek(first_command);
    const PageIndex index = PageIndex::Build(file, header);
    file.Close();

    const PageLayout layout = Paginate(header, kScreenPixelsPerInch);
    const PageScale scale =
        PageScaleAt(header, int(kScreenPixelsPerInch), int(kScreenPixelsPerInch));
    std::ostringstream sink;
    trace_object trace(sink, patterns, symbols);
    trace.AnnotateCommands = false;
    trace.FileName = path;
    trace.UseMemoryImage(bytes);
    long played = 0;
    for (long page = 0; page <= layout.LastPage; ++page) {
        if (page == pages_at_each_end && layout.LastPage >= 2 * pages_at_each_end) {
            page = layout.LastPage - pages_at_each_end;
        }
        const PageGeometry g = GeometryOfPage(header, scale, static_cast<int>(page),
                                              static_cast<int>(layout.LastPage));
        const std::vector<int64_t> offsets = index.CommandsFor(SelectionOfPage(header, g));
        trace.SetPlaySelection(&offsets);
        trace.PlayCommands();
        sink.str({});
        ++played;
    }
    trace.SetPlaySelection(nullptr);
    trace.PlayCommands();
    return played;
}

}  // namespace cindral::fuzz
