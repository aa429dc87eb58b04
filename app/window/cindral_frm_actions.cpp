// The one place the main window's actions are made: each gets its text, keys and tip, goes
// into its menu and toolbar, and is tied to the window's own handler or to a command run on
// the window's CommandContext.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>

#include "app/commands/help_command.h"
#include "app/commands/metafile_export_command.h"
#include "app/commands/page_setup_command.h"
#include "app/commands/picture_export_command.h"
#include "app/commands/print_command.h"
#include "app/commands/system_files_command.h"
#include "app/view/thumbnail_panel.h"
#include "app/view/zoom.h"
#include "app/window/cindral_frm.h"
#include "app/window/window_actions.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

// `icon` with a disabled look as faint as the disabled texts beside it. The style's own
// disabled rendering of the standard icons keeps their dark outlines, so an icon button that
// is off (the magnifier with no log open) still looked ready to press.
QIcon FadedWhenDisabled(const QIcon& icon, const QStyle& style) {
    constexpr double kDisabledOpacity = 0.35;
    QIcon faded_icon;
    for (const double ratio : {1.0, 2.0}) {
        for (const int side : {16, 22, 24, 32, 48}) {
            const QPixmap normal = icon.pixmap(QSize(side, side), ratio);
            if (normal.isNull()) continue;
            faded_icon.addPixmap(normal, QIcon::Normal);
            QStyleOption option;
            const QPixmap grey = style.generatedIconPixmap(QIcon::Disabled, normal, &option);
            QPixmap faded(grey.size());
            faded.setDevicePixelRatio(grey.devicePixelRatio());
            faded.fill(Qt::transparent);
            QPainter painter(&faded);
            painter.setOpacity(kDisabledOpacity);
            painter.drawPixmap(0, 0, grey);
            painter.end();
            faded_icon.addPixmap(faded, QIcon::Disabled);
        }
    }
    return faded_icon;
}

}  // namespace

// A command of app/commands, run on the window's state as it is when triggered.
std::function<void()> TCindralFrm::RunOnContext(void (*command)(const CommandContext&)) {
    return [this, command] { command(Context()); };
}

void TCindralFrm::createActions() {
    makeActions();
    const std::vector<QMenu*> file_menus = buildFileMenu();
    const std::vector<QMenu*> other_menus = buildOtherMenus();
    for (const std::vector<QMenu*>* menus : {&file_menus, &other_menus}) {
        for (QMenu* menu : *menus) {
            connect(menu, &QMenu::aboutToShow, this, &TCindralFrm::updateActions);
        }
    }
    buildToolbars();
}

