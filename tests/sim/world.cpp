#include "tests/sim/world.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "client/client_windows.h"
#include "client/input.h"
#include "client/waits.h"
#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"
#include "workflows/run_control.h"

namespace pelloram::sim {
namespace {

using testing::FakeDesktop;
using testing::InputRecord;

constexpr const char* kNames[] = {"F11",
                                  "F10",
                                  "ChangePage",
                                  "ChangeMode",
                                  "TypeCount",
                                  "TypeDelay",
                                  "MoveMouse",
                                  "HoldClipboard",
                                  "RemoveFile",
                                  "RefuseFile",
                                  "CloseClient",
                                  "MoveClient",
                                  "CoverClient",
                                  "CloseTool",
                                  "HandOnMouseInClick",
                                  "DivertClick",
                                  "RestartClient",
                                  "PauseAndResume",
                                  "MoveClientWindow",
                                  "ResizeClient",
                                  "MinimiseClient",
                                  "HideClient",
                                  "MoveClientToMonitor"};
static_assert(std::size(kNames) == static_cast<std::size_t>(Happening::kCount));

std::string FilePath(int i) {
  // Every third file is one the client has collected already.
  char name[32];
  std::snprintf(name, sizeof name, i % 3 == 0 ? "sticker%02d.gif" : "new%02d.gif", i + 1);
  return std::string("C:\\s\\") + name;
}

// Adds the numbers of one summary ("成功 a 个，已有 b 个，跳过 c 个…还有 d 个") into `sums`.
void ReadSummary(const std::string& text, int sums[4]) {
  static const char* kLabels[] = {"成功 ", "已有 ", "跳过 ", "还有 "};
  for (int i = 0; i < 4; ++i) {
    const std::size_t at = text.find(kLabels[i]);
    if (at != std::string::npos) sums[i] += std::atoi(text.c_str() + at + std::strlen(kLabels[i]));
  }
}

class Run : public testing::ToolHarness {
 public:
  explicit Run(const World& w) : world_(w) {
    practice_.reactMs = w.reactMs;
    practice_.jitterMs = w.jitterMs;
    practice_.seed = w.seed;
    practice_.strictOrder = true;
    for (int i = 0; i < w.folder; ++i) files_.push_back(FilePath(i));
    Prepare();
    start_ = desktop.now;
    desktop.screenLagMs = w.screenLagMs;
    for (const Event& e : w.beforeRun) Apply(e);
    for (const Event& e : w.events) {
      if (e.afterInput >= 0) {
        inWait_.push_back(e);
      } else {
        At(desktop.now + e.at, [this, e] { Apply(e); });
      }
    }
    desktop.onInput = [this](const InputRecord& input) { Check(input); };
    ui.onMessage = [this](const testing::FakeUi::Message& m) {
      // A run taken from a start pressed while the last one wound down may end before any
      // click of its own: it is the run whose message this is, bound to the client it found.
      NoticeRunStartedWhenEnded();
      CheckStopMessage(m.text);
      TakeSummary(m.text);
    };
    start_ = desktop.now;
  }

  Result Go() {
    PressF11();
    // What is still scheduled after the run happens too: a later F11 starts another run.
    while (desktop.ActionsLeft() && !desktop.quitPosted && result_.broken.empty()) {
      ResponsiveDelay(desktop, 1000);
    }
    if (result_.broken.empty()) CheckTheEnd();
    return std::move(result_);
  }

 private:
  void Prepare() {
    const bool placed = world_.modeTwo && !world_.pointsOffClient;
    if (placed) desktop.WindowAt(client).rect = Rect{0, 0, 910, 647};
    if (!world_.monitors.empty()) PlaceOnTeachingMonitor(placed);
    if (world_.taught) {
      // The window as large as the client draws itself, where it is.
      const Rect& r = desktop.WindowAt(client).rect;
      practice_.MoveClient(r.left, r.top);
      world_.addJob ? TeachAddPoints(practice_) : TeachDeletePoints(practice_);
    }
    if (world_.addJob) {
      if (ui.page != 1) ui.SelectPage(1);  // a page change puts the page back in mode one
      if (world_.modeTwo && !world_.taught) {
        ui.Click(Control::AddModeTwoRadio);
        TypeAddPoints();
      }
      ui.Type(Control::AddDelay, ToText(world_.delayMs));
      tool.state.stickerFiles = files_;
    } else {
      if (world_.modeTwo && !world_.taught) {
        ui.Click(Control::DeleteModeTwoRadio);
        TypeDeletePoints();
      }
      ui.Type(Control::DeleteCount, ToText(world_.count));
      ui.Type(Control::DeleteDelay, ToText(world_.delayMs));
    }
  }

