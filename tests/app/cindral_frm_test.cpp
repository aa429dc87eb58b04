#include "app/window/cindral_frm.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>

#include "app/dialogs/about_dialog.h"
#include "app/dialogs/goto_depth_dialog.h"
#include "app/dialogs/goto_page_dialog.h"
#include "app/dialogs/page_break_dialog.h"
#include "app/dialogs/properties_dialog.h"
#include "app/dialogs/select_depth_dialog.h"
#include "app/view/page_strip.h"
#include "app/view/thumbnail_panel.h"
#include "app/view/view_memory.h"
#include "core/base/errors.h"
#include "core/environment/document_settings.h"
#include "core/environment/save_as.h"
#include "core/environment/status.h"
#include "core/format/gdx_header.h"
#include "frm_test_support.h"
#include "recording_ui.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

using cindral::testing::OnNextDialog;
using cindral::testing::ReadFileBytes;
using cindral::testing::TempDir;
using cindral::testing::WaitUntil;

class MainWindow : public ::testing::Test {
  protected:
    MainWindow() : scoped_ui(ui) {
        // Pixel positions below are those of the page at the screen's own resolution.
        cindral::testing::UseActualSizeIn(dir);
        cindral::testing::WriteEmptyLibraries(dir);
        cindral::testing::WriteLog(log, cindral::testing::PixelHeader(1200));
        settings = cindral::testing::TestSettings(dir);
        window = std::make_unique<TCindralFrm>(settings);
        window->ScreenPixelsPerInch = 100;
    }

    void Open() { ASSERT_TRUE(window->OpenFile(QString::fromStdString(log))); }

    std::string Panel() const { return window->PagePNL->text().toStdString(); }

    TempDir dir;
    std::string log = dir.File("log.gdx");
    RecordingUi ui;
    ScopedUi scoped_ui;
    Settings settings;
    std::unique_ptr<TCindralFrm> window;
};

TEST_F(MainWindow, StartsEmptyWithPageCommandsOff) {
    EXPECT_EQ(window->windowTitle(), "Cindral 2003 - UNTITLED");
    EXPECT_TRUE(window->NoPages);
    EXPECT_TRUE(window->Actions().Open1->isEnabled());
    for (QAction* action :
         {window->Actions().SaveAs1, window->Actions().Print1, window->Actions().Copy1,
          window->Actions().CopyDepth1, window->Actions().PageDown1, window->Actions().PageUp1,
          window->Actions().Gotopage1, window->Actions().CustomPageBreaks1,
          window->Actions().SelectInterval1, window->Actions().MagnifierBtn,
          window->Actions().Magnify1}) {
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    }
    // The toolbar's magnifier button is off too...
    auto* tools = window->findChild<QToolBar*>("ToolBar");
    ASSERT_NE(tools, nullptr);
    QWidget* button = tools->widgetForAction(window->Actions().MagnifierBtn);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isEnabled());
    // ... and looks it: no darker than the disabled texts beside it, dark once it is on.
    window->show();
    const auto darkest = [](QWidget* widget) {
        const QImage shot = widget->grab().toImage();
        int gray = 255;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) gray = std::min(gray, qGray(shot.pixel(x, y)));
        }
        return gray;
    };
    const int disabled_text = darkest(tools->widgetForAction(window->Actions().Print1));
    EXPECT_GE(darkest(button), disabled_text - 24);
    Open();
    ASSERT_TRUE(window->WaitForPage());
    EXPECT_TRUE(button->isEnabled());
    EXPECT_LT(darkest(button), disabled_text - 64);
}

TEST_F(MainWindow, OpeningShowsTheFirstPageOfTheLog) {
    Open();
    EXPECT_EQ(window->windowTitle().toStdString(), "Cindral 2003 - " + log);
    EXPECT_EQ(Panel(), "1 of 3");
    EXPECT_EQ(window->ViewBitmap.size(), QSize(300, 500));
    // The diagonal starts at x 10 on the top row of page 1.
    EXPECT_NE(window->ViewBitmap.pixel(10, 0), qRgb(255, 255, 255));
    EXPECT_EQ(window->ViewBitmap.pixel(200, 0), qRgb(255, 255, 255));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MainWindow, PageCommandsFollowThePageShown) {
    Open();
    struct Step {
        QAction* WindowActions::*action;
        const char* panel;
        bool down, up, go_to;
    };
    const Step steps[] = {
        {&WindowActions::PageDown1, "2 of 3", true, true, true},
        {&WindowActions::PageDown1, "3 of 3", false, true, true},
        {&WindowActions::PageDown1, "3 of 3", false, true, true},  // past the end: nothing
        {&WindowActions::FirstPage1, "1 of 3", true, false, true},
        {&WindowActions::PageUp1, "1 of 3", true, false, true},  // before the start: nothing
        {&WindowActions::LastPage1, "3 of 3", false, true, true},
        {&WindowActions::PageUp1, "2 of 3", true, true, true},
    };
    for (const Step& step : steps) {
        // Disabled actions do not trigger; call the command itself like a stray key would.
        QAction* action = window->Actions().*step.action;
        if (action->isEnabled()) {
            action->trigger();
        } else if (action == window->Actions().PageDown1) {
            window->PageDownBTNClick();
        } else {
            window->PageUpBTNClick();
        }
        SCOPED_TRACE(step.panel);
        EXPECT_EQ(Panel(), step.panel);
        EXPECT_EQ(window->Actions().PageDown1->isEnabled(), step.down);
        EXPECT_EQ(window->Actions().PageUp1->isEnabled(), step.up);
        EXPECT_EQ(window->Actions().Gotopage1->isEnabled(), step.go_to);
    }
}

TEST_F(MainWindow, OnePageLogHasNoPageMoves) {
    cindral::testing::WriteLog(log, cindral::testing::PixelHeader(400));
    Open();
    EXPECT_EQ(Panel(), "1 of 1");
    EXPECT_FALSE(window->Actions().PageDown1->isEnabled());
    EXPECT_FALSE(window->Actions().Gotopage1->isEnabled());
    EXPECT_TRUE(window->Actions().SaveAs1->isEnabled());
}

