// Two logs side by side: linked by depth or elevation whatever their scales, page sizes and
// datums, a log that ends before the other, two logs flattened on a marker, a measurement over
// known rows, and the pair remembered for the first log. The depths are read back through the
// read-outs under the mouse, as a user reads them.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <cmath>
#include <functional>
#include <utility>

#include "app/view/compare_overlay.h"
#include "app/view/compare_pane.h"
#include "app/view/page_strip.h"
#include "app/window/cindral_frm.h"
#include "app/window/cindral_frm_compare.h"
#include "frm_test_support.h"
#include "recording_ui.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

using cindral::testing::PixelHeader;
using cindral::testing::TempDir;
using cindral::testing::WaitUntil;
using Side = CompareLink::Side;

// `PixelHeader` with its own depths, scale, page height and datum.
GdxHeader LogHeader(double top, double bottom, double units_per_inch = 100, double page_height = 5,
                    double datum = 250) {
    GdxHeader h = PixelHeader(top);
    h.BottomDepth = bottom;
    h.DepthUnitsPerInch = units_per_inch;
    h.PageHeight = page_height;
    h.ElevationDatum = datum;
    return h;
}

class Compare : public ::testing::Test {
  protected:
    Compare() : scoped_ui(ui) {
        cindral::testing::UseActualSizeIn(dir);
        cindral::testing::WriteEmptyLibraries(dir);
        settings = cindral::testing::TestSettings(dir);
    }

    std::string Log(const std::string& name, const GdxHeader& header) {
        const std::string path = dir.File(name);
        cindral::testing::WriteLog(path, header);
        return path;
    }

    void NewWindow() {
        window.reset();
        window = std::make_unique<TCindralFrm>(settings);
        window->ScreenPixelsPerInch = 100;
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    CompareLink& Link() { return *window->Compare; }
    ComparePane& Pane() { return *Link().Pane(); }

    // The second log dropped onto the window with Ctrl held.
    void OpenPair(const std::string& first, const std::string& second) {
        NewWindow();
        ASSERT_TRUE(window->OpenFile(QString::fromStdString(first)));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(second))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::ControlModifier);
        QApplication::sendEvent(window.get(), &enter);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                        Qt::ControlModifier);
        QApplication::sendEvent(window.get(), &drop);
        ASSERT_TRUE(Link().Comparing());
        ASSERT_TRUE(window->Continuous());
        Settle();
    }

    // Until the moves have been followed and the pages in view are drawn.
    void Settle() {
        for (int i = 0; i < 4; ++i) QCoreApplication::processEvents();
        ASSERT_TRUE(WaitUntil([&] {
            return window->DisplayedPage == window->ShownPage &&
                   (!Link().Comparing() || Pane().PagesInViewShown());
        }));
        for (int i = 0; i < 4; ++i) QCoreApplication::processEvents();
    }

    QWidget* PageWidget(Side side) {
        if (side == Side::Second) return Pane().Strip();
        return window->Continuous() ? static_cast<QWidget*>(window->Strip) : window->Image1;
    }

    QPoint OnPage(Side side, int viewport_row) {
        QWidget* page = PageWidget(side);
        const QPoint at = page->mapFrom(Link().AreaOf(side)->viewport(), QPoint(0, viewport_row));
        return {page->width() / 2, at.y()};
    }

    void Mouse(Side side, QEvent::Type type, int viewport_row, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers) {
        const QPoint at = OnPage(side, viewport_row);
        // A move names no button; the buttons held are those pressed and not yet let go.
        const Qt::MouseButton cause = type == QEvent::MouseMove ? Qt::NoButton : button;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(at), QPointF(PageWidget(side)->mapToGlobal(at)), cause,
                          held, modifiers);
        QApplication::sendEvent(PageWidget(side), &event);
    }

    // The mouse over viewport row `row` of `side`: what the first log's read-out (the window's
    // own) and the second's show.
    std::pair<double, double> ReadAt(Side side, int row) {
        Mouse(side, QEvent::MouseMove, row, Qt::NoButton, Qt::NoModifier);
        return {window->DepthEd->text().toDouble(), Pane().Header()->Readout().toDouble()};
    }

    // The value one view shows at viewport row `row` is the other's there within a pixel's
    // worth of either log (second = first + offset). `units_per_inch`: the logs' depth scales.
    void ExpectLevel(Side side, int row, double first_units_per_inch, double second_units_per_inch,
                     double offset = 0) {
        SCOPED_TRACE("row " + std::to_string(row));
        const auto [first, second] = ReadAt(side, row);
        const double pixel = std::max(first_units_per_inch / (100 * window->ZoomFactorNow()),
                                      second_units_per_inch / (100 * Pane().ZoomFactorNow()));
        EXPECT_NEAR(first + offset, second, pixel + 0.006);
    }

    // The row two aligned logs are held level at: the first's marked row, held inside its view.
    int MarkedRow() {
        const std::optional<int> mark = Link().OverlayOf(Side::First)->MarkRow();
        EXPECT_TRUE(mark.has_value());
        const int height = Link().AreaOf(Side::First)->viewport()->height();
        return std::clamp(mark.value_or(0), 0, height - 1);
    }

    QScrollBar* Bar(Side side) { return Link().AreaOf(side)->verticalScrollBar(); }

    TempDir dir;
    RecordingUi ui;
    ScopedUi scoped_ui;
    Settings settings;
    std::unique_ptr<TCindralFrm> window;
};

