#pragma once
// The system calls of every path that writes a user's file, in one place. The write paths
// call these instead of ::write, ::fsync, ::close and ::rename, so a test can make any one of
// them fail in turn (a short write, a full disk, a failed flush or rename) and check that
// the user's file survives and the error reaches the caller. Without an injected fault each
// function is the system call it names.

#include <sys/types.h>

#include <cerrno>
#include <cstddef>

namespace cindral::file_operations {

enum class Step { Create, Write, Sync, Close, Rename };

// mkostemp(name, O_CLOEXEC): a new private file from a "...XXXXXX" template.
int CreateTemporary(char* name_template);
ssize_t Write(int fd, const void* data, size_t size);
int Sync(int fd);
int Close(int fd);
int Rename(const char* from, const char* to);

// A planned failure: the `nth` call of `step` (counted from 1 after InjectFault) fails
// with `error`. A short Write stores half its bytes and reports that; every later Write
// then fails with `error`, as a disk that fills up does.
struct Fault {
    Step step = Step::Write;
    int nth = 1;
    int error = EIO;
    bool short_write = false;
};

// For tests. One fault at a time, for the whole process; ClearFault() ends it.
void InjectFault(const Fault& fault);
void ClearFault();
// Calls of `step` since the last InjectFault or ClearFault: lets a test find every point a
// write path passes.
int Calls(Step step);

}  // namespace cindral::file_operations
