#include "core/environment/error_table.h"

#include <sys/stat.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <fstream>

#include "core/base/errors.h"
#include "core/environment/program_paths.h"
#include "core/environment/ui.h"

namespace cindral {

std::string ErrorTablePath() {
    return DataDirectory() + "Tables/Quen.Err";
}

std::string FormatThousands(int64_t number, char separator) {
    std::string digits = std::to_string(number);
    if (number < 1000) return digits;
    std::string out;
    size_t lead = digits.size() % 3;
    if (lead == 0) lead = 3;
    out.append(digits, 0, lead);
    for (size_t i = lead; i < digits.size(); i += 3) {
        out.push_back(separator);
        out.append(digits, i, 3);
    }
    return out;
}

std::string FormatThousands(int64_t number) {
    const std::lconv* conv = std::localeconv();
    char separator = ',';
    if (conv && conv->thousands_sep && std::strlen(conv->thousands_sep) == 1) {
        separator = conv->thousands_sep[0];
    }
    return FormatThousands(number, separator);
}

void ErrorMessage::AppendToMessage(const std::string& piece) {
    if (overflowed_) return;
    for (char c : piece) {
        if (text_.size() >= kMessageBufferSize) {
            overflowed_ = true;
            ReportError(0, "File Corrupted\r" + piece + "\r" + std::string(1, c));
            return;
        }
        text_.push_back(c);
    }
}

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

[[noreturn]] void TableFailure(const std::string& path, const std::string& what) {
    throw IoError("\"" + path + "\": " + what, errno);
}

}  // namespace

std::string ExplainError(int32_t number, const std::string& text, const std::string& table_path) {
    ErrorMessage message;
    if (Exists(table_path)) {
        std::ifstream table(table_path, std::ios::binary);
        if (!table) TableFailure(table_path, "cannot open the error table");
        const std::string key = "#" + std::to_string(number) + " ";
        std::string line;
        bool found = false;
        while (std::getline(table, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find(key) == std::string::npos) continue;
            found = true;
            size_t blank = line.find(' ');
            message.AppendToMessage(line.substr(blank + 1) + ":");
            while (std::getline(table, line)) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                if (!line.empty() && line[0] == '=') break;
                message.AppendToMessage(line.empty() ? std::string("\r\v") : " " + line);
            }
            message.AppendToMessage("  " + text);
            break;
        }
        if (table.bad()) TableFailure(table_path, "cannot read the error table");
        if (!found) {
            message.AppendToMessage("Error # " + FormatThousands(number) +
                                    " not defined within error table file (\\ProgDir\\Quen.Err).");
            message.AppendToMessage(" Please contact Quentara.");
        }
    } else {
        const char* pieces[] = {
            "Normally, this screen is used to display an extended error description with",
            " suggestions about how to solve the associated problem.  Unfortunately, the",
            " file that contains these error messages cannot be properly accessed.",
        };
        for (const char* piece : pieces) message.AppendToMessage(piece);
        message.AppendToMessage(" The error message file (" + table_path + ") is either;");
        message.AppendToMessage(" (1) not installed,");
        message.AppendToMessage(
            " (2) not installed within the same subdirectory as the program, or");
        message.AppendToMessage(
            " (3) currently being edited/examined by another user on your network.");
        message.AppendToMessage(text);
    }
    return message.text();
}

std::string ExplainError(int32_t number, const std::string& text) {
    return ExplainError(number, text, ErrorTablePath());
}

void ReportError(int32_t number, const std::string& text) {
    Ui& ui = CurrentUi();
    ui.RestoreCursor();
    if (number == -1) {
        ui.ShowMessage(MessageKind::Information, "Information", text, Buttons::Ok);
    } else if (number == 0) {
        ui.ShowMessage(MessageKind::Error, "Error", text, Buttons::Ok);
    } else {
        ui.ShowMessage(MessageKind::Error, "Error", ExplainError(number, text), Buttons::Ok);
    }
}

}  // namespace cindral
