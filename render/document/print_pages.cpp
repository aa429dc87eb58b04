#include "render/document/print_pages.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QSaveFile>
#include <memory>
#include <optional>

#include "core/environment/errors.h"
#include "core/environment/status.h"
#include "render/canvas/qt_canvas.h"
#include "render/document/log_document.h"

namespace cindral {

PrintOutcome PrintPages(const LogDocument& document, QPagedPaintDevice& device, int first,
                        int last) {
    if (first < 0 || last > document.LastPage() || first > last) {
        throw CindralError("The pages to print are not in the log.");
    }
    // On a printer canvas pen changes made by skipped commands reach later ones (the
    // pale-colour rule, the zero width a pattern fill leaves): through the index, pattern
    // boxes came out different. Playing the whole file keeps each page's pen history.
    const std::unique_ptr<LogDocument> paper = document.Copy();
    paper->SetUseIndex(false);
    paper->SetPixelsPerInch(device.logicalDpiY());
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
            canvas.emplace(&device, /*is_printer=*/true);
        } else if (!canvas->NewPage()) {
            throw CindralError("The printer refused a new page for page " + number + ".");
        }
        paper->DrawPage(page, *canvas);
        ++outcome.pages_printed;
        ShowStatus("   Done printing page " + number);
    }
    if (canvas) canvas->Finish();
    ShowStatus("Printing finished.");
    return outcome;
}

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

void WritePdf(const LogDocument& document, const std::string& path, int first, int last) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        throw CindralError("Cannot create " + path + ": " + file.errorString().toStdString());
    }
    PrintOutcome outcome;
    {
        QPdfWriter writer(&file);
        SetUpPdfWriter(writer, document);
        outcome = PrintPages(document, writer, first, last);
    }
    if (outcome.stopped) {
        file.cancelWriting();
        throw CindralError("Print job aborted.");
    }
    if (!file.commit()) {
        throw CindralError("Cannot write " + path + ": " + file.errorString().toStdString());
    }
}

}  // namespace cindral
