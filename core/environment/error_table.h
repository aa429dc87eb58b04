#pragma once
// Numbered error reports explained from the error-message table Tables/Quen.Err, which is
// found among the program's data files. Messages reach the user through CurrentUi().

#include <cstddef>
#include <cstdint>
#include <string>

namespace cindral {

// Numbers the system reports through the table.
constexpr int32_t kErrorUnknownFileVersion = 1033;

// The explanation buffer holds this many characters.
constexpr size_t kMessageBufferSize = 1000;

// Where the table is looked for: DataDirectory() + "Tables/Quen.Err".
std::string ErrorTablePath();

// The decimal digits of `number` with `separator` before each group of three, counted from
// the right, for numbers of 1000 and more. Negative numbers get no separator.
std::string FormatThousands(int64_t number, char separator);
// The same with the locale's thousands separator; a comma when the locale has none.
std::string FormatThousands(int64_t number);

// The 1000-character explanation buffer. When a character would become the 1001st, one
// "File Corrupted" error box names the piece and that character; everything after it is
// dropped and the text assembled so far is kept.
class ErrorMessage {
  public:
    void AppendToMessage(const std::string& piece);
    const std::string& text() const { return text_; }
    bool overflowed() const { return overflowed_; }

  private:
    std::string text_;
    bool overflowed_ = false;
};

// Assembles the explanation of a numbered error from the table at `table_path`, with the
// caller's `text` at the end. A table that exists but cannot be read raises IoError.
std::string ExplainError(int32_t number, const std::string& text, const std::string& table_path);
std::string ExplainError(int32_t number, const std::string& text);

// Restores the cursor, then: -1 shows `text` as information, 0 as an error, any other number
// the table's explanation in an error box captioned "Error".
void ReportError(int32_t number, const std::string& text);

}  // namespace cindral
