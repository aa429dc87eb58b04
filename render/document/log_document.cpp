#include "render/document/log_document.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "core/base/errors.h"
#include "core/format/byte_codec.h"
#include "core/format/file_object.h"
#include "render/canvas/qt_canvas.h"
#include "render/document/text_index.h"
#include "render/renderers/logp_object.h"
#include "render/renderers/render_settings.h"

namespace cindral {
namespace {

// A page bitmap above this many pixels (1 GB of RGB32) is refused rather than attempted.
constexpr int64_t kMostPagePixels = int64_t(1) << 28;

CindralError PageTooLarge(int width, int height) {
    return CindralError("The page of " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels cannot be drawn.");
}

// Far beyond any compiled log (a 300-page log is about 4 MB); keeps a mistaken open of a
// huge file from taking the memory.
constexpr int64_t kMostLogBytes = int64_t(1) << 31;

FileBytes ReadAll(file_object& file) {
    if (file.FileSize > kMostLogBytes) {
        throw IoError(Quoted(file.FileName) + ": the file of " + std::to_string(file.FileSize) +
                          " bytes is too large for a compiled log.",
                      0);
    }
    FileBytes bytes(static_cast<size_t>(file.FileSize));
    file.ReadBlock(bytes.data(), bytes.size());
    return bytes;
}

// Header and command counts of bytes already in memory; every record is checked.
std::shared_ptr<LoadedLog> WalkBytes(const std::string& path,
                                     std::shared_ptr<const FileBytes> bytes,
                                     double default_units_per_page) {
    auto log = std::make_shared<LoadedLog>();
    log->file_name = path;
    log->bytes = bytes;
    file_object file;
    file.FileName = path;
    file.UseMemoryImage(std::move(bytes));
    file.OpenRead();
    log->summary.header = ReadHeader(file, default_units_per_page);
    log->header_end = file.Position();
    GdxReader(file).CountCommands(log->summary);
    file.Close();
    return log;
}

}  // namespace

std::shared_ptr<const LoadedLog> LoadLog(const std::string& path, double default_units_per_page) {
    file_object file;
    file.FileName = path;
    file.OpenRead();
    auto bytes = std::make_shared<const FileBytes>(ReadAll(file));
    file.Close();
    return WalkBytes(path, std::move(bytes), default_units_per_page);
}

const PageIndex& LoadedLog::Index() const {
    std::call_once(index->built, [this] {
        file_object file;
        file.FileName = file_name;
        file.UseMemoryImage(bytes);
        file.OpenRead();
        file.Seek(header_end);
        index->index = PageIndex::Build(file, summary.header);
    });
    return index->index;
}

LogDocument::LogDocument(const std::string& path, LogDocumentOptions options, int pixels_per_inch)
    : options_(std::move(options)) {
    log_ = LoadLog(path, options_.files.default_page_length);
    view_ = log_->summary.header;
    MakeRenderer();
    SetPixelsPerInch(pixels_per_inch);
}

LogDocument::LogDocument(std::shared_ptr<const LoadedLog> log, const LogDocumentOptions& options)
    : log_(std::move(log)), options_(options) {}

LogDocument::~LogDocument() = default;

std::unique_ptr<LogDocument> LogDocument::Copy() const {
    return DocumentOn(log_, view_);
}

std::unique_ptr<LogDocument> LogDocument::DocumentOn(std::shared_ptr<const LoadedLog> log,
                                                     const GdxHeader& view) const {
    std::unique_ptr<LogDocument> document(new LogDocument(std::move(log), options_));
    document->view_ = view;
    document->use_index_ = use_index_;
    document->MakeRenderer();
    document->SetPixelsPerInch(pixels_per_inch_);
    document->texts_ = texts_;
    return document;
}

void LogDocument::MakeRenderer() {
    auto renderer = std::make_unique<logp_object>(
        options_.files.pattern_file, options_.files.symbol_file, options_.files.default_page_length,
        options_.settings.DepthUnitsPerInch);
    renderer_ = std::move(renderer);
}

void LogDocument::SetFileName(const std::string& path) {
    auto renamed = std::make_shared<LoadedLog>(*log_);
    renamed->file_name = path;
    log_ = std::move(renamed);
}

void LogDocument::SetPixelsPerInch(int pixels_per_inch) {
    scale_ = DrawablePageScale(view_, pixels_per_inch, pixels_per_inch);
    pixels_per_inch_ = pixels_per_inch;
    Paginate();
}

PagingInput LogDocument::PagingAt(double pixels_per_inch) const {
    PagingInput in;
    in.PixelsPerInch = pixels_per_inch;
    in.RepeatedHeaderGap = options_.settings.RepeatedHeaderGap;
    return in;
}

PageLayout LogDocument::LayoutAt(double pixels_per_inch) const {
    return cindral::Paginate(view_, PagingAt(pixels_per_inch));
}

void LogDocument::Paginate() {
    layout_ = LayoutAt(pixels_per_inch_);
    full_size_.reset();
}

PageGeometry LogDocument::Geometry(int page) const {
    return GeometryOfPage(view_, scale_, page, LastPage(), options_.settings.RepeatedHeaderGap);
}

double LogDocument::DepthAt(int page, int row, bool elevation) const {
    const PageGeometry g = Geometry(page);
    const double depth = RowToDepth(row, view_.TopDepth, g.DepthOriginPx, g.DepthScale);
    return elevation ? depth + view_.ElevationDatum : depth;
}

double LogDocument::LongestPageLength() const {
    return cindral::LongestPageLength(view_, PagingAt(pixels_per_inch_));
}

void LogDocument::SetInterval(double top, double bottom) {
    view_.TopDepth = top;
    view_.BottomDepth = bottom;
    Paginate();
    ForgetTexts();
}

void LogDocument::SetPageLength(bool custom, double units_per_page) {
    view_.CustomPageLength = custom ? 1 : 0;
    view_.UnitsPerPage = units_per_page;
    Paginate();
    ForgetTexts();
}

void LogDocument::StorePageLength(bool custom, double units_per_page) {
    GdxHeader stored = log_->summary.header;
    stored.CustomPageLength = custom ? 1 : 0;
    stored.UnitsPerPage = units_per_page;
    // A header whose interval runs upward is stored without one.
    if (stored.BottomDepth > stored.TopDepth) stored.BottomDepth = stored.TopDepth = 0;
    WriteHeader(log_->file_name, stored);

    // The file now has a current-layout header in front of the same commands; the bytes in
    // memory follow, so pages and a later write-back agree with the file.
    stored.version = kHeaderCode;
    ByteWriter record;
    EncodeHeaderRecord(stored, record);
    const size_t old_length =
        4u + (log_->summary.header.version == kOldHeaderCode ? kOldHeaderLength : kHeaderLength);
    const std::vector<uint8_t> head = record.Take();
    FileBytes bytes(head.begin(), head.end());
    const FileBytes& old = *log_->bytes;
    if (old.size() > old_length) bytes.insert(bytes.end(), old.begin() + old_length, old.end());
    log_ = WalkBytes(log_->file_name, std::make_shared<const FileBytes>(std::move(bytes)),
                     options_.files.default_page_length);
    SetPageLength(custom, units_per_page);
}

void LogDocument::StorePageSize(double page_height, double page_width) {
    cindral::StorePageSize(log_->file_name, page_height, page_width);
    Reload();
}

void LogDocument::Reload() {
    const GdxHeader before = log_->summary.header;
    std::shared_ptr<const LoadedLog> fresh =
        LoadLog(log_->file_name, options_.files.default_page_length);
    GdxHeader view = fresh->summary.header;
    // What the user set here (an interval, a page length) outlives the reload.
    if (view_.TopDepth != before.TopDepth || view_.BottomDepth != before.BottomDepth) {
        view.TopDepth = view_.TopDepth;
        view.BottomDepth = view_.BottomDepth;
    }
    if (view_.CustomPageLength != before.CustomPageLength ||
        view_.UnitsPerPage != before.UnitsPerPage) {
        view.CustomPageLength = view_.CustomPageLength;
        view.UnitsPerPage = view_.UnitsPerPage;
    }
    std::unique_ptr<LogDocument> next = DocumentOn(fresh, view);
    log_ = next->log_;
    view_ = next->view_;
    scale_ = next->scale_;
    layout_ = next->layout_;
    renderer_ = std::move(next->renderer_);
    full_size_.reset();
    ForgetTexts();
}

std::shared_ptr<const TextIndex> LogDocument::Texts() const {
    const std::shared_ptr<TextsOnce> texts = texts_;
    std::lock_guard<std::mutex> lock(texts->mutex);
    if (!texts->index) texts->index = std::make_shared<const TextIndex>(TextIndex::Build(*this));
    return texts->index;
}

std::shared_ptr<const TextIndex> LogDocument::TextsIfBuilt() const {
    const std::shared_ptr<TextsOnce> texts = texts_;
    std::lock_guard<std::mutex> lock(texts->mutex);
    return texts->index;
}

void LogDocument::RequirePage(int page) const {
    const int pages = PageCount();
    if (page < 0 || page >= pages) {
        throw CindralError("Page " + std::to_string(int64_t(page) + 1) + " is not in the log (" +
                           std::to_string(pages) + (pages == 1 ? " page)." : " pages)."));
    }
}

std::vector<int64_t> LogDocument::CommandsOfPage(int page) const {
    return log_->Index().CommandsFor(SelectionOfPage(view_, Geometry(page)));
}

void LogDocument::PreparePlay(gd_object& target, int page, std::vector<int64_t>& offsets) const {
    target.FileName = log_->file_name;
    target.UseMemoryImage(log_->bytes);
    target.Header() = view_;
    if (page < 0) {
        target.SetPlaySelection(nullptr);
        return;
    }
    RequirePage(page);
    offsets = CommandsOfPage(page);
    target.SetPlaySelection(&offsets);
}

void LogDocument::DrawPage(int page, Canvas& canvas) {
    DrawPage(page, canvas, *renderer_);
}

void LogDocument::DrawPage(int page, Canvas& canvas, logp_object& renderer) const {
    RequirePage(page);
    const PageGeometry geometry = Geometry(page);
    if (geometry.PageWidthPx > kMostPageSidePx || geometry.PageHeightPx > kMostPageSidePx) {
        throw PageTooLarge(geometry.PageWidthPx, geometry.PageHeightPx);
    }
    std::vector<int64_t> offsets;
    PreparePlay(renderer, use_index_ ? page : -1, offsets);
    struct Unbind {
        logp_object& renderer;
        ~Unbind() {
            renderer.Unbind();
            renderer.SetPlaySelection(nullptr);
        }
    } unbind{renderer};
    renderer.Bind(canvas, geometry, RenderOptionsOf(options_.settings));
    renderer.PlayCommands();
}

QImage LogDocument::RenderPage(int page) {
    RequirePage(page);
    if (pixels_per_inch_ < kFullSizePixelsPerInch) {
        // Below screen size text and patterns keep a pixel's worth of ink each and crowd the
        // page; the page as it looks at full size, reduced with a good filter, looks like
        // itself (thumbnails, small zooms, small exports).
        if (!full_size_) {
            full_size_ = Copy();
            full_size_->SetPixelsPerInch(kFullSizePixelsPerInch);
        }
        const PageScale& big = full_size_->scale_;
        if (full_size_->LastPage() == LastPage() &&
            int64_t(big.PageWidthPx) * big.PageHeightPx <= kMostPagePixels) {
            QImage reduced = full_size_->RenderPage(page)
                                 .scaled(scale_.PageWidthPx, scale_.PageHeightPx,
                                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_RGB32);
            const int per_metre = static_cast<int>(std::lround(pixels_per_inch_ / 0.0254));
            reduced.setDotsPerMeterX(per_metre);
            reduced.setDotsPerMeterY(per_metre);
            return reduced;
        }
    }
    const int width = scale_.PageWidthPx;
    const int height = scale_.PageHeightPx;
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMostPagePixels) {
        throw PageTooLarge(width, height);
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) throw CindralError("Not enough memory for the page bitmap.");
    image.fill(Qt::white);
    // The canvas sizes default fonts and hatches by the surface's resolution.
    const int per_metre = static_cast<int>(std::lround(pixels_per_inch_ / 0.0254));
    image.setDotsPerMeterX(per_metre);
    image.setDotsPerMeterY(per_metre);
    QtCanvas canvas(&image);
    DrawPage(page, canvas);
    canvas.Finish();
    return image;
}

}  // namespace cindral