// Whatever the second log's scale, page size and datum, linked by depth or by elevation: after
// moving either view the same value sits at the same screen row of both.
TEST_F(Compare, LinkedViewsShowTheSameValueAtTheSameRow) {
    struct Row {
        const char* name;
        double units_per_inch;
        double page_height;
        double datum;
        bool elevation;
    };
    const Row rows[] = {
        {"same scale and pages", 100, 5, 250, false},
        {"twice the rows per unit, longer pages", 50, 7, 250, false},
        {"half the rows per unit, shorter pages", 200, 4, 100, false},
        {"by elevation, another datum", 100, 6, 100, true},
        {"by elevation, another datum and scale", 50, 5, 400, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string first = Log("first.gdx", LogHeader(1200, 0));
        const std::string second = Log(
            "second.gdx", LogHeader(1800, -1500, row.units_per_inch, row.page_height, row.datum));
        OpenPair(first, second);
        window->ElevationCb->setChecked(row.elevation);
        const double first_datum = row.elevation ? 250 : 0;
        const double second_datum = row.elevation ? row.datum : 0;
        struct Step {
            const char* name;
            Side moved;
            std::function<void()> act;
        };
        const Step steps[] = {
            {"go to depth in the first", Side::First, [] {}},
            {"scroll the first", Side::First,
             [&] { Bar(Side::First)->setValue(Bar(Side::First)->value() + 137); }},
            {"scroll the second", Side::Second,
             [&] { Bar(Side::Second)->setValue(Bar(Side::Second)->value() + 100); }},
            {"page down the first", Side::First, [&] { window->PageDownBTNClick(); }},
            {"page up the first", Side::First, [&] { window->PageUpBTNClick(); }},
            {"page down the second", Side::Second, [&] { Pane().PageDown(); }},
            {"go to depth in the second", Side::Second,
             [&] {
                 EXPECT_EQ(Pane().GoToDepth(800 + second_datum, row.elevation, DepthSign()), "");
             }},
            {"zoom the first", Side::First,
             [&] {
                 window->SetZoom({ZoomMode::Percent, 150});
             }},
            {"zoom the second", Side::Second,
             [&] {
                 Pane().SetZoom({ZoomMode::Percent, 75});
             }},
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.name);
            // Each step from the same place: depth 600 of the first log a third of the way down.
            ASSERT_TRUE(window->GoToDepth(600 + first_datum, row.elevation));
            Settle();
            step.act();
            Settle();
            ExpectLevel(step.moved, Link().LinkRow(step.moved), 100, row.units_per_inch);
            EXPECT_EQ(Pane().Header()->Note(), "");
        }
        // The line at the row under the mouse lies across both views.
        ReadAt(Side::Second, 77);
        EXPECT_EQ(Link().OverlayOf(Side::Second)->CursorRow(), 77);
        EXPECT_EQ(Link().OverlayOf(Side::First)->CursorRow(), 77);
    }
}