// An action with its text, key and tip, tied to `slot`.
template <typename Slot>
QAction* TCindralFrm::MakeAction(const QString& text, const QKeySequence& key, const QString& tip,
                                 Slot slot) {
    auto* action = new QAction(text, this);
    if (!key.isEmpty()) action->setShortcut(key);
    action->setStatusTip(tip);
    action->setToolTip(tip.isEmpty() ? QString(text).remove('&') : tip);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void TCindralFrm::makeActions() {
    makeFileActions();
    makePageActions();
    makeZoomAndHelpActions();
}

void TCindralFrm::makeFileActions() {
    WindowActions& a = actions_;
    QStyle* style = this->style();

    // --- File ---
    a.Open1 =
        MakeAction("&Open...", QKeySequence::Open,
                   "Open and display a Borneth graphics file (gdx).", &TCindralFrm::Open1Click);
    a.Open1->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    // The standard Save As key is empty under some desktops' key schemes; the guide promises
    // Ctrl+Shift+S everywhere.
    a.SaveAs1 = MakeAction("&Save As...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                           "Save the current log as a Borneth graphics file (gdx).",
                           &TCindralFrm::SaveAs1Click);
    a.SaveAs1->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    a.Reload1 = MakeAction("&Reload", QKeySequence(Qt::Key_F5), "Read the log again from its file.",
                           [this] { ReloadLog(true); });
    a.Properties1 = MakeAction("P&roperties...", QKeySequence(Qt::ALT | Qt::Key_Return),
                               "Show what the log's header says.", &TCindralFrm::Properties1Click);
    a.PrinterPageSetup1 = new QAction("Printer Page Set&up...", this);
    a.PrinterPageSetup1->setObjectName("PrinterPageSetup1");
    a.PrinterPageSetup1->setStatusTip("Choose the paper, orientation and margins to print on.");
    connect(a.PrinterPageSetup1, &QAction::triggered, this, RunOnContext(PrinterPageSetup1Click));
    a.Print1 = new QAction("&Print...", this);
    a.Print1->setShortcut(QKeySequence::Print);
    a.Print1->setToolTip("Print the compiled log.");
    connect(a.Print1, &QAction::triggered, this, RunOnContext(Print1Click));
    a.PrintPreview1 = new QAction("Print Pre&view...", this);
    a.PrintPreview1->setObjectName("PrintPreview1");
    a.PrintPreview1->setStatusTip("See the printed pages before printing them.");
    connect(a.PrintPreview1, &QAction::triggered, this, RunOnContext(PrintPreview1Click));
    a.SystemFiles1 = new QAction("&System Files...", this);
    a.SystemFiles1->setObjectName("SystemFiles1");
    a.SystemFiles1->setStatusTip("Choose the keyword, pattern and symbol files.");
    connect(a.SystemFiles1, &QAction::triggered, this, RunOnContext(SystemFiles1Click));
    a.Exit1 = new QAction("&Close", this);
    a.Exit1->setObjectName("Exit1");
    a.Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    a.Exit1->setStatusTip("Close the log and keep the window.");
    connect(a.Exit1, &QAction::triggered, this, &TCindralFrm::CloseLog);
    a.Quit1 = new QAction("&Quit", this);
    a.Quit1->setShortcut(QKeySequence::Quit);
    connect(a.Quit1, &QAction::triggered, this, &QWidget::close);

    // --- Edit ---
    a.Copy1 = MakeAction("&Copy Page", QKeySequence::Copy,
                         "Copy the current page to the clipboard.", &TCindralFrm::Copy1Click);
    a.CopyDepth1 = MakeAction("Copy &Depth", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                              "Copy the depth under the mouse.", &TCindralFrm::CopyDepth1Click);
    // Ctrl+F, and / as in other viewers.
    a.Find1 = MakeAction("&Find...", QKeySequence::Find, "Find a text in the log.",
                         &TCindralFrm::Find1Click);
    a.Find1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::Key_Slash)});
    a.FindNext1 = MakeAction("Find &Next", QKeySequence(Qt::Key_F3), "Go to the next match.",
                             [this] { FindStep(true); });
    a.FindPrevious1 = MakeAction("Find Pre&vious", QKeySequence(Qt::SHIFT | Qt::Key_F3),
                                 "Go to the previous match.", [this] { FindStep(false); });
    a.FindClose1 = MakeAction("Close Find", QKeySequence(Qt::Key_Escape),
                              "Close the find bar and its highlights.", &TCindralFrm::CloseFind);
    addAction(a.FindClose1);
}

void TCindralFrm::makePageActions() {
    WindowActions& a = actions_;
    QStyle* style = this->style();

    // --- View: pages and interval ---
    a.PageDown1 = MakeAction("Page &Down", QKeySequence(Qt::Key_PageDown),
                             "Go to the next page in the log.", &TCindralFrm::PageDownBTNClick);
    a.PageDown1->setIcon(style->standardIcon(QStyle::SP_ArrowDown));
    a.PageUp1 = MakeAction("Page &Up", QKeySequence(Qt::Key_PageUp), "Go to the previous page.",
                           &TCindralFrm::PageUpBTNClick);
    a.PageUp1->setIcon(style->standardIcon(QStyle::SP_ArrowUp));
    a.PageDown1->setShortcuts({QKeySequence(Qt::Key_PageDown), QKeySequence(Qt::Key_Space)});
    a.PageUp1->setShortcuts(
        {QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::SHIFT | Qt::Key_Space)});
    a.FirstPage1 = MakeAction("&First Page", QKeySequence(Qt::Key_Home), "Go to the first page.",
                              &TCindralFrm::FirstPageClick);
    a.LastPage1 = MakeAction("&Last Page", QKeySequence(Qt::Key_End), "Go to the last page.",
                             &TCindralFrm::LastPageClick);
    a.Gotopage1 = MakeAction("&Go to page ...", QKeySequence(Qt::CTRL | Qt::Key_G),
                             "Select the page to display.", &TCindralFrm::PageNumBTNClick);
    a.GotoDepth1 =
        MakeAction("Go to De&pth...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G),
                   "Show the page holding a depth or an elevation.", &TCindralFrm::GotoDepth1Click);
    a.CustomPageBreaks1 =
        MakeAction("&Custom Page Length...", QKeySequence(), "Set the number of units per page.",
                   &TCindralFrm::CustomPageBreaks1Click);
    a.CustomPageBreaks1->setCheckable(true);
    // A checkable action keeps its own check mark; the file's setting decides it instead.
    connect(a.CustomPageBreaks1, &QAction::triggered, this, [this] {
        actions_.CustomPageBreaks1->setChecked(Document &&
                                               Document->Header().CustomPageLength == 1);
    });
    a.SelectInterval1 =
        MakeAction("Select &Interval...", QKeySequence(), "Display a custom interval.",
                   &TCindralFrm::SelectInterval1Click);
}

