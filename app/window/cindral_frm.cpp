#include "app/window/cindral_frm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/commands/page_setup_command.h"
#include "app/dialogs/help_dialog.h"
#include "app/view/drag_pan.h"
#include "app/view/file_watch.h"
#include "app/view/find_controller.h"
#include "app/view/magnifier.h"
#include "app/view/page_strip.h"
#include "app/view/page_worker.h"
#include "app/view/thumbnail_panel.h"
#include "app/view/view_memory.h"
#include "app/window/cindral_frm_compare.h"
#include "app/window/startup.h"
#include "core/base/errors.h"
#include "core/environment/directories.h"
#include "core/environment/document_settings.h"
#include "core/environment/program_paths.h"
#include "core/environment/save_as.h"
#include "core/environment/settings.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"
#include "core/libraries/library_paths.h"
#include "core/pages/page_layout.h"
#include "render/document/log_document.h"
#include "render/document/text_index.h"

namespace cindral::app {
namespace {

const char* const kFilter = "Borneth (*.gdx);;All Files (*)";

// The Go to Depth marker paints its own red line: a filled background would take the
// background role it inherits from the page view (the style's dark grey), not its palette.
class MarkerLine : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(220, 0, 0)); }
};
const char* const kDefaultExtension = "gdx";

}  // namespace

QString WindowCaption(const std::string& file_name) {
    return "Cindral 2003 - " +
           (file_name.empty() ? QString("UNTITLED") : QString::fromStdString(file_name));
}

void PageImage::mouseMoveEvent(QMouseEvent* event) {
    emit MouseRow(static_cast<int>(event->position().y()));
    QLabel::mouseMoveEvent(event);
}

TCindralFrm::TCindralFrm(Settings& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings) {
    LogLine("Start initializing Cindral....");
    setObjectName("TCindralFrm");
    setAcceptDrops(true);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        int dpi = qRound(screen->logicalDotsPerInchY());
        if (dpi > 0) ScreenPixelsPerInch = dpi;
    }
    createControls();
    createViewControls();
    createFindControls();
    createActions();
    worker_ = new PageWorker(this);
    connect(worker_, &PageWorker::PageDone, this, &TCindralFrm::PageDone);
    FileWatch = new LogFileWatch(this);
    connect(FileWatch, &LogFileWatch::Settled, this, [this] { ReloadLog(false); });
    connect(FileWatch, &LogFileWatch::Missing, this, [this] {
        ShowStatusLine("The log file " + QString::fromStdString(CurrentFileName) +
                       " has been deleted or moved; the pages read before stay on screen.");
    });
    slow_page_timer_ = new QTimer(this);
    connect(slow_page_timer_, &QTimer::timeout, this, &TCindralFrm::SlowPageCheck);
    Compare = new CompareLink(this);

    QRect placement = InitialWindowGeometry(settings_);
    if (placement.width() > 0 && placement.height() > 0) setGeometry(placement);
    if (settings_.Maximized) setWindowState(windowState() | Qt::WindowMaximized);

    setWindowTitle(WindowCaption(""));
    NoPages = true;
    updateActions();
    LogLine("   Done initializing Cindral.");
}

TCindralFrm::~TCindralFrm() {
    // The comparison filters the events of the window's page widgets and reads the window's
    // members; it goes before they do, or their destruction would reach it half torn down.
    delete Compare;
    Compare = nullptr;
}

