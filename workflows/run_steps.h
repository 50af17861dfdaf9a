// Small pieces every run is made of: waits that notice a closing tool, clicks on the job's
// points, the mode-two checks, and the guard that marks a run as executing.
#pragma once

#include <functional>

#include "workflows/job_points.h"
#include "workflows/tool.h"

namespace pelloram {

// Waits while handling messages; false when the tool is closing and the run must end
// without another click or key.
bool WaitStep(Tool& tool, int milliseconds);
// Sleeps without handling messages; false when the tool is closing.
bool BlockStep(Tool& tool, int milliseconds);

inline constexpr std::string_view kClientMissingAtStart =
    "没有找到微信窗口！请打开并登录微信后再开始。";

// Every start looks the client up afresh, so a client restarted since the tool started is
// used; when there is none it says so and the start goes no further.
bool FindClientForRun(Tool& tool);
// Mode one's placement and built-in points are the classic client's layout: with the newer
// client a mode-one start is refused with a tip on the page's mode-one radio, and nothing
// is moved.
bool ModeOneFitsClient(Tool& tool, Control modeOneRadio);
inline constexpr std::string_view kModeOneNeedsClassic =
    "模式一的内置坐标只适用于旧版微信，新版请使用模式二（F10 取坐标）。";
// The client a run works on: in mode one the window looked up at its start, in mode two
// the client's main window as it is found now.
WindowHandle RunClient(Tool& tool, Mode mode);

// Records why the run must end and returns false, for `return Stop(tool, fault);`.
bool Stop(Tool& tool, TargetFault fault);
// What the user is told about a run that had to end.
std::string_view StopMessage(TargetFault fault);

// Clicks one of the job's points, then waits `milliseconds`. Mode one clicks its built-in
// client point of the client's window, mode two its fields' screen point, read at this
// moment (an F10 capture during a run moves the next click). First the pointer must still
// be where the run left it (else the user took the mouse: UserMoved), and the target is
// checked; false when the run must end: nothing was clicked then, or the system refused
// the click, or the tool is closing.
// With `menu`, the point must lie on that menu (an item of it), or the run ends with OffMenu.
bool ClickStep(Tool& tool, JobPointId point, Mode mode, int milliseconds, WindowHandle menu = 0);
// A right click that must bring up the client's menu: a new window of the client's must
// come up at the clicked point, or the point held nothing (a closed panel, an empty
// collection) and the run must end with NoMenu. The menu is put into `menu`.
bool MenuStep(Tool& tool, JobPointId point, Mode mode, int delay, WindowHandle& menu);
// After a click on a menu item: waits for that menu to go, the sign that the client took
// the click; false when the run must end (NoReaction when it stays).
bool MenuClosed(Tool& tool, WindowHandle menu, int delay);

// Observed waits: where a step's effect shows from outside, the run waits for it rather
// than for the delay D. `ready` is looked at every few milliseconds while messages are
// handled; once it holds, a short settle lets the client finish drawing. It may take up
// to the larger of D and 5 s; then the step has failed. With fixed waits it waits D and
// looks once.
enum class Awaited : int { Ready, TimedOut, Closing };
Awaited Await(Tool& tool, int delay, const std::function<bool()>& ready);
// For an effect that may not come at all (the forward window): ends when it comes, or
// after D; with fixed waits it does not wait again. False when the tool is closing.
bool AwaitAtMost(Tool& tool, int delay, const std::function<bool()>& ready);
// A key, or a chord with a modifier, into the client's foreground window, checked first;
// then a wait of `milliseconds`. False when the run must end.
bool KeyStep(Tool& tool, Mode mode, int key, int modifier, int milliseconds);

// Shows a run's progress after the window's caption while it lives ("… — 删除中 3 / 10"),
// and puts the caption back when the run ends.
class CaptionProgress {
 public:
  CaptionProgress(Ui& ui, std::string_view doing);
  ~CaptionProgress();
  CaptionProgress(const CaptionProgress&) = delete;
  CaptionProgress& operator=(const CaptionProgress&) = delete;
  void Show(std::int64_t current, std::int64_t total);

 private:
  Ui& ui_;
  std::string caption_;
  std::string doing_;
};

// A run that ended because the user took the mouse says so in a tip on the window rather
// than in a box: the user is at the mouse, and F11 resumes.
void TipUserMoved(Tool& tool);

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
