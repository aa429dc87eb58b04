// Getting pictures out of the viewer and looking closer: Copy Page through the clipboard, the
// JPEG Options dialog, the page and table exports read back by ImageMagick, the magnifier's
// source area, and the depth read-out under zoom.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QWheelEvent>
#include <cstdio>
#include <filesystem>

#include "app/commands/picture_export_command.h"
#include "app/dialogs/jpeg_options_dialog.h"
#include "app/dialogs/metafile_options_dialog.h"
#include "app/dialogs/status_dialog.h"
#include "app/view/magnifier.h"
#include "app/window/cindral_frm.h"
#include "core/environment/document_settings.h"
#include "core/environment/save_as.h"
#include "core/environment/status.h"
#include "frm_test_support.h"
#include "recording_ui.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

using cindral::testing::OnNextDialog;
using cindral::testing::ReadFileBytes;
using cindral::testing::TempDir;

std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    ::pclose(pipe);
    return text;
}

std::string Identify(const std::string& path) {
    return Output("identify -format '%m %w %h' '" + path + "' 2>&1");
}

class Pictures : public ::testing::Test {
  protected:
    Pictures() : scoped_ui(ui) {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(dir.path()));
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Cindral", "Cindral")
            .setValue("Zoom", "100");
        cindral::testing::WriteEmptyLibraries(dir);
        cindral::testing::WriteLog(log, cindral::testing::PixelHeader(1200));
        settings = cindral::testing::TestSettings(dir);
        window = std::make_unique<TCindralFrm>(settings);
        window->ScreenPixelsPerInch = 100;
        OpenInBrowser = [this](const QUrl& url) {
            opened.push_back(url);
            return browser_works;
        };
    }
    ~Pictures() override {
        OpenInBrowser = [](const QUrl&) { return false; };
    }

    void Open() { ASSERT_TRUE(window->OpenFile(QString::fromStdString(log))); }

    // The depth shown for a mouse at `row` of the page on screen.
    std::string DepthAtRow(int row) {
        QMouseEvent move(QEvent::MouseMove, QPointF(20, row), QPointF(20, row), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window->Image1, &move);
        return window->DepthEd->text().toStdString();
    }

    TempDir dir;
    std::string log = dir.File("log.gdx");
    RecordingUi ui;
    ScopedUi scoped_ui;
    Settings settings;
    std::unique_ptr<TCindralFrm> window;
    std::vector<QUrl> opened;
    bool browser_works = true;
};

TEST_F(Pictures, CopyPagePutsThePageAsShownOnTheClipboard) {
    EXPECT_FALSE(window->Actions().Copy1->isEnabled());
    Open();
    for (int percent : {100, 200, 50}) {
        SCOPED_TRACE(percent);
        window->SetZoom({ZoomMode::Percent, percent});
        ASSERT_TRUE(window->WaitForPage());
        QGuiApplication::clipboard()->clear();
        window->Actions().Copy1->trigger();
        const QImage copied = QGuiApplication::clipboard()->image();
        EXPECT_EQ(copied.size(), QSize(3 * percent, 5 * percent));
        EXPECT_TRUE(copied.convertToFormat(QImage::Format_RGB32) ==
                    window->ViewBitmap.convertToFormat(QImage::Format_RGB32));
    }
}

