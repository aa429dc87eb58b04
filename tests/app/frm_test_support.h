#pragma once
// Helpers for the main-window tests: a small compiled log with its libraries in a private
// folder, and a way to answer the modal dialogs the window opens.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QSettings>
#include <QTimer>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/environment/settings.h"
#include "core/format/byte_codec.h"
#include "core/format/gdx_commands.h"
#include "core/format/gdx_header.h"
#include "temp_dir.h"

namespace cindral::testing {

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Empty pattern and symbol libraries: enough records for every number a log may ask for.
inline void WriteEmptyLibraries(const TempDir& dir) {
    WriteBytes(dir.File("lib.pat"), std::vector<uint8_t>(251 * 206, 0));
    WriteBytes(dir.File("lib.sym"), std::vector<uint8_t>(326 * 202, 0));
}

// At 100 pixels per inch one x unit and one depth unit are one pixel. The page is 300 x 500
// and the log runs from depth `top` down to 0 without bands: (top - 0.5) / 500 + 1 pages.
inline GdxHeader PixelHeader(double top) {
    GdxHeader h;
    h.MinX = 0;
    h.MaxX = 300;
    h.TopDepth = top;
    h.BottomDepth = 0;
    h.FirstHeaderHeight = -1;
    h.NextHeaderHeight = -1;
    h.FooterHeight = -1;
    h.PageHeight = 5;
    h.PageWidth = 3;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 100;
    h.ElevationDatum = 250;
    return h;
}

// A log of `header` with a diagonal line down its whole length, from x `left` to `right`.
inline void WriteLog(const std::string& path, const GdxHeader& header, double left = 10,
                     double right = 290) {
    ByteWriter out;
    EncodeHeaderRecord(header, out);
    DrawLineRecord line;
    line.x1 = left;
    line.y1 = header.TopDepth;
    line.x2 = right;
    line.y2 = header.BottomDepth;
    ByteWriter payload;
    EncodeCommand(line, payload);
    out.I16(DrawLineRecord::kCode);
    out.U16(static_cast<uint16_t>(payload.size()));
    for (uint8_t b : payload.bytes()) out.U8(b);
    WriteBytes(path, out.bytes());
}

// Keeps the window's own settings (recent files, zoom) in `dir` and shows pages at the
// screen's own resolution, so tests can probe known pixels.
inline void UseActualSizeIn(const TempDir& dir) {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(dir.path()));
    QSettings(QSettings::IniFormat, QSettings::UserScope, "Cindral", "Cindral")
        .setValue("Zoom", "100");
}

inline Settings TestSettings(const TempDir& dir) {
    Settings s;
    s.PatternFile = dir.File("lib.pat");
    s.SymbolFile = dir.File("lib.sym");
    s.WindowTop = 40;
    s.WindowLeft = 30;
    s.WindowWidth = 800;
    s.WindowHeight = 600;
    return s;
}

// Processes events until `condition` holds; false when it does not within `timeout_ms`. (The
// QTRY_ macros report to QTest, which GoogleTest never hears of.)
inline bool WaitUntil(const std::function<bool()>& condition, int timeout_ms = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeout_ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

// Runs `act` on the next modal dialog once it is shown (while the caller sits in exec()).
// Gives up after a few seconds so a dialog that never shows fails the test instead of
// hanging it.
inline void OnNextDialog(const std::function<void(QDialog*)>& act) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        } else if (++*tries > 300) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

}  // namespace cindral::testing
