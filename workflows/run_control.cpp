#include "workflows/run_control.h"

#include <array>

#include "client/input.h"
#include "services/convert.h"
#include "workflows/delete_run.h"
#include "workflows/point_capture.h"
#include "workflows/run_steps.h"

namespace pelloram {
namespace {

constexpr std::array<RequiredField, 6> kDeleteModeTwoFields{{
    {Control::编辑框1, "表情坐标X都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
    {Control::编辑框2, "表情坐标Y都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
    {Control::编辑框3, "收藏坐标X都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
    {Control::编辑框4, "收藏坐标Y都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
    {Control::编辑框5, "首个表情坐标X都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
    {Control::编辑框6, "首个表情坐标Y都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
}};

void Pause(Tool& tool) {
  tool.state.running = 0;
  tool.ui.WriteControlText(Control::按钮1, kStartCaption);
}

void ReadDeleteDelay(Tool& tool) {
  tool.state.deleteDelayMs = FieldValue(tool.ui.ReadControlText(Control::编辑框18));
}

void StartDeleteModeOne(Tool& tool) {
  ActiveRun active(tool.state);
  tool.ui.WriteControlText(Control::按钮1, kPauseCaption);
  tool.state.running = 1;
  ReadDeleteDelay(tool);
  RunDeleteModeOne(tool);
}

void StartDeleteModeTwo(Tool& tool) {
  if (!CheckRequiredFields(tool, kDeleteModeTwoFields)) return;
  ActiveRun active(tool.state);
  tool.ui.WriteControlText(Control::按钮1, kPauseCaption);
  tool.state.running = 1;
  if (tool.ui.ReadControlText(Control::编辑框7).empty()) {
    tool.ui.WriteControlText(Control::编辑框7, "1");
  }
  if (!WaitStep(tool, 500)) return;
  ReadDeleteDelay(tool);
  RunDeleteModeTwo(tool);
}

}  // namespace

void DispatchHotkey(Tool& tool, std::int64_t hotkeyId) {
  if (hotkeyId == 0) return;  // a failed registration's 0 never stands for a key
  if (hotkeyId == tool.state.f10HotkeyId) {
    CapturePoint(tool);
  } else if (hotkeyId == tool.state.f11HotkeyId) {
    const int page = tool.ui.ReadControlProperty(Control::高级选择夹1, Property::CurrentPage);
    if (page == 0) DeleteStartPause(tool);
    if (page == 1) tool.ui.RaiseEvent(Control::按钮2, Event::Clicked);
  }
}

void DeleteStartPause(Tool& tool) {
  if (tool.state.closing) return;
  const bool modeOne = IsChecked(tool, Control::单选框1);
  if (!modeOne && !IsChecked(tool, Control::单选框2)) return;
  if (tool.state.running == 1) {
    Pause(tool);
  } else if (!StartRefused(tool)) {
    modeOne ? StartDeleteModeOne(tool) : StartDeleteModeTwo(tool);
  }
}

}  // namespace pelloram
