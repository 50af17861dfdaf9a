// Plain value types shared by every layer of the tool. None of them knows Win32.
#pragma once

#include <cstdint>

namespace pelloram {

// A window of the desktop (an HWND's value); 0 means "no window".
using WindowHandle = std::uintptr_t;

// A pixel position: screen coordinates or client coordinates of some window.
struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

inline constexpr Point operator+(Point a, Point b) { return Point{a.x + b.x, a.y + b.y}; }
inline constexpr Point operator-(Point a, Point b) { return Point{a.x - b.x, a.y - b.y}; }

// An outer window rectangle in screen coordinates.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The part two rectangles share; empty (right <= left or bottom <= top) when none.
inline Rect Intersect(const Rect& a, const Rect& b) {
  return Rect{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
              a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
}

inline constexpr bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
inline constexpr Point TopLeft(const Rect& r) { return Point{r.left, r.top}; }
inline constexpr Point BottomRight(const Rect& r) { return Point{r.right, r.bottom}; }
inline constexpr bool Contains(const Rect& r, Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
// The smallest rectangle around both; an empty one adds nothing.
inline constexpr Rect Union(const Rect& a, const Rect& b) {
  if (IsEmpty(a)) return b;
  if (IsEmpty(b)) return a;
  return Rect{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
              a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}
// The square of side 2 * half around the point.
inline constexpr Rect SquareAround(Point p, int half) {
  return Rect{p.x - half, p.y - half, p.x + half, p.y + half};
}

// RGB colour in COLORREF layout: red in the lowest byte, then green, then blue.
using Colour = std::uint32_t;

// Virtual-key codes the tool uses (same values as Win32's VK_*).
namespace vk {
inline constexpr int kReturn = 0x0D;
inline constexpr int kControl = 0x11;
inline constexpr int kEscape = 0x1B;
inline constexpr int kV = 0x56;
inline constexpr int kF10 = 0x79;
inline constexpr int kF11 = 0x7A;
}  // namespace vk

}  // namespace pelloram
