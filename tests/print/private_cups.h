#pragma once
// A private CUPS server with one cups-pdf queue, for tests that print for real. It runs from
// a temporary folder on its own socket, never touching the machine's printers, and
// CUPS_SERVER points this process's printing at it. It starts only where cupsd, the cups-pdf
// backend and root's rights exist; otherwise `why_not` says what is missing.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "temp_dir.h"

namespace cindral::testing {

class PrivateCups {
  public:
    static constexpr const char* kQueue = "cindralpdf";

    PrivateCups() { started_ = Start(); }
    ~PrivateCups() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    bool started() const { return started_; }
    const std::string& why_not() const { return why_not_; }
    // Where cups-pdf puts the files of jobs run by this user (its default "Out ${HOME}/PDF").
    static std::string OutputFolder() {
        const char* home = std::getenv("HOME");
        return std::string(home ? home : "/root") + "/PDF";
    }

  private:
    bool Start() {
        namespace fs = std::filesystem;
        const char* ppd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
        if (geteuid() != 0) return Refuse("not root: cups-pdf and a private cupsd need root");
        if (!fs::exists("/usr/sbin/cupsd")) return Refuse("cupsd is not installed (Debian cups)");
        if (!fs::exists("/usr/lib/cups/backend/cups-pdf") || !fs::exists(ppd)) {
            return Refuse("the cups-pdf backend is not installed (printer-driver-cups-pdf)");
        }
        const std::string root = dir_.path();
        for (const char* sub : {"spool", "tmp", "cache", "state", "log"}) {
            fs::create_directories(root + "/" + sub);
        }
        // Filters run as the unprivileged lp user and write here.
        fs::permissions(root, fs::perms(0755));
        fs::permissions(root + "/spool", fs::perms(01777));
        fs::permissions(root + "/tmp", fs::perms(01777));
        socket_ = root + "/cups.sock";
        std::ofstream(root + "/cupsd.conf") << "Listen " << socket_ << "\nLogLevel warn\n"
                                            << "<Location />\n  Order allow,deny\n  Allow all\n"
                                            << "</Location>\n";
        std::ofstream(root + "/cups-files.conf")
            << "ServerRoot " << root << "\nRequestRoot " << root << "/spool\nTempDir " << root
            << "/tmp\nCacheDir " << root << "/cache\nStateDir " << root << "/state\nErrorLog "
            << root << "/log/error_log\nAccessLog " << root << "/log/access_log\nPageLog " << root
            << "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n";
        pid_ = fork();
        if (pid_ == 0) {
            // Dies with the test program, even one that crashed: an orphaned server would hold
            // the program's output open and keep ctest waiting for it.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", (root + "/cupsd.conf").c_str(), "-s",
                  (root + "/cups-files.conf").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (pid_ < 0) return Refuse("cupsd could not be started");
        setenv("CUPS_SERVER", socket_.c_str(), 1);
        for (int i = 0; i < 100 && !fs::exists(socket_); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!fs::exists(socket_)) return Refuse("cupsd started but never opened its socket");
        const std::string add = std::string("lpadmin -p ") + kQueue + " -E -v cups-pdf:/ -P " +
                                ppd + " -o media=Letter >/dev/null 2>&1 && lpadmin -d " + kQueue +
                                " >/dev/null 2>&1";
        if (std::system(add.c_str()) != 0)
            return Refuse("lpadmin could not add the cups-pdf queue");
        return true;
    }

    bool Refuse(const std::string& reason) {
        why_not_ = reason;
        return false;
    }

    TempDir dir_;
    std::string socket_;
    pid_t pid_ = -1;
    bool started_ = false;
    std::string why_not_;
};

// Started once, before anything in the process asks CUPS about printers.
PrivateCups& TheQueue();

}  // namespace cindral::testing
