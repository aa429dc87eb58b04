#pragma once
// The log document: the one front door to a compiled log for the viewer, the CLI, printing,
// export and the benchmarks. It reads the file's bytes once, walks its records once (a
// malformed file is refused here, at open), and then answers the header, the pages and
// their layout, a page drawn at any resolution, the depth at a row, a depth interval and a
// custom page length. Pages come from the bytes read at open, so a file changed on disk
// never mixes into them; Reload() takes a new state only when the new file reads whole.

#include <QImage>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/environment/document_settings.h"
#include "core/environment/settings.h"
#include "core/format/file_image.h"
#include "core/format/gdx_header.h"
#include "core/format/gdx_reader.h"
#include "core/interpreter/page_index.h"
#include "core/pages/page_layout.h"

namespace cindral {

class Canvas;
class gd_object;
class logp_object;
class TextIndex;

// What a document is opened with: the library files and page length it takes from the
// settings, and the settings the renderer follows.
struct LogDocumentOptions {
    DocumentSettings files;
    Settings settings;
};

// The bytes and header read at open, the command counts the walk at open found, and the
// page index; shared, read-only, by a document and its copies on other threads.
struct LoadedLog {
    std::string file_name;
    std::shared_ptr<const FileBytes> bytes;
    // The header as the file has it and the command counts, as `cindral-cli info` prints them.
    GdxSummary summary;
    int64_t header_end = 0;  // offset of the first command

    // The page index, built from the bytes on first use (describing a log never needs it),
    // once for the document and all its copies, whichever thread asks first.
    const PageIndex& Index() const;

    struct LazyIndex {
        std::once_flag built;
        PageIndex index;
    };
    std::shared_ptr<LazyIndex> index = std::make_shared<LazyIndex>();
};

class LogDocument {
  public:
    // Opens `path` and lays it out at `pixels_per_inch`. Refuses an unreadable or malformed
    // file with the message the viewer shows (CindralError).
    LogDocument(const std::string& path, LogDocumentOptions options, int pixels_per_inch = 96);
    ~LogDocument();
    LogDocument(const LogDocument&) = delete;
    LogDocument& operator=(const LogDocument&) = delete;

    // Another document on the same bytes and index with a renderer of its own, the same
    // interval, page length and resolution: for drawing on another thread.
    std::unique_ptr<LogDocument> Copy() const;

    const std::string& FileName() const { return log_->file_name; }
    // The log now lives under `path` (after Save As moved it); its bytes are the same.
    void SetFileName(const std::string& path);
    // The header pages are laid out from: the file's, with the interval and page length set
    // here.
    const GdxHeader& Header() const { return view_; }
    // The header as the file has it.
    const GdxHeader& FileHeader() const { return log_->summary.header; }
    const PageIndex& Index() const { return log_->Index(); }
    const LogDocumentOptions& Options() const { return options_; }
    const std::shared_ptr<const LoadedLog>& Loaded() const { return log_; }

    int PixelsPerInch() const { return pixels_per_inch_; }
    // Lays the pages out again at another resolution (the printer's, an export's).
    void SetPixelsPerInch(int pixels_per_inch);

    const PageLayout& Layout() const { return layout_; }
    // The layout the pages would have at another resolution, without changing this one.
    PageLayout LayoutAt(double pixels_per_inch) const;
    int LastPage() const { return static_cast<int>(layout_.LastPage); }
    int PageCount() const { return LastPage() + 1; }
    PageGeometry Geometry(int page) const;
    // Depth (or elevation, with the datum added) at a pixel row of `page`.
    double DepthAt(int page, int row, bool elevation) const;

    // The longest custom page length whose pages fit the page at this resolution.
    double LongestPageLength() const;
    // Shows the interval TOP..BOTTOM (TOP the greater); the file is not changed.
    void SetInterval(double top, double bottom);
    // Cuts pages by `units_per_page` depth units, or by the page size; the file is not changed.
    void SetPageLength(bool custom, double units_per_page);
    // The same, written back into the file's header (the file's own interval is kept). The
    // file on disk and this document change together, or neither does.
    void StorePageLength(bool custom, double units_per_page);
    // Writes a new page size (inches) into the file's header and lays the pages out with it.
    // On failure (CindralError) the file and the document are as they were.
    void StorePageSize(double page_height, double page_width);
    // Reads the file again. On failure (CindralError) the document is as it was.
    void Reload();

    // Page `page` (0-based) on a white bitmap of the page's size at the document's
    // resolution; below 96 pixels per inch, the page drawn at 96 and reduced smoothly. A page
    // outside the log or too large for memory is refused (CindralError).
    QImage RenderPage(int page);
    // Page `page` onto `canvas`, whose resolution is the document's.
    void DrawPage(int page, Canvas& canvas);
    // The same through `renderer`, one made with this document's options that does more
    // than draw (the text index's notes what each command drew).
    void DrawPage(int page, Canvas& canvas, logp_object& renderer) const;
    // The byte offsets of the commands page `page` plays, in file order.
    std::vector<int64_t> CommandsOfPage(int page) const;
    // Readies `target` to play page `page` (or the whole file for page -1) from the bytes
    // read at open, with this document's header. `offsets` receives the page's commands and
    // must outlive the play.
    void PreparePlay(gd_object& target, int page, std::vector<int64_t>& offsets) const;

    // The text index of the pages as they are laid out now (any resolution: its boxes are in
    // inches), built on first use on the calling thread and shared with this document's
    // copies, so a copy can build it on another thread for the document. A new interval,
    // page length or reload starts a new one.
    std::shared_ptr<const TextIndex> Texts() const;
    // The same when it is built already, else null; never builds.
    std::shared_ptr<const TextIndex> TextsIfBuilt() const;

    // Plays every page from the whole file instead of through the index (the reference
    // the index is tested against).
    void SetUseIndex(bool use) { use_index_ = use; }

  private:
    LogDocument(std::shared_ptr<const LoadedLog> log, const LogDocumentOptions& options);
    // A document on `log` with `view`, this one's options, resolution and index choice.
    std::unique_ptr<LogDocument> DocumentOn(std::shared_ptr<const LoadedLog> log,
                                            const GdxHeader& view) const;
    void MakeRenderer();
    void Paginate();
    void RequirePage(int page) const;
    // What the page arithmetic needs at `pixels_per_inch` with this document's settings.
    PagingInput PagingAt(double pixels_per_inch) const;

    std::shared_ptr<const LoadedLog> log_;
    LogDocumentOptions options_;
    GdxHeader view_;
    int pixels_per_inch_ = 96;
    PageScale scale_;
    PageLayout layout_;
    std::unique_ptr<logp_object> renderer_;
    bool use_index_ = true;
    // The pages at full size, that a document of a lower resolution reduces.
    static constexpr int kFullSizePixelsPerInch = 96;
    std::unique_ptr<LogDocument> full_size_;
    struct TextsOnce {
        std::mutex mutex;
        std::shared_ptr<const TextIndex> index;
    };
    std::shared_ptr<TextsOnce> texts_ = std::make_shared<TextsOnce>();
    void ForgetTexts() { texts_ = std::make_shared<TextsOnce>(); }
};

// Reads `path` whole and walks its records; the open of LogDocument, for callers that only
// want the header and the counts (CindralError on a refused file).
std::shared_ptr<const LoadedLog> LoadLog(const std::string& path, double default_units_per_page);

}  // namespace cindral
