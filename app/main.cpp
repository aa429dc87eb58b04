// cindral: the viewer.

#include <QApplication>
#include <QMainWindow>

#include "app/app_identity.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName(cindral::app::kApplicationTitle);
    QMainWindow window;
    window.setWindowTitle(cindral::app::kApplicationTitle);
    window.resize(900, 700);
    window.show();
    return application.exec();
}
