#include "app/startup.h"

#include "app/mode_switching.h"
#include "client/window_binding.h"

namespace pelloram {

void InitMainWindow(Tool& tool) {
  RunState& state = tool.state;
  state.chatClient = FindChatClient(tool.desktop);
  state.running = 0;
  state.deleteCaptureStep = 1;
  state.addCaptureStep = 1;
  SelectDeleteModeOne(tool);
  if (state.chatClient == 0) {
    tool.ui.ShowMessage(kClientMissingMessage, kDefaultMessageCaption);
    return;
  }
  const WindowHandle window = tool.ui.GetControlHandle(Control::MainWindow);
  state.f10HotkeyId = BindHotkey(tool.ui, tool.hotkeys, window, 0, vk::kF10);
  state.f11HotkeyId = BindHotkey(tool.ui, tool.hotkeys, window, 0, vk::kF11);
}

void ReleaseHotkeys(Tool& tool) {
  // From here on no run may click or type again: the window it reports to is going away.
  tool.state.closing = true;
  tool.state.running = 0;
  const WindowHandle window = tool.ui.GetControlHandle(Control::MainWindow);
  UnbindHotkey(tool.ui, tool.hotkeys, window, tool.state.f10HotkeyId);
  UnbindHotkey(tool.ui, tool.hotkeys, window, tool.state.f11HotkeyId);
}

}  // namespace pelloram
