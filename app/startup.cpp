#include "app/startup.h"

#include "app/mode_switching.h"
#include "client/client_windows.h"

namespace pelloram {
namespace {

// A key another program holds is said once, on the window, so the user knows why it does
// nothing and that the buttons still work.
void TellOfHeldHotkeys(Tool& tool) {
  const bool f10 = tool.state.f10HotkeyId == 0;
  const bool f11 = tool.state.f11HotkeyId == 0;
  if (!f10 && !f11) return;
  const std::string keys = f10 && f11 ? "F10 和 F11" : f10 ? "F10" : "F11";
  const std::string text = keys + " 已被其他程序占用，按了不起作用。开始和暂停请点窗口上的按钮" +
                           (f10 ? "，模式二的坐标请手动填写。" : "。");
  tool.ui.ShowBalloonTip(Control::WarningTip, tool.ui.ControlCentre(Control::MainWindow), text,
                         false);
}

}  // namespace

void InitMainWindow(Tool& tool) {
  RunState& state = tool.state;
  const ChatClient client = FindChatClient(tool.desktop);
  state.deleteButton = DeleteButton::Start;
  state.deleteCaptureStep = 1;
  state.addCaptureStep = 1;
  SelectDeleteModeOne(tool);
  if (client.window == 0) {
    tool.ui.ShowMessage(kClientMissingMessage, kDefaultMessageCaption);
    return;
  }
  const WindowHandle window = tool.ui.GetControlHandle(Control::MainWindow);
  state.f10HotkeyId = BindHotkey(tool.ui, tool.hotkeys, window, vk::kF10);
  state.f11HotkeyId = BindHotkey(tool.ui, tool.hotkeys, window, vk::kF11);
  TellOfHeldHotkeys(tool);
}

void ReleaseHotkeys(Tool& tool) {
  // From here on no run may click or type again: the window it reports to is going away.
  tool.state.closing = true;
  const WindowHandle window = tool.ui.GetControlHandle(Control::MainWindow);
  UnbindHotkey(tool.ui, tool.hotkeys, window, tool.state.f10HotkeyId);
  UnbindHotkey(tool.ui, tool.hotkeys, window, tool.state.f11HotkeyId);
}

}  // namespace pelloram
