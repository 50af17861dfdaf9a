#include "client/monitors.h"

#include <algorithm>

namespace pelloram {

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Contains(const Rect& r, Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

Rect Union(const Rect& a, const Rect& b) {
  if (IsEmpty(a)) return b;
  if (IsEmpty(b)) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

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