void TCindralFrm::makeZoomAndHelpActions() {
    WindowActions& a = actions_;
    QStyle* style = this->style();

    // --- View: zoom, continuous view, thumbnails, magnifier ---
    auto make_view = [this](const QString& text, const QList<QKeySequence>& keys, auto slot) {
        auto* action = new QAction(text, this);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    a.ZoomIn1 =
        make_view("Zoom &In", {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                  [this] { SetZoom(ZoomStep(ZoomFactorNow(), true)); });
    a.ZoomOut1 = make_view("Zoom &Out", {QKeySequence::ZoomOut},
                           [this] { SetZoom(ZoomStep(ZoomFactorNow(), false)); });
    a.ActualSize1 = make_view("&Actual Size", {QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] {
        SetZoom({ZoomMode::Percent, 100});
    });
    a.FitWidth1 = make_view("Fit &Width", {}, [this] { SetZoom({ZoomMode::FitWidth, 100}); });
    a.FitPage1 = make_view("Fit &Page", {}, [this] { SetZoom({ZoomMode::FitPage, 100}); });
    for (QAction* fit : {a.FitWidth1, a.FitPage1}) fit->setCheckable(true);
    a.Continuous1 = make_view("&Continuous", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)},
                              [this](bool on) { SetContinuous(on); });
    a.Continuous1->setCheckable(true);
    a.Continuous1->setStatusTip("Show the pages one after another.");
    a.DepthsAsPrinted1 =
        make_view("&Depths as Printed on the Log", {}, [this](bool on) { SetDepthsAsPrinted(on); });
    a.DepthsAsPrinted1->setCheckable(true);
    a.DepthsAsPrinted1->setChecked(depths_as_printed_);
    a.FullScreen1 =
        make_view("&Full Screen", {QKeySequence(Qt::Key_F11)}, [this] { ToggleFullScreen(); });
    a.FullScreen1->setCheckable(true);
    a.FullScreen1->setStatusTip("Show the page on the whole screen; F11 again to come back.");
    a.DepthsAsPrinted1->setStatusTip(
        "Show and take depths as the log's depth track prints them, not with the file's sign.");
    a.Thumbnails1 = Thumbnails->toggleViewAction();
    a.Thumbnails1->setText("&Thumbnails");
    a.Thumbnails1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    a.Thumbnails1->setStatusTip("Show small pictures of the pages at the side.");
    a.Magnify1 = new QAction("Magnify", this);
    a.Magnify1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    connect(a.Magnify1, &QAction::triggered, this, &TCindralFrm::Magnify1Click);
    a.MagnifierBtn = new QAction("Magnifier", this);
    a.MagnifierBtn->setObjectName("MagnifierBtn");
    a.MagnifierBtn->setCheckable(true);
    a.MagnifierBtn->setIcon(style->standardIcon(QStyle::SP_FileDialogContentsView));
    a.MagnifierBtn->setToolTip(
        "Magnify a section of the screen. \r\nRight click to change the "
        "magnification.\r\nDrag the edges to change the size.");
    connect(a.MagnifierBtn, &QAction::triggered, this, &TCindralFrm::MagnifierBtnClick);

    // --- Help ---
    a.Contents1 = MakeAction("&Contents...", QKeySequence(Qt::Key_F1), "Get help.",
                             RunOnContext(Contents1Click));
    a.Index1 = new QAction("&Index...", this);
    connect(a.Index1, &QAction::triggered, this, RunOnContext(Index1Click));
    a.AboutCindral1 = MakeAction("&About Cindral...", QKeySequence(), "",
                                 [this] { AboutCindral1Click(Context(), display_options_); });
}