  // The monitors of a world of mixed scales, the desktop's window over all of them, and the
  // client on the monitor its points are taught on (at its corner, or away from it), laid out
  // at that monitor's scale.
  void PlaceOnTeachingMonitor(bool atCorner) {
    desktop.monitors = world_.monitors;
    Rect all = world_.monitors.front().area;
    for (const Monitor& m : world_.monitors) all = Union(all, m.area);
    desktop.WindowAt(desktopWindow).rect = all;
    const Rect& on = world_.monitors[static_cast<std::size_t>(world_.teachOn)].area;
    const Point away = atCorner ? Point{0, 0} : Point{200, 120};
    practice_.MoveClient(on.left + away.x, on.top + away.y);
  }

  // The client dragged onto a monitor of another scale (any other, when all share one), at a
  // place `value` picks where it lies wholly on that monitor before and after it takes its
  // new size.
  void MoveToMonitor(int value) {
    if (world_.monitors.empty()) return;
    std::vector<const Monitor*> others;
    for (const Monitor& m : world_.monitors) {
      if (m.dpi != practice_.Dpi()) others.push_back(&m);
    }
    if (others.empty()) return;
    const Monitor& to = *others[static_cast<std::size_t>(value) % others.size()];
    const Rect& r = desktop.WindowAt(client).rect;
    const Point will = Scaled(Point{practice_.model.Width(), practice_.model.Height()}, to.dpi);
    const int width = std::max(r.right - r.left, will.x);
    const int height = std::max(r.bottom - r.top, will.y);
    const Rect& m = to.area;
    practice_.MoveClient(m.left + value * 7 % std::max(1, m.right - m.left - width),
                         m.top + value * 13 % std::max(1, m.bottom - m.top - height));
    const Rect& now = desktop.WindowAt(client).rect;
    result_.log.push_back("  the client at (" + std::to_string(now.left) + "," +
                          std::to_string(now.top) + ")-(" + std::to_string(now.right) + "," +
                          std::to_string(now.bottom) + "), laid out at " +
                          std::to_string(practice_.Dpi() * 100 / kBaseDpi) + " %");
  }

  // Where a drag of the client's window may take its lower right corner: the 1280 x 1024 of
  // the first worlds, or in a world of mixed scales the monitor the client is on.
  Point DragLimit() {
    if (world_.monitors.empty()) return {1280, 1024};
    const Rect& r = desktop.WindowAt(client).rect;
    const Rect& m = [&]() -> const Rect& {
      for (const Monitor& monitor : world_.monitors) {
        if (Contains(monitor.area, Point{r.left, r.top})) return monitor.area;
      }
      return world_.monitors.front().area;
    }();
    return {m.right, m.bottom};
  }

  void Apply(const Event& e) {
    result_.log.push_back("t=" + std::to_string(desktop.now - start_) + " " + NameOf(e.what) + " " +
                          std::to_string(e.value));
    switch (e.what) {
      case Happening::F11:
        return PressF11();
      case Happening::F10:
        retaught_ = true;  // a point of the user's own now, wherever it is
        desktop.cursor = Point{e.value % 910, e.value % 647};
        return ui.PressHotkey(vk::kF10);
      case Happening::ChangePage:
        return ui.SelectPage(1 - ui.page);
      case Happening::ChangeMode:
        return ui.Click(
            ui.page == 0 ? (e.value % 2 ? Control::DeleteModeOneRadio : Control::DeleteModeTwoRadio)
                         : (e.value % 2 ? Control::AddModeOneRadio : Control::AddModeTwoRadio));
      case Happening::TypeCount:
        fieldsTouched_ = true;
        return ui.Type(Control::DeleteCount, ToText(e.value % 30 - 3));
      case Happening::TypeDelay:
        return ui.Type(ui.page == 0 ? Control::DeleteDelay : Control::AddDelay,
                       ToText(e.value * 3));
      case Happening::MoveMouse:
        desktop.cursor = Point{desktop.cursor.x + 5 + e.value % 200, desktop.cursor.y};
        return;
      case Happening::HoldClipboard:
        desktop.clipboardRefusals = e.value / 4;  // attempts 20 ms apart: up to 5 s
        return;
      case Happening::RemoveFile:
        if (!files_.empty()) desktop.missingFiles.insert(files_[e.value % files_.size()]);
        return;
      case Happening::RefuseFile:
        if (!files_.empty()) practice_.dialogRefuses.insert(files_[e.value % files_.size()]);
        return;
      case Happening::CloseClient:
        clientChangedAt_ = desktop.now;
        for (const WindowHandle w :
             {client, practice_.openDialog, practice_.forwardWindow, practice_.menuWindow}) {
          desktop.WindowAt(w).exists = false;
        }
        return;
      case Happening::MoveClient: {
        Rect& r = desktop.WindowAt(client).rect;
        r = Rect{r.left + e.value % 300, r.top + e.value % 200, r.right + e.value % 300,
                 r.bottom + e.value % 200};
        return;
      }
      case Happening::CoverClient:
        desktop.AddWindow(
            "Cover", "",
            Rect{e.value % 700, e.value % 500, e.value % 700 + 250, e.value % 500 + 200}, {}, 77);
        return;
      case Happening::CloseTool:
        if (tool.state.runActive) StopAsked("close");
        closed_ = true;
        return Close();
      case Happening::HandOnMouseInClick:
        desktop.beforeClick = [this, e] {
          desktop.cursor = Point{e.value % 1280, e.value % 1024};
          desktop.beforeClick = nullptr;
        };
        return;
      case Happening::DivertClick:
        desktop.divertedClicks = 1;
        return;
      case Happening::RestartClient:
        clientChangedAt_ = desktop.now;
        for (const WindowHandle w :
             {client, practice_.openDialog, practice_.forwardWindow, practice_.menuWindow}) {
          desktop.WindowAt(w).exists = false;
        }
        // A client that has not logged in yet: nothing reacts in it.
        desktop.AddWindow("WeChatMainWndForPC", "微信", desktop.WindowAt(client).rect, {},
                          kRestartedProcess);
        return;
      case Happening::PauseAndResume:
        PressF11();
        At(desktop.now + static_cast<std::uint32_t>(e.value) * 20, [this] {
          result_.log.push_back("t=" + std::to_string(desktop.now - start_) + " F11 again");
          PressF11();
        });
        return;
      case Happening::MoveClientWindow: {
        const Rect& r = desktop.WindowAt(client).rect;
        const int room = std::max(1, 1280 - (r.right - r.left)), height = r.bottom - r.top;
        return practice_.MoveClient(e.value * 7 % room, e.value * 13 % std::max(1, 1024 - height));
      }
      case Happening::ResizeClient: {
        const Rect& r = desktop.WindowAt(client).rect;
        const Point limit = DragLimit();
        const int wider = std::max(1, limit.x - r.left - practice::kMinWidth + 1);
        const int taller = std::max(1, limit.y - r.top - practice::kMinHeight + 1);
        return practice_.ResizeClient(practice::kMinWidth + e.value * 7 % wider,
                                      practice::kMinHeight + e.value * 13 % taller);
      }
      case Happening::MinimiseClient:
      case Happening::HideClient: {
        const WindowHandle shown = FindChatClient(desktop).window;
        if (shown == 0) return;
        clientChangedAt_ = desktop.now;
        (e.what == Happening::MinimiseClient ? desktop.WindowAt(shown).minimised
                                             : desktop.WindowAt(shown).shown) =
            e.what == Happening::MinimiseClient;
        return;
      }
      case Happening::MoveClientToMonitor:
        return MoveToMonitor(e.value);
      case Happening::kCount:
        return;
    }
  }

