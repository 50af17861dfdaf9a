#include "workflows/run_control.h"

#include "workflows/add_run.h"
#include "workflows/delete_run.h"
#include "workflows/point_capture.h"
#include "workflows/run_report.h"

namespace pelloram {

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
  switch (tool.state.deleteButton) {
    case DeleteButton::Pause:
    case DeleteButton::Finished:
      // A run going notices at the head of its next deletion.
      ShowDeleteButton(tool, DeleteButton::Start);
      return;
    case DeleteButton::Start:
    case DeleteButton::FinishedAfterPause:
      RunDeleteJob(tool);
      return;
  }
}

}  // namespace pelloram
