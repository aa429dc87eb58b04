#pragma once
// The viewer's start and stop, around the main window:
//
//   QApplication application(argc, argv);
//   auto session = cindral::app::StartUp(argc, argv);
//   if (!session) return 1;               // the user has been told why
//   ... create and show the main window; it reads cindral::CurrentSettings() ...
//   int status = application.exec();
//   // when the main window is destroyed:
//   cindral::app::StoreWindowPlacement(window, cindral::CurrentSettings());
//   cindral::app::ShutDown(*session);     // writes the settings file; raises IoError
//
// StartUp needs the QApplication (it may show message boxes and creates the status window).

#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "core/environment/display_options.h"
#include "core/environment/settings.h"

class QWidget;

namespace cindral::app {

class QtUi;
class TStatusForm;

// The title the start-up step runs under; the main window sets kApplicationTitle afterwards.
extern const char* const kStartUpTitle;

// Where start-up looks; every empty field means "the real thing". Tests point them at a
// private folder.
struct StartUpEnvironment {
    std::string program_path;    // the program file; default: the running executable
    std::string temp_directory;  // default: the system's temporary folder
    std::string registry_file;   // INI file holding the one registry value; default: QSettings
    bool message_boxes = true;   // false: keep the Ui already installed (tests)
    bool ask_printer = true;     // false: take the printer as unavailable
};

// Everything start-up set up; lives until the program ends.
class Session {
  public:
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The parameters after the program name; the first one is a file to open.
    const QStringList& Parameters() const { return parameters_; }
    bool CommandLineMode() const { return !parameters_.isEmpty(); }
    DisplayOptions& Options() { return options_; }
    TStatusForm& StatusWindow() { return *status_window_; }
    bool DesignerVisible() const { return designer_visible_; }

  private:
    friend std::unique_ptr<Session> StartUp(int, char**, const StartUpEnvironment&);
    Session() = default;

    QStringList parameters_;
    DisplayOptions options_;
    bool designer_visible_ = true;
    std::unique_ptr<QtUi> ui_;
    std::unique_ptr<TStatusForm> status_window_;
};

// The start-up step: registry value, start-up log in the temporary folder, program and user
// directories, execution log, options file, settings file (into CurrentSettings()) and the
// hidden status window, installed as the status sink. Returns nullptr when a log cannot be
// created (an error box has been shown) and the program must end.
std::unique_ptr<Session> StartUp(int argc, char** argv, const StartUpEnvironment& environment = {});

// Writes CurrentSettings() to the settings file; raises IoError when it cannot be written.
void ShutDown(Session& session);

// The main window's geometry from the settings: top 20 while the window was never placed.
QRect InitialWindowGeometry(const Settings& settings);
// Records the window's placement in `settings`: maximised, or its top, left, width, height.
void StoreWindowPlacement(const QWidget& window, Settings& settings);

// The default printer's printable page; nullopt (after the no-printer warning) without one.
std::optional<PrinterPage> DefaultPrinterPage();

// The screen the defaults are computed for.
ScreenMetrics CurrentScreenMetrics();

}  // namespace cindral::app
