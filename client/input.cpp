#include "client/input.h"

#include <cstdint>

#include "client/window_binding.h"

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

bool ClickAtScreen(Desktop& desktop, Point screen, MouseButton kind) {
  const Point saved = ReadCursorPoint(desktop);
  desktop.MoveCursor(screen);
  const bool taken = desktop.ClickButton(kind);
  desktop.MoveCursor(saved);
  return taken;
}

bool ClickAt(Desktop& desktop, WindowHandle window, int x, int y, MouseButton kind) {
  return ClickAtScreen(desktop, ScreenPointOf(desktop, window, x, y), kind);
}

bool PressKeyChord(Desktop& desktop, int key, int modifier1, int modifier2, int modifier3) {
  // Every event is sent even after a refusal, so no modifier is left held down.
  bool taken = true;
  const auto send = [&](int k, bool up) { taken = desktop.SendKey(k, up) && taken; };
  if (modifier3 != 0) send(modifier3, false);
  if (modifier2 != 0) send(modifier2, false);
  send(modifier1, false);
  send(key, false);
  if (modifier3 != 0) send(modifier3, true);
  if (modifier2 != 0) send(modifier2, true);
  send(modifier1, true);
  send(key, true);
  return taken;
}

bool PressKey(Desktop& desktop, int key, KeyAction action) {
  switch (action) {
    case KeyAction::Down:
      return desktop.SendKey(key, false);
    case KeyAction::Up:
      return desktop.SendKey(key, true);
    case KeyAction::Tap: {
      const bool down = desktop.SendKey(key, false);
      ProcessPendingEvents(desktop);
      return desktop.SendKey(key, true) && down;
    }
  }
  return false;
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

void ResponsiveDelay(Desktop& desktop, int milliseconds) {
  if (milliseconds <= 0) return;
  const std::uint32_t deadline = desktop.TickCount() + static_cast<std::uint32_t>(milliseconds);
  for (;;) {
    ProcessPendingEvents(desktop);
    if (desktop.PeekPending() == PendingMessage::Quit) return;
    const std::uint32_t now = desktop.TickCount();
    if (PastDeadline(now, deadline)) return;
    // Block until a message arrives or just past the deadline, instead of spinning.
    desktop.WaitForMessage(static_cast<int>(deadline - now) + 1);
  }
}

void BlockingDelay(Desktop& desktop, int milliseconds) {
  desktop.Sleep(milliseconds < 0 ? 0 : milliseconds);
}

}  // namespace pelloram
