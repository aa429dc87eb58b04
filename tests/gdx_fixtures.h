#pragma once
// Header and record fixtures shared by the tests that build compiled logs by hand.

#include <cstdint>
#include <vector>

#include "core/format/byte_codec.h"
#include "core/format/gdx_header.h"

namespace cindral::testing {

// A letter-size page, 100 x-units and 20 depth units to the inch, over top..bottom.
inline GdxHeader LetterPageHeader(double top, double bottom) {
    GdxHeader h;
    h.PageHeight = 11;
    h.PageWidth = 8.5;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 20;
    h.TopDepth = top;
    h.BottomDepth = bottom;
    return h;
}

// The first bytes of a file: a record code and length followed by `present` zero bytes,
// which may be fewer than the length claims.
inline std::vector<uint8_t> RawRecordStart(int16_t code, uint16_t length, size_t present) {
    ByteWriter out;
    out.I16(code);
    out.U16(length);
    out.Zeros(present);
    return out.Take();
}

}  // namespace cindral::testing
