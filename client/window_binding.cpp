#include "client/window_binding.h"

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

}  // namespace

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

std::optional<Point> TopLeftOf(Desktop& desktop, WindowHandle window) {
  Rect rect;
  if (!desktop.ReadWindowRect(window, rect)) return std::nullopt;
  return Point{rect.left, rect.top};
}

}  // namespace pelloram
