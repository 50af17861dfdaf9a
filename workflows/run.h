// One run of a job, from its start gate to its end: what the gate found and read, and the
// guarded steps and waits the run is made of. Every click and key of every run goes
// through a Run, which checks its target first.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/client_windows.h"
#include "client/target_check.h"
#include "workflows/finding.h"
#include "workflows/job_points.h"
#include "workflows/run_report.h"
#include "workflows/stop_reason.h"
#include "workflows/tool.h"

namespace pelloram {

// Stopped: a pause or the tool's closing ended the wait.
enum class Awaited : int { Ready, TimedOut, Stopped };

class Run {
 public:
  // Built by the start gate (start_gate.h) once every check before a run has passed. While
  // a run lives no other run starts.
  Run(Tool& tool, Job job, Mode mode, ChatClient client, int delayMs,
      std::string_view progressText);
  ~Run();
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  Tool& tool() { return tool_; }
  Job job() const { return job_; }
  Mode mode() const { return mode_; }
  int delay() const { return delay_; }
  // The client the run is bound to: the main window (and its process) found at its start.
  // Another window of the client's kind that comes up later (a restarted client) is never
  // worked: the run ends with ClientGone instead.
  WindowHandle Client() const { return client_.window; }
  std::uint32_t ClientProcess() const { return client_.process; }
  // Why the bound client cannot be worked now; None when it can.
  StopReason ClientState();
  CaptionProgress& progress() { return progress_; }

  // Why the run must end without another click or key; None while it may go on.
  StopReason fault() const { return fault_; }
  // The user asked the run to stop (a pause, or closing the tool) since it started. Every
  // wait ends at once then, and nothing more is clicked but the item of a menu already open.
  bool StopAsked() const { return tool_.state.closing || tool_.state.pauseAsked; }
  bool Ended() const { return StopAsked() || fault_ != StopReason::None; }
  // Records the first reason the run must end, put down to the client first, then to the
  // screen, and to the step's own reason only when both are fine; false, for
  // `return run.Stop(…);`.
  bool Stop(StopReason fault);
  // A window of the client's that came up since the run started and is none of the ones
  // it opened (its dialog, menus, forward windows) ends the run, naming its title.
  bool StopAtStrangeWindow();
  // What the user is told about the reason the run ended.
  std::string FaultText() const { return StopText(fault_, faultDetail_); }
  // Takes back a reason the caller knows how to go on from; true when it was that one.
  bool Forgive(StopReason fault);
  // An add run goes on past a control it cannot find: the sticker is skipped, and why is
  // kept for the run's summary. True when that was the reason the run was to end.
  bool SkipNotFound();
  // The sticker is skipped for this reason; `detail` names what was not found.
  void Skip(SkipReason reason, std::string detail = {});
  // What the summary says about the last sticker skipped.
  std::string SkipText() const;

  // Each step returns false when the run must end: nothing was done then, or the system
  // refused the input, or the tool is closing.
  // Mode one: the client's window to the place its built-in points are measured from.
  bool PlaceClient();
  // A left or right click on one of the job's points (the point's own button), then a
  // wait. Mode one clicks its built-in point of the client's window. Mode two finds a
  // control F10 taught where it is now and shows the point in its fields; a point typed by
  // hand is clicked at its fields' screen point. Both are read at this moment (an F10
  // capture during a run moves the next click).
  bool Click(JobPointId point, int thenWaitMs);
  // A right click that must bring up the client's menu at the clicked point, or the
  // point held nothing (a closed panel, an empty collection): the run ends with NoMenu.
  bool RightClickForMenu(JobPointId point, WindowHandle& menu);
  // A click on an item of that menu: the point must lie on the menu (else OffMenu), and
  // the client must not have moved since the menu opened (else ClientMoved). Also after a
  // pause: a menu already open gets its item, so the step it belongs to is finished.
  bool ClickMenuItem(JobPointId item, WindowHandle menu);
  // After ClickMenuItem failed because the client moved while its menu was open: the menu
  // is closed with Escape so the caller can right-click again, a few times at most. False
  // when the run must end instead.
  bool CloseMenuMovedAway(WindowHandle menu);
  // Waits for the menu to go, the sign that the client took its item's click; the run
  // ends with NoReaction when it stays.
  bool AwaitMenuGone(WindowHandle menu);
  // A key, or a chord with a modifier (0: none), into the client's foreground window, then
  // a wait.
  bool Key(int key, int thenWaitMs);
  bool Chord(int modifier, int key, int thenWaitMs);