void TCindralFrm::createControls() {
    ToolBar = addToolBar("Tools");
    ToolBar->setObjectName("ToolBar");
    ToolBar->setMovable(false);

    DepthEd = new QLineEdit(this);
    DepthEd->setObjectName("DepthEd");
    DepthEd->setReadOnly(true);
    DepthEd->setFixedWidth(121);
    DepthEd->setToolTip("Depth");
    DepthEd->setBackgroundRole(QPalette::Button);
    // Home, End and Ctrl+C belong to the window's page and depth commands, never to the
    // read-out's text cursor.
    DepthEd->setFocusPolicy(Qt::NoFocus);
    ElevationCb = new QCheckBox("Elevation", this);
    ElevationCb->setObjectName("ElevationCb");
    ElevationCb->setFocusPolicy(Qt::NoFocus);
    // Ticking the box switches the value shown at once, not only at the next mouse move.
    connect(ElevationCb, &QCheckBox::toggled, this, [this] {
        if (last_mouse_row_ >= 0) ShowDepthAt(last_mouse_row_);
    });

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1 = new PageImage;
    Image1->setObjectName("Image1");
    Image1->setMouseTracking(true);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setWidget(Image1);
    ScrollBox1->setWidgetResizable(false);
    setCentralWidget(ScrollBox1);
    ScrollBox1->setFocus();
    connect(Image1, &PageImage::MouseRow, this, [this](int row) {
        mouse_page_ = -1;
        ShowDepthAt(row);
    });
    Strip = new PageStrip(this);
    Strip->setObjectName("Strip");
    Strip->hide();
    connect(Strip, &PageStrip::MouseAt, this, [this](int page, int row) {
        mouse_page_ = page;
        ShowDepthAt(row);
    });
    connect(ScrollBox1->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TCindralFrm::ContinuousScrolled);
    // The left button pans unless the magnifier is out (then it moves the magnifier).
    pan_ = new DragPan(ScrollBox1, [this] { return !actions_.MagnifierBtn->isChecked(); });
    pan_->Watch(Image1);
    pan_->Watch(Strip);
    DepthMarker = new MarkerLine(Image1);
    DepthMarker->setObjectName("DepthMarker");
    DepthMarker->setAttribute(Qt::WA_TransparentForMouseEvents);
    DepthMarker->hide();

    PagePNL = new QLabel(this);
    PagePNL->setObjectName("PagePNL");
    PagePNL->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PagePNL->setMinimumWidth(144);
    PagePNL->setToolTip("Current page number and total number of pages.");
    // Permanent: a message in the status bar never hides the page counter.
    statusBar()->addPermanentWidget(PagePNL);
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty()) statusBar()->setToolTip(QString());
    });

    PageBox = new QLineEdit(this);
    PageBox->setObjectName("PageBox");
    PageBox->setFixedWidth(110);
    PageBox->setAlignment(Qt::AlignCenter);
    PageBox->setToolTip("The page shown; type a page number and press Enter to go there.");
    connect(PageBox, &QLineEdit::returnPressed, this, &TCindralFrm::PageBoxEntered);
    ZoomBox = new QComboBox(this);
    ZoomBox->setObjectName("ZoomBox");
    ZoomBox->setEditable(true);
    ZoomBox->setInsertPolicy(QComboBox::NoInsert);
    ZoomBox->setMinimumContentsLength(6);
    ZoomBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ZoomBox->setToolTip("Zoom: choose a step or a fit, or type a percentage and press Enter.");
    for (int step : ZoomSteps()) ZoomBox->addItem(ZoomBoxText({ZoomMode::Percent, step}));
    ZoomBox->addItem(ZoomBoxText({ZoomMode::FitWidth, 100}));
    ZoomBox->addItem(ZoomBoxText({ZoomMode::FitPage, 100}));
    // A step or fit chosen from the list, or anything typed and Enter.
    connect(ZoomBox, &QComboBox::textActivated, this, &TCindralFrm::ZoomBoxEntered);
    connect(ZoomBox->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { ZoomBoxEntered(ZoomBox->lineEdit()->text()); });
}

void TCindralFrm::UpdatePageControls() {
    const int last = Document ? Document->LastPage() : -1;
    PagePNL->setText(Document ? QString::asprintf("%d of %d", ShownPage + 1, last + 1) : QString());
    if (!PageBox->hasFocus()) {
        PageBox->setText(Document && !NoPages ? QString("%1 / %2").arg(ShownPage + 1).arg(last + 1)
                                              : QString());
    }
    PageBox->setEnabled(Document && !NoPages);
    Thumbnails->SetCurrentPage(ShownPage);
    updateActions();
}

void TCindralFrm::PageBoxEntered() {
    if (!Document || NoPages) return;
    // "12", "12 / 300" or "12/300": the first number is the page.
    const QString typed = PageBox->text().simplified();
    bool ok = false;
    const int page = typed.section('/', 0, 0).trimmed().toInt(&ok);
    if (ok) {
        ShownPage = std::clamp(page - 1, 0, Document->LastPage());
        ShowCurrentPage();
    }
    ScrollBox1->setFocus();
    UpdatePageControls();
}