  void Break(const std::string& promise) {
    if (result_.broken.empty()) {
      result_.broken = "t=" + std::to_string(desktop.now - start_) + ": " + promise;
    }
  }

  // F11 starts a run bound to the client found now, or goes on with a paused add pass
  // (a new pass otherwise), or pauses the run going, which keeps its client and pass.
  void PressF11() {
    lastInput_.reset();  // a new run may start: the wait before it is the user's
    if (tool.state.runActive) {
      // The press pauses the run going when it is on that run's page; pressed again while
      // the paused run winds down, it starts the next run once that one has ended.
      const bool pauses = ui.page == 1 ? tool.state.addRunning && !tool.state.pauseAsked
                                       : tool.state.deleteButton == DeleteButton::Pause;
      if (pauses) StopAsked("pause");
    } else {
      BeginRun(ui.page == 1 && tool.state.pausedAdd &&
               IsChecked(Control::AddModeTwoRadio) == (tool.state.pausedAdd->mode == Mode::Two));
    }
    ui.PressHotkey(vk::kF11);
  }

  // A run starts, bound to the client found now; an add run goes on with the pass paused
  // before it, or starts a new one.
  void BeginRun(bool passGoesOn) {
    const ChatClient found = FindChatClient(desktop);
    boundProcess_ = found.process;
    boundWindow_ = found.window;
    ++runs_;
    runStartedAt_ = desktop.now;
    stopAskedAt_.reset();
    itemClickedAt_.reset();
    menuItemLeft_ = false;
    lastRightClickAt_ = 0;
    const int jobPage = world_.addJob ? 1 : 0;
    lookRun_ = world_.taught && !retaught_ && ui.page == jobPage &&
               IsChecked(world_.addJob ? Control::AddModeTwoRadio : Control::DeleteModeTwoRadio);
    if (ui.page == 1 && !passGoesOn) NewPass();
  }

  // A start pressed while a paused run wound down starts its run as that one ends, with no
  // press of its own to see: the paused run's flag, cleared by each new run, tells.
  void NoticeRunStartedWhenEnded() {
    if (!stopAskedAt_ || closed_ || !tool.state.runActive || tool.state.pauseAsked) return;
    BeginRun(lastPassKept_);
  }

  bool IsChecked(Control radio) { return ui.ReadControlProperty(radio, Property::Checked) != 0; }

  void NewPass() {
    reportedAdded_ += passAdded_;
    passAdded_ = 0;
    sentThisPass_.clear();
    journalChecked_ = practice_.journal.size();
  }