// The File menu with its Open Recent and Export submenus; the menus that enable on showing.
std::vector<QMenu*> TCindralFrm::buildFileMenu() {
    WindowActions& a = actions_;
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction(a.Open1);
    RecentMenu = file->addMenu("Open &Recent");
    connect(RecentMenu, &QMenu::aboutToShow, this, &TCindralFrm::FillRecentMenu);
    file->addAction(a.SaveAs1);
    file->addAction(a.Reload1);
    file->addAction(a.Properties1);
    file->addSeparator();
    file->addAction(a.PrinterPageSetup1);
    file->addAction(a.Print1);
    file->addAction(a.PrintPreview1);
    // The Export submenu of the window's design: created, and never shown.
    QMenu* hidden_export = menuBar()->addMenu("E&xport");
    hidden_export->setObjectName("Export1");
    a.WMF1 = hidden_export->addAction("&Metafile (wmf + emf)...");
    hidden_export->menuAction()->setVisible(false);
    QMenu* export_menu = file->addMenu("&Export");
    export_menu->setObjectName("ExportMenu");
    a.WholeLogAsMetafile1 = export_menu->addAction("Whole Log as Metafile...");
    a.WholeLogAsMetafile1->setObjectName("WholeLogAsMetafile1");
    a.WholeLogAsMetafile1->setStatusTip("Export the whole log as one WMF, EMF or SVG drawing.");
    for (QAction* action : {a.WMF1, a.WholeLogAsMetafile1}) {
        connect(action, &QAction::triggered, this, RunOnContext(WMF1Click));
    }
    struct PictureExport {
        QAction*& hidden;
        const char* hidden_name;
        const char* hidden_text;
        QAction*& visible;
        const char* visible_name;
        const char* visible_text;
        const char* tip;
        void (*command)(const CommandContext&);
    };
    const PictureExport pictures[] = {
        {a.BMP1, "BMP1", "&BMP...", a.PageAsBMP1, "PageAsBMP1", "Current Page as &BMP...",
         "Export the page on screen as a bitmap.", BMP1Click},
        {a.JPEG1, "JPEG1", "&JPEG...", a.PageAsJPEG1, "PageAsJPEG1", "Current Page as &JPEG...",
         "Export the page on screen as a JPEG picture.", JPEG1Click},
        {a.HTMLTable1, "HTMLTable1", "&HTML Table...", a.WholeLogAsHTML1, "WholeLogAsHTML1",
         "Whole Log as &HTML Table...", "Export every page as a JPEG picture in an HTML table.",
         HTMLTable1Click},
    };
    for (const PictureExport& p : pictures) {
        p.hidden = hidden_export->addAction(p.hidden_text);
        p.hidden->setObjectName(p.hidden_name);
        p.visible = export_menu->addAction(p.visible_text);
        p.visible->setObjectName(p.visible_name);
        p.visible->setStatusTip(p.tip);
        for (QAction* action : {p.hidden, p.visible}) {
            connect(action, &QAction::triggered, this, RunOnContext(p.command));
        }
    }
    file->addSeparator();
    file->addAction(a.SystemFiles1);
    file->addSeparator();
    file->addAction(a.Exit1);
    file->addAction(a.Quit1);
    return {file, hidden_export, export_menu};
}

// Edit, View and Help; the menus that enable on showing.
std::vector<QMenu*> TCindralFrm::buildOtherMenus() {
    WindowActions& a = actions_;
    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->addAction(a.Copy1);
    edit->addAction(a.CopyDepth1);
    edit->addSeparator();
    edit->addAction(a.Find1);
    edit->addAction(a.FindNext1);
    edit->addAction(a.FindPrevious1);

    QMenu* view = menuBar()->addMenu("&View");
    view->addAction(a.PageDown1);
    view->addAction(a.PageUp1);
    view->addAction(a.FirstPage1);
    view->addAction(a.LastPage1);
    view->addAction(a.Gotopage1);
    view->addAction(a.GotoDepth1);
    view->addSeparator();
    view->addAction(a.CustomPageBreaks1);
    view->addSeparator();
    view->addAction(a.SelectInterval1);

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction(a.Contents1);
    help->addAction(a.Index1);
    help->addSeparator();
    help->addAction(a.AboutCindral1);

    view->addSeparator();
    for (QAction* zoom : {a.ZoomIn1, a.ZoomOut1, a.ActualSize1, a.FitWidth1, a.FitPage1}) {
        view->addAction(zoom);
    }
    view->addSeparator();
    view->addAction(a.Continuous1);
    view->addAction(a.Thumbnails1);
    view->addAction(a.DepthsAsPrinted1);
    view->addAction(a.FullScreen1);
    view->addSeparator();
    view->addAction(a.Magnify1);

    return {edit, view};
}

