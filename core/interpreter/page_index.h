#pragma once
// The page index of a log: for every command, where it lies in the file and which part of
// the log it can draw on. A page then plays, in file order, the state commands and only the
// commands that can reach it, instead of the whole file. The extents are deliberately wide
// (fonts, symbols, line widths and rotated text are allowed for generously) so a page drawn
// through the index is the page drawn from the whole file, row for row.

#include <cstdint>
#include <deque>
#include <vector>

#include "core/format/gdx_header.h"
#include "core/format/gdx_reader.h"
#include "core/pages/page_layout.h"

namespace cindral {

class file_object;

// How far a command can reach.
enum class Reach : uint8_t {
    EveryPage,  // state commands, and anything whose extent cannot be bounded
    Depths,     // the depth range [low, high]
    Band,       // a page band: drawn where the region byte meets the page's header or footer
};

// 16 bytes a command: a 300-page log of 200,000 commands keeps an index of about 3 MB.
struct IndexedCommand {
    uint32_t offset = 0;  // logs are refused above 2 GiB
    Reach reach = Reach::EveryPage;
    Band band = Band::None;  // the band of the region byte, for Reach::Band
    float low = 0;           // depth range, for Reach::Depths, rounded outward
    float high = 0;
};

// What the pages of one resolution show; the index answers which commands each one plays.
struct PageSelection {
    double top = 0;     // greatest depth a page's rows reach (infinite on the first page)
    double bottom = 0;  // least depth (minus infinite on the last page)
    Band header_mode = Band::None;  // the band of the page's header
    bool has_footer = false;
};

// What the page of `geometry` shows: all its rows and, beyond either edge, a band gap (the
// text and rule regions reach that far past the data window) and two rows of rounding.
PageSelection SelectionOfPage(const GdxHeader& header, const PageGeometry& geometry);

class PageIndex {
  public:
    // Walks every command of `file`, open and positioned after its header, once. A malformed
    // record raises the reader's IoError.
    static PageIndex Build(file_object& file, const GdxHeader& header);

    // Offsets of the commands a page with `selection` plays, in file order.
    std::vector<int64_t> CommandsFor(const PageSelection& selection) const;

    // Command records (records that belong to a command, such as points and texts, are
    // not counted).
    int64_t CommandCount() const { return static_cast<int64_t>(commands_.size()); }
    const std::deque<IndexedCommand>& Commands() const { return commands_; }
    // Bytes the index holds, for the memory figures.
    size_t MemoryBytes() const { return commands_.size() * sizeof(IndexedCommand); }

  private:
    // Grows in blocks: no copy of the whole index while it is built, so opening a log never
    // holds it twice.
    std::deque<IndexedCommand> commands_;
};

}  // namespace cindral
