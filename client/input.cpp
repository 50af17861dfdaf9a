#include "client/input.h"

#include <cstdint>

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

void PumpMessages(Desktop& desktop) {
  int exitCode = 0;
  for (;;) {
    const PendingMessage taken = desktop.RemoveAndDispatch(exitCode);
    if (taken == PendingMessage::None) return;
    if (taken == PendingMessage::Quit) {
      // The main loop must still see the quit request, or the tool could never close.
      desktop.PostQuit(exitCode);
      return;
    }
  }
}

void ProcessPendingEvents(Desktop& desktop) {
  while (desktop.PeekPending() == PendingMessage::Other) desktop.DispatchNext();
}

namespace {

// True once `now` lies past `deadline` on the wrapping 32-bit tick counter.
bool PastDeadline(std::uint32_t now, std::uint32_t deadline) {
  return static_cast<std::int32_t>(now - deadline) > 0;
}

}  // namespace

void ResponsiveDelay(Desktop& desktop, int milliseconds, const std::function<bool()>& stopEarly) {
  if (milliseconds <= 0) return;
  const std::uint32_t deadline = desktop.TickCount() + static_cast<std::uint32_t>(milliseconds);
  for (;;) {
    ProcessPendingEvents(desktop);
    if (desktop.PeekPending() == PendingMessage::Quit) return;
    if (stopEarly && stopEarly()) return;
    const std::uint32_t now = desktop.TickCount();
    if (PastDeadline(now, deadline)) return;
    // Block until a message arrives or just past the deadline, instead of spinning.
    desktop.WaitForMessage(static_cast<int>(deadline - now) + 1);
  }
}

}  // namespace pelloram