TEST_F(MainWindow, DepthReadoutUnderTheMouse) {
    Open();
    struct Row {
        int page, row;
        bool elevation;
        const char* text;
    };
    const Row rows[] = {
        {0, 0, false, "1200.00"}, {0, 100, false, "1100.00"}, {0, 499, false, "701.00"},
        {1, 0, false, "700.00"},  {2, 250, false, "-50.00"},  {0, 100, true, "1350.00"},
        {1, 333, true, "617.00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        window->ShownPage = row.page;
        window->ShowCurrentPage();
        ASSERT_TRUE(window->WaitForPage());
        window->ElevationCb->setChecked(row.elevation);
        QMouseEvent move(QEvent::MouseMove, QPointF(20, row.row), QPointF(20, row.row),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window->Image1, &move);
        EXPECT_EQ(window->DepthEd->text().toStdString(), row.text);
    }
    window->Actions().CopyDepth1->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "617.00");
    window->ElevationCb->setChecked(false);
    EXPECT_EQ(window->DepthEd->text().toStdString(), "367.00");
}

// Opening is all or nothing: a log broken in its header or in its body changes nothing on
// screen — title, page, pages, the document Save As would copy, the recent files.
TEST_F(MainWindow, BrokenFileIsReportedAndTheShownLogStays) {
    Open();
    window->Actions().PageDown1->trigger();
    ASSERT_TRUE(window->WaitForPage());
    const QImage shown = window->ViewBitmap;
    GdxHeader many_pages = cindral::testing::PixelHeader(1200);
    cindral::testing::WriteLog(dir.File("whole.gdx"), many_pages);
    std::vector<uint8_t> cut = ReadFileBytes(dir.File("whole.gdx"));
    cut.resize(cut.size() - 20);  // the line record ends early
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Row rows[] = {
        {"header", {0x2D, 0x01, 0x72, 0x00, 1, 2, 3}},
        {"body", cut},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ui.messages.clear();
        const std::string broken = dir.File(std::string(row.name) + ".gdx");
        cindral::testing::WriteBytes(broken, row.bytes);
        EXPECT_FALSE(window->OpenFile(QString::fromStdString(broken)));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
        EXPECT_NE(ui.messages[0].text.find(broken), std::string::npos) << ui.messages[0].text;
        EXPECT_EQ(window->windowTitle().toStdString(), "Cindral 2003 - " + log);
        EXPECT_EQ(window->Document->FileName(), log);
        EXPECT_EQ(Panel(), "2 of 3");
        EXPECT_TRUE(window->ViewBitmap == shown);
        EXPECT_FALSE(TCindralFrm::RecentFiles().contains(QString::fromStdString(broken)));
        EXPECT_TRUE(window->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    window->Actions().PageDown1->trigger();
    EXPECT_EQ(Panel(), "3 of 3");
}

TEST_F(MainWindow, MissingCommandLineFileIsNamedInQuotes) {
    window->OpenFromCommandLine({"/no/such/log.gdx"});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Cannot find \"/no/such/log.gdx\"");
    EXPECT_TRUE(window->NoPages);
    window->OpenFromCommandLine({QString::fromStdString(log)});
    EXPECT_EQ(Panel(), "1 of 3");
}

TEST_F(MainWindow, PageTooLargeForABitmapLeavesTheWindowUsable) {
    GdxHeader huge = cindral::testing::PixelHeader(1200);
    huge.PageHeight = 3000;  // 300000 x 100000 pixels
    huge.PageWidth = 1000;
    cindral::testing::WriteLog(dir.File("huge.gdx"), huge);
    Open();
    EXPECT_FALSE(window->OpenFile(QString::fromStdString(dir.File("huge.gdx"))));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("Our of resources for creating the view screen."),
              std::string::npos)
        << ui.messages[0].text;
    EXPECT_EQ(window->windowTitle().toStdString(), "Cindral 2003 - " + log);
    window->Actions().PageDown1->trigger();
    EXPECT_EQ(Panel(), "2 of 3");
}

TEST_F(MainWindow, GoToPageClampsTheTypedNumber) {
    Open();
    struct Row {
        const char* typed;
        const char* panel;
    };
    for (const Row& row : {Row{"2", "2 of 3"}, Row{"0", "1 of 3"}, Row{"99", "3 of 3"}}) {
        SCOPED_TRACE(row.typed);
        OnNextDialog([&](QDialog* dialog) {
            auto* go_to = qobject_cast<TGotoDLG*>(dialog);
            ASSERT_NE(go_to, nullptr);
            go_to->PageSE->selectAll();
            QTest::keyClicks(go_to->PageSE, row.typed);
            QTest::keyClick(go_to->PageSE, Qt::Key_Return);
        });
        window->Actions().Gotopage1->trigger();
        EXPECT_EQ(Panel(), row.panel);
    }
}