void TCindralFrm::ZoomBoxEntered(const QString& text) {
    if (const std::optional<Zoom> zoom = ZoomFromTyped(text)) SetZoom(*zoom);
    ZoomBox->setEditText(ZoomBoxText(ViewZoom));
    ScrollBox1->setFocus();
}

void TCindralFrm::ToggleFullScreen() {
    if (isFullScreen()) {
        showNormal();
    } else {
        showFullScreen();
    }
    actions_.FullScreen1->setChecked(isFullScreen());
}

void TCindralFrm::ShowStatusLine(const QString& text, int timeout_ms) {
    statusBar()->showMessage(text, timeout_ms);
    statusBar()->setToolTip(text);
}

void TCindralFrm::CloseLog() {
    if (!Document) return;
    RememberShownView();
    if (actions_.MagnifierBtn->isChecked()) {
        actions_.MagnifierBtn->setChecked(false);
        MagnifierBtnClick();
    }
    Magnifier->SetPage(nullptr, -1);
    FileWatch->Follow(QString());
    Document.reset();
    NoPages = true;
    ShownPage = 0;
    CurrentFileName.clear();
    marker_row_ = -1;
    marker_pending_ = false;
    LayoutChanged();
    ViewBitmap = QImage();
    Image1->clear();
    DepthEd->clear();
    last_mouse_row_ = -1;
    statusBar()->clearMessage();
    setWindowTitle(WindowCaption(""));
    UpdatePageControls();
}

void TCindralFrm::ShowError(const std::string& text) {
    CurrentUi().ShowMessage(MessageKind::Error, "", text, Buttons::Ok);
}

void TCindralFrm::Open1Click() {
    QString start = CurrentFileName.empty()
                        ? QString()
                        : QFileInfo(QString::fromStdString(CurrentFileName)).absolutePath();
    QFileDialog dialog(this, "Open a Compiled Log", start, kFilter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    InstallHelpKey(&dialog, help_topic::kOpen);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        OpenFile(dialog.selectedFiles().first());
    }
}

void TCindralFrm::OpenFromCommandLine(const QStringList& parameters) {
    if (parameters.isEmpty()) return;
    const QString& name = parameters.first();
    if (!QFileInfo(name).isFile()) {
        ShowError("Cannot find \"" + name.toStdString() + "\"");
        return;
    }
    OpenFile(name);
}

bool TCindralFrm::OpenFile(const QString& path) {
    const std::string name = QFileInfo(path).absoluteFilePath().toStdString();
    // All or nothing: the log on screen, its title, pages and the recent files stay as they
    // are until the new log has opened completely.
    std::unique_ptr<LogDocument> document;
    try {
        LogDocumentOptions options;
        options.files = DocumentSettingsFrom(settings_, DataDirectory());
        options.settings = settings_;
        document = std::make_unique<LogDocument>(name, options, ScreenPixelsPerInch);
    } catch (const CindralError& e) {
        HideStatus();
        ShowError(e.what());
        return false;
    }
    RememberShownView();
    std::unique_ptr<LogDocument> previous = std::move(Document);
    Document = std::move(document);
    if (!CreateViewCanvas()) {
        Document = std::move(previous);
        updateActions();
        return false;
    }
    InitialTop = Document->FileHeader().TopDepth;
    InitialBase = Document->FileHeader().BottomDepth;
    CurrentFileName = name;
    setWindowTitle(WindowCaption(CurrentFileName));
    RememberRecentFile(QString::fromStdString(name));
    FileWatch->Follow(QString::fromStdString(name));
    CountPages();
    ShownPage = 0;
    // Back to where the log was left last time.
    if (const std::optional<RememberedView> view = RecallView(QString::fromStdString(name))) {
        ShownPage = std::clamp(view->page, 0, std::max(0, Document->LastPage()));
        if (!view->zoom.isEmpty()) ViewZoom = ZoomFromText(view->zoom);
        UseContinuousWidget(view->continuous);
    }
    LayoutChanged();
    WaitForPage();
    return true;
}

