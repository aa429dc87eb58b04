#pragma once
// Runs the real cindral-cli binary through the shell and captures its exit status and output.

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "temp_dir.h"

namespace cindral::testing {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// `args` must already be quoted for the shell; the program runs in the folder `cwd`, under
// `environment` (an `env` command line such as "env -u HOME", or nothing).
inline CliRun RunCli(const std::string& args, const std::string& cwd = ".",
                     const std::string& environment = "") {
    TempDir capture;
    const std::string command = "cd '" + cwd + "' && " + environment + " '" + BinDir() +
                                "/cindral-cli' " + args + " >'" + capture.File("out") + "' 2>'" +
                                capture.File("err") + "'";
    const int raw = std::system(command.c_str());
    auto text = [&](const char* name) {
        const std::vector<uint8_t> bytes = ReadFileBytes(capture.File(name));
        return std::string(bytes.begin(), bytes.end());
    };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text("out"), text("err")};
}

}  // namespace cindral::testing