  // Each summary of a pass counts the pass from its start: the last one stands for it.
  void TakeSummary(const std::string& text) {
    if (text.find("添加") == std::string::npos) return;
    int sums[4] = {};
    ReadSummary(text, sums);
    if (sums[0] + sums[1] + sums[2] + sums[3] != world_.folder) {
      Break("an add summary that does not account for every sticker once");
    }
    passAdded_ = sums[0];
    ++summaries_;
    lastPassKept_ = text.find("继续添加") != std::string::npos;
  }

  // No sticker goes into the chat twice in one pass over the folder.
  void CheckSentOnce() {
    for (; journalChecked_ < practice_.journal.size(); ++journalChecked_) {
      const std::string& line = practice_.journal[journalChecked_];
      if (line.find("\"event\":\"sent\"") == std::string::npos) continue;
      const std::size_t at = line.find("\"path\":");
      if (!sentThisPass_.insert(line.substr(at)).second) {
        Break("a sticker sent twice in one pass: " + line.substr(at));
      }
    }
  }

  void Check(const InputRecord& input) {
    // A key acts when it goes down: the window it closed is gone by its release, which then
    // reaches whatever is in front, alone and to no effect.
    if (input.kind == InputRecord::Kind::KeyUp) return;
    NoticeRunStartedWhenEnded();
    const bool click = input.kind == InputRecord::Kind::Click;
    const WindowHandle target =
        click ? desktop.TopLevelWindowAt(input.at) : desktop.ForegroundWindow();
    ScheduleInWait(inputs_++);
    if (!click && input.key == vk::kEscape) lastEscapeAt_ = desktop.now;
    if (click && input.button == MouseButton::Right) lastRightClickAt_ = desktop.now;
    if (click && input.button == MouseButton::Left && target == practice_.menuWindow) {
      lastItemClickAt_ = desktop.now;
    }
    if (stopAskedAt_ && !CheckAfterStop(input, target)) return;
    if (closed_) {
      // Only the clean-up: Escape into a window of the client the run was bound to, and the
      // item of a menu that was open when the tool was closed.
      if (click && itemClickedAt_ == desktop.now) return;
      if (click || input.key != vk::kEscape || desktop.ProcessOf(target) != boundProcess_) {
        Break("input after the tool was closed, other than closing the run's own window");
      }
      return;
    }
    if (!tool.state.runActive) return Break("input outside a run");
    if (desktop.ProcessOf(target) != boundProcess_) {
      return Break(std::string(click ? "a click" : "a key") +
                   " reached a window the run was not bound to");
    }
    if (lastInput_ && desktop.now - *lastInput_ > WaitLimit()) {
      Break("a wait of " + std::to_string(desktop.now - *lastInput_) + " ms, beyond its limit");
    }
    if (click && lookRun_) CheckLook(input);
    lastInput_ = desktop.now;
    result_.log.push_back("t=" + std::to_string(desktop.now - start_) +
                          (click ? " click " : " key ") +
                          (click ? std::to_string(input.at.x) + "," + std::to_string(input.at.y)
                                 : std::to_string(input.key)));
    CheckSentOnce();
  }

  // The happenings placed inside the wait that follows the world's input `index`.
  void ScheduleInWait(int index) {
    for (const Event& e : inWait_) {
      if (e.afterInput != index) continue;
      // The user's presses wait for the tool's window to handle them; the client and the
      // system change its windows whatever the tool does.
      const bool user = e.what == Happening::F11 || e.what == Happening::CloseTool;
      const auto apply = [this, e] { Apply(e); };
      user ? desktop.At(desktop.now + e.at, apply) : desktop.AtByItself(desktop.now + e.at, apply);
    }
  }

  // The user asks the run going to stop: a pause, or the tool closed.
  void StopAsked(const char* what) {
    if (stopAskedAt_) return;
    stopAskedAt_ = desktop.now;
    // A step whose menu is up is finished: its item may still be clicked, once, and the run
    // waits for the menu to go (after its item, or after the Escape that closes it).
    const bool menuUp = desktop.IsWindowShown(practice_.menuWindow);
    menuUpAtStop_ = menuUp;
    // A right click whose menu has not come yet: the run waits for that menu, to close it.
    menuComingAtStop_ = !menuUp && lastRightClickAt_ > 0 &&
                        (!lastItemClickAt_ || *lastItemClickAt_ < lastRightClickAt_);
    const bool itemClicked = menuUp && lastItemClickAt_ && *lastItemClickAt_ >= lastRightClickAt_;
    menuItemLeft_ = menuUp && !itemClicked;
    if (itemClicked) itemClickedAt_ = lastItemClickAt_;
    const int run = runs_;
    desktop.AtByItself(desktop.now + kStopMs, [this, run, what] { CheckStopped(run, what, true); });
  }