// A log that ends before the depth the other shows stays at its nearest end and says so; back
// within it, it follows again.
TEST_F(Compare, ALogEndingBeforeTheOtherShowsItsNearestEnd) {
    OpenPair(Log("long.gdx", LogHeader(1200, 0)), Log("short.gdx", LogHeader(900, 500)));
    struct Row {
        double depth;
        const char* note;
        std::function<bool()> at_end;
    };
    const Row rows[] = {
        {300, "Below the base of this log",
         [&] { return Bar(Side::Second)->value() == Bar(Side::Second)->maximum(); }},
        {1000, "Above the top of this log", [&] { return Bar(Side::Second)->value() == 0; }},
        {730, "", [] { return true; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.depth);
        ASSERT_TRUE(window->GoToDepth(row.depth, false));
        Settle();
        EXPECT_EQ(Pane().Header()->Note().toStdString(), row.note);
        EXPECT_TRUE(row.at_end());
        EXPECT_EQ(Link().HeaderOf(Side::First)->Note(), "");
    }
    ExpectLevel(Side::First, Link().LinkRow(Side::First), 100, 100);
    // The second log follows its file: rewritten to go deeper, it is read again and reaches
    // the depth it did not.
    Log("short.gdx", LogHeader(900, 200));
    ASSERT_TRUE(WaitUntil([&] { return Pane().Document()->FileHeader().BottomDepth == 200; }));
    ASSERT_TRUE(window->GoToDepth(300, false));
    Settle();
    EXPECT_EQ(Pane().Header()->Note().toStdString(), "");
    ExpectLevel(Side::First, Link().LinkRow(Side::First), 100, 100);
    // The close button goes back to one log.
    Pane().Header()->CloseBtn->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Link().Comparing());
    EXPECT_EQ(window->centralWidget(), window->ScrollBox1);
    EXPECT_FALSE(Link().CompareWith1->isChecked());
    EXPECT_FALSE(window->Continuous());
}

