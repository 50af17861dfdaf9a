#include "client/input.h"

#include <cstdint>

#include "client/window_binding.h"

namespace pelloram {

void ClickAt(Desktop& desktop, WindowHandle window, int x, int y, MouseButton kind) {
  const Point saved = ReadCursorPoint(desktop);
  PointCursorAt(desktop, window, x, y);
  desktop.ClickButton(kind);
  PointCursorAt(desktop, 0, saved.x, saved.y);
}

void PressKeyChord(Desktop& desktop, int key, int modifier1, int modifier2, int modifier3) {
  if (modifier3 != 0) desktop.SendKey(modifier3, false);
  if (modifier2 != 0) desktop.SendKey(modifier2, false);
  desktop.SendKey(modifier1, false);
  desktop.SendKey(key, false);
  if (modifier3 != 0) desktop.SendKey(modifier3, true);
  if (modifier2 != 0) desktop.SendKey(modifier2, true);
  desktop.SendKey(modifier1, true);
  desktop.SendKey(key, true);
}

void PressKey(Desktop& desktop, int key, KeyAction action) {
  switch (action) {
    case KeyAction::Down:
      desktop.SendKey(key, false);
      return;
    case KeyAction::Up:
      desktop.SendKey(key, true);
      return;
    case KeyAction::Tap:
      desktop.SendKey(key, false);
      ProcessPendingEvents(desktop);
      desktop.SendKey(key, true);
      return;
  }
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
