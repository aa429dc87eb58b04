#include "app/window/startup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPalette>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QSettings>
#include <QToolTip>
#include <QWidget>
#include <cmath>

#include "app/dialogs/status_dialog.h"
#include "app/window/qt_ui.h"
#include "core/base/errors.h"
#include "core/environment/directories.h"
#include "core/environment/platform_info.h"
#include "core/environment/program_paths.h"
#include "core/environment/status.h"
#include "core/environment/ui.h"

namespace cindral::app {
namespace {

constexpr int kUnplacedTop = 20;

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::string RunningProgramPath(char** argv) {
    std::string dir = ExecutableDirectory();
    std::string name =
        argv && argv[0] ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString() : "";
    return dir + (name.empty() ? kViewerBaseName : name);
}

// The one registry value: written as true when missing, then read (a failure counts as
// true). Nothing else in the viewer uses it.
bool ReadDesignerVisible(const std::string& registry_file) {
    std::unique_ptr<QSettings> registry =
        registry_file.empty() ? std::make_unique<QSettings>("Quentara", kStartUpTitle)
                              : std::make_unique<QSettings>(QString::fromStdString(registry_file),
                                                            QSettings::IniFormat);
    registry->beginGroup(kStartUpTitle);
    if (!registry->contains("DesignerVisible")) {
        registry->setValue("DesignerVisible", true);
        registry->sync();
    }
    QVariant value = registry->value("DesignerVisible", true);
    registry->endGroup();
    return registry->status() != QSettings::NoError || !value.canConvert<bool>() ? true
                                                                                 : value.toBool();
}

std::string IoErrorText(const IoError& e) {
    return "IO Error " + std::to_string(e.code());
}

}  // namespace

const char* const kStartUpTitle = "Borneth 2003";

Session::~Session() {
    if (status_window_ && &CurrentStatusSink() == status_window_.get()) SetStatusSink(nullptr);
    if (ui_ && &CurrentUi() == ui_.get()) SetUi(nullptr);
}

std::unique_ptr<Session> StartUp(int argc, char** argv, const StartUpEnvironment& environment) {
    std::unique_ptr<Session> session(new Session);
    if (environment.message_boxes) {
        session->ui_ = std::make_unique<QtUi>();
        SetUi(session->ui_.get());
    }
    for (int i = 1; i < argc; ++i) session->parameters_ << QString::fromLocal8Bit(argv[i]);
    session->designer_visible_ = ReadDesignerVisible(environment.registry_file);

    QCoreApplication::setApplicationName(kStartUpTitle);

    std::string temp = WithSlash(environment.temp_directory.empty() ? QDir::tempPath().toStdString()
                                                                    : environment.temp_directory);
    std::string startup_log = temp + "startup.log";
    try {
        StartLogFile(startup_log, std::string("Startup Log for ") + kStartUpTitle);
        if (session->CommandLineMode()) LogLine("   Command line mode");
        LogLine("Setting Window Style");
        LogLine("Determine Program Directory");
    } catch (const IoError& e) {
        SetLogFile("");
        CurrentUi().ShowMessage(
            MessageKind::Error, "",
            IoErrorText(e) + "\r\n\r\nUnable to create the initial start up log: " + startup_log,
            Buttons::Ok);
        return nullptr;
    }

    ProgramLocation location = LocateProgram(
        environment.program_path.empty() ? RunningProgramPath(argv) : environment.program_path);
    SetProgramLocation(location);
    LogLine("Program Directory = " + ProgramDirectory());
    LogLine("Create BN2001.LOG - End of Start Log");

    try {
        StartLogFile(ExecutionLogPath(), "Execution Log for " + ExeBaseName());
    } catch (const IoError& e) {
        SetLogFile("");
        CurrentUi().ShowMessage(
            MessageKind::Error, "",
            IoErrorText(e) + "\r\n\r\nUnable to create the " + ExeBaseName() + " log file.",
            Buttons::Ok);
        return nullptr;
    }
    LogLine(QCoreApplication::applicationName().toStdString());
    LogLine("Version=" + ProgramVersionText());
    LogLine(WindowsVersionText());
    LogLine("Windows Directory = /etc/");
    LogLine("Program Directory = " + ProgramDirectory());
    LogLine("User Directory = " + UserDirectory());
    LogLine("Windows\\Temp = " + temp);

    session->options_ = LoadDisplayOptions(OptionsFilePath());

    SettingsEnvironment settings_environment = CurrentSettingsEnvironment();
    settings_environment.screen = CurrentScreenMetrics();
    if (environment.ask_printer) settings_environment.default_printer = DefaultPrinterPage;
    CurrentSettings() = LoadSettings(SettingsFilePath(), settings_environment);

    LogLine("Creating status window...");
    try {
        session->status_window_ =
            std::make_unique<TStatusForm>(session->options_.DiagnosticStatusLayout);
    } catch (const std::exception& e) {
        throw CindralError(std::string("Error in creating Status window - ") + e.what());
    }
    SetStatusSink(session->status_window_.get());
    LogLine("  Hiding Status window...");
    HideStatus();

    LogLine("  Updating hints...");
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, Qt::yellow);
    QToolTip::setPalette(hints);
    return session;
}

void ShutDown(Session&) {
    SaveSettings(CurrentSettings(), SettingsFilePath());
}

QRect InitialWindowGeometry(const Settings& settings) {
    int top = settings.WindowTop == kWindowNotPlaced ? kUnplacedTop : settings.WindowTop;
    return QRect(settings.WindowLeft, top, settings.WindowWidth, settings.WindowHeight);
}

void StoreWindowPlacement(const QWidget& window, Settings& settings) {
    settings.Maximized = window.isMaximized();
    if (settings.Maximized) return;
    QRect frame = window.geometry();
    settings.WindowTop = frame.top();
    settings.WindowLeft = frame.left();
    settings.WindowWidth = frame.width();
    settings.WindowHeight = frame.height();
}

std::optional<PrinterPage> DefaultPrinterPage() {
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        QRectF printable = printer.pageLayout().paintRect(QPageLayout::Inch);
        if (printable.width() > 0 && printable.height() > 0) {
            PrinterPage page;
            page.length = printable.height();
            page.width = printable.width();
            page.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? 1 : 0;
            return page;
        }
    }
    // Printing to PDF is always possible here, so a machine without a printer is normal and
    // not worth a warning box on every first start: the default page size is used quietly.
    LogLine("No default printer is selected or available; using a default page size.");
    return std::nullopt;
}

ScreenMetrics CurrentScreenMetrics() {
    ScreenMetrics metrics;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return metrics;
    QRect desktop = screen->virtualGeometry();
    QRect first = screen->geometry();
    metrics.width = desktop.width();
    metrics.height = desktop.height();
    metrics.pixels_per_inch = static_cast<int32_t>(std::lround(screen->logicalDotsPerInchY()));
    metrics.monitor_width = first.width();
    metrics.monitor_height = first.height();
    return metrics;
}

}  // namespace cindral::app
