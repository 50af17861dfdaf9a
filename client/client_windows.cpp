#include "client/client_windows.h"

#include <algorithm>

namespace pelloram {
namespace {

// A window that has just been closed can still be found for a moment while it is torn
// down, and a Qt program keeps hidden windows of its main class: only a shown one counts.
WindowHandle FindShownWindow(Desktop& desktop, std::string_view className, std::string_view title,
                             std::uint32_t process = 0) {
  for (const WindowHandle found : desktop.FindTopLevelWindows(className, title)) {
    if (!desktop.IsWindowShown(found)) continue;
    if (process == 0 || desktop.ProcessOf(found) == process) return found;
  }
  return 0;
}

bool IsStickerPanel(Desktop& desktop, WindowHandle window) {
  for (const WindowHandle panel : desktop.FindTopLevelWindows(chat::kStickerPanelClass, "")) {
    if (panel == window) return true;
  }
  return false;
}

}  // namespace

std::uint32_t ShownClientProcess(Desktop& desktop, WindowHandle client) {
  return client != 0 && desktop.IsWindowShown(client) ? desktop.ProcessOf(client) : 0;
}

ChatClient FindChatClient(Desktop& desktop) {
  for (const chat::MainWindowKind& kind : chat::kMainWindows) {
    if (const WindowHandle found = FindShownWindow(desktop, kind.className, kind.title)) {
      return {found, desktop.ProcessOf(found), kind.generation};
    }
  }
  return {};
}

WindowHandle FindOpenDialog(Desktop& desktop) {
  return FindShownWindow(desktop, chat::kOpenDialogClass, chat::kOpenDialogTitle);
}

WindowHandle FindForwardWindow(Desktop& desktop, WindowHandle client) {
  const std::uint32_t process = desktop.ProcessOf(client);
  if (process == 0) return 0;
  for (const std::string_view title : chat::kForwardTitles) {
    if (const WindowHandle found = FindShownWindow(desktop, "", title, process)) return found;
  }
  return 0;
}

ClientWindowAt ClientWindowUnder(Desktop& desktop, Point at) {
  const ChatClient client = FindChatClient(desktop);
  const WindowHandle window = desktop.TopLevelWindowAt(at);
  if (client.window == 0 || window == 0 || desktop.ProcessOf(window) != client.process) return {};
  return {client, window};
}

bool IsClientMenu(Desktop& desktop, const ClientWindowAt& under) {
  return under.window != 0 && under.window != under.client.window &&
         under.window != FindOpenDialog(desktop) &&
         under.window != FindForwardWindow(desktop, under.client.window) &&
         !IsStickerPanel(desktop, under.window);
}

std::vector<WindowHandle> ClientWindows(Desktop& desktop, WindowHandle client) {
  const std::uint32_t process = ShownClientProcess(desktop, client);
  return process == 0 ? std::vector<WindowHandle>{} : desktop.ShownWindowsOf(process);
}

WindowHandle NewWindowAt(Desktop& desktop, const std::vector<WindowHandle>& before,
                         const std::vector<WindowHandle>& after, Point clicked) {
  // A menu opens with a corner at the pointer, moved a little when it would leave the screen
  // (a little at the scale of the monitor it opens on).
  const int kNear = Scaled(24, DpiAt(desktop.Monitors(), clicked));
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

std::optional<Point> TopLeftOf(Desktop& desktop, WindowHandle window) {
  Rect rect;
  if (!desktop.ReadWindowRect(window, rect)) return std::nullopt;
  return Point{rect.left, rect.top};
}

int DpiOfWindow(Desktop& desktop, WindowHandle window) {
  Rect rect;
  if (window == 0 || !desktop.ReadWindowRect(window, rect)) return kBaseDpi;
  return DpiOf(desktop.Monitors(), rect);
}

}  // namespace pelloram
