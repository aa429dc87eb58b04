#pragma once
// The record types of an enhanced metafile (EMF), one table for the writer and the player.

#include <cstdint>

namespace cindral::emf {

enum : uint32_t {
    kHeader = 1,
    kPolygon = 3,
    kPolyline = 4,
    kEof = 14,
    kSetPixelV = 15,
    kSetMapMode = 17,
    kSetBkMode = 18,
    kSetPolyFillMode = 19,
    kSetTextAlign = 22,
    kSetTextColor = 24,
    kSetBkColor = 25,
    kMoveToEx = 27,
    kIntersectClipRect = 30,
    kSaveDc = 33,
    kRestoreDc = 34,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrushIndirect = 39,
    kDeleteObject = 40,
    kEllipse = 42,
    kRectangle = 43,
    kArc = 45,
    kChord = 46,
    kPie = 47,
    kLineTo = 54,
    kStretchDibits = 81,
    kExtCreateFontIndirectW = 82,
    kExtTextOutW = 84,
    kPolygon16 = 86,
    kPolyline16 = 87,
};

}  // namespace cindral::emf
