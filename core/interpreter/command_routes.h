#pragma once
// The one table of command codes: for every command the format knows, how the interpreter
// plays it on a target and how far the page index lets it reach. A command added to the
// format gets one row in command_routes.cpp, and both follow it.

#include <cstdint>
#include <vector>

#include "core/format/gdx_reader.h"
#include "core/interpreter/page_index.h"

namespace cindral {

class gd_object;
struct ReachContext;

// How the page index bounds a command.
enum class ReachRule : uint8_t {
    EveryPage,  // drawn on every page; nothing later depends on it
    State,      // every page, and it sets what later extents depend on (width, font, size)
    Band,       // placed by its region byte in a page band
    TwoDepths,  // its y1 and y2 and nothing else
    Extent,     // a rule of its own: anchors and room for what it draws
};

struct CommandRoute {
    int16_t code = 0;
    ReachRule reach = ReachRule::EveryPage;
    // The reach is read from the record's bytes without decoding it (EveryPage and TwoDepths
    // records that nothing follows).
    bool in_place = false;
    uint16_t y1_at = 0;  // TwoDepths: payload offsets of y1 and y2
    uint16_t y2_at = 0;
    // Calls the command's primitive (or figure routine) on `target`.
    void (*play)(gd_object& target, const GdxCommand& command) = nullptr;
    // The command's reach, and what it changes in `context` for the commands after it.
    IndexedCommand (*reach_of)(const GdxCommand& command, ReachContext& context) = nullptr;
};

// Every row, in ascending code order.
const std::vector<CommandRoute>& CommandRoutes();
// The row of `code`; nullptr for a code outside the command table (skipped; every page).
const CommandRoute* RouteOf(int16_t code);

}  // namespace cindral
