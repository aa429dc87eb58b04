// cindral-cli print and export, run as the real binary on a long log and stopped by real
// signals part-way: whatever ends them, nothing of the output is left behind and a file the
// output would have replaced is as it was. And the progress line a terminal gets, through a
// real pseudo-terminal.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cli_run.h"
#include "core/format/gdx_writer.h"
#include "gdx_fixtures.h"
#include "temp_dir.h"

namespace cindral {
namespace {

namespace fs = std::filesystem;

// `pages` letter pages of dense curves: printing one page plays the whole file, so a long
// log keeps every command busy for seconds.
std::string LongLog(const testing::TempDir& dir, int pages) {
    const std::string path = dir.File("log" + std::to_string(pages) + ".gdx");
    if (fs::exists(path)) return path;
    GdxWriter writer(testing::LetterPageHeader(0, -200.0 * pages));
    for (int row = 0; row < 200 * pages; ++row) {
        for (int track = 0; track < 4; ++track) {
            const double x = 100 + 200 * track + (row * (track + 3)) % 90;
            writer.Write(DrawLineRecord{x, -double(row), 0, x + 7, -double(row) - 1, 0});
        }
    }
    writer.Save(path);
    return path;
}

const testing::TempDir& Logs() {
    static const testing::TempDir dir;
    return dir;
}

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

// A running cindral-cli whose standard error is a pseudo-terminal (raw, so the bytes are
// the program's own) or a file.
class RunningCli {
  public:
    RunningCli(const std::vector<std::string>& args, bool terminal, const std::string& err_file) {
        int slave = -1;
        if (terminal) {
            EXPECT_EQ(::openpty(&master_, &slave, nullptr, nullptr, nullptr), 0);
            termios raw{};
            ::tcgetattr(slave, &raw);
            ::cfmakeraw(&raw);
            ::tcsetattr(slave, TCSANOW, &raw);
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (terminal) {
            posix_spawn_file_actions_adddup2(&actions, slave, 2);
            posix_spawn_file_actions_addclose(&actions, master_);
        } else {
            posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        }
        std::string program = testing::BinDir() + "/cindral-cli";
        std::vector<std::string> words = args;
        std::vector<char*> argv{program.data()};
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        if (slave >= 0) ::close(slave);
    }
    ~RunningCli() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) ::close(master_);
    }

    // Reads the terminal until `text` has appeared in it (false at its end or after a minute).
    bool WaitForText(const std::string& text) {
        while (terminal_.find(text) == std::string::npos) {
            if (!ReadSome(60000)) return false;
        }
        return true;
    }
    // Reads the terminal to its end and waits for the exit status (-1: ended by a signal).
    int Finish() {
        while (master_ >= 0 && ReadSome(120000)) {
        }
        int status = 0;
        if (::waitpid(pid_, &status, 0) != pid_) return -2;
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    pid_t pid() const { return pid_; }
    const std::string& terminal() const { return terminal_; }

  private:
    bool ReadSome(int timeout_ms) {
        pollfd ready{master_, POLLIN, 0};
        if (::poll(&ready, 1, timeout_ms) != 1) return false;
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) return false;  // EIO once the program has closed the terminal
        terminal_.append(buffer, size_t(n));
        return true;
    }

