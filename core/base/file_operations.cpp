#include "core/base/file_operations.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <mutex>
#include <optional>

namespace cindral::file_operations {
namespace {

std::mutex mutex;
std::optional<Fault> planned;
bool disk_full = false;
std::array<int, 5> calls{};
// Checked first without the lock: the write paths pay nothing when no test plans a fault.
std::atomic<bool> armed{false};

// 0 when the call goes ahead; else the error it fails with. Short writes answer -1.
int Decide(Step step) {
    std::lock_guard<std::mutex> lock(mutex);
    const int count = ++calls[static_cast<size_t>(step)];
    if (step == Step::Write && disk_full) return planned->error;
    if (!planned || planned->step != step || planned->nth != count) return 0;
    if (planned->short_write && step == Step::Write) {
        disk_full = true;
        return -1;
    }
    return planned->error;
}

int Failed(int error) {
    errno = error;
    return -1;
}

}  // namespace

int CreateTemporary(char* name_template) {
    if (armed.load(std::memory_order_relaxed)) {
        if (const int error = Decide(Step::Create); error > 0) return Failed(error);
    }
    return ::mkostemp(name_template, O_CLOEXEC);
}

ssize_t Write(int fd, const void* data, size_t size) {
    if (armed.load(std::memory_order_relaxed)) {
        const int error = Decide(Step::Write);
        if (error > 0) return Failed(error);
        if (error < 0) return ::write(fd, data, size / 2);
    }
    return ::write(fd, data, size);
}

int Sync(int fd) {
    if (armed.load(std::memory_order_relaxed)) {
        if (const int error = Decide(Step::Sync); error > 0) return Failed(error);
    }
    return ::fsync(fd);
}

int Close(int fd) {
    if (armed.load(std::memory_order_relaxed)) {
        if (const int error = Decide(Step::Close); error > 0) {
            // The descriptor is gone whatever close reports.
            ::close(fd);
            return Failed(error);
        }
    }
    return ::close(fd);
}

int Rename(const char* from, const char* to) {
    if (armed.load(std::memory_order_relaxed)) {
        if (const int error = Decide(Step::Rename); error > 0) return Failed(error);
    }
    return ::rename(from, to);
}

void InjectFault(const Fault& fault) {
    std::lock_guard<std::mutex> lock(mutex);
    planned = fault;
    disk_full = false;
    calls.fill(0);
    armed = true;
}

void ClearFault() {
    std::lock_guard<std::mutex> lock(mutex);
    planned.reset();
    disk_full = false;
    calls.fill(0);
    armed = false;
}

int Calls(Step step) {
    std::lock_guard<std::mutex> lock(mutex);
    return calls[static_cast<size_t>(step)];
}

}  // namespace cindral::file_operations
