// cindral [FILE]: the viewer.

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <exception>

#include "app/window/app_identity.h"
#include "app/window/cindral_frm.h"
#include "app/window/startup.h"
#include "core/base/errors.h"
#include "core/environment/settings.h"
#include "core/environment/ui.h"

int main(int argc, char** argv) {
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
