#include "workflows/run_steps.h"

#include <algorithm>
#include <cstdlib>

#include "client/input.h"
#include "client/window_binding.h"
#include "services/convert.h"

namespace pelloram {
namespace {

constexpr int kObservedLimitMs = 5000;
constexpr int kSettleMs = 50;  // the client finishes drawing what it has just shown
constexpr int kPollMs = 20;
// A pointer further than this from where the run left it was moved by the user.
constexpr int kPointerSlackPx = 3;

Rect ClientRect(Tool& tool, Mode mode) {
  Rect rect;
  tool.desktop.ReadWindowRect(RunClient(tool, mode), rect);
  return rect;
}

bool Near(Point a, Point b) {
  return std::abs(a.x - b.x) <= kPointerSlackPx && std::abs(a.y - b.y) <= kPointerSlackPx;
}

// The pointer is read before each click and put back there after it: found elsewhere
// before the next one, the user has taken the mouse. Under Wine a click's own position can
// come back after the pointer was put back, so the clicked point counts as untouched too.
bool PointerMoved(const Tool& tool, Point now) {
  if (!tool.state.pointerLeftAt) return false;
  return !Near(now, *tool.state.pointerLeftAt) && !Near(now, tool.state.lastClickAt);
}

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
    case TargetFault::NoReaction:
      return "微信没有按预期反应，已停止。请确认微信正常、没有弹出别的窗口，再重新开始。";
    case TargetFault::OffMenu:
      return "菜单项的位置不在弹出的菜单上，已停止。请检查坐标（模式二可手动修改）后重新开始。";
    case TargetFault::ClientMoved:
      return "微信窗口在运行中被移动了，已停止。请不要移动微信窗口，然后重新开始。";
    case TargetFault::UserMoved:
      return "检测到鼠标移动，已暂停。按 F11 继续。";
    case TargetFault::NoMenu:
      return "右键点击后没有出现菜单，已停止。请确认微信的表情面板开着、收藏里还有表情，"
             "再重新开始。";
  }
  return {};
}

bool ClickStep(Tool& tool, JobPointId id, Mode mode, int milliseconds, WindowHandle menu) {
  const Point pointer = ReadCursorPoint(tool.desktop);
  if (PointerMoved(tool, pointer)) return Stop(tool, TargetFault::UserMoved);
  const JobPoint& point = PointOf(id);
  const Point screen = WhereToClick(tool, point, mode);
  const TargetFault fault = CheckClickTarget(tool.desktop, RunClient(tool, mode), screen);
  if (fault != TargetFault::None) return Stop(tool, fault);
  const WindowHandle under = tool.desktop.TopLevelWindowAt(screen);
  if (menu != 0 && under != menu) return Stop(tool, TargetFault::OffMenu);
  if (menu != 0 && ClientRect(tool, mode) != tool.state.clientWhenMenuOpened) {
    return Stop(tool, TargetFault::ClientMoved);
  }
  if (menu == 0 && under != 0 && under == tool.state.lastMenu) {
    return Stop(tool, TargetFault::PointOffClient);
  }
  if (!ClickAtScreen(tool.desktop, screen, point.button)) {
    return Stop(tool, TargetFault::InputRefused);
  }
  tool.state.pointerLeftAt = pointer;
  tool.state.lastClickAt = screen;
  return WaitStep(tool, milliseconds);
}

bool MenuStep(Tool& tool, JobPointId point, Mode mode, int delay, WindowHandle& menu) {
  const std::vector<WindowHandle> before = ClientWindows(tool.desktop, RunClient(tool, mode));
  const Point clicked = WhereToClick(tool, PointOf(point), mode);
  const Rect clientAtClick = ClientRect(tool, mode);
  if (!ClickStep(tool, point, mode, 0)) return false;
  const Awaited up = Await(tool, delay, [&] {
    menu = NewWindowAt(tool.desktop, before, ClientWindows(tool.desktop, RunClient(tool, mode)),
                       clicked);
    if (menu != 0) {
      tool.state.lastMenu = menu;
      tool.state.clientWhenMenuOpened = clientAtClick;
    }
    return menu != 0;
  });
  if (up == Awaited::Ready) return true;
  return up == Awaited::Closing ? false : Stop(tool, TargetFault::NoMenu);
}

bool MenuClosed(Tool& tool, WindowHandle menu, int delay) {
  const Awaited closed = Await(tool, delay, [&] { return !tool.desktop.IsWindowShown(menu); });
  if (closed == Awaited::TimedOut) Stop(tool, TargetFault::NoReaction);
  return closed == Awaited::Ready;
}

Awaited Await(Tool& tool, int delay, const std::function<bool()>& ready) {
  if (tool.state.fixedWaits) {
    if (!WaitStep(tool, delay)) return Awaited::Closing;
    return ready() ? Awaited::Ready : Awaited::TimedOut;
  }
  const std::uint32_t start = tool.desktop.TickCount();
  const std::uint32_t limit = static_cast<std::uint32_t>(std::max(delay, kObservedLimitMs));
  for (;;) {
    if (tool.state.closing) return Awaited::Closing;
    if (ready()) return WaitStep(tool, kSettleMs) ? Awaited::Ready : Awaited::Closing;
    if (tool.desktop.TickCount() - start >= limit) return Awaited::TimedOut;
    ResponsiveDelay(tool.desktop, kPollMs);
  }
}

bool AwaitAtMost(Tool& tool, int delay, const std::function<bool()>& ready) {
  // With fixed waits the step before it has waited the delay already.
  if (tool.state.fixedWaits) return !tool.state.closing;
  const std::uint32_t start = tool.desktop.TickCount();
  while (!ready() && static_cast<std::int64_t>(tool.desktop.TickCount() - start) < delay) {
    if (!WaitStep(tool, kPollMs)) return false;
  }
  return ready() ? WaitStep(tool, kSettleMs) : !tool.state.closing;
}

bool KeyStep(Tool& tool, Mode mode, int key, int modifier, int milliseconds) {
  const TargetFault fault = CheckKeyTarget(tool.desktop, RunClient(tool, mode));
  if (fault != TargetFault::None) return Stop(tool, fault);
  const bool taken =
      modifier != 0 ? PressKeyChord(tool.desktop, key, modifier) : PressKey(tool.desktop, key);
  if (!taken) return Stop(tool, TargetFault::InputRefused);
  return WaitStep(tool, milliseconds);
}

CaptionProgress::CaptionProgress(Ui& ui, std::string_view doing)
    : ui_(ui), caption_(ui.ReadControlText(Control::MainWindow)), doing_(doing) {}

CaptionProgress::~CaptionProgress() { ui_.WriteControlText(Control::MainWindow, caption_); }

void CaptionProgress::Show(std::int64_t current, std::int64_t total) {
  ui_.WriteControlText(Control::MainWindow,
                       caption_ + " — " + doing_ + " " + ToText(current) + " / " + ToText(total));
}

void TipUserMoved(Tool& tool) {
  tool.ui.ShowBalloonTip(Control::WarningTip, tool.ui.ControlCentre(Control::MainWindow),
                         StopMessage(TargetFault::UserMoved), false);
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
