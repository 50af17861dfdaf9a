#include "workflows/run_control.h"

#include "services/convert.h"
#include "workflows/add_run.h"
#include "workflows/delete_run.h"
#include "workflows/point_capture.h"
#include "workflows/run_steps.h"

namespace pelloram {
namespace {

// A delay that is no whole number of milliseconds would run every step without a pause:
// refused like an empty point field, on the field itself.
bool DeleteDelayAccepted(Tool& tool) {
  const LeadingInteger delay = ReadInteger(tool.ui.ReadControlText(Control::DeleteDelay));
  if (delay.whole && delay.value >= 0) return true;
  tool.ui.ShowBalloonTip(Control::WarningTip, tool.ui.ControlCentre(Control::DeleteDelay),
                         kDelayWarning, false);
  tool.ui.SetControlFocus(Control::DeleteDelay);
  return false;
}

}  // namespace

void DispatchHotkey(Tool& tool, std::int64_t hotkeyId) {
  if (hotkeyId == 0) return;  // a failed registration's 0 never stands for a key
  if (hotkeyId == tool.state.f10HotkeyId) {
    CapturePoint(tool);
  } else if (hotkeyId == tool.state.f11HotkeyId) {
    const int page = tool.ui.ReadControlProperty(Control::JobPages, Property::CurrentPage);
    if (page == 0) DeleteStartPause(tool);
    if (page == 1) StartAddRun(tool);
  }
}

void DeleteStartPause(Tool& tool) {
  if (tool.state.closing) return;
  const bool modeOne = IsChecked(tool, Control::DeleteModeOneRadio);
  if (!modeOne && !IsChecked(tool, Control::DeleteModeTwoRadio)) return;
  if (tool.state.running == 1) {
    tool.state.running = 0;
    tool.ui.WriteControlText(Control::DeleteStartButton, kStartCaption);
  } else if (!StartRefused(tool) && DeleteDelayAccepted(tool) && FindClientForRun(tool)) {
    if (!modeOne) {
      RunDeleteModeTwo(tool);
    } else if (ModeOneFitsClient(tool, Control::DeleteModeOneRadio)) {
      RunDeleteModeOne(tool);
    }
  }
}

}  // namespace pelloram