// The page holding a depth, and the row under the marker, at the edges of pages: the last row
// of page 1 reads 701, the first of page 2 reads 700. The read-out under the marker is the
// independent check of the row.
TEST_F(MainWindow, GoToDepthMarksTheRowAtPageBoundaries) {
    Open();
    window->show();
    struct Row {
        double value;
        bool elevation;
        const char* panel;  // empty: refused with `message`
        int marker_y;
        const char* readout;
        const char* message;
    };
    const Row rows[] = {
        {1200, false, "1 of 3", 0, "1200.00", ""},
        {701, false, "1 of 3", 499, "701.00", ""},
        {700.5, false, "1 of 3", 499, "701.00", ""},  // the row at or above it
        {700, false, "2 of 3", 0, "700.00", ""},
        {200, false, "3 of 3", 0, "200.00", ""},
        {0, false, "3 of 3", 200, "0.00", ""},
        {950, true, "2 of 3", 0, "950.00", ""},  // datum 250: depth 700
        {1300, false, "", 0, "", "The depth (1300) is higher than the log's top (1200)"},
        {-1, false, "", 0, "", "The depth (-1) is lower than the log's base (0)"},
        {1451, true, "", 0, "", "The elevation (1451) is higher than the log's top (1450)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        ui.messages.clear();
        window->ElevationCb->setChecked(row.elevation);
        const bool found = window->GoToDepth(row.value, row.elevation);
        if (*row.panel == 0) {
            EXPECT_FALSE(found);
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
            EXPECT_EQ(ui.messages[0].text, row.message);
            continue;
        }
        ASSERT_TRUE(found);
        ASSERT_TRUE(window->WaitForPage());
        EXPECT_EQ(Panel(), row.panel);
        EXPECT_TRUE(ui.messages.empty());
        QWidget* marker = window->DepthMarker;
        ASSERT_TRUE(marker->isVisible());
        const int y = marker->y();
        EXPECT_EQ(y, row.marker_y);
        window->ShowDepthAt(y);
        EXPECT_EQ(window->DepthEd->text().toStdString(), row.readout);
        // Scrolled so that the marker is in view, and red there as the guide says.
        const QPoint in_view = marker->mapTo(window->ScrollBox1->viewport(), QPoint(0, 0));
        EXPECT_TRUE(window->ScrollBox1->viewport()->rect().contains(in_view));
        const QImage shown = window->ScrollBox1->viewport()->grab().toImage();
        EXPECT_EQ(QColor(shown.pixel(in_view + QPoint(marker->width() / 2, 0))), QColor(220, 0, 0));
    }
    // Another page move takes the marker away.
    window->Actions().FirstPage1->trigger();
    EXPECT_FALSE(window->DepthMarker->isVisible());
}

// The sample stores depths -1000 to -1600 (y grows upward) and its depth track prints 1000 to
// 1600. As printed, the read-out, Go to Depth, its messages and the interval dialog use the
// track's numbers; unticked, the file's. Elevations (datum 350) are the file's either way.
TEST_F(MainWindow, DepthsAsPrintedOrWithTheFilesSign) {
    const std::string sample = cindral::testing::BinDir() + "/samples/sample.gdx";
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(sample)));
    window->show();
    struct Row {
        bool as_printed;
        double value;
        bool elevation;
        const char* readout;  // empty: refused with `message`
        const char* message;
    };
    const Row rows[] = {
        {true, 1200, false, "1200.00", ""},
        {true, 1000, false, "1000.00", ""},
        {true, 900, false, "", "The depth (900) is higher than the log's top (1000)"},
        {true, 1700, false, "", "The depth (1700) is lower than the log's base (1600)"},
        {true, -850, true, "-850.00", ""},
        {false, -1200, false, "-1200.00", ""},
        {false, 1200, false, "", "The depth (1200) is higher than the log's top (-1000)"},
        {false, -850, true, "-850.00", ""},
    };
    QAction* as_printed = window->Actions().DepthsAsPrinted1;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.as_printed) + " " + std::to_string(row.value));
        if (as_printed->isChecked() != row.as_printed) as_printed->trigger();
        ui.messages.clear();
        window->ElevationCb->setChecked(row.elevation);
        const bool found = window->GoToDepth(row.value, row.elevation);
        if (*row.readout == 0) {
            EXPECT_FALSE(found);
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, row.message);
            continue;
        }
        ASSERT_TRUE(found);
        ASSERT_TRUE(window->WaitForPage());
        window->ShowDepthAt(window->DepthMarker->y());
        EXPECT_EQ(window->DepthEd->text().toStdString(), row.readout);
    }

    // The interval dialog shows the track's numbers and sets the file's.
    if (!as_printed->isChecked()) as_printed->trigger();
    OnNextDialog([&](QDialog* dialog) {
        auto* interval = qobject_cast<TSelectDepthFrm*>(dialog);
        ASSERT_NE(interval, nullptr);
        EXPECT_EQ(interval->StartEd->value(), 1000);
        EXPECT_EQ(interval->EndEd->value(), 1600);
        EXPECT_EQ(interval->StartLbl->text().toStdString(), "New Starting Depth (1000)");
        interval->StartEd->setValue(1300);
        interval->EndEd->setValue(1200);
        interval->accept();  // refused: the start lies below the end
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back().text,
                  "The Starting Depth (1300) must be less than the Ending Depth (1200)");
        interval->StartEd->setValue(1100);
        interval->accept();
    });
    ui.messages.clear();
    window->Actions().SelectInterval1->trigger();
    EXPECT_EQ(window->Document->Header().TopDepth, -1100);
    EXPECT_EQ(window->Document->Header().BottomDepth, -1200);
}

