#include "app/dialogs/status_dialog.h"

#include <unistd.h>

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/environment/ui.h"

namespace cindral::app {

int GaugePercent(double fraction) {
    if (!std::isfinite(fraction)) return 0;
    double percent = std::nearbyint(fraction * 100.0);
    if (percent < 0) return 0;
    if (percent > 100) return 100;
    return static_cast<int>(percent);
}

TStatusForm::TStatusForm(bool diagnostic_layout, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      diagnostic_layout_(diagnostic_layout) {
    setObjectName("StatusForm");
    setWindowTitle("Please stand-by ...");

    StatusMemo = new QPlainTextEdit(this);
    StatusMemo->setObjectName("StatusMemo");
    StatusMemo->setReadOnly(true);
    StatusMemo->viewport()->setCursor(Qt::WaitCursor);
    QPalette palette = StatusMemo->palette();
    palette.setColor(QPalette::Base, diagnostic_layout ? Qt::yellow : Qt::white);
    StatusMemo->setPalette(palette);

    ButtonPanel = new QFrame(this);
    ButtonPanel->setObjectName("ButtonPanel");
    ButtonPanel->setFixedHeight(kButtonPanelHeight);

    StatusGauge = new QProgressBar(ButtonPanel);
    StatusGauge->setObjectName("StatusGauge");
    StatusGauge->setRange(0, 100);
    StatusGauge->setValue(0);
    StatusGauge->setTextVisible(false);
    QPalette bar = StatusGauge->palette();
    bar.setColor(QPalette::Highlight, Qt::blue);
    StatusGauge->setPalette(bar);

    CancelButton = new QPushButton("&Cancel", ButtonPanel);
    CancelButton->setObjectName("CancelButton");
    CancelButton->setToolTip("Cancel current operation.");
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(StatusMemo, 1);
    layout->addWidget(ButtonPanel);

    DropCancelRequest();
    PlaceOnScreen();
}

QRect StatusWindowPlace(const QRect& screen, const QRect& available, const QMargins& frame,
                        bool diagnostic_layout) {
    int width = static_cast<int>(std::nearbyint(screen.width() / 3.5));
    int height, top;
    if (diagnostic_layout) {
        width -= 34;
        height = screen.height();
        top = 0;
    } else {
        height = static_cast<int>(std::nearbyint(screen.height() / 3.0));
        top = screen.height() - height - 34;
    }
    const QRect room = available.isValid() ? available : screen;
    height = std::min(height, room.height() - frame.top() - frame.bottom());
    width = std::min(width, room.width() - frame.left() - frame.right());
    int x = screen.x() + screen.width() - width;
    int y = screen.y() + top;
    x = std::clamp(x, room.left() + frame.left(), room.right() + 1 - frame.right() - width);
    y = std::clamp(y, room.top() + frame.top(), room.bottom() + 1 - frame.bottom() - height);
    return {x, y, width, height};
}

void TStatusForm::PlaceOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QRect available = screen ? screen->availableGeometry() : area;
    const QRect frame_box = frameGeometry();
    const QRect inner = geometry();
    // Known once shown under a window manager; nothing before.
    const QMargins frame =
        isVisible()
            ? QMargins(inner.left() - frame_box.left(), inner.top() - frame_box.top(),
                       frame_box.right() - inner.right(), frame_box.bottom() - inner.bottom())
            : QMargins();
    const QRect place = StatusWindowPlace(area, available, frame, diagnostic_layout_);
    const int width = place.width();
    const int right_margin = diagnostic_layout_ ? 10 : 0;
    setFixedSize(place.size());
    // A window's position is its frame's.
    move(place.topLeft() - QPoint(frame.left(), frame.top()));

    int button_width = CancelButton->sizeHint().width();
    CancelButton->setGeometry(width - button_width - right_margin, 0, button_width,
                              kButtonPanelHeight);
    StatusGauge->setGeometry(0, 0, CancelButton->x(), kButtonPanelHeight);
}

void TStatusForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PlaceOnScreen();
    // Window managers tell the frame's size a moment after the window is mapped.
    QTimer::singleShot(150, this, [this] {
        if (isVisible()) PlaceOnScreen();
    });
}

QString TStatusForm::FreeMemoryText() const {
    long pages = ::sysconf(_SC_AVPHYS_PAGES);
    long page_size = ::sysconf(_SC_PAGESIZE);
    double megabytes = pages > 0 && page_size > 0
                           ? static_cast<double>(pages) * static_cast<double>(page_size) / 1048576.0
                           : 0.0;
    return QString("(%1,)").arg(megabytes, 0, 'f', 1);
}

void TStatusForm::ShowStatus(const std::string& text) {
    if (isHidden()) show();
    if (++line_count_ > kMaxLines) {
        StatusMemo->clear();
        line_count_ = 0;
    }
    setWindowTitle(diagnostic_layout_ ? FreeMemoryText() + " Processing" : "Processing");
    StatusMemo->appendPlainText(QString::fromStdString(text));
    QTextCursor cursor = StatusMemo->textCursor();
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.movePosition(QTextCursor::End);
    cursor.mergeBlockFormat(centred);
    QApplication::processEvents();
}

void TStatusForm::ShowProgress(double fraction) {
    QApplication::processEvents();
    if (isHidden()) show();
    StatusGauge->setValue(GaugePercent(fraction));
}

void TStatusForm::HideStatus() {
    StatusMemo->clear();
    hide();
    CurrentUi().RestoreCursor();
}

void TStatusForm::CancelButtonClick() {
    RequestCancel();
    hide();
    CurrentUi().RestoreCursor();
}

}  // namespace cindral::app
