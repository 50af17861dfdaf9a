// The one owner of mode two's points: their fields, what F10 taught of each, and who wrote
// them. The tool shows what it found or was taught without an edit event, so its own
// writes never come back to it; the window reports every other change of a point field
// (the user's typing, a page or mode change emptying it) as one call, which forgets the
// point's look. Points that follow another on every edit follow it either way.
#pragma once

#include <cstdint>

#include "workflows/tool.h"

namespace pelloram {

// The tool shows a point it found or was taught: its look is kept.
void ShowPoint(Tool& tool, const JobPoint& point, std::int64_t x, std::int64_t y);
// How far a derived point lies from its source at a screen point: the client's menu offset
// is measured at 100 %, and the client draws its menus at the scale of their monitor.
Point MenuOffsetAt(Desktop& desktop, const DerivedPoint& derived, Point at);
// A point field changed other than by ShowPoint: the point is the user's own now, a bare
// screen point, and forgets its look.
void PointFieldEdited(Tool& tool, Control field);

}  // namespace pelloram
