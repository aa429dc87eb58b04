#pragma once
// Notes about pictures and fonts that could not be used. A page goes on without them; the
// execution log gets one line per distinct problem, and the first problem of the process is
// also shown as a status line.

#include <functional>
#include <string>

namespace cindral {

// Logs `line` (through the execution log once the status interface is in place).
void LogRenderNote(const std::string& line);

// "Picture not drawn: <what>: <why>", logged once per distinct text.
void ReportBrokenPicture(const std::string& what, const std::string& why);

// Tests: receive every note instead of the log, and forget which were already reported.
using RenderNoteSink = std::function<void(const std::string&)>;
RenderNoteSink SetRenderNoteSink(RenderNoteSink sink);
void ResetRenderNotes();

}  // namespace cindral
