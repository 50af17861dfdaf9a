// Where the screens are: what of a rectangle can be seen, and whether a point can be.
#pragma once

#include <vector>

#include "services/types.h"

namespace pelloram {

// The part of `area` that lies on the monitors: the smallest rectangle around its overlap
// with each. Empty when none of it shows. With no monitors known, the area as it is.
Rect OnScreenPart(const std::vector<Rect>& monitors, const Rect& area);
// Whether the point lies on a monitor; true when no monitors are known.
bool OnAnyMonitor(const std::vector<Rect>& monitors, Point point);

}  // namespace pelloram
