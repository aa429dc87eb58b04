#pragma once
// The header record of a compiled log, in its current (code 301, 114 bytes) and older
// (code 300, 105 bytes) layouts: codec, reading with its refusals, and the write-backs.

#include <cstdint>
#include <string>

#include "core/format/byte_codec.h"

namespace cindral {

class file_object;

constexpr int16_t kHeaderCode = 301;
constexpr int16_t kOldHeaderCode = 300;
constexpr int16_t kObsoleteHeaderCode = 9;
constexpr uint16_t kHeaderLength = 114;
constexpr uint16_t kOldHeaderLength = 105;
// Page length in depth units that an older header is given, unless the user chose another.
constexpr double kDefaultPageLength = 100.0;

// The message for a file of the authoring program's older, unsupported versions.
extern const char* const kObsoleteFileMessage;

// Field values are those of a new file.
struct GdxHeader {
    double MinX = 1e27;
    double MaxX = -1e27;
    double BottomDepth = 1e27;
    double TopDepth = -1e27;
    double FirstHeaderHeight = 0;
    double NextHeaderHeight = 0;
    double FooterHeight = 0;
    double BandGap = 0;
    uint8_t RepeatBands = 0;
    double PageHeight = 0;
    double PageWidth = 0;
    double XUnitsPerInch = 1;
    double DepthUnitsPerInch = 1;
    double ElevationDatum = 0;
    uint8_t CustomPageLength = 0;
    double UnitsPerPage = kDefaultPageLength;
    // Header record code the file carries (or is to be written with): 301 or 300.
    int version = kHeaderCode;
};

// Calls visit(name, field) for every stored field in file order (a double or a uint8_t).
template <class Header, class Visit>
void ForEachHeaderField(Header& h, Visit&& visit) {
    visit("MinX", h.MinX);
    visit("MaxX", h.MaxX);
    visit("BottomDepth", h.BottomDepth);
    visit("TopDepth", h.TopDepth);
    visit("FirstHeaderHeight", h.FirstHeaderHeight);
    visit("NextHeaderHeight", h.NextHeaderHeight);
    visit("FooterHeight", h.FooterHeight);
    visit("BandGap", h.BandGap);
    visit("RepeatBands", h.RepeatBands);
    visit("PageHeight", h.PageHeight);
    visit("PageWidth", h.PageWidth);
    visit("XUnitsPerInch", h.XUnitsPerInch);
    visit("DepthUnitsPerInch", h.DepthUnitsPerInch);
    visit("ElevationDatum", h.ElevationDatum);
    visit("CustomPageLength", h.CustomPageLength);
    visit("UnitsPerPage", h.UnitsPerPage);
}

// Payload bytes in the layout of `version` (114 for 301, 105 for 300).
void EncodeHeaderPayload(const GdxHeader& header, int version, ByteWriter& out);
// Whole header record: code, length, payload.
void EncodeHeaderRecord(const GdxHeader& header, ByteWriter& out);
GdxHeader DecodeHeaderPayload(ByteReader& in, int version, double default_units_per_page);

// Refuses values that later divide by zero or poison the page arithmetic: any field that is
// not a finite number, and a page size or units per inch of zero or less.
void ValidateHeader(const GdxHeader& header, const std::string& file_name);

// Reads the header record of `file`, which must be open for reading at byte 0, and leaves
// it at the first command. Every refusal closes the file and raises IoError.
GdxHeader ReadHeader(file_object& file, double default_units_per_page = kDefaultPageLength);
// Opens `path`, reads its header, closes it.
GdxHeader ReadHeaderFromFile(const std::string& path,
                             double default_units_per_page = kDefaultPageLength);

// Writes `header` back as a current-layout header record. A file with the older header is
// converted through a temporary file in its folder and an atomic rename, so no command
// record is ever overwritten. A file that cannot be written is left as it was.
void WriteHeader(const std::string& path, GdxHeader header);

// Replaces only the page height and width in the file's header, in the layout the file has.
void StorePageSize(const std::string& path, double page_height, double page_width);

}  // namespace cindral
