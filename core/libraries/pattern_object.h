#pragma once
// The fill-pattern library: a file of 206-byte pattern records, numbered from 0. The object
// keeps the file open and holds the record loaded last; drawing code loads a number and then
// reads the cell size and segments of the current record.

#include <cstdint>
#include <string>

#include "core/libraries/library_file.h"
#include "core/libraries/library_record.h"

namespace cindral {

class pattern_object {
  public:
    // Numbers above this are not looked up; the current record stays as it was.
    static constexpr int32_t kLastPattern = 250;

    // A missing file fails with "Error 1034, Loading Pattern File "name""; a file that exists
    // but cannot be opened raises IoError. The file is opened read-only, so a library in a
    // read-only install works.
    explicit pattern_object(const std::string& fileName);
    pattern_object(const pattern_object&) = delete;
    pattern_object& operator=(const pattern_object&) = delete;

    // Reads record `number` from the file, every time. A number outside 0..250 changes
    // nothing. A failed read raises IoError "<reason>, Loading Pattern <number>" and leaves
    // the current record as it was.
    void Load(int32_t number);

    int SegmentCount() const { return current_.SegmentCount; }
    int CellWidth() const { return current_.CellWidth; }
    int CellHeight() const { return current_.CellHeight; }
    // Segment `i` of the current record, 0 <= i < SegmentCount().
    const LibraryStroke& Segment(int i) const { return current_.Segments.at(i); }
    const PatternRecord& Current() const { return current_; }
    const std::string& Path() const { return path_; }

  private:
    LibraryFile file_;
    PatternRecord current_;
    std::string path_;
};

}  // namespace cindral