bool TCindralFrm::CreateViewCanvas() {
    ShowStatus("Creating new canvas...");
    CurrentStatusSink().DropCancelRequest();
    CheckPrinterPage(Context());
    ShowStatus("  Creating bitmap...");
    const double width = std::round(ScreenPixelsPerInch * Document->Header().PageWidth);
    const double height = std::round(ScreenPixelsPerInch * Document->Header().PageHeight);
    if (ViewBitmap.width() == width && ViewBitmap.height() == height) {
        HideStatus();
        return true;
    }
    ShowStatus("   Width = " + std::to_string(static_cast<long long>(width)));
    ShowStatus("   Height = " + std::to_string(static_cast<long long>(height)));
    // The page routine refuses bitmaps past this size; the view follows the same limit.
    constexpr double kMostPixels = double(int64_t(1) << 28);
    QImage bitmap;
    if (width >= 1 && height >= 1 && width * height <= kMostPixels) {
        bitmap = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    }
    HideStatus();
    if (bitmap.isNull()) {
        ShowResourceWarning(static_cast<int>(std::min(width, 1e9)),
                            static_cast<int>(std::min(height, 1e9)));
        return false;
    }
    bitmap.fill(Qt::white);
    ViewBitmap = bitmap;
    Image1->setPixmap(QPixmap::fromImage(ViewBitmap));
    Image1->resize(ViewBitmap.size());
    return true;
}

void TCindralFrm::ShowResourceWarning(int width, int height) {
    const double page_width = Document->Header().PageWidth;
    const double page_height = Document->Header().PageHeight;
    const long long required = static_cast<long long>(width) * height * 4 / 1024;
    ShowError(std::string("There are insufficient resources to create a Borneth display.\r\n\r\n") +
              QString::asprintf("Page Size: %.2f x %.2f", page_width, page_height).toStdString() +
              "\r\nScreen colors: 16777216\r\nRequired Memory: " + std::to_string(required) +
              "k\r\n\r\nOur of resources for creating the view screen.");
}

void TCindralFrm::CountPages() {
    ShowStatus("Calculating the number of pages...");
    ShowStatus("Total pages = " + std::to_string(Document->PageCount()));
    HideStatus();
    NoPages = Document->LastPage() < 0;
}

void TCindralFrm::LayoutChanged() {
    DisplayedPage = -1;
    RebuildViewDocument();
    worker_->SetDocument(NoPages ? nullptr : ViewDocument.get());
    Thumbnails->SetDocument(NoPages ? nullptr : Document.get());
    LayoutStrip();
    // A new log or a new interval: the open find searches it again, staying on this page.
    if (find_->SetDocument(NoPages ? nullptr : Document.get()) && FindOpen()) {
        find_->SearchAgain(ShownPage);
    }
    ShowCurrentPage();
}

void TCindralFrm::ShowCurrentPage() {
    UpdatePageControls();
    if (Compare) Compare->MainPageShown();
    // The marker belongs to the depth gone to; any other page move takes it away.
    if (!marker_pending_) marker_row_ = -1;
    DepthMarker->setVisible(marker_row_ >= 0 && (Continuous() || marker_page_ == DisplayedPage));
    if (!Document || NoPages) return;
    if (Continuous()) {
        // The page's top at the view's top; the strip's places are known before any page
        // is drawn.
        const double within = strip_anchor_.value_or(0);
        strip_anchor_.reset();
        scrolling_to_page_ = true;
        ScrollBox1->verticalScrollBar()->setValue(
            Strip->PageTop(ShownPage) + int(std::lround(within * Strip->PageSize().height())));
        scrolling_to_page_ = false;
        PlaceDepthMarker();
        RequestVisiblePages();
    } else {
        ScrollBox1->verticalScrollBar()->setValue(0);
    }
    QImage drawn;
    if (worker_->Drawn(ShownPage, drawn)) {
        Display(ShownPage, drawn);
        return;
    }
    worker_->Request(ShownPage);
    // A page that takes long gets the status window, its progress and its Cancel button.
    if (!slow_page_timer_->isActive()) {
        slow_timer_started_.start();
        slow_page_timer_->start(100);
    }
}