TEST_F(Pictures, OptionsDialogSizeLabelAndCaptions) {
    struct Case {
        JpegOptionsMode mode;
        int width, height, screen, pixels_per_inch;
        const char* caption;
        const char* size;
        bool quality, browser;
    } cases[] = {
        {JpegOptionsMode::Html, 300, 500, 96, 96, "HTML Table JPEG Options",
         "JPEG Size = 300 x 500", true, true},
        {JpegOptionsMode::Jpeg, 300, 500, 96, 150, "JPEG Options", "JPEG Size = 469 x 781", true,
         false},
        // Halves round away from zero: 8.5 -> 9.
        {JpegOptionsMode::Jpeg, 816, 1056, 96, 1, "JPEG Options", "JPEG Size = 9 x 11", true,
         false},
        {JpegOptionsMode::Bitmap, 300, 500, 100, 200, "BMP Options", "BMP Size = 600 x 1000", false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        TJPEGOptsFrm dialog(c.mode, c.width, c.height, c.screen);
        dialog.show();
        dialog.PixPerInchEd->setValue(c.pixels_per_inch);
        EXPECT_EQ(dialog.windowTitle().toStdString(), c.caption);
        EXPECT_EQ(dialog.SizeLbl->text().toStdString(), c.size);
        EXPECT_EQ(dialog.QualityPnl->isVisible(), c.quality);
        EXPECT_EQ(dialog.ShowHTMLPnl->isVisible(), c.browser);
        dialog.QualitySb->setValue(37);
        EXPECT_EQ(dialog.CompQualLbl->text().toStdString(), "Compression Quality = 37");
        EXPECT_EQ(dialog.PixPerInchEd->minimum(), 1);
    }
}

TEST_F(Pictures, OptionsDialogAsksForAMissingNameAndStoresItsChoices) {
    struct Case {
        QString browsed;
        bool accepted;
    } cases[] = {{"", false}, {"/tmp/chosen.jpg", true}};
    for (const Case& c : cases) {
        ui.messages.clear();
        TJPEGOptsFrm dialog(JpegOptionsMode::Jpeg, 300, 500, 100);
        dialog.AskFileName = [&](const QString& filter, const QString& suffix) {
            EXPECT_EQ(filter.toStdString(), "JPEG (*.jpg);;All Files (*)");
            EXPECT_EQ(suffix.toStdString(), "jpg");
            return c.browsed;
        };
        dialog.setResult(QDialog::Rejected);
        dialog.OKBtnClick();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Enter a filename for your JPEG bitmap.");
        EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
        EXPECT_EQ(dialog.FilenameEd->text(), c.browsed);
    }

    // OK stores the resolution, quality and browser choice; Cancel stores nothing.
    for (bool ok : {false, true}) {
        Settings s;
        std::string name = "/tmp/table.html";
        OnNextDialog([ok](QDialog* d) {
            auto* dialog = static_cast<TJPEGOptsFrm*>(d);
            dialog->PixPerInchEd->setValue(150);
            dialog->QualitySb->setValue(55);
            dialog->AutoDisplayCb->setChecked(false);
            (ok ? dialog->OKBtn : dialog->CancelBtn)->click();
        });
        EXPECT_EQ(ShowJpegOptions(JpegOptionsMode::Html, name, 300, 500, 100, s), ok);
        EXPECT_EQ(s.ExportPixelsPerInch, ok ? 150 : 96);
        EXPECT_EQ(s.ExportQuality, ok ? 55 : 80);
        EXPECT_EQ(s.OpenTableInBrowser, !ok);
        EXPECT_EQ(name, "/tmp/table.html");
    }
}

TEST_F(Pictures, ExportCommandsWriteThePageAndTheLogAtTheChosenResolution) {
    Open();
    window->ShownPage = 1;
    window->ShowCurrentPage();
    ASSERT_TRUE(window->WaitForPage());
    QMenu* visible = window->findChild<QMenu*>("ExportMenu");
    QMenu* hidden = window->findChild<QMenu*>("Export1");
    ASSERT_NE(visible, nullptr);
    ASSERT_NE(hidden, nullptr);
    EXPECT_FALSE(hidden->menuAction()->isVisible());
    struct Case {
        const char* action;
        const char* file;
        int pixels_per_inch;
        const char* identified;
    } cases[] = {
        {"PageAsBMP1", "page.bmp", 200, "BMP3 600 1000"},
        {"PageAsJPEG1", "page.jpg", 50, "JPEG 150 250"},
        {"JPEG1", "hidden.jpg", 100, "JPEG 300 500"},
        {"WholeLogAsHTML1", "log.html", 20, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        const std::string out = dir.File(c.file);
        OnNextDialog([&](QDialog* d) {
            auto* dialog = static_cast<TJPEGOptsFrm*>(d);
            dialog->FilenameEd->setText(QString::fromStdString(out));
            dialog->PixPerInchEd->setValue(c.pixels_per_inch);
            dialog->OKBtn->click();
        });
        QAction* action = window->findChild<QAction*>(c.action);
        ASSERT_NE(action, nullptr);
        action->trigger();
        if (*c.identified) {
            EXPECT_EQ(Identify(out), c.identified);
        }
        EXPECT_EQ(settings.ExportPixelsPerInch, c.pixels_per_inch);
    }
    // The page exported is the page on screen, drawn afresh at 200 pixels per inch: the log
    // opened at that resolution draws the same page 2, and its page 1 differs.
    LogDocument reference(log, window->Document->Options(), 200);
    const QImage bmp =
        QImage(QString::fromStdString(dir.File("page.bmp"))).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(bmp == reference.RenderPage(1).convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(bmp == reference.RenderPage(0).convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(Output("xmllint --html --xpath 'count(//img)' '" + dir.File("log.html") + "'"),
              "3\n");
    for (int page = 1; page <= 3; ++page) {
        EXPECT_EQ(Identify(dir.File("log_p" + std::to_string(page) + ".jpg")), "JPEG 60 100");
    }
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toLocalFile().toStdString(), dir.File("log.html"));
    EXPECT_TRUE(ui.messages.empty());
}

// Answers the next export's options dialog with `name` and OK; a dialog still open after
// that (a question declined, a name refused) is cancelled.
void ExportTo(const std::string& name) {
    OnNextDialog([name](QDialog* d) {
        if (auto* picture = qobject_cast<TJPEGOptsFrm*>(d)) {
            picture->AskFileName = [](const QString&, const QString&) { return QString(); };
            picture->FilenameEd->setText(QString::fromStdString(name));
            picture->PixPerInchEd->setValue(50);
            picture->OKBtn->click();
        } else if (auto* metafile = qobject_cast<TWMFDlg*>(d)) {
            metafile->SetFileName(QString::fromStdString(name));
            metafile->OKBtn->click();
        }
        if (d->isVisible()) d->reject();
    });
}

// Each export brings up the status window while it plays the log; none leaves it on screen,
// whether the file was written, could not be written, or the user cancelled.
TEST_F(Pictures, NoExportLeavesTheStatusWindowOnScreen) {
    TStatusForm status;
    ScopedStatusSink scoped_status(status);
    Open();
    ASSERT_TRUE(window->WaitForPage());
    enum class End { Written, Failed, Cancelled };
    struct Case {
        const char* action;
        const char* file;
        End end;
    } cases[] = {
        {"PageAsBMP1", "page.bmp", End::Written},
        {"PageAsJPEG1", "page.jpg", End::Written},
        {"WholeLogAsHTML1", "log.html", End::Written},
        {"WholeLogAsMetafile1", "log.wmf", End::Written},
        {"PageAsBMP1", "missing/page.bmp", End::Failed},
        {"PageAsJPEG1", "missing/page.jpg", End::Failed},
        {"WholeLogAsHTML1", "missing/log.html", End::Failed},
        {"WholeLogAsMetafile1", "missing/log.wmf", End::Failed},
        // (A table's pages are drawn on other threads and may all be done before the window
        // hears of the Cancel, so it has no row here.)
        {"PageAsBMP1", "stopped.bmp", End::Cancelled},
        {"PageAsJPEG1", "stopped.jpg", End::Cancelled},
        {"WholeLogAsMetafile1", "stopped.wmf", End::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.action) + " " + c.file);
        ui.messages.clear();
        const std::string out = dir.File(c.file);
        const int lines_before = status.LineCount();
        if (c.end == End::Cancelled) {
            // Cancel pressed while it runs, and confirmed.
            status.RequestCancel();
            ui.answers = {Answer::Yes};
        }
        ExportTo(out);
        QAction* action = window->findChild<QAction*>(c.action);
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_GT(status.LineCount(), lines_before) << "the export reported its progress";
        EXPECT_FALSE(status.isVisible());
        switch (c.end) {
            case End::Written:
                EXPECT_TRUE(ui.messages.empty());
                EXPECT_TRUE(std::filesystem::exists(out));
                break;
            case End::Failed:
                ASSERT_FALSE(ui.messages.empty());
                EXPECT_EQ(ui.messages.back().kind, MessageKind::Error);
                break;
            case End::Cancelled:
                ASSERT_FALSE(ui.messages.empty());
                EXPECT_EQ(ui.messages[0].text, kCancelQuestion);
                EXPECT_EQ(ui.messages.size(), 1u) << ui.messages.back().text;
                // A cancelled page is not written in part.
                if (std::string(c.action) != "WholeLogAsMetafile1") {
                    EXPECT_FALSE(std::filesystem::exists(out));
                }
                break;
        }
        ui.answers.clear();
        status.DropCancelRequest();
    }
}

// The name is typed or chosen; a page picture replaces a file only when the user says Yes,
// with the question Save As and the metafile export ask.
TEST_F(Pictures, PageExportsTakeATypedNameAndAskBeforeReplacing) {
    Open();
    ASSERT_TRUE(window->WaitForPage());
    const std::vector<uint8_t> old_bytes = {'o', 'l', 'd', 0, 1, 2};
    struct Case {
        const char* action;
        std::string typed;  // as typed in the field
        bool existing;      // the file is there before
        Answer answer;
        std::string question;  // the message shown, empty for none
        std::string written;   // the file the picture goes to, empty for none
        const char* format;
    };
    const std::string bmp = dir.File("page.bmp"), jpg = dir.File("page.jpg");
    const std::vector<Case> cases = {
        {"PageAsBMP1", bmp, true, Answer::Yes, OverwriteQuestion(bmp), bmp, "BMP3"},
        {"PageAsBMP1", bmp, true, Answer::No, OverwriteQuestion(bmp), "", ""},
        {"PageAsBMP1", bmp, false, Answer::Yes, "", bmp, "BMP3"},
        {"PageAsBMP1", bmp, false, Answer::No, "", bmp, "BMP3"},
        {"PageAsJPEG1", jpg, true, Answer::Yes, OverwriteQuestion(jpg), jpg, "JPEG"},
        {"PageAsJPEG1", jpg, true, Answer::No, OverwriteQuestion(jpg), "", ""},
        {"PageAsJPEG1", jpg, false, Answer::Yes, "", jpg, "JPEG"},
        {"PageAsJPEG1", jpg, false, Answer::No, "", jpg, "JPEG"},
        // Typed without a folder it goes beside the log; without an extension it gets the
        // format's.
        {"PageAsJPEG1", " typed ", false, Answer::Yes, "", dir.File("typed.jpg"), "JPEG"},
        {"PageAsBMP1", "sub/../typed.bmp", false, Answer::Yes, "", dir.File("typed.bmp"), "BMP3"},
        // A folder alone, or nothing, is refused and nothing is written.
        {"PageAsBMP1", dir.path() + "/", false, Answer::Yes,
         dir.path() + "/ is a folder. Enter a name for the file to write in it.", "", ""},
        {"PageAsJPEG1", dir.path(), false, Answer::Yes,
         dir.path() + " is a folder. Enter a name for the file to write in it.", "", ""},
        {"PageAsJPEG1", "", false, Answer::Yes, "Enter a filename for your JPEG bitmap.", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.action) + " '" + c.typed + "' existing " +
                     std::to_string(c.existing) + " yes " +
                     std::to_string(c.answer == Answer::Yes));
        for (const std::string& f : {bmp, jpg, dir.File("typed.jpg"), dir.File("typed.bmp")}) {
            std::filesystem::remove(f);
        }
        const std::string target = c.written.empty() ? c.typed : c.written;
        if (c.existing) cindral::testing::WriteBytes(target, old_bytes);
        ui.messages.clear();
        ui.answers = {c.answer};
        ExportTo(c.typed);
        window->findChild<QAction*>(c.action)->trigger();
        if (c.question.empty()) {
            EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
        } else {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, c.question);
        }
        if (!c.written.empty()) {
            EXPECT_EQ(Identify(c.written), std::string(c.format) + " 150 250");
        } else if (c.existing) {
            EXPECT_EQ(ReadFileBytes(target), old_bytes) << "the old file is kept byte for byte";
        }
        for (const std::string& f : {bmp, jpg, dir.File("typed.jpg"), dir.File("typed.bmp")}) {
            if (f != c.written && !(c.existing && f == target)) {
                EXPECT_FALSE(std::filesystem::exists(f)) << f;
            }
        }
    }
    EXPECT_FALSE(window->findChild<TJPEGOptsFrm*>()) << "every dialog closed";
}

