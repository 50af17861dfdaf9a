#include "client/monitors.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace pelloram {
namespace {

std::int64_t AreaOf(const Rect& r) {
  return IsEmpty(r) ? 0 : std::int64_t{r.right - r.left} * (r.bottom - r.top);
}

// How far apart two rectangles lie: 0 when they touch or overlap.
std::int64_t GapBetween(const Rect& a, const Rect& b) {
  const std::int64_t dx = std::max({0, b.left - a.right, a.left - b.right});
  const std::int64_t dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
  return dx * dx + dy * dy;
}

}  // namespace

Rect OnScreenPart(const std::vector<Monitor>& monitors, const Rect& area) {
  if (monitors.empty()) return area;
  Rect shown;
  for (const Monitor& monitor : monitors) shown = Union(shown, Intersect(area, monitor.area));
  return IsEmpty(shown) ? Rect{} : shown;
}

bool OnAnyMonitor(const std::vector<Monitor>& monitors, Point point) {
  return monitors.empty() || std::any_of(monitors.begin(), monitors.end(),
                                         [&](const Monitor& m) { return Contains(m.area, point); });
}

int DpiOf(const std::vector<Monitor>& monitors, const Rect& area) {
  const Monitor* best = nullptr;
  std::int64_t bestShare = 0;
  std::int64_t nearest = std::numeric_limits<std::int64_t>::max();
  for (const Monitor& monitor : monitors) {
    const std::int64_t share = AreaOf(Intersect(area, monitor.area));
    const std::int64_t gap = GapBetween(area, monitor.area);
    if (share > bestShare || (bestShare == 0 && share == 0 && gap < nearest)) {
      best = &monitor;
      bestShare = share;
      nearest = gap;
    }
  }
  return best != nullptr && best->dpi > 0 ? best->dpi : kBaseDpi;
}

int DpiAt(const std::vector<Monitor>& monitors, Point point) {
  return DpiOf(monitors, Rect{point.x, point.y, point.x + 1, point.y + 1});
}

}  // namespace pelloram
