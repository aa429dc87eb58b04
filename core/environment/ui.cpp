#include "core/environment/ui.h"

#include <cstdio>

namespace cindral {
namespace {

StderrUi& DefaultUi() {
    static StderrUi ui;
    return ui;
}

Ui* g_current = nullptr;
// A thread that draws in the background cannot show a box; it has a Ui of its own.
thread_local Ui* t_current = nullptr;

const char* KindLabel(MessageKind kind) {
    switch (kind) {
        case MessageKind::Error:
            return "error";
        case MessageKind::Warning:
            return "warning";
        case MessageKind::Confirmation:
            return "question";
        case MessageKind::Information:
            return "information";
    }
    return "message";
}

}  // namespace

Ui& CurrentUi() {
    if (t_current) return *t_current;
    return g_current ? *g_current : DefaultUi();
}

Ui* SetThreadUi(Ui* ui) {
    Ui* previous = t_current;
    t_current = ui;
    return previous;
}

Ui* SetUi(Ui* ui) {
    Ui* previous = g_current;
    g_current = ui;
    return previous;
}

Answer SafeDefault(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::YesNoCancel:
            return Answer::Cancel;
        case Buttons::Yes:
            return Answer::Yes;
    }
    return Answer::Cancel;
}

std::string MessageDisplayText(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    bool line_start = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        auto next_is = [&](char n) { return i + 1 < text.size() && text[i + 1] == n; };
        if (c == '\r' && (next_is('\n') || next_is('\v'))) {
            shown += text[i + 1] == '\v' ? "\n\n" : "\n";
            ++i;
            line_start = true;
        } else if (c == '\r' || c == '\n' || c == '\v') {
            shown += '\n';
            line_start = true;
        } else if (c == ' ' && line_start) {
            continue;
        } else if ((c >= 0x20 && c != 0x7F) || c == '\t') {
            shown += static_cast<char>(c);
            line_start = false;
        }
    }
    return shown;
}

Answer StderrUi::ShowMessage(MessageKind kind, const std::string& caption, const std::string& text,
                             Buttons buttons) {
    std::fprintf(stderr, "%s: %s\n", KindLabel(kind), MessageDisplayText(text).c_str());
    (void)caption;
    return SafeDefault(buttons);
}

}  // namespace cindral