TEST_F(Pictures, TableWithoutABrowserIsWrittenAndReported) {
    Open();
    browser_works = false;
    ASSERT_TRUE(ExportHtmlTable(window->Context(), dir.File("t.html"), 20, 80, true));
    EXPECT_TRUE(std::filesystem::exists(dir.File("t.html")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("no browser"), std::string::npos);
    // A folder that cannot be written is an error, not a silent success.
    EXPECT_FALSE(ExportHtmlTable(window->Context(), dir.File("missing/t.html"), 20, 80, false));
    EXPECT_EQ(ui.messages.back().kind, MessageKind::Error);
}

TEST(MagnifierSource, ShrinksAboutTheCentreByTheMagnification) {
    struct Case {
        double m;
        QRect window;
        QPoint origin;
        QRect source;
    } cases[] = {
        {2, {100, 80, 300, 300}, {0, 0}, {175, 155, 150, 150}},
        {3, {100, 80, 300, 300}, {0, 0}, {200, 180, 100, 100}},
        {4, {100, 80, 300, 300}, {0, 0}, {212, 192, 76, 76}},  // 112.5 rounds to even
        {0.5, {100, 80, 300, 300}, {0, 0}, {-50, -70, 600, 600}},
        // Scrolled by (40, 250): the picture's corner is above and left of the view.
        {2, {100, 80, 300, 300}, {-40, -250}, {215, 405, 150, 150}},
        {2, {0, 0, 301, 200}, {10, 20}, {65, 30, 151, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.m);
        EXPECT_EQ(MagSourceRect(c.window, c.origin, c.m), c.source);
    }
}

TEST_F(Pictures, MagnifierFollowsScrollingAndItsMenu) {
    Open();
    window->SetZoom({ZoomMode::Percent, 400});
    ASSERT_TRUE(window->WaitForPage());
    window->resize(800, 600);
    window->show();
    window->Actions().Magnify1->trigger();
    TMagFrm* mag = window->Magnifier;
    ASSERT_TRUE(mag->isVisible());
    EXPECT_TRUE(window->Actions().MagnifierBtn->isChecked());
    mag->setGeometry(200, 150, 300, 300);
    QApplication::processEvents();
    const QRect before = mag->SourceRect();
    EXPECT_EQ(before.size(), QSize(150, 150));
    window->ScrollBox1->verticalScrollBar()->setValue(120);
    window->ScrollBox1->horizontalScrollBar()->setValue(30);
    QApplication::processEvents();
    EXPECT_EQ(mag->SourceRect(), before.translated(30, 120));
    EXPECT_EQ(mag->pos(), QPoint(200, 150));
    // What it shows is the page there, enlarged: the page's own pixels, twice the size.
    const QImage shown = mag->Magnified();
    EXPECT_EQ(shown.size(), QSize(300, 300));

    for (QAction* item : {mag->MagHalfmnu, mag->Mag3mnu, mag->Mag4mnu, mag->Mag2mnu}) {
        item->trigger();
        int marked = 0;
        for (QAction* a : mag->PopupMenu1->actions()) marked += a->isChecked();
        EXPECT_EQ(marked, 1);
        EXPECT_TRUE(item->isChecked());
    }
    mag->MagHalfmnu->trigger();
    EXPECT_EQ(mag->Magnification(), 0.5);
    EXPECT_EQ(mag->SourceRect().size(), QSize(600, 600));
    window->Actions().Magnify1->trigger();
    EXPECT_FALSE(mag->isVisible());
}

// Enlarged, the magnifier shows the page drawn at the magnified resolution (not the screen
// bitmap enlarged), stays inside the page view wherever it is put, and the read-out follows
// the point of the page under the mouse over it.
TEST_F(Pictures, MagnifierShowsThePageDrawnAtItsResolution) {
    const std::string sample = cindral::testing::BinDir() + "/samples/sample.gdx";
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(sample)));
    ASSERT_TRUE(window->WaitForPage());
    window->resize(900, 700);
    window->show();
    window->Actions().Magnify1->trigger();
    TMagFrm* mag = window->Magnifier;
    for (QAction* item : {mag->Mag2mnu, mag->Mag3mnu, mag->Mag4mnu}) {
        SCOPED_TRACE(item->text().toStdString());
        item->trigger();
        mag->setGeometry(200, 150, 240, 180);
        ASSERT_TRUE(cindral::testing::WaitUntil([&] { return mag->Sharp(); }));
        // At actual size the view is drawn at the screen's resolution.
        std::unique_ptr<LogDocument> large = window->Document->Copy();
        large->SetPixelsPerInch(
            int(std::lround(window->ScreenPixelsPerInch * mag->Magnification())));
        const QImage page = large->RenderPage(window->DisplayedPage);
        const QRect source = mag->SourceRect();
        const double scale = double(page.width()) / window->ViewBitmap.width();
        const QImage expected = page.copy(QRect(QPoint(int(std::lround(source.left() * scale)),
                                                       int(std::lround(source.top() * scale))),
                                                QSize(240, 180)))
                                    .convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(mag->Magnified().convertToFormat(QImage::Format_RGB32) == expected);
    }

    // Put far outside, it comes back inside the page view, no larger than it.
    mag->setGeometry(5000, -400, 3000, 300);
    const QRect room(window->ScrollBox1->viewport()->mapTo(window.get(), QPoint(0, 0)),
                     window->ScrollBox1->viewport()->size());
    EXPECT_TRUE(room.contains(mag->geometry())) << mag->geometry().x();

    // The read-out names the row of the page under the mouse, as the page view would.
    mag->Mag2mnu->trigger();
    mag->setGeometry(200, 150, 240, 180);
    const QPoint origin = window->Image1->mapTo(window.get(), QPoint(0, 0));
    const QRect over = MagSourceRect(mag->geometry(), origin, 2);
    QMouseEvent move(QEvent::MouseMove, QPointF(120, 90), mag->mapToGlobal(QPointF(120, 90)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(mag, &move);
    const std::string shown = window->DepthEd->text().toStdString();
    window->ShowDepthAt(over.top() + 45);
    EXPECT_EQ(shown, window->DepthEd->text().toStdString());
}

TEST_F(Pictures, DepthReadoutIsRightAtEveryZoom) {
    Open();
    struct Case {
        Zoom zoom;
        int row;
        const char* depth;
        QSize bitmap;
    } cases[] = {
        {{ZoomMode::Percent, 100}, 100, "1100.00", {300, 500}},
        {{ZoomMode::Percent, 200}, 200, "1100.00", {600, 1000}},
        {{ZoomMode::Percent, 400}, 1996, "701.00", {1200, 2000}},
        {{ZoomMode::Percent, 50}, 50, "1100.00", {150, 250}},
        {{ZoomMode::Percent, 25}, 25, "1100.00", {75, 125}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        window->SetZoom(c.zoom);
        ASSERT_TRUE(window->WaitForPage());
        EXPECT_EQ(window->ViewBitmap.size(), c.bitmap);
        EXPECT_EQ(DepthAtRow(c.row), c.depth);
        window->Actions().CopyDepth1->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), c.depth);
    }
    // Fitting the width fills the view's width; the zoom is kept for the next start.
    window->resize(700, 600);
    window->show();
    QApplication::processEvents();
    window->SetZoom({ZoomMode::FitWidth, 100});
    ASSERT_TRUE(window->WaitForPage());
    EXPECT_GT(window->ViewBitmap.width(), 300);
    EXPECT_LE(window->ViewBitmap.width(), window->ScrollBox1->viewport()->width());
    EXPECT_EQ(QSettings(QSettings::IniFormat, QSettings::UserScope, "Cindral", "Cindral")
                  .value("Zoom")
                  .toString(),
              "fit-width");
}

TEST_F(Pictures, ZoomKeepsThePointAtTheViewsCentre) {
    Open();
    window->resize(400, 300);
    window->show();
    QApplication::processEvents();
    QScrollBar* vertical = window->ScrollBox1->verticalScrollBar();
    vertical->setValue(100);
    const int half = window->ScrollBox1->viewport()->height() / 2;
    window->SetZoom({ZoomMode::Percent, 200});
    ASSERT_TRUE(window->WaitForPage());
    EXPECT_NEAR(vertical->value(), 2 * (100 + half) - half, 2);
}

TEST_F(Pictures, ZoomStepsAndKeys) {
    Open();
    struct Step {
        QAction* WindowActions::*action;
        int width;
    } steps[] = {
        {&WindowActions::ZoomIn1, 375},  {&WindowActions::ZoomIn1, 450},
        {&WindowActions::ZoomOut1, 375}, {&WindowActions::ActualSize1, 300},
        {&WindowActions::ZoomOut1, 225},
    };
    for (const Step& step : steps) {
        (window->Actions().*step.action)->trigger();
        ASSERT_TRUE(window->WaitForPage());
        EXPECT_EQ(window->ViewBitmap.width(), step.width);
    }
    for (int i = 0; i < 20; ++i) window->Actions().ZoomOut1->trigger();
    ASSERT_TRUE(window->WaitForPage());
    EXPECT_EQ(window->ViewBitmap.width(), 75);  // 25 % at the least
    // Ctrl with the wheel steps too; the wheel alone does not zoom.
    for (Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers()}) {
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window->ScrollBox1->viewport(), &wheel);
        ASSERT_TRUE(window->WaitForPage());
        EXPECT_EQ(window->ViewBitmap.width(), 99);  // 33 %
    }
    EXPECT_EQ(window->Actions().ZoomIn1->shortcut(), QKeySequence(QKeySequence::ZoomIn));
    EXPECT_EQ(window->Actions().ActualSize1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));
}

}  // namespace
}  // namespace cindral::app
