#pragma once
// Interim: the status interface is being built elsewhere (core/status.h). Until its header
// exists, the interpreter reports no status. The branch switches to the real header by itself
// once it is in the tree; this file is then deleted and the include goes straight to it.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/errors.h"
#if __has_include("core/status.h")
#include "core/status.h"
#else
namespace cindral {
inline void ShowStatus(const std::string&) {}
inline void ShowProgress(double) {}
inline bool CancelRequested() {
    return false;
}
}  // namespace cindral
#endif
