#include "workflows/teaching.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "client/chat_client.h"
#include "client/client_windows.h"
#include "services/convert.h"
#include "services/picture_match.h"
#include "workflows/points.h"

namespace pelloram {
namespace {

// The picture around the point, within `within` when given (a menu item's picture holds
// only the menu: what lies around the menu differs wherever it opens). Nothing when the
// screen cannot be read.
std::optional<TaughtLook> PictureAround(Desktop& desktop, Point at,
                                        const std::optional<Rect>& within = std::nullopt) {
  constexpr int kHalf = kTaughtPictureSide / 2;
  Rect area = SquareAround(at, kHalf);
  if (within) area = Intersect(area, *within);
  TaughtLook look;
  if (IsEmpty(area)) return std::nullopt;
  if (!desktop.CaptureScreen(area, look.picture) || !look.picture.Valid()) return std::nullopt;
  look.pointInPicture = at - TopLeft(area);
  return look;
}

// The look in the pixels of the window it was taught on.
std::optional<TaughtLook> AtScaleOf(Desktop& desktop, WindowHandle window,
                                    std::optional<TaughtLook> look) {
  if (look) look->dpi = DpiOfWindow(desktop, window);
  return look;
}

// The controls whose look changes find their place from one that keeps it.
std::optional<TaughtLook> PlaceOnly(Tool& tool, const JobPoint& point, const ClientWindowAt& under,
                                    Point at) {
  TaughtLook look;
  if (point.foundBy == FoundBy::FromCorner) {
    Rect rect;
    if (!tool.desktop.ReadWindowRect(under.client.window, rect)) return std::nullopt;
    look.fromOrigin = at - BottomRight(rect);
    return AtScaleOf(tool.desktop, under.client.window, look);
  }
  // It lies a fixed distance from the point it hangs on (the first collected sticker from
  // the collected tab, wherever the panel opens); one known only by its typed point gives
  // nothing to hang on.
  const JobPoint& anchor = PointOf(point.hangsOn);
  if (!tool.state.LookOf(anchor.id)) return std::nullopt;
  look.fromOrigin = at - Point{FieldValue(tool.ui.ReadControlText(anchor.xField)),
                               FieldValue(tool.ui.ReadControlText(anchor.yField))};
  return AtScaleOf(tool.desktop, under.client.window, look);
}

}  // namespace

Teaching TeachPoint(Tool& tool, const JobPoint& point, Point at) {
  std::optional<TaughtLook>& kept = tool.state.LookOf(point.id);
  const ClientWindowAt under = ClientWindowUnder(tool.desktop, at);
  if (under.client.window == 0) {
    kept.reset();
    return Teaching::PointOnly;
  }
  if (point.foundBy != FoundBy::OwnPicture) {
    kept = PlaceOnly(tool, point, under, at);
    return kept ? Teaching::Kept : Teaching::PointOnly;
  }
  std::optional<TaughtLook> look = PictureAround(tool.desktop, at);
  if (look && !IsDistinctive(look->picture)) return Teaching::Plain;  // the old look stays
  const std::optional<Point> origin = TopLeftOf(tool.desktop, under.client.window);
  if (!origin) {  // the client went away meanwhile: a bare point
    kept.reset();
    return Teaching::PointOnly;
  }
  if (look) look->fromOrigin = at - *origin;
  kept = AtScaleOf(tool.desktop, under.window, std::move(look));
  return kept ? Teaching::Kept : Teaching::Unreadable;
}

bool TeachMenuItem(Tool& tool, Job job, Point at) {
  const ClientWindowAt under = ClientWindowUnder(tool.desktop, at);
  if (!IsClientMenu(tool.desktop, under)) return false;
  const JobPoint& item = MenuItemOf(job);
  Rect menu;
  if (!tool.desktop.ReadWindowRect(under.window, menu)) return false;
  std::optional<TaughtLook> look = PictureAround(tool.desktop, at, menu);
  if (look && !IsDistinctive(look->picture)) {
    tool.ui.ShowBalloonTip(Control::NoteTip, at, kPlainPictureTip, true);
    return true;
  }
  if (look) look->fromOrigin = at - TopLeft(menu);
  ShowPoint(tool, item, at.x, at.y);
  tool.state.LookOf(item.id) = AtScaleOf(tool.desktop, under.window, std::move(look));
  std::string note = std::string(item.controlName) + "已记下：运行时在弹出的菜单里找它。";
  if (!tool.state.LookOf(item.id)) note += kUnreadableScreenNote;
  tool.ui.ShowBalloonTip(Control::NoteTip, at, note, true);
  return true;
}

}  // namespace pelloram
