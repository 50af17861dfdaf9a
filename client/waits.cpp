#include "client/waits.h"

#include <cstdint>

namespace pelloram {

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
