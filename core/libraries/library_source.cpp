#include "core/libraries/library_source.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

#include "core/base/errors.h"

namespace cindral {
namespace {

class SourceParser {
  public:
    SourceParser(LibraryKind kind, const std::string& source_name)
        : kind_(kind), source_name_(source_name) {}

    void Line(int line_number, const std::string& raw) {
        line_number_ = line_number;
        std::string text = raw.substr(0, raw.find('#'));
        std::istringstream words(text);
        std::string keyword;
        if (!(words >> keyword)) return;
        if (keyword == "pattern" || keyword == "symbol") {
            Header(keyword, words);
        } else if (keyword == "line" || keyword == "poly" || keyword == "dot") {
            Strokes(keyword, words);
        } else {
            Fail("unknown instruction \"" + keyword + "\"");
        }
    }

    LibrarySource Take() {
        LibrarySource source;
        source.kind = kind_;
        source.entries = std::move(entries_);
        return source;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw CindralError(source_name_ + ":" + std::to_string(line_number_) + ": " + what);
    }

    int Number(std::istringstream& words, const char* what) const {
        long value = 0;
        std::string word;
        if (!(words >> word)) Fail(std::string("missing ") + what);
        size_t used = 0;
        try {
            value = std::stol(word, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != word.size()) Fail(std::string(what) + " \"" + word + "\" is not a number");
        if (value < -32768 || value > 65535) Fail(std::string(what) + " out of range");
        return static_cast<int>(value);
    }

    void Header(const std::string& keyword, std::istringstream& words) {
        bool pattern = kind_ == LibraryKind::Pattern;
        if (keyword != (pattern ? "pattern" : "symbol")) {
            Fail("\"" + keyword + "\" entry in a " + (pattern ? "pattern" : "symbol") + " source");
        }
        LibrarySourceEntry entry;
        entry.number = Number(words, "record number");
        if (entry.number < 0) Fail("negative record number");
        if (!numbers_.insert(entry.number).second) {
            Fail("record " + std::to_string(entry.number) + " given twice");
        }
        if (pattern) {
            std::string cell;
            if (!(words >> cell) || cell != "cell") Fail("expected \"cell WIDTH HEIGHT\"");
            entry.cellWidth = Number(words, "cell width");
            entry.cellHeight = Number(words, "cell height");
            if (entry.cellWidth <= 0 || entry.cellHeight <= 0 || entry.cellWidth > 65535 ||
                entry.cellHeight > 65535) {
                Fail("cell size must be positive");
            }
        }
        std::getline(words >> std::ws, entry.name);
        while (!entry.name.empty() && std::isspace(static_cast<unsigned char>(entry.name.back())))
            entry.name.pop_back();
        if (entry.name.empty()) Fail("missing name");
        entries_.push_back(std::move(entry));
    }

    int8_t Coordinate(std::istringstream& words) const {
        int v = Number(words, "coordinate");
        if (v < -128 || v > 127) Fail("coordinate " + std::to_string(v) + " beyond -128..127");
        return static_cast<int8_t>(v);
    }

    void Add(LibrarySourceEntry& entry, LibraryStroke stroke) const {
        if (entry.strokes.size() >= static_cast<size_t>(kLibraryStrokeCapacity)) {
            Fail("record " + std::to_string(entry.number) + " has more than " +
                 std::to_string(kLibraryStrokeCapacity) + " lines");
        }
        entry.strokes.push_back(stroke);
    }

    void Strokes(const std::string& keyword, std::istringstream& words) {
        if (entries_.empty()) Fail("\"" + keyword + "\" before the first entry");
        LibrarySourceEntry& entry = entries_.back();
        std::vector<int8_t> values;
        while (words >> std::ws && !words.eof()) values.push_back(Coordinate(words));
        if (keyword == "dot") {
            if (values.size() != 2) Fail("dot takes X Y");
            Add(entry, {values[0], values[1], values[0], values[1]});
        } else if (keyword == "line") {
            if (values.size() != 4) Fail("line takes X1 Y1 X2 Y2");
            Add(entry, {values[0], values[1], values[2], values[3]});
        } else {
            if (values.size() < 4 || values.size() % 2 != 0) {
                Fail("poly takes two or more X Y points");
            }
            for (size_t i = 2; i + 1 < values.size(); i += 2) {
                Add(entry, {values[i - 2], values[i - 1], values[i], values[i + 1]});
            }
        }
    }

    LibraryKind kind_;
    std::string source_name_;
    int line_number_ = 0;
    std::vector<LibrarySourceEntry> entries_;
    std::set<int> numbers_;
};

}  // namespace

LibrarySource ParseLibrarySource(std::istream& in, LibraryKind kind,
                                 const std::string& source_name) {
    SourceParser parser(kind, source_name);
    std::string line;
    int line_number = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        parser.Line(++line_number, line);
    }
    return parser.Take();
}

std::vector<uint8_t> CompileLibrary(const LibrarySource& source, int record_count) {
    bool pattern = source.kind == LibraryKind::Pattern;
    size_t record_size = pattern ? PatternRecord::kSize : SymbolRecord::kSize;
    std::vector<uint8_t> file(record_size * static_cast<size_t>(record_count), 0);
    for (const LibrarySourceEntry& entry : source.entries) {
        if (entry.number >= record_count) {
            throw CindralError("record " + std::to_string(entry.number) + " (" + entry.name +
                               ") is beyond the " + std::to_string(record_count) +
                               " records of the library");
        }
        std::vector<uint8_t> bytes;
        if (pattern) {
            PatternRecord r;
            r.SegmentCount = static_cast<uint16_t>(entry.strokes.size());
            r.CellWidth = static_cast<uint16_t>(entry.cellWidth);
            r.CellHeight = static_cast<uint16_t>(entry.cellHeight);
            std::copy(entry.strokes.begin(), entry.strokes.end(), r.Segments.begin());
            bytes = EncodePatternRecord(r);
        } else {
            SymbolRecord r;
            r.StrokeCount = static_cast<uint16_t>(entry.strokes.size());
            std::copy(entry.strokes.begin(), entry.strokes.end(), r.Strokes.begin());
            bytes = EncodeSymbolRecord(r);
        }
        std::copy(bytes.begin(), bytes.end(),
                  file.begin() + static_cast<std::ptrdiff_t>(record_size) * entry.number);
    }
    return file;
}

}  // namespace cindral
