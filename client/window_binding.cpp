#include "client/window_binding.h"

#include "client/chat_client.h"

namespace pelloram {

WindowHandle FindChatClient(Desktop& desktop) {
  return desktop.FindTopLevelWindow(chat::kMainClass, chat::kMainTitle);
}

WindowHandle FindDesktopWindow(Desktop& desktop) {
  return desktop.FindTopLevelWindow(chat::kDesktopClass, chat::kDesktopTitle);
}

namespace {

// A dialog that has just been closed can still be found for a moment while it is torn
// down; only a window that is shown counts as having come up.
WindowHandle FindShownWindow(Desktop& desktop, std::string_view className, std::string_view title) {
  const WindowHandle found = desktop.FindTopLevelWindow(className, title);
  return found != 0 && desktop.IsWindowShown(found) ? found : 0;
}

}  // namespace

WindowHandle FindOpenDialog(Desktop& desktop) {
  return FindShownWindow(desktop, chat::kOpenDialogClass, chat::kOpenDialogTitle);
}

WindowHandle FindForwardWindow(Desktop& desktop) {
  return FindShownWindow(desktop, chat::kForwardClass, chat::kForwardTitle);
}

bool PlaceWindow(Desktop& desktop, WindowHandle window, int left, int top, int width, int height) {
  return desktop.MoveWindowTo(window, left, top, width, height);
}

Point ReadCursorPoint(Desktop& desktop) {
  Point at;
  if (!desktop.ReadCursor(at)) return Point{};
  return at;
}

void PointCursorAt(Desktop& desktop, WindowHandle window, int x, int y) {
  Point origin;
  if (window != 0 && !desktop.ClientOriginToScreen(window, origin)) origin = Point{};
  // Exact sums in 64 bits, then clamped: a pointer position never wraps around.
  const auto clamp = [](long long v) {
    return static_cast<std::int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  };
  desktop.MoveCursor(Point{clamp(static_cast<long long>(origin.x) + x),
                           clamp(static_cast<long long>(origin.y) + y)});
}

}  // namespace pelloram
