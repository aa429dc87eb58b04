#pragma once
// The readable text form of the pattern and symbol libraries, from which the default library
// files are compiled. One entry per record:
//
//   pattern NUMBER cell WIDTH HEIGHT NAME...      (pattern source)
//   symbol NUMBER NAME...                         (symbol source)
//
// followed by its lines, one drawing instruction each:
//
//   line X1 Y1 X2 Y2          one segment
//   poly X1 Y1 X2 Y2 ...      connected segments through the points
//   dot X Y                   a segment of zero length, drawn as a dot
//
// Blank lines and text after '#' are ignored. Numbers not given stay empty records.

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "core/libraries/library_record.h"

namespace cindral {

enum class LibraryKind { Pattern, Symbol };

struct LibrarySourceEntry {
    int number = 0;
    std::string name;
    int cellWidth = 0;
    int cellHeight = 0;
    std::vector<LibraryStroke> strokes;
};

struct LibrarySource {
    LibraryKind kind = LibraryKind::Pattern;
    // In the order written; numbers are unique.
    std::vector<LibrarySourceEntry> entries;
};

// Parses a source; a fault raises CindralError "<source name>:<line>: <what is wrong>".
LibrarySource ParseLibrarySource(std::istream& in, LibraryKind kind,
                                 const std::string& source_name);

// Records 0 .. `record_count` - 1 of the library file, entries in their places, the rest
// empty. An entry numbered beyond the file raises CindralError.
std::vector<uint8_t> CompileLibrary(const LibrarySource& source, int record_count);

}  // namespace cindral
