#include "workflows/run.h"

#include <algorithm>
#include <cstdlib>

#include "client/chat_client.h"
#include "client/input.h"
#include "services/convert.h"
#include "workflows/points.h"

namespace pelloram {
namespace {

// A pointer further than this from where the run left it was moved by the user.
constexpr int kPointerSlackPx = 3;
// How often a point is found again because the client's window moved between the picture
// and the click, and how often a menu is opened again because the window moved under it.
constexpr int kFindAttempts = 3;
constexpr int kMenuAttempts = 3;
// After the client's window moved, the screen may show it at its old place for a moment:
// the picture is taken once the client has had this long to draw itself where it is now.
constexpr int kScreenSettleMs = 150;

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
  tool_.state.pauseAsked = false;
  windowsAtStart_ = ClientWindows(tool_.desktop, client_.window);
  Rect seen;
  if (tool_.desktop.ReadWindowRect(client_.window, seen)) clientSeen_ = seen;
}

Run::~Run() {
  LeaveAsFound();
  tool_.state.runActive = false;
}

bool Run::PlaceClient() {
  // The classic client lays itself out at its monitor's scale: its rectangle, like its
  // built-in points, is a 100 % one, times the scale of the monitor it is put on. A window
  // that is maximised, or that keeps a size of its own, may take the call and still end up
  // elsewhere: what counts is where it is afterwards. One arriving from a monitor of another
  // scale may resize itself as it arrives: it is asked once more where it is.
  constexpr Point kTopLeft{chat::kModeOneLeft, chat::kModeOneTop};
  constexpr int kAttempts = 2;
  Desktop& desktop = tool_.desktop;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const int dpi = DpiAt(desktop.Monitors(), kTopLeft);
    const Point size = Scaled(Point{chat::kModeOneWidth, chat::kModeOneHeight}, dpi);
    const Rect place{kTopLeft.x, kTopLeft.y, kTopLeft.x + size.x, kTopLeft.y + size.y};
    Rect placed;
    if (!desktop.MoveWindowTo(client_.window, place.left, place.top, size.x, size.y) ||
        !desktop.ReadWindowRect(client_.window, placed)) {
      break;
    }
    if (placed == place) {
      clientSeen_ = placed;
      return true;
    }
  }
  return Stop(StopReason::PlacementFailed);
}

bool Run::LocateByLook(const JobPoint& point, const OpenMenu& menu, Point& screen) {
  const Location found = LocateTaught(tool_, client_, point.id, menu);
  switch (found.how) {
    case Located::Untaught: {
      // Points typed by hand are screen points: clicked exactly where they say, on every
      // monitor layout. Fields emptied since the start (the page or its mode changed) say
      // nowhere: 0 is no point to click.
      const std::string x = tool_.ui.ReadControlText(point.xField);
      const std::string y = tool_.ui.ReadControlText(point.yField);
      if (x.empty() || y.empty()) return Stop(StopReason::PointCleared);
      screen = Point{FieldValue(x), FieldValue(y)};
      return true;
    }
    case Located::At:
      screen = found.at;
      ShowPoint(tool_, point, screen.x, screen.y);
      return true;
    case Located::NotFound:
      if (fault_ == StopReason::None) faultDetail_ = PointOf(found.missing).controlName;
      aimedAt_ = found.expected;
      return Stop(StopReason::LookNotFound);
    case Located::Unreadable:
      return Stop(StopReason::ScreenUnreadable);
  }
  return Stop(StopReason::LookNotFound);
}

bool Run::WhereToClick(const JobPoint& point, const OpenMenu& menu, Point& screen) {
  if (mode_ == Mode::One) {
    // Built-in points are the client's layout at 100 %; it draws itself at its monitor's scale.
    const Point builtIn = Scaled(point.builtIn, DpiOfWindow(tool_.desktop, client_.window));
    screen = ScreenPointOf(tool_.desktop, client_.window, builtIn.x, builtIn.y);
    return true;
  }
  Rect now;
  if (tool_.desktop.ReadWindowRect(client_.window, now) && clientSeen_ != now) {
    // Moved or resized since the run last clicked it: let the screen catch up before its
    // picture. Seen only once clicked: a window that moves again meanwhile gets its moment
    // again when the point is found anew.
    if (!Wait(kScreenSettleMs) && menu.window == 0) return false;
  }
  return LocateByLook(point, menu, screen);
}

bool Run::PointerTaken(Point pointer) const {
  // The pointer is read before each click, and the click puts it back there: found
  // elsewhere before the next one, the user has taken the mouse. Under Wine the position of
  // a click can come back after the pointer was put back (a late echo of the jump there),
  // so the points the run clicked count as untouched.
  const bool clickedThere = std::any_of(clickedAt_.begin(), clickedAt_.end(),
                                        [&](Point at) { return Near(pointer, at); });
  return pointerLeftAt_ && !Near(pointer, *pointerLeftAt_) && !clickedThere;
}

