#include "app/commands/picture_export_command.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "app/dialogs/jpeg_options_dialog.h"
#include "app/window/cindral_frm.h"
#include "core/environment/errors.h"
#include "core/environment/settings.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "render/document/log_document.h"
#include "render/export/html_table.h"
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
QSize ScreenPageSize(const TCindralFrm& window) {
    const PageLayout layout = window.Document->LayoutAt(window.ScreenPixelsPerInch);
    return {layout.PageWidthPx, layout.PageHeightPx};
}

void AskAndExportPage(TCindralFrm& window, JpegOptionsMode mode, const QString& extension) {
    if (window.NoPages || !window.Document) return;
    std::string name = DefaultExportName(window, extension, "");
    const QSize size = ScreenPageSize(window);
    Settings& settings = window.AppSettings();
    if (!ShowJpegOptions(mode, name, size.width(), size.height(), window.ScreenPixelsPerInch,
                         settings, &window)) {
        return;
    }
    ExportShownPage(window, name, settings.ExportPixelsPerInch, settings.ExportQuality);
}

}  // namespace

std::function<bool(const QUrl&)> OpenInBrowser = [](const QUrl& url) {
    return QDesktopServices::openUrl(url);
};

std::string DefaultExportName(const TCindralFrm& window, const QString& extension,
                              const std::string& untitled) {
    if (window.windowTitle().contains("untitled", Qt::CaseInsensitive) ||
        window.CurrentFileName.empty()) {
        return untitled;
    }
    const QFileInfo info(QString::fromStdString(window.CurrentFileName));
    return (info.path() + "/" + info.completeBaseName() + extension).toStdString();
}

bool ExportShownPage(TCindralFrm& window, const std::string& path, int pixels_per_inch,
                     int quality) {
    if (!window.Document || window.NoPages) return false;
    const std::optional<PictureFormat> format = PictureFormatOf(path);
    BusyCursor busy;
    try {
        if (!format) {
            throw CindralError("Cannot export to " + path +
                               ": the name must end in .bmp, .jpg, .jpeg or .png.");
        }
        // Drawn again at the export's resolution: a stretched screen bitmap would blur.
        const std::unique_ptr<LogDocument> page = window.Document->Copy();
        page->SetPixelsPerInch(pixels_per_inch);
        const int shown = window.DisplayedPage >= 0 ? window.DisplayedPage : window.ShownPage;
        SavePicture(page->RenderPage(shown), path, *format, quality, pixels_per_inch);
        return true;
    } catch (const std::exception& e) {
        ShowFailure(e.what());
        return false;
    }
}

bool ExportHtmlTable(TCindralFrm& window, const std::string& path, int pixels_per_inch, int quality,
                     bool open) {
    if (!window.Document || window.NoPages) return false;
    {
        BusyCursor busy;
        ShowStatus("Creating the HTML table....");
        struct StatusBack {
            ~StatusBack() { HideStatus(); }
        } status_back;
        try {
            HtmlTableOptions options;
            options.output = path;
            options.pixels_per_inch = pixels_per_inch;
            options.quality = quality;
            WriteHtmlTable(*window.Document, options,
                           [](int done, int count) { ShowProgress(double(done) / count); });
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

void BMP1Click(TCindralFrm& window) {
    AskAndExportPage(window, JpegOptionsMode::Bitmap, ".bmp");
}

void JPEG1Click(TCindralFrm& window) {
    AskAndExportPage(window, JpegOptionsMode::Jpeg, ".jpg");
}

void HTMLTable1Click(TCindralFrm& window) {
    if (window.NoPages || !window.Document) return;
    std::string name = DefaultExportName(window, ".html", "untitled.html");
    const QSize size = ScreenPageSize(window);
    Settings& settings = window.AppSettings();
    if (!ShowJpegOptions(JpegOptionsMode::Html, name, size.width(), size.height(),
                         window.ScreenPixelsPerInch, settings, &window)) {
        return;
    }
    ExportHtmlTable(window, name, settings.ExportPixelsPerInch, settings.ExportQuality,
                    settings.OpenTableInBrowser);
}

void AddPictureExportCommands(TCindralFrm& window, QMenu* hidden, QMenu* visible) {
    struct Command {
        const char* hidden_name;
        const char* hidden_text;
        const char* visible_name;
        const char* visible_text;
        const char* tip;
        void (*run)(TCindralFrm&);
    };
    const Command commands[] = {
        {"BMP1", "&BMP...", "PageAsBMP1", "Current Page as &BMP...",
         "Export the page on screen as a bitmap.", BMP1Click},
        {"JPEG1", "&JPEG...", "PageAsJPEG1", "Current Page as &JPEG...",
         "Export the page on screen as a JPEG picture.", JPEG1Click},
        {"HTMLTable1", "&HTML Table...", "WholeLogAsHTML1", "Whole Log as &HTML Table...",
         "Export every page as a JPEG picture in an HTML table.", HTMLTable1Click},
    };
    std::vector<QAction*> actions;
    for (const Command& c : commands) {
        QAction* in_hidden = hidden->addAction(c.hidden_text);
        in_hidden->setObjectName(c.hidden_name);
        QAction* in_visible = visible->addAction(c.visible_text);
        in_visible->setObjectName(c.visible_name);
        in_visible->setStatusTip(c.tip);
        for (QAction* action : {in_hidden, in_visible}) {
            auto run = c.run;
            QObject::connect(action, &QAction::triggered, &window, [&window, run] { run(window); });
            actions.push_back(action);
        }
    }
    for (QMenu* menu : {hidden, visible}) {
        QObject::connect(menu, &QMenu::aboutToShow, &window, [&window, actions] {
            for (QAction* action : actions) action->setEnabled(!window.NoPages && window.Document);
        });
    }
}

}  // namespace cindral::app
