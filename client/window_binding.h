// Finding, placing and addressing other programs' windows.
#pragma once

#include <optional>
#include <string_view>

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
// The screen position of a window's top-left corner; nothing when the window is gone.
std::optional<Point> TopLeftOf(Desktop& desktop, WindowHandle window);

}  // namespace pelloram