Run::Clicked Run::CheckedClick(const JobPoint& point, Point screen, WindowHandle menu,
                               const std::optional<Rect>& clientAtFind) {
  // Only the item of a menu already open is clicked after a stop was asked.
  if (fault_ != StopReason::None || tool_.state.closing) return Clicked::No;
  if (menu == 0 && StopAsked()) return Clicked::No;
  aimedAt_ = screen;
  if (fault_ == StopReason::None) faultDetail_ = point.controlName;
  const Point pointer = ReadCursorPoint(tool_.desktop);
  if (PointerTaken(pointer)) {
    Stop(StopReason::UserMoved);
    return Clicked::No;
  }
  const auto stop = [&](StopReason fault) {
    Stop(fault);
    return Clicked::No;
  };
  if (const StopReason state = ClientState(); state != StopReason::None) return stop(state);
  const WindowHandle client = Client();
  Rect clientNow;
  if (!tool_.desktop.ReadWindowRect(client, clientNow)) return stop(StopReason::ClientGone);
  if (menu != 0 && clientNow != clientWhenMenuOpened_) return stop(StopReason::ClientMoved);
  if (clientAtFind && clientNow != *clientAtFind) return Clicked::ClientMoved;
  switch (CheckClickTarget(tool_.desktop, client, screen)) {
    case Target::Client:
      break;
    case Target::Gone:
      return stop(StopReason::ClientGone);
    case Target::Elsewhere:
      return stop(StopReason::PointOffClient);
  }
  const WindowHandle under = tool_.desktop.TopLevelWindowAt(screen);
  if (menu != 0 && under != menu) return stop(StopReason::OffMenu);
  if (menu == 0 && under != 0 && under == tool_.state.lastMenu) {
    return stop(StopReason::PointOffClient);
  }
  // The seam moves, presses and puts the pointer back as one act, on this very point.
  switch (tool_.desktop.Click(screen, point.button)) {
    case ClickResult::Done:
      break;
    case ClickResult::Refused:
      return stop(StopReason::InputRefused);
    case ClickResult::Missed:
      return stop(StopReason::ClickMissed);
  }
  if (!pointerLeftAt_ || !Near(pointer, *pointerLeftAt_)) pointerLeftAt_ = pointer;
  if (std::none_of(clickedAt_.begin(), clickedAt_.end(), [&](Point at) { return at == screen; })) {
    clickedAt_.push_back(screen);
  }
  clientSeen_ = clientNow;
  faultDetail_.clear();
  aimedAt_.reset();
  return Clicked::Yes;
}

bool Run::FindAndClick(const JobPoint& point, const OpenMenu& menu, Point& clicked) {
  for (int attempt = 0; attempt < kFindAttempts; ++attempt) {
    // A point typed by hand is a screen point, whatever the client's window does; a menu's
    // item goes with its menu, which ClientMoved guards.
    const bool followsClient =
        mode_ == Mode::One || (menu.window == 0 && tool_.state.LookOf(point.id));
    std::optional<Rect> clientAtFind;
    Rect rect;
    if (followsClient && tool_.desktop.ReadWindowRect(client_.window, rect)) clientAtFind = rect;
    if (!WhereToClick(point, menu, clicked)) return false;
    switch (CheckedClick(point, clicked, menu.window, clientAtFind)) {
      case Clicked::Yes:
        return true;
      case Clicked::No:
        return false;
      case Clicked::ClientMoved:
        break;  // the window moved between the picture and the click: found again
    }
  }
  return Stop(StopReason::ClientMoved);
}

bool Run::Click(JobPointId id, int thenWaitMs) {
  Point clicked;
  if (Ended() || !FindAndClick(PointOf(id), {}, clicked)) return false;
  return Wait(thenWaitMs);
}

bool Run::RightClickForMenu(JobPointId id, WindowHandle& menu) {
  const std::vector<WindowHandle> before = ClientWindows(tool_.desktop, Client());
  Point clicked;
  if (Ended() || !FindAndClick(PointOf(id), {}, clicked)) return false;
  if (!tool_.desktop.ReadWindowRect(Client(), clientWhenMenuOpened_)) {
    return Stop(StopReason::ClientGone);
  }
  const Awaited up = Await([&] {
    menu = NewWindowAt(tool_.desktop, before, ClientWindows(tool_.desktop, Client()), clicked);
    return menu != 0;
  });
  if (up == Awaited::Stopped) return AwaitMenuAfterStop(before, clicked, menu);
  if (up == Awaited::TimedOut) return Stop(StopReason::NoMenu);
  tool_.state.lastMenu = menu;
  Opened(menu);
  rightClickedAt_ = clicked;
  return true;
}

bool Run::ClickMenuItem(JobPointId item, WindowHandle menu) {
  if (fault_ != StopReason::None || tool_.state.closing) return false;
  Point clicked;
  return FindAndClick(PointOf(item), OpenMenu{menu, rightClickedAt_}, clicked);
}

bool Run::CloseMenuMovedAway(WindowHandle menu) {
  if (menusMovedAway_ >= kMenuAttempts - 1 || StopAsked() || !Forgive(StopReason::ClientMoved)) {
    return false;
  }
  ++menusMovedAway_;
  // The menu stayed where it opened while its owner moved: it is closed, and the step
  // starts again from the right click, on the client where it is now.
  return Key(vk::kEscape, 0) && AwaitMenuGone(menu);
}

bool Run::Key(int key, int thenWaitMs) { return Chord(0, key, thenWaitMs); }

bool Run::Chord(int modifier, int key, int thenWaitMs) {
  if (Ended()) return false;
  if (const StopReason state = ClientState(); state != StopReason::None) return Stop(state);
  const Target target = CheckKeyTarget(tool_.desktop, Client());
  if (target != Target::Client) {
    return Stop(target == Target::Gone ? StopReason::ClientGone : StopReason::ClientNotInFront);
  }
  const bool taken =
      modifier == 0 ? PressKey(tool_.desktop, key) : PressKeyChord(tool_.desktop, key, modifier);
  if (!taken) return Stop(StopReason::InputRefused);
  return Wait(thenWaitMs);
}

}  // namespace pelloram
