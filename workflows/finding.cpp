#include "workflows/finding.h"

#include <algorithm>
#include <optional>

#include "client/monitors.h"
#include "services/picture_match.h"
#include "services/picture_resize.h"
#include "workflows/points.h"

namespace pelloram {
namespace {

// No screen is larger; a rectangle beyond it comes from a window parked off-screen.
constexpr int kLargestSide = 16384;

// The smallest rectangle around the client's shown windows (its main window, the sticker
// panel, menus and dialogs), where its controls can be.
Rect ClientWindowsBounds(Desktop& desktop, const ChatClient& client) {
  Rect area;
  if (!desktop.ReadWindowRect(client.window, area)) return Rect{};
  for (const WindowHandle w : desktop.ShownWindowsOf(client.process)) {
    Rect r;
    if (desktop.IsWindowMinimised(w) || !desktop.ReadWindowRect(w, r)) continue;
    area = Union(area, r);
  }
  area.right = std::min(area.right, area.left + kLargestSide);
  area.bottom = std::min(area.bottom, area.top + kLargestSide);
  return area;
}

// Only what shows on a monitor can be looked at: a window reaching past a screen's edge is
// searched where it shows.
Rect OnScreen(Desktop& desktop, const Rect& area) { return OnScreenPart(desktop.Monitors(), area); }

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
  return Intersect(SquareAround(look.pointInPicture, kTaughtCoreSide / 2),
                   Rect{0, 0, look.picture.width, look.picture.height});
}

// The look as the client draws it at `dpi`: the picture resized by the ratio of the scales,
// the point in it and the distance from its origin with it. Its core is the taught core,
// resized alike.
struct ScaledLook {
  TaughtLook look;
  Rect core;
};

ScaledLook AtDpi(const TaughtLook& taught, int dpi) {
  if (dpi == taught.dpi) return {taught, CoreOf(taught)};
  ScaledLook scaled{{}, ScaledEdges(CoreOf(taught), dpi, taught.dpi)};
  TaughtLook& look = scaled.look;
  look.dpi = dpi;
  look.fromOrigin = Scaled(taught.fromOrigin, dpi, taught.dpi);
  if (taught.picture.Valid()) {
    look.picture =
        Resized(taught.picture, std::max(1, Scaled(taught.picture.width, dpi, taught.dpi)),
                std::max(1, Scaled(taught.picture.height, dpi, taught.dpi)));
    look.pointInPicture = Scaled(taught.pointInPicture, dpi, taught.dpi);
    scaled.core = Intersect(scaled.core, Rect{0, 0, look.picture.width, look.picture.height});
  }
  return scaled;
}

// The picture on the screen within `area`, where `near` (the screen point where the taught
// point would lie if nothing had moved) shows a first guess of the picture's top-left.
Location SearchIn(Desktop& desktop, const ScaledLook& scaled, const Rect& area,
                  std::optional<Point> near, JobPointId id) {
  const TaughtLook& look = scaled.look;
  Image shot;
  if (area.right - area.left < look.picture.width || area.bottom - area.top < look.picture.height) {
    return {Located::NotFound, {}, id};
  }
  if (!desktop.CaptureScreen(area, shot)) return {Located::Unreadable};
  HideOwnWindows(desktop, area, shot);
  SearchHint hint;
  hint.core = scaled.core;
  if (near) {
    hint.expectedAt = *near - TopLeft(area) - look.pointInPicture;
  }
  const Match match = FindPicture(shot, look.picture, hint);
  if (!match.found) return {Located::NotFound, {}, id};
  return {Located::At, TopLeft(area) + match.at + look.pointInPicture};
}

// First on a small picture of the screen around where the control was (a control that has
// not moved is found at a fraction of the cost: a picture of a whole window takes tens of
// milliseconds), then on a picture of the whole area.
Location SearchPicture(Desktop& desktop, const ScaledLook& scaled, const Rect& area, Point near,
                       JobPointId id) {
  const TaughtLook& look = scaled.look;
  const int reach = SearchHint{}.nearRadius + std::max(look.picture.width, look.picture.height);
  const Rect around = Intersect(area, SquareAround(near, reach));
  if (IsEmpty(area)) return {Located::NotFound, {}, id};
  const bool smaller = around.right - around.left < area.right - area.left ||
                       around.bottom - around.top < area.bottom - area.top;
  if (smaller && around.right - around.left >= look.picture.width &&
      around.bottom - around.top >= look.picture.height) {
    const Location nearby = SearchIn(desktop, scaled, around, std::nullopt, id);
    if (nearby.how != Located::NotFound) return nearby;
  }
  return SearchIn(desktop, scaled, area, near, id);
}

// Found, the control's place is kept as its new taught place: after a resize has moved it
// on the window, the next click looks for it first where it is now. A menu item is searched
// for in the menu that came up, the rest on the client's windows, each at the scale of the
// window it is searched on.
Location ByPicture(Tool& tool, const ChatClient& client, const JobPoint& point, TaughtLook& look,
                   const OpenMenu& menu) {
  Desktop& desktop = tool.desktop;
  const bool onMenu = point.foundBy == FoundBy::MenuItem;
  const WindowHandle home = onMenu ? menu.window : client.window;
  const std::optional<Point> topLeft = home != 0 ? TopLeftOf(desktop, home) : std::nullopt;
  if (!topLeft) return {Located::NotFound, {}, point.id};
  Rect area;
  if (onMenu) {
    if (!desktop.ReadWindowRect(menu.window, area)) return {Located::NotFound, {}, point.id};
  } else {
    area = ClientWindowsBounds(desktop, client);
  }
  const ScaledLook scaled = AtDpi(look, DpiOfWindow(desktop, home));
  const Point expected = *topLeft + scaled.look.fromOrigin;
  Location found = SearchPicture(desktop, scaled, OnScreen(desktop, area), expected, point.id);
  if (found.how == Located::At) {
    look.fromOrigin = Scaled(found.at - *topLeft, look.dpi, scaled.look.dpi);
  }
  if (found.how == Located::NotFound) found.expected = expected;
  return found;
}

// A distance taught with the look, at the scale the client's main window is drawn at now.
Point DistanceNow(Desktop& desktop, const ChatClient& client, const TaughtLook& look) {
  return Scaled(look.fromOrigin, DpiOfWindow(desktop, client.window), look.dpi);
}

Location FromCorner(Desktop& desktop, const ChatClient& client, const TaughtLook& look) {
  Rect rect;
  if (!desktop.ReadWindowRect(client.window, rect)) return {};
  return {Located::At, BottomRight(rect) + DistanceNow(desktop, client, look)};
}

bool FieldsEmpty(Tool& tool, const JobPoint& point) {
  return tool.ui.ReadControlText(point.xField).empty() ||
         tool.ui.ReadControlText(point.yField).empty();
}

// A menu item with no picture of its own lies at the client's menu offset from the right
// click, when that click found its point by a taught look, or when its own fields say
// nothing (they need not be filled in).
Location AtMenuOffset(Tool& tool, const JobPoint& point, const OpenMenu& menu) {
  if (menu.window == 0 || point.foundBy != FoundBy::MenuItem) return {};
  for (const DerivedPoint& derived : DerivedPoints()) {
    if (derived.derived != point.id) continue;
    if (!tool.state.LookOf(derived.source) && !FieldsEmpty(tool, point)) continue;
    return {Located::At,
            menu.rightClickedAt + MenuOffsetAt(tool.desktop, derived, menu.rightClickedAt)};
  }
  return {};
}

}  // namespace

Location LocateTaught(Tool& tool, const ChatClient& client, JobPointId id, const OpenMenu& menu) {
  const JobPoint& point = PointOf(id);
  std::optional<TaughtLook>& look = tool.state.LookOf(id);
  if (!look) return AtMenuOffset(tool, point, menu);
  switch (point.foundBy) {
    case FoundBy::OwnPicture:
    case FoundBy::MenuItem:
      return ByPicture(tool, client, point, *look, menu);
    case FoundBy::FromCorner:
      return FromCorner(tool.desktop, client, *look);
    case FoundBy::FromPoint: {
      Location anchor = LocateTaught(tool, client, point.hangsOn, {});
      if (anchor.how == Located::At)
        anchor.at = anchor.at + DistanceNow(tool.desktop, client, *look);
      return anchor;
    }
  }
  return {};
}

}  // namespace pelloram
