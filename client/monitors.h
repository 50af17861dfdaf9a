// Where the screens are and how each is scaled: what of a rectangle can be seen, whether a
// point can be, and the pixel density a window is drawn at.
#pragma once

#include <vector>

#include "services/scale.h"
#include "services/types.h"

namespace pelloram {

struct Monitor {
  Rect area;           // virtual-screen coordinates, physical pixels
  int dpi = kBaseDpi;  // its scale: 96 is 100 %
};

// The part of `area` that lies on the monitors: the smallest rectangle around its overlap
// with each. Empty when none of it shows. With no monitors known, the area as it is.
Rect OnScreenPart(const std::vector<Monitor>& monitors, const Rect& area);
// Whether the point lies on a monitor; true when no monitors are known.
bool OnAnyMonitor(const std::vector<Monitor>& monitors, Point point);
// The scale of the monitor a window with this rectangle is drawn for, as the system picks
// it: the one holding the largest part of it, else the nearest. 96 with no monitors known.
int DpiOf(const std::vector<Monitor>& monitors, const Rect& area);
// The scale at a point of the screen: its monitor's, else the nearest one's.
int DpiAt(const std::vector<Monitor>& monitors, Point point);

}  // namespace pelloram