// The habits of document viewers: the toolbar's page and zoom boxes, dragging the page to pan
// (left button unless the magnifier is out, middle button always), F11, Ctrl+W closing the
// log but not the window, and a status message that never hides the page counter.
TEST_F(MainWindow, PageAndZoomBoxesPanFullScreenAndClose) {
    Open();
    window->resize(700, 500);
    window->show();
    ASSERT_TRUE(window->WaitForPage());
    EXPECT_EQ(window->PageBox->text().toStdString(), "1 / 3");
    struct Typed {
        const char* text;
        const char* panel;
    };
    for (const Typed& t : {Typed{"3", "3 of 3"}, Typed{"2 / 3", "2 of 3"}, Typed{"99", "3 of 3"},
                           Typed{"x", "3 of 3"}}) {
        SCOPED_TRACE(t.text);
        window->PageBox->setFocus();
        window->PageBox->selectAll();
        QTest::keyClicks(window->PageBox, t.text);
        QTest::keyClick(window->PageBox, Qt::Key_Return);
        EXPECT_EQ(Panel(), t.panel);
        EXPECT_EQ(window->PageBox->text().toStdString(),
                  std::string(t.panel).substr(0, 1) + " / 3");
    }
    for (const Typed& t : {Typed{"150", "150 %"}, Typed{"fit page", "Fit Page"},
                           Typed{"1000 %", "400 %"}, Typed{"nonsense", "400 %"}}) {
        SCOPED_TRACE(t.text);
        window->ZoomBox->setFocus();
        window->ZoomBox->lineEdit()->selectAll();
        QTest::keyClicks(window->ZoomBox->lineEdit(), t.text);
        QTest::keyClick(window->ZoomBox->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(window->ZoomBox->currentText().toStdString(), t.panel);
    }
    EXPECT_TRUE(window->WaitForPage());

    // At 400 % the page is larger than the view: a drag moves it with the hand.
    QScrollBar* across = window->ScrollBox1->horizontalScrollBar();
    QScrollBar* down = window->ScrollBox1->verticalScrollBar();
    struct Drag {
        Qt::MouseButton button;
        bool magnifier;
        bool pans;
    };
    for (const Drag& d : {Drag{Qt::LeftButton, false, true}, Drag{Qt::MiddleButton, false, true},
                          Drag{Qt::LeftButton, true, false}, Drag{Qt::MiddleButton, true, true}}) {
        SCOPED_TRACE(int(d.button));
        if (window->Actions().MagnifierBtn->isChecked() != d.magnifier) {
            window->Actions().Magnify1->trigger();
        }
        across->setValue(200);
        down->setValue(300);
        QWidget* page = window->Image1;
        const QPoint from = page->mapFrom(window->ScrollBox1->viewport(), QPoint(300, 250));
        QTest::mousePress(page, d.button, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from - QPoint(40, 60)),
                         page->mapToGlobal(QPointF(from - QPoint(40, 60))), Qt::NoButton, d.button,
                         Qt::NoModifier);
        QApplication::sendEvent(page, &move);
        QTest::mouseRelease(page, d.button, Qt::NoModifier, from - QPoint(40, 60));
        EXPECT_EQ(across->value(), d.pans ? 240 : 200);
        EXPECT_EQ(down->value(), d.pans ? 360 : 300);
    }
    if (window->Actions().MagnifierBtn->isChecked()) window->Actions().Magnify1->trigger();

    window->Actions().FullScreen1->trigger();
    EXPECT_TRUE(window->isFullScreen());
    window->Actions().FullScreen1->trigger();
    EXPECT_FALSE(window->isFullScreen());

    // A message in the status bar leaves the counter in place; its whole text is the tooltip.
    ASSERT_TRUE(window->ReloadLog(true));
    EXPECT_TRUE(window->PagePNL->isVisible());
    EXPECT_FALSE(window->PagePNL->text().isEmpty());
    EXPECT_TRUE(window->statusBar()->toolTip().startsWith("Reloaded "));

    QTest::keyClick(window->ScrollBox1, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(window->Document, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Panel(), "");
    EXPECT_EQ(window->PageBox->text().toStdString(), "");
    EXPECT_FALSE(window->Actions().Print1->isEnabled());
    Open();  // and the window takes a log again
    EXPECT_TRUE(window->WaitForPage());
}

TEST_F(MainWindow, GoToDepthDialogAsksAgainAfterADepthOutsideTheLog) {
    Open();
    OnNextDialog([&](QDialog* dialog) {
        auto* go_to = qobject_cast<TGotoDepthDialog*>(dialog);
        ASSERT_NE(go_to, nullptr);
        go_to->ValueEd->setText("5000");
        go_to->OKBTN->click();
        OnNextDialog([](QDialog* again) {
            auto* go_to = qobject_cast<TGotoDepthDialog*>(again);
            ASSERT_NE(go_to, nullptr);
            go_to->ValueEd->setText("450");
            go_to->OKBTN->click();
        });
    });
    window->Actions().GotoDepth1->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The depth (5000) is higher than the log's top (1200)");
    EXPECT_EQ(Panel(), "2 of 3");
}

// A log recompiled while it is open: written whole through a temporary file renamed over it,
// or rewritten in place. The view follows it on the page it showed, at the same place.
TEST_F(MainWindow, ReloadFollowsTheLogRewrittenOnDisk) {
    Open();
    window->resize(420, 320);
    window->show();
    window->Actions().PageDown1->trigger();
    ASSERT_TRUE(window->WaitForPage());
    QScrollBar* bar = window->ScrollBox1->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 60);
    bar->setValue(60);
    struct Row {
        const char* how;
        double top;
        const char* panel;
        int page;  // expected on screen
    };
    const Row rows[] = {
        {"rename", 1600, "2 of 4", 1},
        {"in place", 2100, "2 of 5", 1},
        {"shorter, in place", 400, "1 of 1", 0},
        {"longer, rename", 1200, "1 of 3", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.how);
        const std::string written = std::string(row.how).find("rename") != std::string::npos
                                        ? dir.File("log.gdx.part")
                                        : log;
        cindral::testing::WriteLog(written, cindral::testing::PixelHeader(row.top));
        if (written != log) std::filesystem::rename(written, log);
        ASSERT_TRUE(WaitUntil([&] { return window->Document->FileHeader().TopDepth == row.top; }));
        ASSERT_TRUE(window->WaitForPage());
        EXPECT_EQ(Panel(), row.panel);
        LogDocumentOptions options;
        options.files = DocumentSettingsFrom(settings, dir.path());
        options.settings = settings;
        LogDocument reference(log, options, 100);
        EXPECT_TRUE(window->ViewBitmap == reference.RenderPage(row.page));
        if (row.page == 1) EXPECT_EQ(bar->value(), 60);
    }
    EXPECT_TRUE(ui.messages.empty());
}

// Half a log on disk (a compiler caught mid-write) leaves the last good page on screen with a
// notice, not a message box; the finished file is then shown. F5 on a broken file says why.
TEST_F(MainWindow, BrokenRewriteKeepsTheLastGoodPage) {
    Open();
    window->show();
    window->Actions().LastPage1->trigger();
    ASSERT_TRUE(window->WaitForPage());
    const QImage shown = window->ViewBitmap;
    std::vector<uint8_t> cut = ReadFileBytes(log);
    cut.resize(cut.size() - 20);
    cindral::testing::WriteBytes(log, cut);
    ASSERT_TRUE(WaitUntil(
        [&] { return window->statusBar()->currentMessage().contains("cannot be read"); }));
    EXPECT_TRUE(window->statusBar()->currentMessage().contains(QString::fromStdString(log)));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Panel(), "3 of 3");
    EXPECT_TRUE(window->ViewBitmap == shown);

    window->Actions().Reload1->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(window->ViewBitmap == shown);

    cindral::testing::WriteLog(log, cindral::testing::PixelHeader(1700));
    ASSERT_TRUE(WaitUntil([&] { return Panel() == "3 of 4"; })) << Panel();
    EXPECT_EQ(ui.messages.size(), 1u);
}

// A header field of a compiled file straight from its bytes: the record's code and length,
// then the fields packed in file order.
double HeaderDouble(const std::vector<uint8_t>& bytes, size_t offset) {
    double value = 0;
    std::memcpy(&value, bytes.data() + 4 + offset, sizeof value);
    return value;
}

std::string Shortest(double value) {
    return QString::number(value, 'g', 15).toStdString();
}

