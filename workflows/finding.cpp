#include "workflows/finding.h"

#include <algorithm>
#include <optional>

#include "client/monitors.h"
#include "services/picture_match.h"

namespace pelloram {
namespace {

// No screen is larger; a rectangle beyond it comes from a window parked off-screen.
constexpr int kLargestSide = 16384;

// The smallest rectangle around the client's shown windows (its main window, the sticker
// panel, menus and dialogs), where its controls can be.
Rect ClientArea(Desktop& desktop, const ChatClient& client) {
  Rect area;
  if (!desktop.ReadWindowRect(client.window, area)) return Rect{};
  for (const WindowHandle w : desktop.ShownWindowsOf(client.process)) {
    Rect r;
    if (desktop.IsWindowMinimised(w) || !desktop.ReadWindowRect(w, r)) continue;
    if (r.right - r.left <= 0 || r.bottom - r.top <= 0) continue;
    area = Rect{std::min(area.left, r.left), std::min(area.top, r.top),
                std::max(area.right, r.right), std::max(area.bottom, r.bottom)};
  }
  area.right = std::min(area.right, area.left + kLargestSide);
  area.bottom = std::min(area.bottom, area.top + kLargestSide);
  return area;
}

// Only what shows on a monitor can be looked at: a window reaching past a screen's edge is
// searched where it shows.
Rect OnScreen(Desktop& desktop, const Rect& area) {
  return OnScreenPart(desktop.MonitorRects(), area);
}

// The tool's own windows are no part of the client: their icons may look like its controls
// (the point fields' pictures beside them do), so they are blacked out of the picture.
void HideOwnWindows(Desktop& desktop, const Rect& area, Image& shot) {
  for (const WindowHandle w : desktop.ShownWindowsOf(desktop.OwnProcess())) {
    Rect r;
    if (!desktop.ReadWindowRect(w, r)) continue;
    const Rect hidden = Intersect(r, area);
    for (int y = hidden.top; y < hidden.bottom; ++y) {
      for (int x = hidden.left; x < hidden.right; ++x) {
        std::uint8_t* pixel = shot.bgra.data() + shot.Offset(x - area.left, y - area.top);
        pixel[0] = pixel[1] = pixel[2] = 0;
      }
    }
  }
}

// The part under the pointer must match in full: the rest may show another state (the
// highlight of a pressed button or a selected tab) or be partly covered.
Rect CoreOf(const TaughtLook& look) {
  constexpr int kHalfCore = kTaughtCoreSide / 2;
  const Point p = look.pointInPicture;
  return Rect{std::max(0, p.x - kHalfCore), std::max(0, p.y - kHalfCore),
              std::min(look.picture.width, p.x + kHalfCore),
              std::min(look.picture.height, p.y + kHalfCore)};
}

// The picture on the screen within `area`, where `near` (the screen point where the taught
// point would lie if nothing had moved) shows a first guess of the picture's top-left.
Location SearchIn(Desktop& desktop, const TaughtLook& look, const Rect& area,
                  std::optional<Point> near, JobPointId id) {
  Image shot;
  if (area.right - area.left < look.picture.width || area.bottom - area.top < look.picture.height) {
    return {Located::NotFound, {}, id};
  }
  if (!desktop.CaptureScreen(area, shot)) return {Located::Unreadable};
  HideOwnWindows(desktop, area, shot);
  SearchHint hint;
  hint.core = CoreOf(look);
  if (near) {
    hint.taughtAt = Point{near->x - area.left - look.pointInPicture.x,
                          near->y - area.top - look.pointInPicture.y};
  }
  const Match match = FindPicture(shot, look.picture, hint);
  if (!match.found) return {Located::NotFound, {}, id};
  return {Located::At, Point{area.left + match.at.x + look.pointInPicture.x,
                             area.top + match.at.y + look.pointInPicture.y}};
}

// First on a small picture of the screen around where the control was (a control that has
// not moved is found at a fraction of the cost: a picture of a whole window takes tens of
// milliseconds), then on a picture of the whole area.
Location SearchPicture(Desktop& desktop, const TaughtLook& look, const Rect& area, Point near,
                       JobPointId id) {
  const int reach = SearchHint{}.nearRadius + std::max(look.picture.width, look.picture.height);
  const Rect around =
      Intersect(area, Rect{near.x - reach, near.y - reach, near.x + reach, near.y + reach});
  if (IsEmpty(area)) return {Located::NotFound, {}, id};
  const bool smaller = around.right - around.left < area.right - area.left ||
                       around.bottom - around.top < area.bottom - area.top;
  if (smaller && around.right - around.left >= look.picture.width &&
      around.bottom - around.top >= look.picture.height) {
    const Location nearby = SearchIn(desktop, look, around, std::nullopt, id);
    if (nearby.how != Located::NotFound) return nearby;
  }
  return SearchIn(desktop, look, area, near, id);
}

// Found, the control's place is kept as its new taught place: after a resize has moved it
// on the window, the next click looks for it first where it is now.
Location ByPicture(Tool& tool, const ChatClient& client, JobPointId id, TaughtLook& look,
                   const OpenMenu& menu) {
  Desktop& desktop = tool.desktop;
  const WindowHandle home = look.onMenu ? menu.window : client.window;
  const std::optional<Point> topLeft = home != 0 ? TopLeftOf(desktop, home) : std::nullopt;
  if (!topLeft) return {Located::NotFound, {}, id};
  const Point origin = *topLeft;
  Rect area;
  if (look.onMenu) {
    if (!desktop.ReadWindowRect(menu.window, area)) return {Located::NotFound, {}, id};
  } else {
    area = ClientArea(desktop, client);
  }
  const Point expected{origin.x + look.place.x, origin.y + look.place.y};
  Location found = SearchPicture(desktop, look, OnScreen(desktop, area), expected, id);
  if (found.how == Located::At) look.place = Point{found.at.x - origin.x, found.at.y - origin.y};
  if (found.how == Located::NotFound) found.expected = expected;
  return found;
}

Location FromClientCorner(Desktop& desktop, const ChatClient& client, const TaughtLook& look) {
  Rect rect;
  if (!desktop.ReadWindowRect(client.window, rect)) return {};
  return {Located::At, Point{rect.right + look.place.x, rect.bottom + look.place.y}};
}

// A menu item with no picture of its own lies at the client's menu offset from the right
// click, when that click found its point by a taught look.
Location AtMenuOffset(Tool& tool, JobPointId id, const OpenMenu& menu) {
  if (menu.window == 0) return {};
  for (const DerivedPoint& derived : DerivedPoints()) {
    if (derived.derived != id || !tool.state.LookOf(derived.source)) continue;
    return {Located::At, Point{menu.rightClickedAt.x + derived.offset.x,
                               menu.rightClickedAt.y + derived.offset.y}};
  }
  return {};
}

}  // namespace

Location LocateTaught(Tool& tool, const ChatClient& client, JobPointId id, const OpenMenu& menu) {
  std::optional<TaughtLook>& look = tool.state.LookOf(id);
  if (!look) return AtMenuOffset(tool, id, menu);
  switch (look->how) {
    case TaughtLook::Found::ByPicture:
      return ByPicture(tool, client, id, *look, menu);
    case TaughtLook::Found::FromClientCorner:
      return FromClientCorner(tool.desktop, client, *look);
    case TaughtLook::Found::FromAnchor: {
      Location anchor = LocateTaught(tool, client, JobPointId::CollectedTab, {});
      if (anchor.how == Located::At) {
        anchor.at = Point{anchor.at.x + look->place.x, anchor.at.y + look->place.y};
      }
      return anchor;
    }
  }
  return {};
}

}  // namespace pelloram
