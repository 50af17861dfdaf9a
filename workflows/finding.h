// Finding a taught control again before a run clicks it: by its picture on the client's
// windows, first near where it was taught, then anywhere on them; or by its distance from
// a control that keeps its look (workflows/taught_look.h).
#pragma once

#include <optional>

#include "client/window_binding.h"
#include "workflows/tool.h"

namespace pelloram {

enum class Located : int {
  Untaught,    // nothing taught: the point's fields say where it is
  At,          // found
  NotFound,    // no place looks clearly enough like it: nothing may be clicked
  Unreadable,  // the screen could not be read: nothing may be clicked
};

// The menu a run's right click brought up, for the items that lie on it.
struct OpenMenu {
  WindowHandle window = 0;
  Point rightClickedAt;  // where the right click that opened it was
};

struct Location {
  Located how = Located::Untaught;
  Point at;                                       // screen point, when found
  JobPointId missing = JobPointId::StickerPanel;  // NotFound: the control not found
  std::optional<Point> expected;                  // NotFound: where it would be had nothing changed
};

// Where a point of the bound client's is now, by what F10 taught of it. `menu` is for the
// menu items (its window 0 for every other point).
Location LocateTaught(Tool& tool, const ChatClient& client, JobPointId id, const OpenMenu& menu);

}  // namespace pelloram
