#pragma once
// The picture targets draw onto a trace canvas; Qt is started once, offscreen, for the
// font metrics the metafile writers ask for.

#include <QGuiApplication>
#include <cstdlib>

namespace cindral::fuzz {

inline void StartQt() {
    static int argc = 1;
    static char name[] = "cindral-fuzz";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

}  // namespace cindral::fuzz