  // Soon after the stop was asked, the run has ended. It may still close what it opened (a
  // second for each Escape to take effect, whether pressed before the stop or after it),
  // and a menu up at the stop gets the time it takes to go (after its item, or after the
  // Escape that closes it).
  void CheckStopped(int run, const char* what, bool menuMayFollow) {
    NoticeRunStartedWhenEnded();
    if (!tool.state.runActive || runs_ != run) return;
    const auto recheck = [this, run, what](std::uint32_t at, bool menu) {
      desktop.AtByItself(at, [this, run, what, menu] { CheckStopped(run, what, menu); });
    };
    // A second for its window to go, then a look to the front or the clipboard given back
    // (ten tries 20 ms apart).
    constexpr std::uint32_t kEscapeMs = 1300;
    if (lastEscapeAt_ && desktop.now < *lastEscapeAt_ + kEscapeMs) {
      return recheck(*lastEscapeAt_ + kEscapeMs, menuMayFollow);
    }
    if (menuMayFollow && (menuUpAtStop_ || itemClickedAt_ || menuComingAtStop_)) {
      const std::uint32_t menuGone =
          static_cast<std::uint32_t>(std::max(world_.delayMs, 5000)) + 50 + kStopMs;
      return recheck(std::max(*stopAskedAt_, itemClickedAt_.value_or(0)) + menuGone, false);
    }
    Break("a run still going " + std::to_string(desktop.now - *stopAskedAt_) +
          " ms after it was asked to stop (" + what + ")");
  }

  // After a pause or a close was asked, the run clicks nothing but the item of a deletion's
  // menu that was already up, and presses nothing but Escape. False when it broke that.
  bool CheckAfterStop(const InputRecord& input, WindowHandle target) {
    if (input.kind != InputRecord::Kind::Click) {
      if (input.key == vk::kEscape) return true;
      Break("a key other than Escape after the run was asked to stop: " +
            std::to_string(input.key));
      return false;
    }
    // A menu that came up as the pause came, before the run looked again (a poll and the
    // settle after it), is taken as up at the pause: the run cannot tell the two apart.
    constexpr std::uint32_t kLookMs = 70;
    const bool cameWithPause =
        !menuUpAtStop_ && !itemClickedAt_ && desktop.now <= *stopAskedAt_ + kLookMs;
    if ((menuItemLeft_ || cameWithPause) && input.button == MouseButton::Left &&
        target == practice_.menuWindow) {
      menuItemLeft_ = false;
      itemClickedAt_ = desktop.now;
      return true;
    }
    Break(std::string("a click after the run was asked to stop: ") +
          (input.button == MouseButton::Right ? "right" : "left") + " at " +
          std::to_string(input.at.x) + "," + std::to_string(input.at.y));
    return false;
  }

  // A run that stops while its client is gone, hidden or minimised says so first, before
  // anything about the screen or a control's look: the client is looked at before a stop is
  // put down to what the run could not find. Judged where the run looked at the screen after
  // the client changed, so the look it failed on was taken of the changed client.
  void CheckStopMessage(const std::string& text) {
    if (!clientChangedAt_ || !lookRun_ || retaught_ || desktop.lastCaptureAt < *clientChangedAt_ ||
        desktop.lastCaptureAt < runStartedAt_) {
      return;
    }
    const char* expected = nullptr;
    if (desktop.ProcessOf(boundWindow_) != boundProcess_) {
      expected = "微信窗口不见了，已停止。请打开微信后重新开始。";
    } else if (!desktop.IsWindowShown(boundWindow_)) {
      expected = "微信窗口被隐藏了（可能关到了托盘），已停止。请把微信窗口打开后重新开始。";
    } else if (desktop.IsWindowMinimised(boundWindow_)) {
      expected = "微信窗口被最小化了，已停止。请把微信窗口还原后重新开始。";
    }
    if (expected && text.find(expected) == std::string::npos) {
      Break("a stop that does not name the client's state first (" + std::string(expected) +
            "): " + text);
    }
  }

  // In a taught world, a run clicks a control only where its look is: each click lands on a
  // control of the run's job meant for that button (the delete item and the add item by
  // their labels), never on anything else.
  void CheckLook(const InputRecord& input) {
    using Kind = practice::Model::Kind;
    using Picture = practice::Model::Picture;
    const std::optional<practice::Model::Box> box = practice_.BoxAt(input.at);
    const auto is = [&box](Kind kind, Picture picture = Picture::None, const char* label = "") {
      return box->kind == kind && box->picture == picture && (!*label || box->label == label);
    };
    bool meant = false;
    if (box && input.button == MouseButton::Right) {
      // The first sticker is found by its place: in an emptied collection the right click
      // meets the bare panel there, brings up no menu, and the run ends saying so.
      const bool emptyCollection =
          practice_.model.CollectedTabShown() && practice_.model.Collection().empty() &&
          box->layer == practice::Model::Layer::Panel && box->kind == Kind::Area;
      meant = world_.addJob ? is(Kind::Message, Picture::Sticker)
                            : is(Kind::Cell, Picture::Sticker) || emptyCollection;
    } else if (box) {
      meant =
          world_.addJob
              ? is(Kind::Button, Picture::Folder) || is(Kind::MenuItem, Picture::None, "添加到表情")
              : is(Kind::Button, Picture::SmilingFace) || is(Kind::Tab, Picture::Heart) ||
                    is(Kind::MenuItem, Picture::None, "删除");
    }
    if (meant) return;
    Break("a click where the look is not: " +
          std::string(input.button == MouseButton::Right ? "right" : "left") + " at " +
          std::to_string(input.at.x) + "," + std::to_string(input.at.y) + " on " +
          (box ? "a box of kind " + std::to_string(static_cast<int>(box->kind)) + " '" +
                     box->label + "'"
               : std::string("no window of the client's")));
  }