// File > Properties says in words what the bundled sample's header says, as the depth track
// prints its depths; Copy takes all of it, the record summary included; nothing is cut.
TEST_F(MainWindow, PropertiesDescribeTheLogInWords) {
    const std::string bin = cindral::testing::BinDir();
    settings.PatternFile = bin + "/QuenUtil.Pat";
    settings.SymbolFile = bin + "/QuenUtil.Sym";
    const std::string sample = std::filesystem::absolute(bin + "/samples/sample.gdx").string();
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(sample)));
    const std::vector<uint8_t> bytes = ReadFileBytes(sample);
    ASSERT_GE(bytes.size(), 118u);
    const int16_t version = int16_t(bytes[0] | bytes[1] << 8);
    const double bottom = HeaderDouble(bytes, 16), top = HeaderDouble(bytes, 24);
    const double first_header = HeaderDouble(bytes, 32), next_header = HeaderDouble(bytes, 40);
    const double footer = HeaderDouble(bytes, 48);
    const bool repeat = bytes[4 + 64] != 0;
    const double page_height = HeaderDouble(bytes, 65), page_width = HeaderDouble(bytes, 73);
    const double depth_units = HeaderDouble(bytes, 89);
    ASSERT_TRUE(top <= 0 && bottom < 0) << "the sample is a depth log, stored negative";
    ASSERT_TRUE(repeat);
    struct stat info {};
    ASSERT_EQ(::stat(sample.c_str(), &info), 0);
    std::tm local{};
    ::localtime_r(&info.st_mtime, &local);
    char modified[32];
    std::strftime(modified, sizeof modified, "%Y-%m-%d %H:%M:%S", &local);
    const std::string pages = Panel().substr(Panel().find(" of ") + 4);

    for (bool as_printed : {true, false}) {
        SCOPED_TRACE(as_printed);
        QAction* printed = window->Actions().DepthsAsPrinted1;
        if (printed->isChecked() != as_printed) printed->trigger();
        const double sign = as_printed ? -1 : 1;
        const std::vector<std::pair<QString, std::string>> expected = {
            {"File", sample},
            {"Modified", modified},
            {"Pages", pages},
            {"Depth scale", Shortest(depth_units) + " depth units per inch"},
            {"Page size", Shortest(page_width) + " x " + Shortest(page_height) + " in (Letter)"},
            {"Header, first page", Shortest(first_header) + " in"},
            {"Header, later pages", Shortest(next_header) + " in"},
            {"Footer", Shortest(footer) + " in, on every page"},
        };
        QString copied;
        OnNextDialog([&](QDialog* dialog) {
            auto* properties = qobject_cast<TPropertiesDialog*>(dialog);
            ASSERT_NE(properties, nullptr);
            for (const auto& [label, value] : expected) {
                QLabel* shown = properties->ValueLabel(label);
                ASSERT_NE(shown, nullptr) << label.toStdString();
                EXPECT_EQ(shown->text().toStdString(), value) << label.toStdString();
            }
            const QString depths = properties->ValueLabel("Depths")->text();
            EXPECT_TRUE(depths.startsWith(QString::fromStdString(Shortest(sign * top) + " to " +
                                                                 Shortest(sign * bottom) + " (")))
                << depths.toStdString();
            EXPECT_TRUE(properties->ValueLabel("File version")
                            ->text()
                            .startsWith(QString::number(version) + " "));
            // The size in bytes, and about as many KB.
            const QString size = properties->ValueLabel("Size")->text();
            EXPECT_EQ(QString(size).section(" bytes", 0, 0).remove(QRegularExpression("[^0-9]")),
                      QString::number(bytes.size()));
            const QString kb = size.section('(', 1).section(" KB", 0, 0);
            EXPECT_NEAR(QLocale().toDouble(kb) * 1024, double(bytes.size()), 0.05 * 1024)
                << size.toStdString();
            // Every value shows whole (the form scrolls rather than cut one).
            for (QLabel* value : properties->findChildren<QLabel*>()) {
                EXPECT_GE(value->width(), value->sizeHint().width()) << value->text().toStdString();
            }
            // The record summary is still there, on its own tab.
            EXPECT_TRUE(properties->Details->toPlainText().contains("Commands:"));
            properties->CopyBtn->click();
            copied = QGuiApplication::clipboard()->text();
            properties->CloseBtn->click();
        });
        window->Actions().Properties1->trigger();
        for (const auto& [label, value] : expected) {
            EXPECT_TRUE(copied.contains(label + ": " + QString::fromStdString(value) + "\n"))
                << label.toStdString();
        }
        EXPECT_TRUE(copied.contains("Commands:")) << "the records are copied too";
    }
}

TEST(PropertiesPaper, NamesTheStandardSizesEitherWayRound) {
    struct Case {
        double width, height;
        const char* name;
    } cases[] = {
        {8.5, 11, "Letter"}, {11, 8.5, "Letter, landscape"},
        {8.5, 14, "Legal"},  {8.27, 11.69, "A4"},
        {8.3, 11.7, "A4"},   {11.69, 16.54, "A3"},
        {8.5, 12, ""},       {8.5, 300, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PaperName(c.width, c.height).toStdString(), c.name)
            << c.width << " x " << c.height;
    }
}

// The page, zoom and view mode a log was left at come back when it is opened again, in this window
// or the next one; a log not seen before opens on its first page.
TEST_F(MainWindow, ReopenedLogComesBackToItsPageAndZoom) {
    const QString other = QString::fromStdString(dir.File("b.gdx"));
    cindral::testing::WriteLog(other.toStdString(), cindral::testing::PixelHeader(2200));
    Open();
    window->Actions().LastPage1->trigger();
    window->SetZoom({ZoomMode::Percent, 150});
    ASSERT_TRUE(window->OpenFile(other));
    EXPECT_EQ(Panel(), "1 of 5");
    window->Actions().PageDown1->trigger();
    window->SetZoom({ZoomMode::Percent, 50});
    window->Actions().Continuous1->trigger();
    Open();
    EXPECT_FALSE(window->Continuous());
    EXPECT_EQ(Panel(), "3 of 3");
    EXPECT_EQ(window->ZoomPNL->text(), "150 %");
    window->close();
    window = std::make_unique<TCindralFrm>(settings);
    window->ScreenPixelsPerInch = 100;
    ASSERT_TRUE(window->OpenFile(other));
    EXPECT_EQ(Panel(), "2 of 5");
    EXPECT_EQ(window->ZoomPNL->text(), "50 %");
    EXPECT_TRUE(window->Continuous());
}

