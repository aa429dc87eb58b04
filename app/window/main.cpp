// cindral [FILE]: the viewer.

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/window/app_identity.h"
#include "app/window/cindral_frm.h"
#include "app/window/startup.h"
#include "core/base/errors.h"
#include "core/environment/platform_info.h"
#include "core/environment/settings.h"
#include "core/environment/ui.h"

namespace {

// --help and --version answer on stdout before anything starts: no display, no settings
// read, no log written. Returns the exit status, or -1 to go on.
int AnswerQuestions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::printf(
                "usage: cindral [FILE.gdx]\n"
                "Opens the compiled borehole log FILE.gdx (or none) in the viewer.\n"
                "  -h, --help     this text\n"
                "  -V, --version  the program's version\n"
                "Qt's own options (-platform NAME, -display DISPLAY, ...) are taken too.\n"
                "For batch work without windows see cindral-cli --help.\n");
            return 0;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-V")) {
            std::printf("cindral %s\n", cindral::ProgramVersionText().c_str());
            return 0;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int answered = AnswerQuestions(argc, argv); answered >= 0) return answered;
    QApplication application(argc, argv);
    auto session = cindral::app::StartUp(argc, argv);
    if (!session) return 1;
    QApplication::setApplicationName(cindral::app::kApplicationTitle);
    // The desktop entry's name lets a desktop match the windows to the installed entry.
    QGuiApplication::setDesktopFileName("cindral");
    QApplication::setWindowIcon(QIcon(":/icons/cindral.svg"));

    int status = 0;
    {
        cindral::app::TCindralFrm window(cindral::CurrentSettings());
        window.SetDisplayOptions(&session->Options());
        window.show();
        // The file named on the command line opens once the window is on screen.
        const QStringList parameters = session->Parameters();
        QTimer open_later;
        open_later.setSingleShot(true);
        QObject::connect(&open_later, &QTimer::timeout, &window,
                         [&window, &parameters] { window.OpenFromCommandLine(parameters); });
        open_later.start(0);
        status = application.exec();
    }
    try {
        cindral::app::ShutDown(*session);
    } catch (const cindral::CindralError& e) {
        cindral::CurrentUi().ShowMessage(cindral::MessageKind::Error, "", e.what(),
                                         cindral::Buttons::Ok);
        return 1;
    }
    return status;
}