  // A window of the client's that this run brought up (its dialog, a menu, a forward
  // window): one still up when the run ends is closed with Escape.
  void Opened(WindowHandle window);
  // The path onto the clipboard; what the clipboard held before the run's first path is
  // kept, to be put back when the run ends. False when the clipboard could not be taken.
  bool PutOnClipboard(const std::string& path);
  // Leaves the client and the clipboard as the run found them: Escape for each window the
  // run opened that is still up (only while the client's window is in front, so the key
  // cannot reach another program), then the user's clipboard text back. Done once, at the
  // run's end, also when the tool is closing.
  void LeaveAsFound();

  // Waits while handling messages; ends early, false, when a stop is asked.
  bool Wait(int milliseconds);
  // Where a step's effect shows from outside, the run waits for it rather than for its
  // delay: `ready` is looked at every few milliseconds while messages are handled; once it
  // holds, a short settle lets the client finish drawing. At most the larger of the delay
  // and 5 s; then the step has failed. A pause ends it, unless `ready` holds by then.
  Awaited Await(const std::function<bool()>& ready);
  // For an effect that may not come at all (the forward window, a dialog that comes late):
  // ends when it comes, after `limitMs`, or when a stop is asked. False when it did not come.
  bool AwaitAtMost(int limitMs, const std::function<bool()>& ready);
  // The longest a step's effect is waited for: the larger of the delay and 5 s.
  int ObservedLimit() const;

 private:
  enum class Clicked : int { Yes, No, ClientMoved };
  // Finds the point and clicks it on the same screen: the client's window read when the
  // point is found and again right before the click; moved in between, the point is found
  // again, a few times at most. `clicked`: where the click went.
  bool FindAndClick(const JobPoint& point, const OpenMenu& menu, Point& clicked);
  // False, with the run stopped, when a taught control cannot be found.
  bool WhereToClick(const JobPoint& point, const OpenMenu& menu, Point& screen);
  bool LocateByLook(const JobPoint& point, const OpenMenu& menu, Point& screen);
  void PauseForClient(int milliseconds);
  void CloseWhatTheRunOpened();
  void PutClipboardBack();
  // The checks and the click, on one screen point. `menu`: the point must lie on it.
  // `clientAtFind`: the client's window where the point was found from; another one now
  // means the point is stale, and nothing is pressed.
  Clicked CheckedClick(const JobPoint& point, Point screen, WindowHandle menu,
                       const std::optional<Rect>& clientAtFind);
  bool PointerTaken(Point pointer) const;
  // Why nothing can be clicked at the screen point, as the screen shows it: off every
  // monitor, or under the tool's own window; None when neither.
  StopReason ScreenAt(Point screen);
  // The reason order: the client, then the screen where the step meant to click, then the
  // step's own reason.
  StopReason FirstReason(StopReason stepReason);
  Awaited AwaitUntil(const std::function<bool()>& ready, bool pauseEnds);
  // A right click's menu that had not come when a stop was asked; false, always.
  bool AwaitMenuAfterStop(const std::vector<WindowHandle>& before, Point clicked,
                          WindowHandle& menu);

  Tool& tool_;
  const Job job_;
  const Mode mode_;
  const ChatClient client_;
  const int delay_;
  StopReason fault_ = StopReason::None;
  std::string faultDetail_;
  std::vector<WindowHandle> windowsAtStart_;
  // Where the pointer was before the run's last click, and the points the run clicked: a
  // pointer found elsewhere before the next click means the user took the mouse.
  std::optional<Point> pointerLeftAt_;
  std::vector<Point> clickedAt_;
  Rect clientWhenMenuOpened_;  // a menu stays put when its owner moves; its items do not
  Point rightClickedAt_;       // where the right click that opened the last menu was
  int menusMovedAway_ = 0;     // menus closed because the client moved while they were open
  // The client's window where the run last clicked it: another rectangle since means the screen
  // may still show the window at its old place for a moment.
  std::optional<Rect> clientSeen_;
  // Where the step that is failing meant to click, for the screen's part of its reason.
  std::optional<Point> aimedAt_;
  std::vector<WindowHandle> opened_;
  // The user's clipboard text from before the run's first path; nothing: it held no text.
  std::optional<std::string> userClipboard_;
  bool clipboardTaken_ = false;  // a path of the run's is on it
  bool leftAsFound_ = false;
  SkipReason skipReason_ = SkipReason::NotAGif;
  std::string skipDetail_;
  CaptionProgress progress_;
};

}  // namespace pelloram