TEST(ViewMemory, KeepsTheMostRecentLogsOnly) {
    TempDir dir;
    cindral::testing::UseActualSizeIn(dir);
    for (int i = 0; i <= kRememberedLogs; ++i) {
        RememberView(QString("/logs/%1.gdx").arg(i), {i, "100", i % 2 == 1});
    }
    // Seen again: newest, so it outlives the others.
    RememberView("/logs/1.gdx", {7, "fit-page", true});
    RememberView("/logs/extra.gdx", {0, "100", false});
    EXPECT_FALSE(RecallView("/logs/0.gdx"));
    EXPECT_FALSE(RecallView("/logs/2.gdx"));
    const std::optional<RememberedView> again = RecallView("/logs/1.gdx");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->page, 7);
    EXPECT_EQ(again->zoom, "fit-page");
    EXPECT_TRUE(again->continuous);
    const std::optional<RememberedView> last =
        RecallView(QString("/logs/%1.gdx").arg(kRememberedLogs));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->page, kRememberedLogs);
}

// The continuous view puts page p at p × (page height + gap), each the picture the page
// routine draws for it, and pages through with Space and Shift+Space like the one-page view.
TEST_F(MainWindow, ContinuousViewPlacesEveryPageAtItsOffset) {
    Open();
    window->resize(420, 420);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->Actions().Continuous1->trigger();
    ASSERT_TRUE(window->Continuous());
    PageStrip* strip = window->Strip;
    const int pitch = 500 + PageStrip::kGap;
    EXPECT_EQ(strip->size(), QSize(300, 3 * pitch - PageStrip::kGap));
    QScrollBar* bar = window->ScrollBox1->verticalScrollBar();
    struct Row {
        Qt::KeyboardModifiers modifiers;
        const char* panel;
        int page;
    };
    const Row rows[] = {{Qt::NoModifier, "2 of 3", 1},
                        {Qt::NoModifier, "3 of 3", 2},
                        {Qt::ShiftModifier, "2 of 3", 1},
                        {Qt::ShiftModifier, "1 of 3", 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.panel);
        QTest::keyClick(window->ScrollBox1, Qt::Key_Space, row.modifiers);
        EXPECT_EQ(Panel(), row.panel);
        EXPECT_EQ(bar->value(), std::min(row.page * pitch, bar->maximum()));
    }
    for (int page = 0; page < 3; ++page) {
        window->ShownPage = page;
        window->ShowCurrentPage();
        ASSERT_TRUE(WaitUntil([&] { return strip->HasPicture(page); }));
    }
    LogDocumentOptions options;
    options.files = DocumentSettingsFrom(settings, dir.path());
    options.settings = settings;
    LogDocument reference(log, options, 100);
    const QImage drawn = strip->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        const QImage expected = reference.RenderPage(page).convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(drawn.copy(0, page * pitch, 300, 500) == expected);
    }
    // The read-out and Go to depth follow the page under the mouse and the marker.
    QMouseEvent move(QEvent::MouseMove, QPointF(20, pitch + 100), QPointF(20, pitch + 100),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(strip, &move);
    EXPECT_EQ(window->DepthEd->text().toStdString(), "600.00");
    ASSERT_TRUE(window->GoToDepth(200, false));
    EXPECT_EQ(Panel(), "3 of 3");
    EXPECT_EQ(window->DepthMarker->parentWidget(), strip);
    EXPECT_EQ(window->DepthMarker->y(), 2 * pitch);

    window->Actions().Continuous1->trigger();
    EXPECT_FALSE(window->Continuous());
    ASSERT_TRUE(window->WaitForPage());
    EXPECT_EQ(Panel(), "3 of 3");
    EXPECT_EQ(window->ScrollBox1->widget(), window->Image1);
}

// Thumbnails come in for the pages the panel shows, small; a click goes to the page, and the
// panel follows the page shown.
TEST_F(MainWindow, ThumbnailsShowThePagesAndGoToTheOneClicked) {
    Open();
    window->show();
    EXPECT_FALSE(window->Thumbnails->isVisible());
    window->Actions().Thumbnails1->trigger();
    ThumbnailPanel* panel = window->Thumbnails;
    ASSERT_TRUE(panel->isVisible());
    ASSERT_EQ(panel->List->count(), 3);
    for (int page = 0; page < 3; ++page) {
        ASSERT_TRUE(WaitUntil([&] { return panel->HasPicture(page); })) << page;
    }
    const QSize size = panel->List->item(0)->icon().availableSizes().value(0);
    EXPECT_LE(std::max(size.width(), size.height()), ThumbnailPanel::kThumbnailSide);
    EXPECT_GT(size.height(), size.width());  // a 3 x 5 inch page
    QListWidgetItem* third = panel->List->item(2);
    QTest::mouseClick(panel->List->viewport(), Qt::LeftButton, Qt::NoModifier,
                      panel->List->visualItemRect(third).center());
    EXPECT_EQ(Panel(), "3 of 3");
    window->Actions().FirstPage1->trigger();
    EXPECT_EQ(panel->List->currentRow(), 0);
}

// Answers the custom page length dialog: ticks the box as asked, types the units, presses OK.
void AnswerPageLength(bool enabled, double units, bool ok = true) {
    OnNextDialog([=](QDialog* dialog) {
        auto* page = qobject_cast<TFPageBreakDlg*>(dialog);
        ASSERT_NE(page, nullptr);
        page->CustomEnableCb->setChecked(enabled);
        EXPECT_EQ(page->UnitsPerPageGB->isEnabled(), enabled);
        page->UnitsPerPage->setValue(units);
        (ok ? page->OKBTN : page->CancelBTN)->click();
    });
}

TEST_F(MainWindow, CustomPageLengthIsWrittenIntoTheHeaderOnly) {
    Open();
    const std::vector<uint8_t> before = ReadFileBytes(log);
    AnswerPageLength(true, 250);
    window->Actions().CustomPageBreaks1->trigger();
    EXPECT_TRUE(ui.messages.empty());
    // 1200 units in pages of 250: five pages.
    EXPECT_EQ(Panel(), "1 of 5");
    EXPECT_TRUE(window->Actions().CustomPageBreaks1->isChecked());
    EXPECT_TRUE(settings.CustomPageLengthOn);
    EXPECT_EQ(settings.UnitsPerPage, 250);

    GdxHeader header = ReadHeaderFromFile(log);
    EXPECT_EQ(header.CustomPageLength, 1);
    EXPECT_EQ(header.UnitsPerPage, 250);
    EXPECT_EQ(header.TopDepth, 1200);
    const std::vector<uint8_t> after = ReadFileBytes(log);
    ASSERT_EQ(after.size(), before.size());
    const size_t header_record = 4 + kHeaderLength;
    EXPECT_TRUE(
        std::equal(before.begin() + header_record, before.end(), after.begin() + header_record));

    // A longer page shortens the log below the page shown: the view moves onto the last one.
    window->Actions().LastPage1->trigger();
    AnswerPageLength(true, 400);
    window->Actions().CustomPageBreaks1->trigger();
    EXPECT_EQ(Panel(), "3 of 3");
    ASSERT_TRUE(window->WaitForPage());
    window->ShowDepthAt(0);
    EXPECT_EQ(window->DepthEd->text().toStdString(), "400.00");

    // Turning it off again brings the page-size paging back.
    AnswerPageLength(false, 400);
    window->Actions().CustomPageBreaks1->trigger();
    EXPECT_EQ(Panel(), "3 of 3");
    EXPECT_EQ(ReadHeaderFromFile(log).CustomPageLength, 0);
}

