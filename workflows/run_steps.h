// Small pieces every run is made of: waits that notice a closing tool, and the guard that
// marks a run as executing.
#pragma once

#include <span>
#include <string_view>

#include "workflows/tool.h"

namespace pelloram {

// Waits while handling messages; false when the tool is closing and the run must end
// without another click or key.
bool WaitStep(Tool& tool, int milliseconds);
// Sleeps without handling messages; false when the tool is closing.
bool BlockStep(Tool& tool, int milliseconds);

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

struct RequiredField {
  Control box;
  std::string_view warning;
};
// Finds the first field with no text at all: shows its warning in 气球提示框1 at the
// pointer (it stays up until clicked away), focuses the field and returns false.
bool CheckRequiredFields(Tool& tool, std::span<const RequiredField> fields);
// The pointer's current screen position, where tips pop up.
Point PointerForTip(Tool& tool);

}  // namespace pelloram