  // The longest a run may go between two inputs: a clipboard retried for 2 s, and a few
  // waits of the delay or their observed limit.
  std::uint32_t WaitLimit() const {
    const auto limit = static_cast<std::uint32_t>(std::max(world_.delayMs, 5000));
    // A dialog that did not come is given as long once more before the next file's click.
    return 3 * limit + 3 * static_cast<std::uint32_t>(std::max(world_.delayMs, 0)) + 2600;
  }

  void CheckTheEnd() {
    const std::uint32_t seconds = (desktop.now - start_) / 1000 + 1;
    if (static_cast<std::uint32_t>(desktop.waits) > 100 * seconds) Break("a wait that spins");
    const int deleted = practice_.Count("deleted");
    result_.log.push_back("client's journal: " + std::to_string(deleted) + " deleted, " +
                          std::to_string(practice_.Count("added")) + " added, " +
                          std::to_string(practice_.Count("refused")) + " refused; count field " +
                          ui.Text(Control::DeleteCount));
    // A closed tool has no count field left to show.
    if (!world_.addJob && !fieldsTouched_ && !ResetByTheWindow() && !closed_) {
      if (deleted > std::max(world_.count, 0)) Break("more deletions than the count asked for");
      if (FieldValue(ui.Text(Control::DeleteCount)) != world_.count - deleted) {
        Break("the count field disagrees with the client's journal");
      }
    }
    for (const auto& message : ui.messages) result_.log.push_back("message: " + message.text);
    CheckSentOnce();
    // Never more than the client took; fewer only where a run could not say it all: the
    // client went away before it showed whether it took the last one, or the tool was
    // closed during a run, which then ends without a summary.
    const int added = practice_.Count("added");
    const int reported = reportedAdded_ + passAdded_;
    const bool cutShort = Happened(Happening::CloseClient) || Happened(Happening::RestartClient) ||
                          Happened(Happening::MinimiseClient) || Happened(Happening::HideClient) ||
                          closed_;
    if (summaries_ > 0 && (reported > added || (reported < added && !cutShort))) {
      Break("add summaries whose added count disagrees with the client's journal");
    }
  }

  bool Happened(Happening what) const {
    return std::any_of(world_.events.begin(), world_.events.end(),
                       [what](const Event& e) { return e.what == what; });
  }
  // A page or mode change puts the count back to 1 by itself.
  bool ResetByTheWindow() const {
    return Happened(Happening::ChangePage) || Happened(Happening::ChangeMode);
  }

