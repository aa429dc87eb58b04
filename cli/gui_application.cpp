#include "cli/gui_application.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace cindral::cli {
namespace {

// Qt wants a private runtime folder and warns on stderr when the session has none (a
// login shell over ssh, a container). Our stderr carries messages scripts read, so make the
// folder Qt would fall back to ourselves, quietly.
void EnsureRuntimeDirectory() {
    if (std::getenv("XDG_RUNTIME_DIR") != nullptr) return;
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/runtime-cindral-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
        (info.st_mode & 0077) == 0) {
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    }
}

}  // namespace

std::unique_ptr<QGuiApplication> EnsureGuiApplication() {
    if (QGuiApplication::instance() != nullptr) return nullptr;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EnsureRuntimeDirectory();
    static int argc = 1;
    static char name[] = "cindral-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace cindral::cli
