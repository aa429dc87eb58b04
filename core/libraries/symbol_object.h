#pragma once
// The symbol library: a file of 202-byte symbol records, numbered from 0. It is also the
// stroke font, where the symbol number is the character code. The object keeps the file open
// and holds the record loaded last.

#include <cstdint>
#include <string>

#include "core/libraries/library_file.h"
#include "core/libraries/library_record.h"

namespace cindral {

class symbol_object {
  public:
    // Numbers above this are not looked up; the current record stays as it was.
    static constexpr int32_t kLastSymbol = 325;

    // Opens the file read-only; a file that cannot be opened raises IoError naming it.
    explicit symbol_object(const std::string& fileName);
    symbol_object(const symbol_object&) = delete;
    symbol_object& operator=(const symbol_object&) = delete;

    // Reads record `number` from the file, every time. A number outside 0..325 changes
    // nothing; a number at or beyond the end of the file fails with
    // "Error 1037, Loading Symbol = <number>". A failed read leaves the current record as it
    // was.
    void Load(int32_t number);

    int StrokeCount() const { return current_.StrokeCount; }
    // Stroke `i` of the current record, 0 <= i < StrokeCount().
    const LibraryStroke& Stroke(int i) const { return current_.Strokes.at(i); }
    const SymbolRecord& Current() const { return current_; }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
    LibraryFile file_;
    SymbolRecord current_;
};

}  // namespace cindral
