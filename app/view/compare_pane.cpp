#include "app/view/compare_pane.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/dialogs/goto_depth_dialog.h"
#include "app/view/drag_pan.h"
#include "app/view/file_watch.h"
#include "app/view/page_strip.h"
#include "app/view/page_worker.h"
#include "app/view/wheel_zoom.h"
#include "core/base/errors.h"
#include "render/document/log_document.h"

namespace cindral::app {
namespace {

// Pages kept drawn beyond those in view, so a small scroll back shows them at once.
constexpr int kPagesKeptAround = 2;

double LinkRow(const QScrollArea& area) {
    return area.viewport()->height() / 3;
}

}  // namespace

CompareHeader::CompareHeader(bool pane_controls, QWidget* parent) : QWidget(parent) {
    setObjectName(pane_controls ? "PaneHeader" : "MainHeader");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    NameLbl = new QLabel(this);
    NameLbl->setObjectName("NameLbl");
    NameLbl->setMinimumWidth(40);
    NameLbl->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ReadoutEd = new QLineEdit(this);
    ReadoutEd->setObjectName("ReadoutEd");
    ReadoutEd->setReadOnly(true);
    ReadoutEd->setFocusPolicy(Qt::NoFocus);
    ReadoutEd->setFixedWidth(96);
    ReadoutEd->setToolTip("Depth (or elevation) of this log at the row under the mouse.");
    NoteLbl = new QLabel(this);
    NoteLbl->setObjectName("NoteLbl");
    // Its text never widens the line, so the views beside each other keep their widths.
    NoteLbl->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QPalette note = NoteLbl->palette();
    note.setColor(QPalette::WindowText, QColor(180, 0, 0));
    NoteLbl->setPalette(note);
    row->addWidget(NameLbl, 1);
    row->addWidget(ReadoutEd);
    row->addWidget(NoteLbl, 2);
    if (!pane_controls) return;
    auto button = [this, row](const char* name, const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        row->addWidget(b);
        return b;
    };
    PageUpBtn = button("PageUpBtn", QString(), "The previous page of this log.");
    PageUpBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    PageDownBtn = button("PageDownBtn", QString(), "The next page of this log.");
    PageDownBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    ZoomBox = new QComboBox(this);
    ZoomBox->setObjectName("ZoomBox");
    ZoomBox->setFocusPolicy(Qt::NoFocus);
    ZoomBox->setToolTip("Zoom of this log.");
    for (int step : ZoomSteps()) ZoomBox->addItem(ZoomBoxText({ZoomMode::Percent, step}));
    ZoomBox->addItem(ZoomBoxText({ZoomMode::FitWidth, 100}));
    ZoomBox->addItem(ZoomBoxText({ZoomMode::FitPage, 100}));
    row->addWidget(ZoomBox);
    CloseBtn = button("CloseBtn", QString(), "Close this log and show one log again.");
    CloseBtn->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
}

void CompareHeader::SetName(const QString& path) {
    NameLbl->setText(QFileInfo(path).fileName());
    NameLbl->setToolTip(path);
}

void CompareHeader::SetReadout(const QString& text) {
    ReadoutEd->setText(text);
}

void CompareHeader::SetNote(const QString& text) {
    NoteLbl->setText(text);
}

QString CompareHeader::Readout() const {
    return ReadoutEd->text();
}

QString CompareHeader::Note() const {
    return NoteLbl->text();
}

std::optional<double> StripValueAt(const PageStrip& strip, const LogDocument& view, double y,
                                   bool elevation, bool whole_rows) {
    if (view.LastPage() < 0 || strip.PageCount() == 0) return std::nullopt;
    const double on_strip = y - strip.y();
    const int page = std::min(strip.PageAt(int(std::floor(on_strip))), view.LastPage());
    double row = (on_strip - strip.PageTop(page)) * strip.devicePixelRatioF();
    if (whole_rows) row = std::floor(row);
    return ValueAtRow(view, page, row, elevation);
}

std::optional<double> StripRowOf(const PageStrip& strip, const LogDocument& view, double value,
                                 bool elevation) {
    const std::optional<ValuePlace> place = PlaceOfValue(view, value, elevation);
    if (!place || place->reach != LogReach::Inside || place->page >= strip.PageCount()) {
        return std::nullopt;
    }
    return strip.y() + strip.PageTop(place->page) + place->row / strip.devicePixelRatioF();
}

LogReach MoveStripTo(QScrollArea& area, const PageStrip& strip, const LogDocument& view,
                     double value, bool elevation, double y) {
    const std::optional<ValuePlace> place = PlaceOfValue(view, value, elevation);
    if (!place || place->page >= strip.PageCount()) return LogReach::Inside;
    QScrollBar* bar = area.verticalScrollBar();
    // Where the strip's top would be at scroll 0 (it is centred when shorter than the view).
    const int rest = strip.y() + bar->value();
    const double on_strip = strip.PageTop(place->page) + place->row / strip.devicePixelRatioF();
    bar->setValue(int(std::lround(on_strip + rest - y)));
    return place->reach;
}

ComparePane::ComparePane(QWidget* parent) : QWidget(parent) {
    setObjectName("ComparePane");
    // The second log follows its file as the first does.
    watch_ = new LogFileWatch(this);
    connect(watch_, &LogFileWatch::Settled, this, [this] { Reload(); });
    connect(watch_, &LogFileWatch::Missing, this, [this] {
        header_->SetNote("The log file has been deleted or moved; the pages read before stay.");
    });
    header_ = new CompareHeader(true, this);
    area_ = new QScrollArea(this);
    area_->setObjectName("PaneArea");
    area_->setBackgroundRole(QPalette::Dark);
    area_->setAlignment(Qt::AlignCenter);
    area_->setWidgetResizable(false);
    strip_ = new PageStrip;
    strip_->setObjectName("PaneStrip");
    area_->setWidget(strip_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header_);
    column->addWidget(area_, 1);

    worker_ = new PageWorker(this);
    connect(worker_, &PageWorker::PageDone, this, &ComparePane::PageDone);
    pan_ = new DragPan(area_, [] { return true; });
    pan_->Watch(strip_);
    connect(area_->verticalScrollBar(), &QScrollBar::valueChanged, this, &ComparePane::Scrolled);
    area_->viewport()->installEventFilter(this);
    // A page asked for while the thread still finishes one of a layout gone is asked again.
    retry_timer_ = new QTimer(this);
    retry_timer_->setInterval(100);
    connect(retry_timer_, &QTimer::timeout, this, &ComparePane::RequestVisiblePages);
    refit_timer_ = new QTimer(this);
    refit_timer_->setSingleShot(true);
    connect(refit_timer_, &QTimer::timeout, this, [this] {
        if (view_ && ViewPixelsPerInch() != view_->PixelsPerInch()) SetZoom(zoom_);
    });

    connect(header_->PageUpBtn, &QToolButton::clicked, this, &ComparePane::PageUp);
    connect(header_->PageDownBtn, &QToolButton::clicked, this, &ComparePane::PageDown);
    connect(header_->CloseBtn, &QToolButton::clicked, this, &ComparePane::CloseClicked);
    connect(header_->ZoomBox, &QComboBox::textActivated, this, [this](const QString& text) {
        if (const std::optional<Zoom> zoom = ZoomFromTyped(text)) SetZoom(*zoom);
    });
}

ComparePane::~ComparePane() = default;

void ComparePane::Open(const QString& path, const LogDocumentOptions& options,
                       int screen_pixels_per_inch, const Zoom& zoom) {
    auto document =
        std::make_unique<LogDocument>(path.toStdString(), options, screen_pixels_per_inch);
    document_ = std::move(document);
    file_name_ = path;
    screen_pixels_per_inch_ = screen_pixels_per_inch;
    zoom_ = zoom;
    header_->SetName(path);
    header_->SetNote(QString());
    header_->SetReadout(QString());
    watch_->Follow(path);
    LayOut();
    area_->verticalScrollBar()->setValue(0);
    emit Moved();
}

bool ComparePane::Reload() {
    if (!document_) return false;
    watch_->Acknowledge();
    const double y = LinkRow(*area_);
    const std::optional<double> anchor = ValueAt(y, false, false);
    try {
        document_->Reload();
    } catch (const CindralError& e) {
        // A log being recompiled may be caught half written; the next change tries again.
        header_->SetNote("The log on disk cannot be read; the last good copy stays on screen. " +
                         QString::fromStdString(e.what()).simplified());
        return false;
    }
    header_->SetNote(QString());
    LayOut();
    if (anchor) MoveValueTo(*anchor, false, y);
    emit Moved();
    return true;
}

bool ComparePane::HasPages() const {
    return view_ && view_->LastPage() >= 0;
}

QSize ComparePane::ZoomRoom() const {
    return FitRoom(*area_);
}

double ComparePane::ZoomFactorNow() const {
    if (!document_) return ZoomFactor(zoom_, {}, {});
    const PageLayout layout = document_->LayoutAt(screen_pixels_per_inch_);
    return ZoomFactor(zoom_, {layout.PageWidthPx, layout.PageHeightPx}, ZoomRoom());
}

int ComparePane::ViewPixelsPerInch() const {
    return ZoomedPixelsPerInch(screen_pixels_per_inch_, ZoomFactorNow(), devicePixelRatioF());
}

void ComparePane::LayOut() {
    laying_out_ = true;
    failed_.clear();
    view_ = document_->Copy();
    view_->SetPixelsPerInch(ViewPixelsPerInch());
    worker_->SetDocument(HasPages() ? view_.get() : nullptr);
    const PageLayout& layout = view_->Layout();
    const double ratio = devicePixelRatioF();
    strip_->SetLayout(HasPages() ? view_->PageCount() : 0,
                      QSize(int(std::lround(layout.PageWidthPx / ratio)),
                            int(std::lround(layout.PageHeightPx / ratio))));
    laying_out_ = false;
    ShowZoom();
    RequestVisiblePages();
}

void ComparePane::ShowZoom() {
    QComboBox* box = header_->ZoomBox;
    const QString text = ZoomBoxText(zoom_);
    const int found = box->findText(text);
    if (found < 0) box->addItem(text);
    box->setCurrentIndex(box->findText(text));
}

void ComparePane::SetZoom(const Zoom& zoom) {
    const double y = LinkRow(*area_);
    const std::optional<double> anchor = ValueAt(y, false, false);
    zoom_ = zoom;
    if (document_ && (!view_ || ViewPixelsPerInch() != view_->PixelsPerInch())) {
        LayOut();
        if (anchor) MoveValueTo(*anchor, false, y);
    }
    ShowZoom();
    emit Moved();
}

void ComparePane::Scrolled() {
    if (laying_out_) return;
    RequestVisiblePages();
    emit Moved();
}

void ComparePane::PageDown() {
    if (!HasPages()) return;
    QScrollBar* bar = area_->verticalScrollBar();
    const int page = strip_->PageAt(bar->value() + int(LinkRow(*area_)));
    bar->setValue(strip_->PageTop(std::min(page + 1, strip_->PageCount() - 1)));
}

void ComparePane::PageUp() {
    if (!HasPages()) return;
    QScrollBar* bar = area_->verticalScrollBar();
    const int page = strip_->PageAt(bar->value() + int(LinkRow(*area_)));
    bar->setValue(strip_->PageTop(std::max(page - 1, 0)));
}

std::string ComparePane::GoToDepth(double value, bool elevation, const DepthSign& sign) {
    if (!HasPages()) return "The log has no page.";
    const DepthSearch search = FindDepth(*view_, value, elevation, sign);
    if (!search.place) return search.problem;
    const double file_value = elevation ? value : sign.FromShown(value);
    MoveValueTo(file_value, elevation, LinkRow(*area_));
    return {};
}

std::optional<double> ComparePane::ValueAt(double y, bool elevation, bool whole_rows) const {
    if (!HasPages()) return std::nullopt;
    return StripValueAt(*strip_, *view_, y, elevation, whole_rows);
}

std::optional<double> ComparePane::RowOf(double value, bool elevation) const {
    if (!HasPages()) return std::nullopt;
    return StripRowOf(*strip_, *view_, value, elevation);
}

LogReach ComparePane::MoveValueTo(double value, bool elevation, double y) {
    if (!HasPages()) return LogReach::Inside;
    return MoveStripTo(*area_, *strip_, *view_, value, elevation, y);
}

bool ComparePane::PagesInViewShown() const {
    if (!HasPages()) return true;
    const int top = std::max(0, -strip_->y());
    const int last = strip_->PageAt(top + area_->viewport()->height());
    for (int page = strip_->PageAt(top); page <= last; ++page) {
        if (!strip_->HasPicture(page) && failed_.count(page) == 0) return false;
    }
    return true;
}

void ComparePane::RequestVisiblePages() {
    if (!HasPages()) return;
    const int height = area_->viewport()->height();
    const int top = std::max(0, -strip_->y());
    const int first = strip_->PageAt(top);
    const int last = strip_->PageAt(top + height);
    const int read = strip_->PageAt(top + int(LinkRow(*area_)));
    strip_->KeepOnly(first - kPagesKeptAround, last + kPagesKeptAround);
    // The page being read first, then the rest in view, then one either side.
    std::vector<int> wanted{read};
    for (int page = first; page <= last; ++page) {
        if (page != read) wanted.push_back(page);
    }
    if (first > 0) wanted.push_back(first - 1);
    if (last + 1 < strip_->PageCount()) wanted.push_back(last + 1);
    bool requested = false;
    for (int page : wanted) {
        if (strip_->HasPicture(page) || failed_.count(page) != 0) continue;
        QImage drawn;
        if (worker_->Drawn(page, drawn)) {
            drawn.setDevicePixelRatio(devicePixelRatioF());
            strip_->SetPicture(page, drawn);
        } else if (worker_->DrawingPage() == page) {
            // Being drawn: it comes (or is asked again once the thread is done with it).
        } else if (!requested && page >= first && page <= last) {
            worker_->Request(page);
            requested = true;
        } else {
            worker_->Prefetch(page);
        }
    }
    if (PagesInViewShown()) {
        retry_timer_->stop();
    } else if (!retry_timer_->isActive()) {
        retry_timer_->start();
    }
}

void ComparePane::PageDone(int page, const QImage& image, const QString& error, bool cancelled) {
    if (!error.isEmpty()) {
        failed_.insert(page);
        header_->SetNote(QString("Page %1 cannot be drawn").arg(page + 1));
        header_->NoteLbl->setToolTip(error);
        return;
    }
    if (cancelled) return;
    const int top = std::max(0, -strip_->y());
    const int first = strip_->PageAt(top) - kPagesKeptAround;
    const int last = strip_->PageAt(top + area_->viewport()->height()) + kPagesKeptAround;
    if (page < first || page > last) return;
    QImage picture = image;
    picture.setDevicePixelRatio(devicePixelRatioF());
    strip_->SetPicture(page, picture);
    RequestVisiblePages();
}

bool ComparePane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_->viewport()) {
        if (ZoomOnCtrlWheel(event, [this](bool in) { SetZoom(ZoomStep(ZoomFactorNow(), in)); })) {
            return true;
        }
        if (event->type() == QEvent::Resize) {
            if (zoom_.mode != ZoomMode::Percent) refit_timer_->start(80);
            RequestVisiblePages();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace cindral::app