// A page length that cannot fit the 500-row page would leave rows of every page unseen: the
// dialog says how long a page may be and stays open.
TEST_F(MainWindow, CustomPageLengthLongerThanThePageIsRefused) {
    Open();
    OnNextDialog([&](QDialog* dialog) {
        auto* page = qobject_cast<TFPageBreakDlg*>(dialog);
        page->CustomEnableCb->setChecked(true);
        page->UnitsPerPage->setValue(600);
        page->OKBTN->click();
        EXPECT_TRUE(page->isVisible());
        page->UnitsPerPage->setValue(500);
        page->OKBTN->click();
    });
    window->Actions().CustomPageBreaks1->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, TFPageBreakDlg::TooLongWarning(500));
    EXPECT_EQ(Panel(), "1 of 3");
    EXPECT_EQ(ReadHeaderFromFile(log).UnitsPerPage, 500);
}

TEST_F(MainWindow, CustomPageLengthThatCannotBeWrittenChangesNothing) {
    Open();
    window->Actions().LastPage1->trigger();
    const std::vector<uint8_t> before = ReadFileBytes(log);
    ASSERT_TRUE(cindral::testing::MakeReadOnly(log));
    AnswerPageLength(true, 250);
    window->Actions().CustomPageBreaks1->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    EXPECT_NE(ui.messages[0].text.find("cannot be written back"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(log), before);
    EXPECT_EQ(Panel(), "3 of 3");
    EXPECT_EQ(window->Document->Header().CustomPageLength, 0);
    EXPECT_FALSE(window->Actions().CustomPageBreaks1->isChecked());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(MainWindow, CustomPageLengthOfZeroIsRefusedAndCancelKeepsTheInterval) {
    Open();
    // A narrowed interval must survive the dialog's re-read of the file's header.
    window->Document->SetInterval(900, 0);
    window->CountPages();
    window->ShowCurrentPage();
    const std::string panel = Panel();
    const std::vector<uint8_t> before = ReadFileBytes(log);
    OnNextDialog([&](QDialog* dialog) {
        auto* page = qobject_cast<TFPageBreakDlg*>(dialog);
        page->CustomEnableCb->setChecked(true);
        page->UnitsPerPage->setValue(0);
        page->OKBTN->click();
        EXPECT_TRUE(page->isVisible());
        page->CancelBTN->click();
    });
    window->Actions().CustomPageBreaks1->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, TFPageBreakDlg::kZeroLengthWarning);
    EXPECT_EQ(window->Document->Header().TopDepth, 900);
    EXPECT_EQ(Panel(), panel);
    EXPECT_EQ(ReadFileBytes(log), before);
}

TEST_F(MainWindow, SelectIntervalWarnsUntilTheIntervalIsValid) {
    Open();
    window->Actions().LastPage1->trigger();
    struct Try {
        double start, end;
        const char* warning;
    };
    const Try tries[] = {
        {100, 200, "The Starting Depth (100) must be greater than the Ending Depth (200)"},
        {300, 300, "The Starting Depth (300) must be greater than the Ending Depth (300)"},
        {1300, 0, "The Starting Depth (1300) is higher than the log's top (1200)"},
        {1000, -5, "The Ending Depth (-5) is lower than the log's base (0)"},
    };
    OnNextDialog([&](QDialog* dialog) {
        auto* depth = qobject_cast<TSelectDepthFrm*>(dialog);
        ASSERT_NE(depth, nullptr);
        EXPECT_EQ(depth->StartLbl->text(), "New Starting Depth (1200)");
        EXPECT_EQ(depth->EndLbl->text(), "New Ending Depth (0)");
        for (const Try& t : tries) {
            depth->StartEd->setValue(t.start);
            depth->EndEd->setValue(t.end);
            depth->OKBTN->click();
            EXPECT_TRUE(depth->isVisible()) << t.warning;
        }
        depth->ResetStartBtn->click();
        EXPECT_EQ(depth->StartEd->value(), 1200);
        depth->EndEd->setValue(400);
        depth->OKBTN->click();
    });
    window->Actions().SelectInterval1->trigger();
    ASSERT_EQ(ui.messages.size(), std::size(tries));
    for (size_t i = 0; i < std::size(tries); ++i) {
        EXPECT_EQ(ui.messages[i].kind, MessageKind::Warning);
        EXPECT_EQ(ui.messages[i].text, tries[i].warning);
    }
    // 800 units: two pages; the last page was shown, so the view returns to page 1.
    EXPECT_EQ(Panel(), "1 of 2");
    EXPECT_EQ(window->Document->Header().BottomDepth, 400);
    // The file keeps its own interval.
    EXPECT_EQ(ReadHeaderFromFile(log).BottomDepth, 0);
}

TEST_F(MainWindow, SaveAsCopiesAndFollowsTheCopy) {
    Open();
    const auto bytes = ReadFileBytes(log);
    EXPECT_TRUE(window->SaveAsTo(QString::fromStdString(dir.File("copy"))));
    EXPECT_EQ(ReadFileBytes(dir.File("copy.gdx")), bytes);
    EXPECT_EQ(window->windowTitle().toStdString(), "Cindral 2003 - " + dir.File("copy.gdx"));
    EXPECT_EQ(window->Document->FileName(), dir.File("copy.gdx"));

    // Onto its own name: one file, no backup left.
    EXPECT_TRUE(window->SaveAsTo(QString::fromStdString(dir.File("copy.gdx"))));
    EXPECT_EQ(ReadFileBytes(dir.File("copy.gdx")), bytes);
    EXPECT_FALSE(std::filesystem::exists(dir.File("copy.~BN")));
    EXPECT_TRUE(ui.messages.empty());
    window->Actions().PageDown1->trigger();
    EXPECT_EQ(Panel(), "2 of 3");
}

TEST_F(MainWindow, SaveAsQuestionsAnsweredNoSaveNothing) {
    Open();
    cindral::testing::WriteBytes(dir.File("other.gdx"), {1, 2, 3});
    ui.answers = {Answer::No, Answer::No};
    EXPECT_FALSE(window->SaveAsTo(QString::fromStdString(dir.File("copy.txt"))));
    EXPECT_FALSE(window->SaveAsTo(QString::fromStdString(dir.File("other.gdx"))));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "copy.txt has an invalid file extension.\r\n\r\nDo you want to save anyway?");
    EXPECT_EQ(ui.messages[1].text, OverwriteQuestion(dir.File("other.gdx")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("copy.txt")));
    EXPECT_EQ(ReadFileBytes(dir.File("other.gdx")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(window->Document->FileName(), log);
}

TEST_F(MainWindow, PlacementIsKeptInTheSettings) {
    window->show();
    window->setGeometry(120, 140, 700, 450);
    const QRect placed = window->geometry();
    window->close();
    EXPECT_FALSE(settings.Maximized);
    TCindralFrm again(settings);
    EXPECT_EQ(again.geometry(), placed);
}

TEST_F(MainWindow, DroppedLogIsOpened) {
    window->show();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(log))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(Panel(), "1 of 3");

    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.File("notes.txt")))});
    QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(window.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(MainWindow, KeysMoveThroughPagesAndCopyTheDepth) {
    Open();
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    struct Row {
        Qt::Key key;
        const char* panel;
    };
    const Row rows[] = {{Qt::Key_PageDown, "2 of 3"},
                        {Qt::Key_End, "3 of 3"},
                        {Qt::Key_PageUp, "2 of 3"},
                        {Qt::Key_Home, "1 of 3"}};
    for (const Row& row : rows) {
        QTest::keyClick(window->ScrollBox1, row.key);
        EXPECT_EQ(Panel(), row.panel);
    }
    ASSERT_TRUE(window->WaitForPage());
    window->ShowDepthAt(40);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(window->ScrollBox1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "1160.00");
    // Ctrl+C copies the page, as the toolbar's Copy Page does.
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(window->ScrollBox1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), window->ViewBitmap.size());
}

