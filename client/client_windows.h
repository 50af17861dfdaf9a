// The client's windows: finding them, and telling what each of them is.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "client/chat_client.h"
#include "client/desktop.h"

namespace pelloram {

struct ChatClient {
  WindowHandle window = 0;  // 0 when no client is running
  std::uint32_t process = 0;
  chat::Generation generation = chat::Generation::Classic;
};
// The first shown main window of the kinds the tool knows, the classic client first.
ChatClient FindChatClient(Desktop& desktop);
WindowHandle FindOpenDialog(Desktop& desktop);
// The forward window of the client whose main window is `client`: a shown window of its
// process titled "转发给" (or "微信发送给", the newer client's), whatever its class.
WindowHandle FindForwardWindow(Desktop& desktop, WindowHandle client);
// The client and its top-level window under a screen point; no client (window 0) when the
// point is on no window of the client's.
struct ClientWindowAt {
  ChatClient client;
  WindowHandle window = 0;
};
ClientWindowAt ClientWindowUnder(Desktop& desktop, Point at);
// The process of the client's main window while it shows; 0 when it is gone, or hidden
// (closed to the tray, or on its way out).
std::uint32_t ShownClientProcess(Desktop& desktop, WindowHandle client);
// One of the client's menus: any window of its besides its main window, its sticker panel,
// the open dialog and the forward window.
bool IsClientMenu(Desktop& desktop, const ClientWindowAt& under);

// The client's shown windows, to tell the menu that a right click brings up: a window of
// the client's process that was not there before, and that opened at the clicked point
// (not some other window of the client's that came up late meanwhile).
std::vector<WindowHandle> ClientWindows(Desktop& desktop, WindowHandle client);
WindowHandle NewWindowAt(Desktop& desktop, const std::vector<WindowHandle>& before,
                         const std::vector<WindowHandle>& after, Point clicked);

// The screen position of a window's top-left corner; nothing when the window is gone.
std::optional<Point> TopLeftOf(Desktop& desktop, WindowHandle window);
// The scale a window is drawn at: its monitor's (a per-monitor aware program, as the client
// is, lays each window out at the scale of the monitor holding most of it). 100 % when the
// window is gone.
int DpiOfWindow(Desktop& desktop, WindowHandle window);

}  // namespace pelloram
