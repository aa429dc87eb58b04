#include "core/environment/status.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "core/base/errors.h"
#include "core/environment/ui.h"

namespace cindral {
namespace {

StatusSink& SilentSink() {
    static StatusSink sink;
    return sink;
}

StatusSink* g_sink = nullptr;
// A thread that draws in the background reports to a sink of its own.
thread_local StatusSink* t_sink = nullptr;
// Log lines may come from a drawing thread and the window's thread at once.
std::mutex g_log_mutex;

std::string& LogPath() {
    static std::string path;
    return path;
}

void WriteLine(const std::string& path, const char* mode, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file) {
        int code = errno;
        throw IoError("Unable to write to the log file " + path + ": " + std::strerror(code), code);
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
              std::fputc('\n', file) != EOF;
    int code = errno;
    if (std::fclose(file) != 0) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        throw IoError("Unable to write to the log file " + path + ": " + std::strerror(code), code);
    }
}

}  // namespace

const char* const kCancelCaption = "Cancellation Confirmation";
const char* const kCancelQuestion = "Are you sure that you want to cancel the current operation?";

bool StatusSink::CancelRequested() {
    if (!cancel_pending_) return false;
    Answer answer = CurrentUi().ShowMessage(MessageKind::Error, kCancelCaption, kCancelQuestion,
                                            Buttons::YesNo);
    cancel_pending_ = false;
    if (answer != Answer::Yes) return false;
    HideStatus();
    CurrentUi().RestoreCursor();
    return true;
}

StatusSink& CurrentStatusSink() {
    if (t_sink) return *t_sink;
    return g_sink ? *g_sink : SilentSink();
}

StatusSink* SetThreadStatusSink(StatusSink* sink) {
    StatusSink* previous = t_sink;
    t_sink = sink;
    return previous;
}

StatusSink* SetStatusSink(StatusSink* sink) {
    StatusSink* previous = g_sink;
    g_sink = sink;
    return previous;
}

void ShowStatus(const std::string& text) {
    CurrentStatusSink().ShowStatus(text);
}
void ShowProgress(double fraction) {
    CurrentStatusSink().ShowProgress(fraction);
}
void HideStatus() {
    CurrentStatusSink().HideStatus();
}
bool CancelRequested() {
    return CurrentStatusSink().CancelRequested();
}

void LogLine(const std::string& text) {
    std::lock_guard<std::mutex> lock(g_log_mutex);
    if (LogPath().empty()) return;
    WriteLine(LogPath(), "a", text);
}

void SetLogFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_log_mutex);
    LogPath() = path;
}

const std::string& CurrentLogFile() {
    return LogPath();
}

void StartLogFile(const std::string& path, const std::string& first_line) {
    std::lock_guard<std::mutex> lock(g_log_mutex);
    WriteLine(path, "w", first_line);
    LogPath() = path;
}

}  // namespace cindral
