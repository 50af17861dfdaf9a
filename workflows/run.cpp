#include "workflows/run.h"

#include <algorithm>
#include <cstdlib>

#include "client/chat_client.h"
#include "client/input.h"
#include "services/convert.h"
#include "workflows/teaching.h"

namespace pelloram {
namespace {

constexpr int kObservedLimitMs = 5000;
constexpr int kSettleMs = 50;  // the client finishes drawing what it has just shown
constexpr int kPollMs = 20;
// A pointer further than this from where the run left it was moved by the user.
constexpr int kPointerSlackPx = 3;

bool Near(Point a, Point b) {
  return std::abs(a.x - b.x) <= kPointerSlackPx && std::abs(a.y - b.y) <= kPointerSlackPx;
}

}  // namespace

Run::Run(Tool& tool, Job job, Mode mode, ChatClient client, int delayMs,
         std::string_view progressText)
    : tool_(tool),
      job_(job),
      mode_(mode),
      client_(client),
      delay_(delayMs),
      progress_(tool.ui, progressText) {
  tool_.state.runActive = true;
  windowsAtStart_ = ClientWindows(tool_.desktop, client_.window);
}

Run::~Run() {
  LeaveAsFound();
  tool_.state.runActive = false;
}

TargetFault Run::ClientState() {
  Desktop& desktop = tool_.desktop;
  if (client_.window == 0 || desktop.ProcessOf(client_.window) != client_.process) {
    return TargetFault::ClientGone;
  }
  if (!desktop.IsWindowShown(client_.window)) return TargetFault::ClientHidden;
  if (desktop.IsWindowMinimised(client_.window)) return TargetFault::ClientMinimised;
  return TargetFault::None;
}

TargetFault Run::Explain(TargetFault stepReason) {
  const TargetFault state = ClientState();
  return state != TargetFault::None ? state : stepReason;
}

bool Run::Stop(TargetFault fault) {
  if (fault_ == TargetFault::None) fault_ = fault;
  return false;
}

bool Run::StopAtStrangeWindow() {
  Desktop& desktop = tool_.desktop;
  const auto known = [&](WindowHandle w) {
    return std::find(windowsAtStart_.begin(), windowsAtStart_.end(), w) != windowsAtStart_.end() ||
           std::find(opened_.begin(), opened_.end(), w) != opened_.end() ||
           w == FindForwardWindow(desktop, client_.window) || w == FindOpenDialog(desktop);
  };
  for (const WindowHandle w : ClientWindows(desktop, client_.window)) {
    if (known(w)) continue;
    if (fault_ == TargetFault::None) faultDetail_ = desktop.WindowTitle(w);
    return Stop(TargetFault::StrangeWindow);
  }
  return true;
}

bool Run::Forgive(TargetFault fault) {
  if (fault_ != fault || tool_.state.closing) return false;
  fault_ = TargetFault::None;
  return true;
}

bool Run::SkipNotFound() {
  if (fault_ != TargetFault::LookNotFound || tool_.state.closing) return false;
  skipNotes_.push_back(NotFoundReason(faultDetail_) + "，跳过了要用到它的表情。" +
                       std::string(kTeachAgain));
  fault_ = TargetFault::None;
  faultDetail_.clear();
  return true;
}

void Run::MoveSkipNotesTo(AddTally& tally) {
  for (std::string& note : skipNotes_) {
    if (std::find(tally.notes.begin(), tally.notes.end(), note) == tally.notes.end()) {
      tally.notes.push_back(std::move(note));
    }
  }
  skipNotes_.clear();
}

bool Run::PlaceClient() {
  // A window that is maximised, or that keeps a size of its own, may take the call and
  // still end up elsewhere: what counts is where it is afterwards.
  constexpr Rect kPlace{chat::kModeOneLeft, chat::kModeOneTop,
                        chat::kModeOneLeft + chat::kModeOneWidth,
                        chat::kModeOneTop + chat::kModeOneHeight};
  Rect placed;
  if (!tool_.desktop.MoveWindowTo(client_.window, kPlace.left, kPlace.top, chat::kModeOneWidth,
                                  chat::kModeOneHeight) ||
      !tool_.desktop.ReadWindowRect(client_.window, placed) || placed != kPlace) {
    return Stop(TargetFault::PlacementFailed);
  }
  return true;
}

bool Run::WhereToClick(const JobPoint& point, const OpenMenu& menu, Point& screen) {
  if (mode_ == Mode::One) {
    screen = ScreenPointOf(tool_.desktop, client_.window, point.builtIn.x, point.builtIn.y);
    return true;
  }
  const Location found = LocateTaught(tool_, client_, point.id, menu);
  switch (found.how) {
    case Located::Untaught: {
      // Points typed by hand are screen points: clicked exactly where they say, on every
      // monitor layout. Fields emptied since the start (the page or its mode changed) say
      // nowhere: 0 is no point to click.
      const std::string x = tool_.ui.ReadControlText(point.xField);
      const std::string y = tool_.ui.ReadControlText(point.yField);
      if (x.empty() || y.empty()) return Stop(TargetFault::PointCleared);
      screen = Point{FieldValue(x), FieldValue(y)};
      return true;
    }
    case Located::At:
      screen = found.at;
      WritePointFields(tool_, point, screen.x, screen.y);
      return true;
    case Located::NotFound:
      if (fault_ == TargetFault::None) faultDetail_ = PointOf(found.missing).controlName;
      return Stop(TargetFault::LookNotFound);
    case Located::Unreadable:
      return Stop(TargetFault::ScreenUnreadable);
  }
  return Stop(TargetFault::LookNotFound);
}

bool Run::CheckedClick(const JobPoint& point, Point screen, WindowHandle menu) {
  if (Ended()) return false;
  // The pointer is read before each click, and the click puts it back there: found
  // elsewhere before the next one, the user has taken the mouse. Under Wine the position of
  // a click can come back after the pointer was put back (a late echo of the jump there),
  // so the points the run clicked count as untouched.
  const Point pointer = ReadCursorPoint(tool_.desktop);
  const auto clickedThere = [&] {
    return std::any_of(clickedAt_.begin(), clickedAt_.end(),
                       [&](Point at) { return Near(pointer, at); });
  };
  if (pointerLeftAt_ && !Near(pointer, *pointerLeftAt_) && !clickedThere()) {
    return Stop(TargetFault::UserMoved);
  }
  if (const TargetFault state = ClientState(); state != TargetFault::None) return Stop(state);
  const WindowHandle client = Client();
  const TargetFault fault = CheckClickTarget(tool_.desktop, client, screen);
  if (fault != TargetFault::None) return Stop(fault);
  const WindowHandle under = tool_.desktop.TopLevelWindowAt(screen);
  if (menu != 0) {
    Rect clientNow;
    tool_.desktop.ReadWindowRect(client, clientNow);
    if (under != menu) return Stop(TargetFault::OffMenu);
    if (clientNow != clientWhenMenuOpened_) return Stop(TargetFault::ClientMoved);
  } else if (under != 0 && under == tool_.state.lastMenu) {
    return Stop(TargetFault::PointOffClient);
  }
  // The seam moves, presses and puts the pointer back as one act, on this very point.
  switch (tool_.desktop.Click(screen, point.button)) {
    case ClickResult::Done:
      break;
    case ClickResult::Refused:
      return Stop(TargetFault::InputRefused);
    case ClickResult::Missed:
      return Stop(TargetFault::ClickMissed);
  }
  if (!pointerLeftAt_ || !Near(pointer, *pointerLeftAt_)) pointerLeftAt_ = pointer;
  if (std::none_of(clickedAt_.begin(), clickedAt_.end(), [&](Point at) { return at == screen; })) {
    clickedAt_.push_back(screen);
  }
  return true;
}

bool Run::Click(JobPointId id, int thenWaitMs) {
  const JobPoint& point = PointOf(id);
  Point screen;
  if (Ended() || !WhereToClick(point, {}, screen)) return false;
  return CheckedClick(point, screen, 0) && Wait(thenWaitMs);
}

bool Run::RightClickForMenu(JobPointId id, WindowHandle& menu) {
  const JobPoint& point = PointOf(id);
  const std::vector<WindowHandle> before = ClientWindows(tool_.desktop, Client());
  Point clicked;
  if (Ended() || !WhereToClick(point, {}, clicked)) return false;
  Rect clientAtClick;
  tool_.desktop.ReadWindowRect(Client(), clientAtClick);
  if (!CheckedClick(point, clicked, 0)) return false;
  const Awaited up = Await([&] {
    menu = NewWindowAt(tool_.desktop, before, ClientWindows(tool_.desktop, Client()), clicked);
    return menu != 0;
  });
  if (up == Awaited::Closing) return false;
  if (up == Awaited::TimedOut) return Stop(Explain(TargetFault::NoMenu));
  tool_.state.lastMenu = menu;
  Opened(menu);
  clientWhenMenuOpened_ = clientAtClick;
  rightClickedAt_ = clicked;
  return true;
}

bool Run::ClickMenuItem(JobPointId item, WindowHandle menu) {
  const JobPoint& point = PointOf(item);
  Point screen;
  if (Ended() || !WhereToClick(point, OpenMenu{menu, rightClickedAt_}, screen)) return false;
  return CheckedClick(point, screen, menu);
}

bool Run::AwaitMenuGone(WindowHandle menu) {
  const Awaited closed = Await([&] { return !tool_.desktop.IsWindowShown(menu); });
  if (closed == Awaited::TimedOut) Stop(Explain(TargetFault::NoReaction));
  return closed == Awaited::Ready;
}

bool Run::Key(int key, int thenWaitMs) {
  if (Ended()) return false;
  if (const TargetFault state = ClientState(); state != TargetFault::None) return Stop(state);
  const TargetFault fault = CheckKeyTarget(tool_.desktop, Client());
  if (fault != TargetFault::None) return Stop(fault);
  if (!PressKey(tool_.desktop, key)) return Stop(TargetFault::InputRefused);
  return Wait(thenWaitMs);
}

bool Run::Chord(int modifier, int key, int thenWaitMs) {
  if (Ended()) return false;
  if (const TargetFault state = ClientState(); state != TargetFault::None) return Stop(state);
  const TargetFault fault = CheckKeyTarget(tool_.desktop, Client());
  if (fault != TargetFault::None) return Stop(fault);
  if (!PressKeyChord(tool_.desktop, key, modifier)) return Stop(TargetFault::InputRefused);
  return Wait(thenWaitMs);
}

bool Run::Wait(int milliseconds) {
  if (tool_.state.closing) return false;
  ResponsiveDelay(tool_.desktop, milliseconds);
  return !tool_.state.closing;
}

Awaited Run::Await(const std::function<bool()>& ready) {
  const std::uint32_t start = tool_.desktop.TickCount();
  const auto limit = static_cast<std::uint32_t>(std::max(delay_, kObservedLimitMs));
  for (;;) {
    if (tool_.state.closing) return Awaited::Closing;
    if (ready()) return Wait(kSettleMs) ? Awaited::Ready : Awaited::Closing;
    if (tool_.desktop.TickCount() - start >= limit) return Awaited::TimedOut;
    ResponsiveDelay(tool_.desktop, kPollMs);
  }
}

bool Run::AwaitAtMost(const std::function<bool()>& ready) {
  const std::uint32_t start = tool_.desktop.TickCount();
  while (!ready() && static_cast<std::int64_t>(tool_.desktop.TickCount() - start) < delay_) {
    if (!Wait(kPollMs)) return false;
  }
  return ready() ? Wait(kSettleMs) : !tool_.state.closing;
}

}  // namespace pelloram