  static constexpr std::uint32_t kStopMs = 300;  // from a pause or close to the run's end
  std::vector<Event> inWait_;                    // happenings placed after an input
  int inputs_ = 0;                               // clicks and keys so far
  int runs_ = 0;                                 // runs started so far
  std::uint32_t runStartedAt_ = 0;
  std::optional<std::uint32_t> stopAskedAt_;  // the run going was asked to pause or close
  bool menuItemLeft_ = false;                 // its open menu's item may still be clicked
  bool menuUpAtStop_ = false;
  bool menuComingAtStop_ = false;
  std::optional<std::uint32_t> itemClickedAt_;
  std::uint32_t lastRightClickAt_ = 0;
  std::optional<std::uint32_t> lastItemClickAt_;  // a click on an open menu
  std::optional<std::uint32_t> lastEscapeAt_;
  std::optional<std::uint32_t> clientChangedAt_;  // gone, restarted, minimised or hidden
  WindowHandle boundWindow_ = 0;
  bool lastPassKept_ = false;  // the last add summary said where F11 goes on
  World world_;
  testing::PracticeWorld practice_{desktop, client, practice::Options{world_.collection, {}}};
  std::vector<std::string> files_;
  std::uint32_t start_ = 0;
  std::optional<std::uint32_t> lastInput_;
  bool closed_ = false;
  static constexpr std::uint32_t kRestartedProcess = 9;
  std::uint32_t boundProcess_ = 0;  // the client process of the run going, or of the last
  int reportedAdded_ = 0;           // added, as the passes before this one summed up
  int passAdded_ = 0;               // added, as this pass's last summary says
  int summaries_ = 0;
  std::set<std::string> sentThisPass_;
  std::size_t journalChecked_ = 0;
  bool fieldsTouched_ = false;
  bool retaught_ = false;  // the user pressed F10 somewhere after the points were taught
  bool lookRun_ = false;   // the run going clicks taught points
  Result result_;
};

// Taught points, and the client's window moved or resized before and during the run: a
// third stream, so the worlds of the two above stay as they were.
void AddTaught(std::uint64_t seed, World& w) {
  std::mt19937_64 third(seed ^ 0xD1B54A32D192ED03ULL);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(third);
  };
  w.taught = w.modeTwo && pick(0, 1) == 1;
  if (!w.taught) return;
  const auto change = [&] {
    return static_cast<Happening>(pick(static_cast<int>(Happening::MoveClientWindow),
                                       static_cast<int>(Happening::ResizeClient)));
  };
  for (int i = pick(0, 2); i > 0; --i) w.beforeRun.push_back({0, change(), pick(0, 1000)});
  for (int i = pick(0, 2); i > 0; --i) {
    w.events.push_back({static_cast<std::uint32_t>(pick(0, 20000)), change(), pick(0, 1000)});
  }
}

// Long waits, and a pause or a close of the tool and changes to the client inside them; a
// screen that lags the windows: a fourth stream, so what the three above drew stays as it was.
void AddInterruptedWaits(std::uint64_t seed, World& w) {
  std::mt19937_64 fourth(seed ^ 0x94D049BB133111EBULL);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(fourth);
  };
  w.screenLagMs = pick(0, 1) ? pick(0, 120) : 0;
  constexpr int kLongDelays[] = {2000, 4000, 8000, 12000, 20000};
  if (pick(0, 1)) w.delayMs = kLongDelays[pick(0, 4)];
  // Somewhere in the wait after an input: the delay, or the longest wait for the client.
  const auto inWait = [&](Happening what) {
    const int input = pick(0, 15);
    const int into = pick(0, std::max(w.delayMs, 5000) - 1);
    w.events.push_back({static_cast<std::uint32_t>(into), what, pick(0, 1000), input});
  };
  inWait(pick(0, 3) ? Happening::F11 : Happening::CloseTool);
  constexpr Happening kToClient[] = {Happening::MoveClientWindow, Happening::MinimiseClient,
                                     Happening::HideClient, Happening::RestartClient};
  for (int i = pick(0, 2); i > 0; --i) inWait(kToClient[pick(0, 3)]);
}

// Monitor layouts users run: 100 % beside 150 %, a 150 % main screen with a 100 % one left of
// it (negative coordinates), 125 % beside a 100 % one set higher, and three side by side.
const std::vector<std::vector<Monitor>>& ScaledLayouts() {
  static const std::vector<std::vector<Monitor>> layouts{
      {{Rect{0, 0, 1920, 1080}, 96}, {Rect{1920, 0, 4800, 1620}, 144}},
      {{Rect{0, 0, 2560, 1440}, 144}, {Rect{-1920, 200, 0, 1280}, 96}},
      {{Rect{0, 0, 1920, 1200}, 120}, {Rect{1920, -300, 3840, 780}, 96}},
      {{Rect{0, 0, 1600, 1200}, 96},
       {Rect{1600, 0, 3520, 1200}, 120},
       {Rect{-2880, 0, 0, 1620}, 144}},
  };
  return layouts;
}

// Monitors of mixed scales under a taught world: taught on one, the client dragged onto one of
// another scale before the run and inside the run's waits. A fifth stream, so what the four
// above drew stays as it was.
void AddScales(std::uint64_t seed, World& w) {
  std::mt19937_64 fifth(seed ^ 0xBF58476D1CE4E5B9ULL);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(fifth);
  };
  if (!w.taught) return;
  const auto& layouts = ScaledLayouts();
  w.monitors = layouts[static_cast<std::size_t>(pick(0, static_cast<int>(layouts.size()) - 1))];
  w.teachOn = pick(0, static_cast<int>(w.monitors.size()) - 1);
  for (int i = pick(1, 2); i > 0; --i) {
    w.beforeRun.push_back({0, Happening::MoveClientToMonitor, pick(0, 1000)});
  }
  for (int i = pick(1, 2); i > 0; --i) {
    const int input = pick(0, 12);
    const int into = pick(0, std::max(w.delayMs, 300));
    w.events.push_back(
        {static_cast<std::uint32_t>(into), Happening::MoveClientToMonitor, pick(0, 1000), input});
  }
}

}  // namespace

const char* NameOf(Happening happening) { return kNames[static_cast<std::size_t>(happening)]; }