void TCindralFrm::SlowPageCheck() {
    const bool waiting = Document && !NoPages && DisplayedPage != ShownPage;
    if (!waiting) {
        slow_page_timer_->stop();
        if (status_shown_) HideStatus();
        status_shown_ = false;
        return;
    }
    if (!status_shown_ && slow_timer_started_.elapsed() >= 500) {
        status_shown_ = true;
        ShowStatus("Plotting page ...");
    }
    if (!status_shown_) return;
    ShowProgress(worker_->Progress());
    StatusSink& sink = CurrentStatusSink();
    if (sink.CancelPending() && sink.CancelRequested()) {
        worker_->CancelDrawing();
    }
}

void TCindralFrm::PageDone(int page, const QImage& image, const QString& error, bool cancelled) {
    if (Continuous() && error.isEmpty() && !cancelled) {
        QImage picture = image;
        picture.setDevicePixelRatio(devicePixelRatioF());
        Strip->SetPicture(page, picture);
    }
    if (page != ShownPage) {
        // Drawn ahead of time, or asked for before the user moved on.
        return;
    }
    slow_page_timer_->stop();
    if (status_shown_) HideStatus();
    status_shown_ = false;
    if (!error.isEmpty()) {
        // The page stays as it was on screen; the read-out follows the page asked for.
        DisplayedPage = page;
        UpdatePageControls();
        ShowError(error.toStdString());
        return;
    }
    if (cancelled) {
        DisplayedPage = page;
        UpdatePageControls();
        return;
    }
    Display(page, image);
}

void TCindralFrm::Display(int page, const QImage& image) {
    ViewBitmap = image;
    // Drawn at the zoomed resolution times the screen's pixel ratio: shown at its own size.
    ViewBitmap.setDevicePixelRatio(devicePixelRatioF());
    DisplayedPage = page;
    Image1->setPixmap(QPixmap::fromImage(ViewBitmap));
    Image1->resize(ViewBitmap.deviceIndependentSize().toSize());
    RestoreZoomAnchor();
    PlaceDepthMarker();
    UpdateMatchMarks();
    if (last_mouse_row_ >= 0) ShowDepthAt(last_mouse_row_);
    UpdatePageControls();
    Magnifier->SetPage(ViewDocument ? ViewDocument.get() : Document.get(), page);
    RepaintMagnifier();
    // The pages the user is likely to want next are drawn while this one is read.
    if (page < Document->LastPage()) worker_->Prefetch(page + 1);
    if (page > 0) worker_->Prefetch(page - 1);
}