void TCindralFrm::buildToolbars() {
    WindowActions& a = actions_;
    ToolBar->addAction(a.Open1);
    ToolBar->addAction(a.SaveAs1);
    ToolBar->addSeparator();
    ToolBar->addAction(a.Print1);
    ToolBar->addSeparator();
    ToolBar->addAction(a.Copy1);
    ToolBar->addSeparator();
    ToolBar->addAction(a.PageDown1);
    ToolBar->addAction(a.PageUp1);
    ToolBar->addAction(a.Gotopage1);
    ToolBar->addWidget(PageBox);
    ToolBar->addSeparator();
    ToolBar->addAction(a.MagnifierBtn);
    // The depth commands and the read-out take a second row, so that at a large desktop
    // scale nothing has to hide behind the toolbar's overflow button.
    addToolBarBreak();
    DepthBar = addToolBar("Depth");
    DepthBar->setObjectName("DepthBar");
    DepthBar->setMovable(false);
    DepthBar->addWidget(ZoomBox);
    DepthBar->addSeparator();
    DepthBar->addAction(a.CustomPageBreaks1);
    DepthBar->addAction(a.SelectInterval1);
    DepthBar->addSeparator();
    DepthBar->addWidget(DepthEd);
    DepthBar->addSeparator();
    DepthBar->addWidget(ElevationCb);
    DepthBar->addAction(a.GotoDepth1);
    // Short button texts; the menus keep the full ones.
    a.Print1->setIconText("Print");
    a.Copy1->setIconText("Copy Page");
    a.Gotopage1->setIconText("Go to Page");
    a.CustomPageBreaks1->setIconText("Page Length");
    a.SelectInterval1->setIconText("Interval");
    a.GotoDepth1->setIconText("Go to Depth");
    for (QToolBar* bar : {ToolBar, DepthBar}) {
        for (QAction* action : bar->actions()) {
            if (!action->icon().isNull())
                action->setIcon(FadedWhenDisabled(action->icon(), *style()));
        }
    }
}

void TCindralFrm::updateActions() {
    const WindowActions& a = actions_;
    const bool pages = !NoPages && Document;
    const int last = pages ? Document->LastPage() : -1;
    a.SaveAs1->setEnabled(pages);
    a.Reload1->setEnabled(Document != nullptr);
    a.Properties1->setEnabled(Document != nullptr);
    a.Print1->setEnabled(pages);
    a.PrintPreview1->setEnabled(pages);
    for (QAction* picture :
         {a.BMP1, a.JPEG1, a.HTMLTable1, a.PageAsBMP1, a.PageAsJPEG1, a.WholeLogAsHTML1}) {
        picture->setEnabled(pages);
    }
    // The metafile export reads the log's file, whatever the interval on screen.
    a.WholeLogAsMetafile1->setEnabled(Document != nullptr && !CurrentFileName.empty());
    a.Copy1->setEnabled(pages && DisplayedPage >= 0);
    a.CopyDepth1->setEnabled(pages);
    a.PageDown1->setEnabled(pages && ShownPage < last);
    a.LastPage1->setEnabled(pages && ShownPage < last);
    a.PageUp1->setEnabled(pages && ShownPage > 0);
    a.FirstPage1->setEnabled(pages && ShownPage > 0);
    a.Gotopage1->setEnabled(pages && last > 0);
    a.GotoDepth1->setEnabled(pages);
    a.CustomPageBreaks1->setEnabled(pages);
    a.CustomPageBreaks1->setChecked(pages && Document->Header().CustomPageLength == 1);
    a.SelectInterval1->setEnabled(pages);
    ElevationCb->setEnabled(pages);
    a.Find1->setEnabled(pages);
    a.FindNext1->setEnabled(pages);
    a.FindPrevious1->setEnabled(pages);
    a.FindClose1->setEnabled(FindOpen());
    a.MagnifierBtn->setEnabled(pages && DisplayedPage >= 0 && !Continuous());
    a.Magnify1->setEnabled(a.MagnifierBtn->isEnabled());
}

}  // namespace cindral::app