World Generate(std::uint64_t seed, int maxStickers, int maxEvents, bool taughtWorlds,
               bool interruptedWaits, bool mixedScales) {
  std::mt19937_64 random(seed);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  World w;
  w.seed = seed;
  w.collection = pick(0, maxStickers);
  w.folder = pick(0, maxStickers);
  w.addJob = pick(0, 1) == 1;
  w.modeTwo = pick(0, 1) == 1;
  w.pointsOffClient = w.modeTwo && pick(0, 4) == 0;
  w.count = pick(-2, w.collection + 3);
  constexpr int kDelays[] = {0, 50, 100, 300, 500, 1500};
  constexpr int kReactions[] = {0, 100, 800, 1500, 3000};
  w.delayMs = kDelays[pick(0, 5)];
  w.reactMs = kReactions[pick(0, 4)];
  w.jitterMs = pick(0, 1) ? pick(0, 300) : 0;
  const int events = pick(0, maxEvents);
  constexpr int kFirstStreamKinds = static_cast<int>(Happening::HandOnMouseInClick);
  for (int i = 0; i < events; ++i) {
    w.events.push_back({static_cast<std::uint32_t>(pick(0, 60000)),
                        static_cast<Happening>(pick(0, kFirstStreamKinds - 1)), pick(0, 1000)});
  }
  // The faults added since: a stream of their own, so the worlds above stay as they were.
  std::mt19937_64 later(seed ^ 0x9e3779b97f4a7c15ULL);
  const auto pickLater = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(later);
  };
  constexpr int kSecondStreamEnd = static_cast<int>(Happening::MoveClientWindow);
  const int laterEvents = pickLater(0, 2);
  for (int i = 0; i < laterEvents; ++i) {
    w.events.push_back({static_cast<std::uint32_t>(pickLater(0, 60000)),
                        static_cast<Happening>(pickLater(kFirstStreamKinds, kSecondStreamEnd - 1)),
                        pickLater(0, 1000)});
  }
  if (taughtWorlds || mixedScales) AddTaught(seed, w);
  if (interruptedWaits) AddInterruptedWaits(seed, w);
  if (mixedScales) AddScales(seed, w);
  return w;
}

Result Simulate(const World& world) { return Run(world).Go(); }

namespace {

// The promise a result broke, without when and the details: "a click where the look is not".
std::string PromiseOf(const Result& result) {
  const std::size_t from = result.broken.find(": ");
  if (from == std::string::npos) return result.broken;
  const std::string promise = result.broken.substr(from + 2);
  return promise.substr(0, std::min(promise.find(':'), promise.find(" (")));
}

}  // namespace

World Shrink(const World& failing) {
  // Only worlds that break the same promise: a smaller world breaking another one tells
  // nothing about the first.
  const std::string promise = PromiseOf(Simulate(failing));
  const auto breaks = [&promise](const World& w) {
    const Result result = Simulate(w);
    return !result.broken.empty() && PromiseOf(result) == promise;
  };
  World best = failing;
  for (bool smaller = true; smaller;) {
    smaller = false;
    // One event fewer, or fewer stickers, while a promise still breaks.
    for (auto events : {&World::events, &World::beforeRun}) {
      for (std::size_t i = 0; i < (best.*events).size(); ++i) {
        World w = best;
        (w.*events).erase((w.*events).begin() + static_cast<std::ptrdiff_t>(i));
        if (breaks(w)) {
          best = w;
          smaller = true;
          break;
        }
      }
    }
    for (int* size : {&best.collection, &best.folder}) {
      World w = best;
      int* field = size == &best.collection ? &w.collection : &w.folder;
      if (*field == 0) continue;
      *field /= 2;
      if (breaks(w)) {
        best = w;
        smaller = true;
      }
    }
  }
  return best;
}

std::string Describe(const World& w) {
  std::ostringstream out;
  out << "seed " << w.seed << ": " << (w.addJob ? "add" : "delete") << " mode "
      << (w.modeTwo ? "two" : "one") << (w.pointsOffClient ? " (points off the client)" : "")
      << (w.taught ? " (points taught with F10)" : "") << ", collection " << w.collection
      << ", folder " << w.folder << ", count " << w.count << ", delay " << w.delayMs
      << " ms, client reacts in " << w.reactMs << "+" << w.jitterMs << " ms, ";
  if (w.screenLagMs > 0) out << "screen lags " << w.screenLagMs << " ms, ";
  for (std::size_t i = 0; i < w.monitors.size(); ++i) {
    const Rect& m = w.monitors[i].area;
    out << "monitor (" << m.left << "," << m.top << ")-(" << m.right << "," << m.bottom << ") at "
        << w.monitors[i].dpi * 100 / kBaseDpi << " %"
        << (static_cast<int>(i) == w.teachOn ? " (taught on)" : "") << ", ";
  }
  out << w.events.size() << " events";
  for (const Event& e : w.beforeRun)
    out << "\n  before the run: " << NameOf(e.what) << " " << e.value;
  for (const Event& e : w.events) {
    if (e.afterInput >= 0) {
      out << "\n  " << e.at << " ms into the wait after input " << e.afterInput << ": "
          << NameOf(e.what) << " " << e.value;
    } else {
      out << "\n  t=" << e.at << " " << NameOf(e.what) << " " << e.value;
    }
  }
  return out.str();
}

}  // namespace pelloram::sim
