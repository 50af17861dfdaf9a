#include "workflows/run_control.h"

#include <utility>

#include "client/input.h"
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
      // A delete run going ends its wait at once and clicks nothing more.
      if (tool.state.runActive && !tool.state.addRunning) tool.state.pauseAsked = true;
      ShowDeleteButton(tool, DeleteButton::Start);
      return;
    case DeleteButton::Start:
    case DeleteButton::FinishedAfterPause:
      if (tool.state.runActive) return AskToStartWhenEnded(tool, Job::Delete);
      RunDeleteJob(tool);
      StartWhatWasAsked(tool);
      return;
  }
}

void AskToStartWhenEnded(Tool& tool, Job job) {
  const Point pointer = ReadCursorPoint(tool.desktop);
  // Only a run the user paused is about to end by itself; one still going is paused first.
  if (!tool.state.pauseAsked) {
    tool.ui.ShowBalloonTip(Control::WarningTip, pointer, kOtherRunGoing, false);
    return;
  }
  tool.state.startWhenEnded = job;
  tool.ui.ShowBalloonTip(Control::NoteTip, pointer, kStartsWhenEnded, false);
}

void StartWhatWasAsked(Tool& tool) {
  while (!tool.state.runActive && !tool.state.closing && tool.state.startWhenEnded) {
    const Job job = *std::exchange(tool.state.startWhenEnded, std::nullopt);
    if (job == Job::Add) {
      StartAddRun(tool);
    } else if (tool.state.deleteButton == DeleteButton::Start) {
      // A run that counted down to 0 on its way out has nothing left to delete.
      RunDeleteJob(tool);
    }
  }
}

}  // namespace pelloram
