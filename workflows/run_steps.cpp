#include "workflows/run_steps.h"

#include "client/input.h"
#include "client/window_binding.h"
#include "services/convert.h"

namespace pelloram {
namespace {

Point WhereToClick(Tool& tool, const JobPoint& point, Mode mode) {
  if (mode == Mode::One) {
    return ScreenPointOf(tool.desktop, tool.state.chatClient, point.builtIn.x, point.builtIn.y);
  }
  // Captured points are screen points: clicked exactly where they were captured, on every
  // monitor layout.
  return Point{FieldValue(tool.ui.ReadControlText(point.xField)),
               FieldValue(tool.ui.ReadControlText(point.yField))};
}

}  // namespace

bool WaitStep(Tool& tool, int milliseconds) {
  if (tool.state.closing) return false;
  ResponsiveDelay(tool.desktop, milliseconds);
  return !tool.state.closing;
}

bool BlockStep(Tool& tool, int milliseconds) {
  if (tool.state.closing) return false;
  BlockingDelay(tool.desktop, milliseconds);
  return !tool.state.closing;
}

bool FindClientForRun(Tool& tool) {
  const ChatClient client = FindChatClient(tool.desktop);
  tool.state.chatClient = client.window;
  tool.state.clientGeneration = client.generation;
  if (client.window != 0) return true;
  tool.ui.ShowMessage(kClientMissingAtStart, kDefaultMessageCaption);
  return false;
}

bool ModeOneFitsClient(Tool& tool, Control modeOneRadio) {
  if (tool.state.clientGeneration == chat::Generation::Classic) return true;
  tool.ui.ShowBalloonTip(Control::WarningTip, tool.ui.ControlCentre(modeOneRadio),
                         kModeOneNeedsClassic, false);
  return false;
}

WindowHandle RunClient(Tool& tool, Mode mode) {
  return mode == Mode::One ? tool.state.chatClient : FindChatClient(tool.desktop).window;
}

bool Stop(Tool& tool, TargetFault fault) {
  if (tool.state.stopFault == TargetFault::None) tool.state.stopFault = fault;
  return false;
}

std::string_view StopMessage(TargetFault fault) {
  switch (fault) {
    case TargetFault::None:
      return {};
    case TargetFault::ClientGone:
      return "微信窗口不见了，已停止。请打开微信后重新开始。";
    case TargetFault::PointOffClient:
      return "要点击的位置不在微信窗口上，已停止。请确认微信在前台且没有被遮挡。";
    case TargetFault::ClientNotInFront:
      return "微信不在前台，按键会落到别的程序里，已停止。请确认微信在前台且没有被遮挡。";
    case TargetFault::InputRefused:
      return "微信以管理员身份运行，本工具无法操作它。请以相同身份运行本工具。";
    case TargetFault::NoMenu:
      return "右键点击后没有出现菜单，已停止。请确认微信的表情面板开着、收藏里还有表情，"
             "再重新开始。";
  }
  return {};
}

bool ClickStep(Tool& tool, JobPointId id, Mode mode, int milliseconds) {
  const JobPoint& point = PointOf(id);
  const Point screen = WhereToClick(tool, point, mode);
  const TargetFault fault = CheckClickTarget(tool.desktop, RunClient(tool, mode), screen);
  if (fault != TargetFault::None) return Stop(tool, fault);
  if (!ClickAtScreen(tool.desktop, screen, point.button)) {
    return Stop(tool, TargetFault::InputRefused);
  }
  return WaitStep(tool, milliseconds);
}

bool MenuStep(Tool& tool, JobPointId point, Mode mode, int milliseconds) {
  const std::vector<WindowHandle> before = ClientWindows(tool.desktop, RunClient(tool, mode));
  if (!ClickStep(tool, point, mode, milliseconds)) return false;
  if (NewWindowAmong(before, ClientWindows(tool.desktop, RunClient(tool, mode)))) return true;
  return Stop(tool, TargetFault::NoMenu);
}

bool KeyStep(Tool& tool, Mode mode, int key, int modifier, int milliseconds) {
  const TargetFault fault = CheckKeyTarget(tool.desktop, RunClient(tool, mode));
  if (fault != TargetFault::None) return Stop(tool, fault);
  const bool taken =
      modifier != 0 ? PressKeyChord(tool.desktop, key, modifier) : PressKey(tool.desktop, key);
  if (!taken) return Stop(tool, TargetFault::InputRefused);
  return WaitStep(tool, milliseconds);
}

bool StartRefused(const Tool& tool) { return tool.state.closing || tool.state.runActive; }

bool IsChecked(Tool& tool, Control radio) {
  return tool.ui.ReadControlProperty(radio, Property::Checked) != 0;
}

bool CheckModeTwoFields(Tool& tool, Job job) {
  for (const JobPoint& point : PointsOf(job)) {
    if (point.warningName.empty()) continue;
    for (const bool isX : {true, false}) {
      const Control field = isX ? point.xField : point.yField;
      if (!tool.ui.ReadControlText(field).empty()) continue;
      tool.ui.ShowBalloonTip(Control::WarningTip, tool.ui.CursorPosition(),
                             EmptyFieldWarning(point, isX), false);
      tool.ui.SetControlFocus(field);
      return false;
    }
  }
  return true;
}

}  // namespace pelloram
