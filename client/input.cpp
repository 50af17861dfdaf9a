#include "client/input.h"

#include <cstdint>

#include "client/waits.h"

namespace pelloram {

Point ScreenPointOf(Desktop& desktop, WindowHandle window, int x, int y) {
  Point origin;
  if (window != 0 && !desktop.ClientOriginToScreen(window, origin)) origin = Point{};
  const auto clamp = [](long long v) {
    return static_cast<std::int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  };
  return Point{clamp(static_cast<long long>(origin.x) + x),
               clamp(static_cast<long long>(origin.y) + y)};
}

Point ReadCursorPoint(Desktop& desktop) {
  Point at;
  if (!desktop.ReadCursor(at)) return Point{};
  return at;
}

bool PressKeyChord(Desktop& desktop, int key, int modifier) {
  // Every event is sent even after a refusal, so no modifier is left held down.
  bool taken = desktop.SendKey(modifier, false);
  taken = desktop.SendKey(key, false) && taken;
  taken = desktop.SendKey(modifier, true) && taken;
  return desktop.SendKey(key, true) && taken;
}

bool PressKey(Desktop& desktop, int key) {
  const bool down = desktop.SendKey(key, false);
  ProcessPendingEvents(desktop);
  return desktop.SendKey(key, true) && down;
}

}  // namespace pelloram
