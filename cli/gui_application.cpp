#include "cli/gui_application.h"

#include <cstdlib>

namespace cindral::cli {

std::unique_ptr<QGuiApplication> EnsureGuiApplication() {
    if (QGuiApplication::instance() != nullptr) return nullptr;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "cindral-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace cindral::cli
