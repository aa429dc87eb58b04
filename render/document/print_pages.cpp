#include "render/document/print_pages.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QTransform>
#include <algorithm>
#include <exception>
#include <memory>
#include <optional>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/environment/status.h"
#include "render/canvas/qt_canvas.h"
#include "render/document/log_document.h"

namespace cindral {

namespace {

// The page of `layout` reduced or enlarged to the device's printable area, keeping its shape,
// and centred in it.
QTransform FittedPlacement(const PageLayout& layout, const QPagedPaintDevice& device) {
    if (layout.PageWidthPx <= 0 || layout.PageHeightPx <= 0) return {};
    const double scale = std::min(double(device.width()) / layout.PageWidthPx,
                                  double(device.height()) / layout.PageHeightPx);
    return QTransform(scale, 0, 0, scale, (device.width() - layout.PageWidthPx * scale) / 2,
                      (device.height() - layout.PageHeightPx * scale) / 2);
}

}  // namespace

PrintOutcome PrintPages(const LogDocument& document, QPagedPaintDevice& device, int first, int last,
                        const std::function<void(int, int)>& progress, PageFit fit) {
    if (first < 0 || last > document.LastPage() || first > last) {
        throw CindralError("The pages to print are not in the log.");
    }
    // Pages print through the index, as they show: no primitive leaves a pen change behind
    // that a later command on paper depends on, so a page needs only what can reach it.
    const std::unique_ptr<LogDocument> paper = document.Copy();
    paper->SetPixelsPerInch(device.logicalDpiY());
    const QTransform placement =
        fit == PageFit::FitToPage ? FittedPlacement(paper->Layout(), device) : QTransform();
    PrintOutcome outcome;
    // The job begins with the first page drawn: a run cancelled before it sends nothing.
    std::optional<QtCanvas> canvas;
    for (int page = first; page <= last; ++page) {
        const std::string number = std::to_string(page + 1);
        ShowStatus("Printing page " + number + "...");
        if (CancelRequested()) {
            outcome.stopped = true;
            break;
        }
        // The sheet for this page is started only now, so a run stopped before a page
        // leaves no blank sheet behind.
        if (!canvas) {
            canvas.emplace(&device, /*is_printer=*/true, placement);
        } else if (!canvas->NewPage()) {
            throw CindralError("The printer refused a new page for page " + number + ".");
        }
        paper->DrawPage(page, *canvas);
        ++outcome.pages_printed;
        ShowStatus("   Done printing page " + number);
        if (progress) progress(outcome.pages_printed, last - first + 1);
    }
    if (canvas) canvas->Finish();
    ShowStatus("Printing finished.");
    return outcome;
}

namespace {

// The PDF reaches the user's name only once it is complete and on disk (AtomicFile); a
// failed write is kept and raised at Commit(), since QPdfWriter cannot report it.
class AtomicDevice : public QIODevice {
  public:
    explicit AtomicDevice(const std::string& path) : file_(path) { open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }
    void Commit() {
        if (error_) std::rethrow_exception(error_);
        file_.Commit();
    }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (error_) return -1;
        try {
            file_.Write(data, static_cast<size_t>(size));
        } catch (const IoError&) {
            error_ = std::current_exception();
            return -1;
        }
        return size;
    }

  private:
    AtomicFile file_;
    std::exception_ptr error_;
};

}  // namespace

void SetUpPdfWriter(QPdfWriter& writer, const LogDocument& document) {
    const GdxHeader& header = document.Header();
    const QPageSize size(QSizeF(header.PageWidth, header.PageHeight), QPageSize::Inch, QString(),
                         QPageSize::ExactMatch);
    // A page wider than long stays as the log draws it: the page size carries the shape.
    writer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setResolution(kPdfPixelsPerInch);
    writer.setCreator("Cindral");
    writer.setTitle(QFileInfo(QString::fromStdString(document.FileName())).fileName());
}

void WritePdf(const LogDocument& document, const std::string& path, int first, int last,
              const std::function<void(int, int)>& progress) {
    AtomicDevice file(path);
    PrintOutcome outcome;
    {
        QPdfWriter writer(&file);
        SetUpPdfWriter(writer, document);
        outcome = PrintPages(document, writer, first, last, progress);
    }
    // Dropping the device removes what was written; the user's file stays as it was.
    if (outcome.stopped) throw CindralError("Print job aborted.");
    file.Commit();
}

}  // namespace cindral
