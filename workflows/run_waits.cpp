// The run's waits: each handles the tool's messages, so F11, the buttons and closing are
// taken the moment they come, and a pause or a close ends the wait at once.
#include <algorithm>

#include "client/input.h"
#include "client/waits.h"
#include "workflows/run.h"

namespace pelloram {
namespace {

constexpr int kObservedLimitMs = 5000;
constexpr int kSettleMs = 50;  // the client finishes drawing what it has just shown
constexpr int kPollMs = 20;

}  // namespace

int Run::ObservedLimit() const { return std::max(delay_, kObservedLimitMs); }

bool Run::Wait(int milliseconds) {
  if (StopAsked()) return false;
  ResponsiveDelay(tool_.desktop, milliseconds, [this] { return StopAsked(); });
  return !StopAsked();
}

Awaited Run::AwaitUntil(const std::function<bool()>& ready, bool pauseEnds) {
  const std::uint32_t start = tool_.desktop.TickCount();
  const auto limit = static_cast<std::uint32_t>(ObservedLimit());
  const auto stopped = [&] { return tool_.state.closing || (pauseEnds && StopAsked()); };
  for (;;) {
    // What has come is taken even when a pause came with it: a menu up gets its item.
    if (ready()) {
      ResponsiveDelay(tool_.desktop, kSettleMs, stopped);
      return tool_.state.closing ? Awaited::Stopped : Awaited::Ready;
    }
    if (stopped()) return Awaited::Stopped;
    if (tool_.desktop.TickCount() - start >= limit) return Awaited::TimedOut;
    ResponsiveDelay(tool_.desktop, kPollMs, stopped);
  }
}

Awaited Run::Await(const std::function<bool()>& ready) { return AwaitUntil(ready, true); }

bool Run::AwaitAtMost(int limitMs, const std::function<bool()>& ready) {
  const std::uint32_t start = tool_.desktop.TickCount();
  while (!ready() && static_cast<std::int64_t>(tool_.desktop.TickCount() - start) < limitMs) {
    if (!Wait(kPollMs)) return ready();
  }
  if (!ready()) return false;
  Wait(kSettleMs);
  return true;
}

bool Run::AwaitMenuGone(WindowHandle menu) {
  // Not ended by a pause: the item of a menu already open finishes its step.
  const Awaited closed = AwaitUntil([&] { return !tool_.desktop.IsWindowShown(menu); }, false);
  if (closed == Awaited::TimedOut) Stop(StopReason::NoReaction);
  return closed == Awaited::Ready;
}

bool Run::AwaitMenuAfterStop(const std::vector<WindowHandle>& before, Point clicked,
                             WindowHandle& menu) {
  // The right click went out: its menu may still come. It is waited for (a pause does not
  // end this wait, closing does), so the run closes it on its way out and no later run takes
  // it for its own.
  const Awaited late = AwaitUntil(
      [&] {
        menu = NewWindowAt(tool_.desktop, before, ClientWindows(tool_.desktop, Client()), clicked);
        return menu != 0;
      },
      false);
  if (late == Awaited::Ready) {
    tool_.state.lastMenu = menu;
    Opened(menu);
  }
  return false;
}

}  // namespace pelloram
