#include "app/dialogs/status_dialog.h"

#include <unistd.h>

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QVBoxLayout>
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

void TStatusForm::PlaceOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    int width = static_cast<int>(std::nearbyint(area.width() / 3.5));
    int height, top, right_margin;
    if (diagnostic_layout_) {
        width -= 34;
        height = area.height();
        top = 0;
        right_margin = 10;
    } else {
        height = static_cast<int>(std::nearbyint(area.height() / 3.0));
        top = area.height() - height - 34;
        right_margin = 0;
    }
    setFixedSize(width, height);
    move(area.x() + area.width() - width, area.y() + top);

    int button_width = CancelButton->sizeHint().width();
    CancelButton->setGeometry(width - button_width - right_margin, 0, button_width,
                              kButtonPanelHeight);
    StatusGauge->setGeometry(0, 0, CancelButton->x(), kButtonPanelHeight);
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
