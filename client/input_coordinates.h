// Where a synthesised pointer move lands. With MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK
// SendInput takes coordinates from 0 to 65535 across the whole virtual screen (the rectangle
// around every monitor), whatever its size; the press must land on the pixel that was
// checked, not one beside it. Portable, so the arithmetic is tested on the host for monitor
// layouts no test machine has.
#pragma once

#include <cstdint>
#include <optional>

#include "services/types.h"

namespace pelloram {

// The steps of the absolute coordinates along each side of the virtual screen.
inline constexpr std::int64_t kAbsoluteSteps = 65536;

struct AbsolutePoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const AbsolutePoint&, const AbsolutePoint&) = default;
};

// The absolute coordinates the system maps onto `pixel` itself. Nothing for a pixel outside
// the virtual screen, or one the steps cannot reach exactly (a side over 65536 pixels).
std::optional<AbsolutePoint> ToAbsolute(const Rect& virtualScreen, Point pixel);

// The pixel the system puts the pointer on for absolute coordinates: on each axis the
// virtual screen's origin plus n * size / 65536, rounded down.
Point FromAbsolute(const Rect& virtualScreen, AbsolutePoint absolute);

}  // namespace pelloram
