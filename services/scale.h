// Display scaling: lengths measured at one pixel density drawn at another. Windows gives
// each monitor a density in dots per inch; 96 is 100 %, 120 is 125 %, 144 is 150 %.
#pragma once

#include "services/types.h"

namespace pelloram {

inline constexpr int kBaseDpi = 96;

// `length` measured at `from` dpi as it is drawn at `to` dpi, to the nearest pixel (halves
// away from zero, so that a length and its negative scale alike).
constexpr int Scaled(int length, int to, int from = kBaseDpi) {
  if (to == from || from <= 0) return length;
  const long long twice = 2LL * length * to;
  const long long rounded =
      twice >= 0 ? (twice + from) / (2LL * from) : (twice - from) / (2LL * from);
  return static_cast<int>(rounded);
}

constexpr Point Scaled(Point p, int to, int from = kBaseDpi) {
  return Point{Scaled(p.x, to, from), Scaled(p.y, to, from)};
}

// Each edge scaled on its own, not the size: rectangles that touched still touch, and one
// that lay inside another still does.
constexpr Rect ScaledEdges(const Rect& r, int to, int from = kBaseDpi) {
  return Rect{Scaled(r.left, to, from), Scaled(r.top, to, from), Scaled(r.right, to, from),
              Scaled(r.bottom, to, from)};
}

}  // namespace pelloram
