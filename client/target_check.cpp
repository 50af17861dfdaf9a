#include "client/target_check.h"

#include <algorithm>

namespace pelloram {
namespace {

// 0 when the client's main window is gone, or hidden (closed to the tray, or on its way out).
std::uint32_t ClientProcess(Desktop& desktop, WindowHandle client) {
  return client != 0 && desktop.IsWindowShown(client) ? desktop.ProcessOf(client) : 0;
}

Target OwnedBy(Desktop& desktop, std::uint32_t process, WindowHandle window) {
  if (process == 0) return Target::Gone;
  return window != 0 && desktop.ProcessOf(window) == process ? Target::Client : Target::Elsewhere;
}

}  // namespace

Target CheckClickTarget(Desktop& desktop, WindowHandle client, Point screen) {
  return OwnedBy(desktop, ClientProcess(desktop, client), desktop.TopLevelWindowAt(screen));
}

std::vector<WindowHandle> ClientWindows(Desktop& desktop, WindowHandle client) {
  const std::uint32_t process = ClientProcess(desktop, client);
  return process == 0 ? std::vector<WindowHandle>{} : desktop.ShownWindowsOf(process);
}

WindowHandle NewWindowAt(Desktop& desktop, const std::vector<WindowHandle>& before,
                         const std::vector<WindowHandle>& after, Point clicked) {
  // A menu opens with a corner at the pointer, moved a little when it would leave the screen.
  constexpr int kNear = 24;
  for (const WindowHandle w : after) {
    Rect r;
    if (std::find(before.begin(), before.end(), w) != before.end()) continue;
    if (!desktop.ReadWindowRect(w, r)) continue;
    if (clicked.x >= r.left - kNear && clicked.x <= r.right + kNear && clicked.y >= r.top - kNear &&
        clicked.y <= r.bottom + kNear) {
      return w;
    }
  }
  return 0;
}

Target CheckKeyTarget(Desktop& desktop, WindowHandle client) {
  return OwnedBy(desktop, ClientProcess(desktop, client), desktop.ForegroundWindow());
}

}  // namespace pelloram