bool TCindralFrm::WaitForPage(int timeout_ms) {
    QElapsedTimer clock;
    clock.start();
    while (Document && !NoPages && DisplayedPage != ShownPage) {
        if (clock.elapsed() > timeout_ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

void TCindralFrm::ShowDepthAt(int row) {
    if (NoPages || !Document) return;
    last_mouse_row_ = row;
    const int page = mouse_page_ >= 0 && Continuous()
                         ? mouse_page_
                         : (DisplayedPage >= 0 ? DisplayedPage : ShownPage);
    // The row of the picture as drawn, at the zoomed resolution and the pixel ratio.
    const LogDocument& shown = ViewDocument ? *ViewDocument : *Document;
    const int drawn_row = int(std::floor(row * ViewBitmap.devicePixelRatio()));
    const bool elevation = ElevationCb->isChecked();
    double value = shown.DepthAt(page, drawn_row, elevation);
    if (!elevation) value = ShownDepths().Shown(value);
    DepthEd->setText(QString::asprintf("%.2f", value));
}

void TCindralFrm::PageDownBTNClick() {
    if (NoPages || ShownPage >= Document->LastPage()) return;
    ++ShownPage;
    ShowCurrentPage();
}

void TCindralFrm::PageUpBTNClick() {
    if (NoPages || ShownPage <= 0) return;
    --ShownPage;
    ShowCurrentPage();
}

void TCindralFrm::FirstPageClick() {
    if (NoPages || ShownPage == 0) return;
    ShownPage = 0;
    ShowCurrentPage();
}

void TCindralFrm::LastPageClick() {
    if (NoPages || ShownPage == Document->LastPage()) return;
    ShownPage = Document->LastPage();
    ShowCurrentPage();
}

void TCindralFrm::CopyDepth1Click() {
    if (NoPages) return;
    QGuiApplication::clipboard()->setText(DepthEd->text());
}

void TCindralFrm::Copy1Click() {
    if (NoPages) return;
    // With a match chosen in the find bar, Ctrl+C copies the string it lies in.
    if (FindOpen() && Finder().CurrentMatch() && Finder().Index()) {
        const TextMatch& match = *Finder().CurrentMatch();
        QGuiApplication::clipboard()->setText(
            Finder().Index()->Strings()[size_t(match.string)].text);
        return;
    }
    QGuiApplication::clipboard()->setImage(ViewBitmap);
}

void TCindralFrm::SaveAs1Click() {
    if (NoPages) return;
    QFileDialog dialog(this, "Save Compiled Log As...");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter("Borneth (*.gdx)");
    dialog.setDirectory(QFileInfo(QString::fromStdString(CurrentFileName)).absolutePath());
    // The name checks and the overwrite question come after the dialog, so they read the
    // same in every desktop.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    InstallHelpKey(&dialog, help_topic::kSaveAs);
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        if (SaveAsTo(dialog.selectedFiles().first())) return;
        // A declined question brings the dialog back.
    }
}

bool TCindralFrm::SaveAsTo(const QString& typed) {
    SaveNameCheck check = CheckSaveName(typed.toStdString(), kDefaultExtension);
    Ui& ui = CurrentUi();
    if (check.ask_extension &&
        ui.ShowMessage(MessageKind::Warning, "", check.question, Buttons::YesNo) != Answer::Yes) {
        return false;
    }
    const bool self = SameFile(CurrentFileName, check.path);
    if (!self && QFileInfo::exists(QString::fromStdString(check.path)) &&
        ui.ShowMessage(MessageKind::Confirmation, "", OverwriteQuestion(check.path),
                       Buttons::YesNo) != Answer::Yes) {
        return false;
    }
    SaveAsResult result;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        result = SaveLogAs(CurrentFileName, check.path, ui);
    }
    CurrentFileName = result.document_file;
    Document->SetFileName(result.document_file);
    FileWatch->Follow(QString::fromStdString(CurrentFileName));
    setWindowTitle(WindowCaption(CurrentFileName));
    if (result.saved) RememberRecentFile(QString::fromStdString(CurrentFileName));
    return result.saved;
}

CommandContext TCindralFrm::Context() {
    CommandContext context(settings_, *this);
    context.document = Document.get();
    context.file_name = CurrentFileName;
    context.no_pages = NoPages;
    context.page = DisplayedPage >= 0 ? DisplayedPage : ShownPage;
    context.screen_pixels_per_inch = ScreenPixelsPerInch;
    context.depths = ShownDepths();
    return context;
}

// The recent-file list lives outside the fixed settings record, in the user's config folder
// under a name that does not change with the application title.
static std::unique_ptr<QSettings> RecentStore() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Cindral",
                                       "Cindral");
}

QStringList TCindralFrm::RecentFiles() {
    return RecentStore()->value("RecentFiles").toStringList();
}

void TCindralFrm::RememberRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kMostRecentFiles) files.removeLast();
    RecentStore()->setValue("RecentFiles", files);
}

void TCindralFrm::FillRecentMenu() {
    RecentMenu->clear();
    const QStringList files = RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* action =
            RecentMenu->addAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()),
                                  this, [this, path] { OpenFile(path); });
        action->setToolTip(path);
        action->setStatusTip(path);
    }
    if (files.isEmpty()) RecentMenu->addAction("(none)")->setEnabled(false);
}

void TCindralFrm::closeEvent(QCloseEvent* event) {
    RememberShownView();
    StoreWindowPlacement(*this, settings_);
    event->accept();
}

namespace {

// The one local .gdx file a drag carries, or an empty string.
QString DraggedLog(const QMimeData* data) {
    if (!data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl& url = data->urls().first();
    if (!url.isLocalFile()) return {};
    QString path = url.toLocalFile();
    return path.endsWith(".gdx", Qt::CaseInsensitive) ? path : QString();
}

}  // namespace

void TCindralFrm::dragEnterEvent(QDragEnterEvent* event) {
    if (!DraggedLog(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TCindralFrm::dropEvent(QDropEvent* event) {
    QString path = DraggedLog(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    OpenFile(path);
}

}  // namespace cindral::app
