// Small pieces every run is made of: waits that notice a closing tool, clicks on the job's
// points, the mode-two checks, and the guard that marks a run as executing.
#pragma once

#include "workflows/job_points.h"
#include "workflows/tool.h"

namespace pelloram {

// Waits while handling messages; false when the tool is closing and the run must end
// without another click or key.
bool WaitStep(Tool& tool, int milliseconds);
// Sleeps without handling messages; false when the tool is closing.
bool BlockStep(Tool& tool, int milliseconds);

// Clicks one of the job's points: mode one at its built-in client point of the client's
// window, mode two at its fields' screen point, read at this moment (an F10 capture during
// a run moves the next click), relative to the desktop's window.
void ClickJobPoint(Tool& tool, JobPointId point, Mode mode);
// The click, then a wait of `milliseconds`; false when the tool is closing.
bool ClickStep(Tool& tool, JobPointId point, Mode mode, int milliseconds);

// True when the tool is closing or another run is executing: a new start is refused, so
// no run ever starts inside another and no two runs click at once.
bool StartRefused(const Tool& tool);

// Marks a run as executing for its whole extent, also when it ends early.
class ActiveRun {
 public:
  explicit ActiveRun(RunState& state) : state_(state), wasActive_(state.runActive) {
    state_.runActive = true;
  }
  ~ActiveRun() { state_.runActive = wasActive_; }
  ActiveRun(const ActiveRun&) = delete;
  ActiveRun& operator=(const ActiveRun&) = delete;

 private:
  RunState& state_;
  bool wasActive_;
};

bool IsChecked(Tool& tool, Control radio);

// Mode two needs every checked point of the job filled in: the first field with no text
// at all gets its warning in a tip at the pointer (it stays up until clicked away) and
// the focus, and the start is refused.
bool CheckModeTwoFields(Tool& tool, Job job);

}  // namespace pelloram