// Aligned on a row of each, the two logs keep those rows level as either moves (while in view;
// out of it, the edge of the view nearest to them), the offset on the toolbar; Link off and on
// again links them at equal depths.
TEST_F(Compare, LogsAlignedOnMarkersKeepTheMarkedRowsLevel) {
    struct Row {
        const char* name;
        double page_height;
        double datum;
        bool elevation;
    };
    const Row rows[] = {
        {"by depth", 6, 250, false},
        {"by elevation, another datum", 4, 90, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpenPair(Log("a.gdx", LogHeader(1200, 0)),
                 Log("b.gdx", LogHeader(1500, -500, 100, row.page_height, row.datum)));
        window->ElevationCb->setChecked(row.elevation);
        ASSERT_TRUE(window->GoToDepth(row.elevation ? 1050 : 800, row.elevation));
        Settle();
        const double first_marked = ReadAt(Side::First, 200).first;
        const double second_marked = ReadAt(Side::Second, 260).second;
        Link().AlignHere(Side::First, 200);
        EXPECT_EQ(Link().OffsetLbl->text(), "");
        Link().AlignHere(Side::Second, 260);
        Settle();
        const double offset = second_marked - first_marked;
        EXPECT_NEAR(Link().Offset(), offset, 1e-9);
        EXPECT_EQ(Link().OffsetLbl->text(), QString::asprintf("Offset %+.2f", offset));
        EXPECT_TRUE(Link().OffsetLbl->isVisible());
        const std::function<void()> moves[] = {
            [] {},
            [&] { Bar(Side::First)->setValue(Bar(Side::First)->value() + 90); },
            [&] { window->PageDownBTNClick(); },
            [&] { Bar(Side::Second)->setValue(Bar(Side::Second)->value() - 70); },
            [&] { Pane().PageDown(); },
        };
        int move = 0;
        for (const auto& act : moves) {
            SCOPED_TRACE("move " + std::to_string(move++));
            act();
            Settle();
            const std::optional<int> first = Link().OverlayOf(Side::First)->MarkRow();
            const std::optional<int> second = Link().OverlayOf(Side::Second)->MarkRow();
            ASSERT_TRUE(first && second);
            if (*first >= 0 && *first < Link().AreaOf(Side::First)->viewport()->height()) {
                EXPECT_LE(std::abs(*first - *second), 1);
            }
            ExpectLevel(Side::First, MarkedRow(), 100, 100, offset);
        }
        Link().Link1->trigger();
        EXPECT_FALSE(Link().Linked());
        EXPECT_EQ(Link().OffsetLbl->text(), "");
        Link().Link1->trigger();
        Settle();
        EXPECT_EQ(Link().Offset(), 0);
        ExpectLevel(Side::First, Link().LinkRow(Side::First), 100, 100);
    }
}

// Shift+drag over known rows gives the top, the base and the thickness as the log prints its
// depths, upward or downward, on the one-page and the continuous view; the bracket stands in
// the second log at the same depths when linked; Escape clears it.
TEST_F(Compare, ShiftDragMeasuresTheRowsDraggedOver) {
    struct Row {
        const char* name;
        GdxHeader header;
        bool continuous;
        bool elevation;
        int from;
        int to;
        const char* copied;
        const char* elevations;
    };
    const Row rows[] = {
        {"downward", LogHeader(1200, 0), false, false, 100, 150, "1100.00, 1050.00, 50.00",
         nullptr},
        {"upward, continuous", LogHeader(1200, 0), true, false, 150, 100, "1100.00, 1050.00, 50.00",
         nullptr},
        {"a depth log printed positive", LogHeader(0, -1200), true, false, 100, 150,
         "100.00, 150.00, 50.00", nullptr},
        {"with elevations", LogHeader(1200, 0), false, true, 120, 240, "1080.00, 960.00, 120.00",
         "Elevation 1330.00 to 1210.00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        NewWindow();
        ASSERT_TRUE(window->OpenFile(QString::fromStdString(Log("m.gdx", row.header))));
        window->SetContinuous(row.continuous);
        window->ElevationCb->setChecked(row.elevation);
        Settle();
        ASSERT_EQ(Bar(Side::First)->value(), 0);
        // Page rows: the page's top is where the page widget's top is.
        const int top =
            PageWidget(Side::First)->mapTo(window->ScrollBox1->viewport(), QPoint()).y();
        Mouse(Side::First, QEvent::MouseButtonPress, top + row.from, Qt::LeftButton,
              Qt::ShiftModifier);
        Mouse(Side::First, QEvent::MouseMove, top + (row.from + row.to) / 2, Qt::LeftButton,
              Qt::ShiftModifier);
        Mouse(Side::First, QEvent::MouseMove, top + row.to, Qt::LeftButton, Qt::ShiftModifier);
        Mouse(Side::First, QEvent::MouseButtonRelease, top + row.to, Qt::LeftButton,
              Qt::ShiftModifier);
        // Not panned: the drag measured.
        EXPECT_EQ(Bar(Side::First)->value(), 0);
        EXPECT_EQ(Link().MeasurementText().toStdString(), row.copied);
        Link().CopyMeasurement1->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), row.copied);
        const auto& bracket = Link().OverlayOf(Side::First)->CurrentBracket();
        ASSERT_TRUE(bracket.has_value());
        EXPECT_EQ(bracket->top, top + std::min(row.from, row.to));
        EXPECT_EQ(bracket->base, top + std::max(row.from, row.to));
        EXPECT_EQ(bracket->figures.contains(row.elevations), row.elevations != nullptr);
        QTest::keyClick(window->ScrollBox1, Qt::Key_Escape);
        EXPECT_EQ(Link().MeasurementText(), "");
        EXPECT_FALSE(Link().OverlayOf(Side::First)->CurrentBracket().has_value());
    }

    // Measured in the first log, shown in the second at the same depths and its own rows.
    OpenPair(Log("a.gdx", LogHeader(1200, 0)), Log("b.gdx", LogHeader(1500, -500, 50)));
    ASSERT_TRUE(window->GoToDepth(800, false));
    Settle();
    const int link = Link().LinkRow(Side::First);
    Mouse(Side::First, QEvent::MouseButtonPress, link, Qt::LeftButton, Qt::ShiftModifier);
    Mouse(Side::First, QEvent::MouseMove, link + 40, Qt::LeftButton, Qt::ShiftModifier);
    Mouse(Side::First, QEvent::MouseButtonRelease, link + 40, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(Link().MeasurementText(), "800.00, 760.00, 40.00");
    const auto& second = Link().OverlayOf(Side::Second)->CurrentBracket();
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->figures.mid(0, 3),
              QStringList({"Top 800.00", "Base 760.00", "Thickness 40.00"}));
    EXPECT_NEAR(second->top, link, 1);
    EXPECT_NEAR(second->base - second->top, 80, 1);
}

