#include "workflows/teaching.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "client/chat_client.h"
#include "client/window_binding.h"
#include "services/convert.h"
#include "services/picture_match.h"
#include "workflows/points.h"

namespace pelloram {
namespace {

// The client and the window of its under the point; no client when the point is elsewhere.
struct Under {
  ChatClient client;
  WindowHandle window = 0;
};
Under ClientUnder(Desktop& desktop, Point at) {
  const ChatClient client = FindChatClient(desktop);
  const WindowHandle window = desktop.TopLevelWindowAt(at);
  if (client.window == 0 || window == 0 || desktop.ProcessOf(window) != client.process) return {};
  return {client, window};
}

bool IsStickerPanel(Desktop& desktop, WindowHandle window) {
  for (const WindowHandle panel : desktop.FindTopLevelWindows(chat::kStickerPanelClass, "")) {
    if (panel == window) return true;
  }
  return false;
}

// One of the client's menus: any window of its besides its main window, its sticker panel,
// the open dialog and the forward window.
bool IsClientMenu(Desktop& desktop, const Under& under) {
  return under.window != 0 && under.window != under.client.window &&
         under.window != FindOpenDialog(desktop) &&
         under.window != FindForwardWindow(desktop, under.client.window) &&
         !IsStickerPanel(desktop, under.window);
}

// The picture around the point, within `within` when given (a menu item's picture holds
// only the menu: what lies around the menu differs wherever it opens). Nothing when the
// screen cannot be read.
std::optional<TaughtLook> PictureAround(Desktop& desktop, Point at,
                                        const std::optional<Rect>& within = std::nullopt) {
  constexpr int kHalf = kTaughtPictureSide / 2;
  Rect area{at.x - kHalf, at.y - kHalf, at.x + kHalf, at.y + kHalf};
  if (within) area = Intersect(area, *within);
  TaughtLook look;
  if (area.right <= area.left || area.bottom <= area.top) return std::nullopt;
  if (!desktop.CaptureScreen(area, look.picture) || !look.picture.Valid()) return std::nullopt;
  look.pointInPicture = Point{at.x - area.left, at.y - area.top};
  return look;
}

// The controls whose look changes find their place from one that keeps it.
std::optional<TaughtLook> PlaceOnly(Tool& tool, const JobPoint& point, const Under& under,
                                    Point at) {
  TaughtLook look;
  if (point.id == JobPointId::SentSticker) {
    // Own messages sit at the right of the chat, the newest a fixed height above the input
    // box: the same distance from the window's lower right corner at any window size.
    Rect rect;
    if (!tool.desktop.ReadWindowRect(under.client.window, rect)) return std::nullopt;
    look.how = TaughtLook::Found::FromClientCorner;
    look.place = Point{at.x - rect.right, at.y - rect.bottom};
    return look;
  }
  // The first collected sticker lies in the panel a fixed distance from the collected tab,
  // wherever the panel opens; a collected tab known only by its point gives no anchor.
  const JobPoint& tab = PointOf(JobPointId::CollectedTab);
  if (!tool.state.LookOf(tab.id)) return std::nullopt;
  look.how = TaughtLook::Found::FromAnchor;
  look.place = Point{at.x - FieldValue(tool.ui.ReadControlText(tab.xField)),
                     at.y - FieldValue(tool.ui.ReadControlText(tab.yField))};
  return look;
}

bool LookChanges(JobPointId id) {
  return id == JobPointId::FirstSticker || id == JobPointId::SentSticker;
}

}  // namespace

Teaching TeachPoint(Tool& tool, const JobPoint& point, Point at) {
  std::optional<TaughtLook>& kept = tool.state.LookOf(point.id);
  const Under under = ClientUnder(tool.desktop, at);
  if (under.client.window == 0) {
    kept.reset();
    return Teaching::PointOnly;
  }
  if (LookChanges(point.id)) {
    kept = PlaceOnly(tool, point, under, at);
    return kept ? Teaching::Kept : Teaching::PointOnly;
  }
  std::optional<TaughtLook> look = PictureAround(tool.desktop, at);
  if (look && !IsDistinctive(look->picture)) return Teaching::Plain;  // the old look stays
  if (look) {
    const Point origin = TopLeftOf(tool.desktop, under.client.window).value_or(Point{});
    look->place = Point{at.x - origin.x, at.y - origin.y};
  }
  kept = std::move(look);
  return kept ? Teaching::Kept : Teaching::Unreadable;
}

bool TeachMenuItem(Tool& tool, Job job, Point at) {
  const Under under = ClientUnder(tool.desktop, at);
  if (!IsClientMenu(tool.desktop, under)) return false;
  const JobPoint& item = PointOf(job == Job::Delete ? JobPointId::DeleteItem : JobPointId::AddItem);
  Rect menu;
  tool.desktop.ReadWindowRect(under.window, menu);
  std::optional<TaughtLook> look = PictureAround(tool.desktop, at, menu);
  if (look && !IsDistinctive(look->picture)) {
    tool.ui.ShowBalloonTip(Control::NoteTip, at, kPlainPictureTip, true);
    return true;
  }
  if (look) {
    look->onMenu = true;
    look->place = Point{at.x - menu.left, at.y - menu.top};
  }
  ShowPoint(tool, item, at.x, at.y);
  tool.state.LookOf(item.id) = std::move(look);
  std::string note = std::string(item.controlName) + "已记下：运行时在弹出的菜单里找它。";
  if (!tool.state.LookOf(item.id)) note += kUnreadableScreenNote;
  tool.ui.ShowBalloonTip(Control::NoteTip, at, note, true);
  return true;
}

}  // namespace pelloram
