#include "client/monitors.h"

#include <algorithm>

namespace pelloram {

Rect OnScreenPart(const std::vector<Rect>& monitors, const Rect& area) {
  if (monitors.empty()) return area;
  Rect shown;
  for (const Rect& monitor : monitors) shown = Union(shown, Intersect(area, monitor));
  return IsEmpty(shown) ? Rect{} : shown;
}

bool OnAnyMonitor(const std::vector<Rect>& monitors, Point point) {
  return monitors.empty() || std::any_of(monitors.begin(), monitors.end(),
                                         [&](const Rect& m) { return Contains(m, point); });
}

}  // namespace pelloram