// The guide's Ctrl+Shift+S reaches Save As whatever the desktop's key scheme, and Help ▸
// About shows the about box with the version and date of this build.
TEST_F(MainWindow, SaveAsKeyAndAboutOpenTheirDialogs) {
    Open();
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    struct Row {
        const char* path;
        std::function<void()> ask;
        const char* title;
        const char* version;  // shown by the about box
    };
    const Row rows[] = {
        {"Ctrl+Shift+S",
         [&] {
             QTest::keyClick(window->ScrollBox1, Qt::Key_S,
                             Qt::ControlModifier | Qt::ShiftModifier);
         },
         "Save Compiled Log As...", ""},
        {"Help > About", [&] { window->Actions().AboutCindral1->trigger(); }, "About",
         "Version: " CINDRAL_VERSION},
    };
    for (const Row& row : rows) {
        QString title;
        QString version;
        OnNextDialog([&](QDialog* dialog) {
            title = dialog->windowTitle();
            if (auto* about = qobject_cast<TAboutDialog*>(dialog))
                version = about->VersionLbl->text();
            dialog->reject();
        });
        row.ask();
        EXPECT_EQ(title.toStdString(), row.title) << row.path;
        EXPECT_EQ(version.toStdString(), row.version) << row.path;
    }
}

// Records the status lines of the window.
class RecordingStatus : public StatusSink {
  public:
    void ShowStatus(const std::string& text) override { lines.push_back(text); }
    void HideStatus() override { ++hides; }
    std::vector<std::string> lines;
    int hides = 0;
};

TEST_F(MainWindow, StatusReportsThePageCountThePanelShows) {
    RecordingStatus status;
    ScopedStatusSink sink(status);
    Open();
    auto has = [&](const std::string& line) {
        return std::find(status.lines.begin(), status.lines.end(), line) != status.lines.end();
    };
    EXPECT_TRUE(has("Calculating the number of pages..."));
    EXPECT_TRUE(has("Total pages = 3"));
    EXPECT_EQ(Panel(), "1 of 3");
    EXPECT_GT(status.hides, 0);
}

// Ten presses while pages are being drawn move ten pages: none is lost to a busy window.
TEST_F(MainWindow, PageKeysAreNotLostWhilePagesDraw) {
    cindral::testing::WriteLog(log, cindral::testing::PixelHeader(6000));
    Open();
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (int i = 0; i < 10; ++i) QTest::keyClick(window->ScrollBox1, Qt::Key_PageDown);
    EXPECT_EQ(Panel(), "11 of 12");
    ASSERT_TRUE(window->WaitForPage());
    EXPECT_EQ(window->DisplayedPage, 10);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(ui.messages.empty());
}

// The view shows exactly what the shared page routine draws for the bundled sample (which
// uses bands, fills and text) at the same resolution.
TEST_F(MainWindow, ShowsWhatThePageRoutineDraws) {
    const std::string bin = cindral::testing::BinDir();
    settings.PatternFile = bin + "/QuenUtil.Pat";
    settings.SymbolFile = bin + "/QuenUtil.Sym";
    const std::string sample = bin + "/samples/sample.gdx";
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(sample)));
    window->Actions().PageDown1->trigger();
    ASSERT_TRUE(window->WaitForPage());

    LogDocumentOptions options;
    options.files = DocumentSettingsFrom(settings, bin);
    options.settings = settings;
    LogDocument reference(sample, options, 100);
    const QImage expected = reference.RenderPage(1);
    ASSERT_EQ(window->ViewBitmap.size(), expected.size());
    EXPECT_TRUE(window->ViewBitmap == expected);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MainWindow, RecentFilesKeepTheNewestFirst) {
    cindral::testing::WriteLog(dir.File("b.gdx"), cindral::testing::PixelHeader(400));
    Open();
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(dir.File("b.gdx"))));
    Open();
    EXPECT_EQ(TCindralFrm::RecentFiles(), (QStringList{QString::fromStdString(log),
                                                       QString::fromStdString(dir.File("b.gdx"))}));
}

}  // namespace
}  // namespace cindral::app
