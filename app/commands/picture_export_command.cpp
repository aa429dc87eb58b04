#include "app/commands/picture_export_command.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QWidget>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "app/dialogs/jpeg_options_dialog.h"
#include "core/base/errors.h"
#include "core/environment/settings.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"
#include "render/export/html_table.h"
#include "render/export/parallel_pages.h"
#include "render/export/picture_writers.h"

namespace cindral::app {
namespace {

struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

void ShowFailure(const std::string& text) {
    CurrentUi().ShowMessage(MessageKind::Error, "", text, Buttons::Ok);
}

// The page as it is on screen: its size at the screen's resolution, whatever the zoom.
QSize ScreenPageSize(const CommandContext& context) {
    const PageLayout layout = context.document->LayoutAt(context.screen_pixels_per_inch);
    return {layout.PageWidthPx, layout.PageHeightPx};
}

// Around a page drawn for an export: its status lines and gauge go to the status window as
// usual, and a Cancel the user confirms stops the drawing (Cancelled) so that no part of a
// page is written as if it were the page.
class StopOnCancel : public StatusSink {
  public:
    StopOnCancel() : next_(CurrentStatusSink()) {}
    void ShowStatus(const std::string& text) override { next_.ShowStatus(text); }
    void ShowProgress(double fraction) override { next_.ShowProgress(fraction); }
    void HideStatus() override { next_.HideStatus(); }
    bool CancelRequested() override {
        if (next_.CancelRequested()) throw Cancelled();
        return false;
    }

  private:
    StatusSink& next_;
};

void AskAndExportPage(const CommandContext& context, JpegOptionsMode mode,
                      const QString& extension) {
    if (!context.HasPages()) return;
    std::string name = DefaultExportName(context, extension, "");
    const QSize size = ScreenPageSize(context);
    Settings& settings = context.settings;
    if (!ShowJpegOptions(mode, name, size.width(), size.height(), context.screen_pixels_per_inch,
                         settings, &context.parent)) {
        return;
    }
    ExportShownPage(context, name, settings.ExportPixelsPerInch, settings.ExportQuality);
}

}  // namespace

std::function<bool(const QUrl&)> OpenInBrowser = [](const QUrl& url) {
    return QDesktopServices::openUrl(url);
};

std::string DefaultExportName(const CommandContext& context, const QString& extension,
                              const std::string& untitled) {
    if (context.parent.windowTitle().contains("untitled", Qt::CaseInsensitive) ||
        context.file_name.empty()) {
        return untitled;
    }
    const QFileInfo info(QString::fromStdString(context.file_name));
    return (info.path() + "/" + info.completeBaseName() + extension).toStdString();
}

bool ExportShownPage(const CommandContext& context, const std::string& path, int pixels_per_inch,
                     int quality) {
    if (!context.HasPages()) return false;
    const std::optional<PictureFormat> format = PictureFormatOf(path);
    BusyCursor busy;
    // Playing the page brings up the status window; it goes again however the export ends.
    HideStatusOnExit status_back;
    try {
        if (!format) {
            throw CindralError("Cannot export to " + path +
                               ": the name must end in .bmp, .jpg, .jpeg or .png.");
        }
        // Drawn again at the export's resolution: a stretched screen bitmap would blur.
        const std::unique_ptr<LogDocument> page = context.document->Copy();
        page->SetPixelsPerInch(pixels_per_inch);
        QImage picture;
        {
            StopOnCancel stop;
            ScopedStatusSink scoped(stop);
            picture = page->RenderPage(context.page);
        }
        SavePicture(picture, path, *format, quality, pixels_per_inch);
        return true;
    } catch (const Cancelled&) {
        return false;
    } catch (const std::exception& e) {
        HideStatus();
        ShowFailure(e.what());
        return false;
    }
}

bool ExportHtmlTable(const CommandContext& context, const std::string& path, int pixels_per_inch,
                     int quality, bool open) {
    if (!context.HasPages()) return false;
    {
        BusyCursor busy;
        HideStatusOnExit status_back;
        ShowStatus("Creating the HTML table....");
        try {
            HtmlTableOptions options;
            options.output = path;
            options.pixels_per_inch = pixels_per_inch;
            options.quality = quality;
            options.jobs = ProcessorCount();
            options.depths = context.depths;
            WriteHtmlTable(*context.document, options,
                           [](int done, int count) { ShowProgress(double(done) / count); });
        } catch (const Cancelled&) {
            // The user stopped it; no file of the table has changed.
            return false;
        } catch (const std::exception& e) {
            HideStatus();
            QApplication::restoreOverrideCursor();
            QApplication::setOverrideCursor(Qt::ArrowCursor);
            ShowFailure(e.what());
            return false;
        }
    }
    if (open && !OpenInBrowser(QUrl::fromLocalFile(QString::fromStdString(path)))) {
        CurrentUi().ShowMessage(MessageKind::Warning, "",
                                "The HTML table was written to " + path +
                                    ", but no browser could be started to show it.",
                                Buttons::Ok);
    }
    return true;
}

void BMP1Click(const CommandContext& context) {
    AskAndExportPage(context, JpegOptionsMode::Bitmap, ".bmp");
}

void JPEG1Click(const CommandContext& context) {
    AskAndExportPage(context, JpegOptionsMode::Jpeg, ".jpg");
}

void HTMLTable1Click(const CommandContext& context) {
    if (!context.HasPages()) return;
    std::string name = DefaultExportName(context, ".html", "untitled.html");
    const QSize size = ScreenPageSize(context);
    Settings& settings = context.settings;
    if (!ShowJpegOptions(JpegOptionsMode::Html, name, size.width(), size.height(),
                         context.screen_pixels_per_inch, settings, &context.parent)) {
        return;
    }
    ExportHtmlTable(context, name, settings.ExportPixelsPerInch, settings.ExportQuality,
                    settings.OpenTableInBrowser);
}

}  // namespace cindral::app
