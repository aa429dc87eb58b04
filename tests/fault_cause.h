#pragma once
// Whether a failure's message names the fault that caused it: the system's text for the error
// number, or for a full disk the program's own "Not enough disk space" (docs/file-format.md).

#include <cerrno>
#include <cstring>
#include <string>

namespace cindral::testing {

inline bool NamesCause(const std::string& message, int error) {
    if (message.find(std::strerror(error)) != std::string::npos) return true;
    return (error == ENOSPC || error == EDQUOT) &&
           message.find("Not enough disk space") != std::string::npos;
}

}  // namespace cindral::testing