// The second log, the link (and whether by elevation) and the alignment are kept for the first
// log and offered again when it is opened and Compare With is chosen.
TEST_F(Compare, ThePairIsRememberedForTheFirstLog) {
    const std::string first = Log("first.gdx", LogHeader(1200, 0));
    const std::string second = Log("second.gdx", LogHeader(1500, -500, 100, 6, 100));
    OpenPair(first, second);
    ASSERT_TRUE(window->GoToDepth(700, false));
    Settle();
    Link().AlignHere(Side::First, 150);
    Link().AlignHere(Side::Second, 190);
    // Linked by elevation: the offset takes the two datums.
    window->ElevationCb->setChecked(true);
    Settle();
    const double offset = Link().Offset();
    ASSERT_NE(offset, 0);
    const QString label = Link().OffsetLbl->text();

    struct Row {
        const char* name;
        bool linked;
        bool by_elevation;
        double offset;
    };
    const Row rows[] = {{"linked by elevation and aligned", true, true, offset},
                        {"not linked", false, false, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        NewWindow();
        ASSERT_TRUE(window->OpenFile(QString::fromStdString(first)));
        ui.messages.clear();
        ui.answers = {Answer::Yes};
        Link().CompareWith1->trigger();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Compare this log with \"" + second + "\" again?");
        ASSERT_TRUE(Link().Comparing());
        EXPECT_TRUE(Link().CompareWith1->isChecked());
        EXPECT_EQ(Pane().FileName().toStdString(), second);
        EXPECT_EQ(Link().Linked(), row.linked);
        EXPECT_EQ(window->ElevationCb->isChecked(), row.by_elevation);
        EXPECT_NEAR(Link().Offset(), row.offset, 1e-9);
        EXPECT_EQ(Link().OffsetLbl->text(), row.linked ? label : QString());
        Settle();
        if (row.linked) {
            ExpectLevel(Side::First, MarkedRow(), 100, 100, offset);
            // Kept so for the next row.
            Link().Link1->trigger();
            window->ElevationCb->setChecked(false);
        }
    }
    // Unticked, back to one log.
    Link().CompareWith1->trigger();
    EXPECT_FALSE(Link().Comparing());
    EXPECT_EQ(window->centralWidget(), window->ScrollBox1);
}

}  // namespace
}  // namespace cindral::app