    pid_t pid_ = 0;
    int master_ = -1;
    std::string terminal_;
};

struct Stop {
    const char* name;
    const char* command;
    const char* output;
    const char* progress;  // what the terminal shows once the work is under way
    int signal;
    bool terminal;
    bool existing;  // an older file of the output's name is there before the run
};

void PrintTo(const Stop& stop, std::ostream* out) {
    *out << stop.name;
}

class CliStop : public ::testing::TestWithParam<Stop> {};

TEST_P(CliStop, ASignalMidWayExitsOneWithCancelledAndLeavesTheFolderAsItWas) {
    const Stop& stop = GetParam();
    const std::string log = LongLog(Logs(), 300);
    testing::TempDir out;
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    if (stop.existing) WriteFileBytes(out.File(stop.output), old);
    const std::set<std::string> before = Names(out.path());

    RunningCli run({stop.command, log, "-o", out.File(stop.output)}, stop.terminal,
                   Logs().File("err"));
    if (stop.terminal) {
        ASSERT_TRUE(run.WaitForText(stop.progress)) << run.terminal();
    } else {
        // Without a terminal there is no progress to wait for: the temporary output file
        // shows that the work has begun.
        for (int i = 0; i < 6000 && Names(out.path()) == before; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_NE(Names(out.path()), before) << "the command never began its output";
    }
    ASSERT_EQ(::kill(run.pid(), stop.signal), 0);
    const int status = run.Finish();

    EXPECT_EQ(status, 1) << run.terminal();
    if (stop.terminal) {
        // The progress line is ended, and the message has a line of its own.
        const std::string& shown = run.terminal();
        const std::string tail = "\ncancelled\n";
        EXPECT_TRUE(shown.size() > tail.size() &&
                    shown.compare(shown.size() - tail.size(), tail.size(), tail) == 0)
            << shown;
    } else {
        const std::vector<uint8_t> err = testing::ReadFileBytes(Logs().File("err"));
        EXPECT_EQ(std::string(err.begin(), err.end()), "cancelled\n");
    }
    EXPECT_EQ(Names(out.path()), before);
    if (stop.existing) {
        EXPECT_EQ(testing::ReadFileBytes(out.File(stop.output)), old);
    }
}

const Stop kStops[] = {
    {"PrintTerm", "print", "out.pdf", "Printing page 1 of ", SIGTERM, true, true},
    {"PrintHup", "print", "out.pdf", "Printing page 1 of ", SIGHUP, true, false},
    {"PrintInt", "print", "out.pdf", "Printing page 1 of ", SIGINT, true, false},
    {"PrintTermNoTerminal", "print", "out.pdf", "", SIGTERM, false, true},
    {"EmfTerm", "export", "out.emf", "Exporting 10%", SIGTERM, true, true},
    {"EmfHup", "export", "out.emf", "Exporting 10%", SIGHUP, true, false},
    {"HtmlTerm", "export", "out.html", "Exporting page 2 of ", SIGTERM, true, false},
    {"HtmlHup", "export", "out.html", "Exporting page 2 of ", SIGHUP, true, true},
};

INSTANTIATE_TEST_SUITE_P(Signals, CliStop, ::testing::ValuesIn(kStops),
                         [](const auto& info) { return std::string(info.param.name); });

// render --pages on two threads, stopped once pages are coming out: the pages written stay,
// each a whole picture, and the pages being drawn leave nothing, not even a temporary file.
TEST(CliBatchStop, ASignalKeepsThePagesWrittenAndLeavesNoPartOfTheOthers) {
    const std::string log = LongLog(Logs(), 300);
    struct Case {
        int signal;
        bool terminal;
    };
    for (const Case c : {Case{SIGINT, true}, Case{SIGTERM, false}}) {
        SCOPED_TRACE(c.signal);
        testing::TempDir out;
        RunningCli run({"render", log, "--pages", "all", "-j", "2", "--dpi", "150", "-o",
                        out.File("p-%d.png")},
                       c.terminal, Logs().File("err"));
        if (c.terminal) {
            ASSERT_TRUE(run.WaitForText("Rendering page 2 of ")) << run.terminal();
        } else {
            for (int i = 0; i < 6000 && !fs::exists(out.File("p-2.png")); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        ASSERT_EQ(::kill(run.pid(), c.signal), 0);
        EXPECT_EQ(run.Finish(), 1) << run.terminal();
        const std::set<std::string> names = Names(out.path());
        EXPECT_FALSE(names.empty());
        EXPECT_LT(names.size(), 200u) << "the signal did not stop the batch";
        for (const std::string& name : names) {
            // Only final names; each file the whole picture (8.5 x 11 in at 150 dpi).
            ASSERT_EQ(name.rfind("p-", 0), 0u) << name;
            ASSERT_EQ(name.find_first_not_of("0123456789", 2), name.size() - 4) << name;
            EXPECT_EQ(name.substr(name.size() - 4), ".png");
            const QImage image(QString::fromStdString(out.File(name)));
            EXPECT_EQ(image.size(), QSize(1275, 1650)) << name;
        }
        if (!c.terminal) {
            const std::vector<uint8_t> err = testing::ReadFileBytes(Logs().File("err"));
            EXPECT_EQ(std::string(err.begin(), err.end()), "cancelled\n");
        }
    }
}

// On a terminal, print and export keep one line of progress, rewritten in place and ended
// with a newline; without one, standard error stays empty.
TEST(CliProgress, ATerminalGetsOneLineOfPagesDoneAndAFileGetsNothing) {
    const std::string log = LongLog(Logs(), 3);
    struct Case {
        std::vector<std::string> args;
        std::string output;
        std::string last_line;
    };
    const Case cases[] = {
        {{"print", log, "--pages", "2-3"}, "out.pdf", "\rPrinting page 2 of 2\033[K\n"},
        {{"export", log}, "out.html", "\rExporting page 3 of 3\033[K\n"},
        {{"export", log}, "out.emf", "\rExporting 100%\033[K\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        testing::TempDir out;
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", out.File(c.output)});
        RunningCli run(args, /*terminal=*/true, "");
        EXPECT_EQ(run.Finish(), 0) << run.terminal();
        const std::string& shown = run.terminal();
        ASSERT_GE(shown.size(), c.last_line.size()) << shown;
        EXPECT_EQ(shown.substr(shown.size() - c.last_line.size()), c.last_line);
        EXPECT_EQ(shown.find('\n'), shown.size() - 1) << shown;  // one line, rewritten

        std::string quoted;
        for (const std::string& arg : args) quoted += " '" + arg + "'";
        const testing::CliRun piped = testing::RunCli(quoted);
        EXPECT_EQ(piped.status, 0) << piped.err;
        EXPECT_EQ(piped.err, "");
    }
}

}  // namespace
}  // namespace cindral
