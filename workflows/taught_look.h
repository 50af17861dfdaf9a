// What F10 keeps of a control besides its screen point, so that a run finds the control
// again after the client's window moved or changed size.
#pragma once

#include "services/image.h"
#include "services/types.h"

namespace pelloram {

struct TaughtLook {
  enum class Found : int {
    ByPicture,         // searched for on the client's windows by its picture
    FromAnchor,        // a fixed distance from a control found by its picture
    FromClientCorner,  // a fixed distance from the client window's lower right corner
  };
  Found how = Found::ByPicture;
  // ByPicture: the screen around the point as the user pointed at it, and the point in it.
  Image picture;
  Point pointInPicture;
  // Taught on an open menu of the client's: `place` is measured from the menu, which opens
  // wherever the right click was.
  bool onMenu = false;
  // ByPicture: the point from the top-left corner of the client's main window (or of the
  // menu), where the search looks first. FromAnchor: from the anchor's point.
  // FromClientCorner: from the main window's lower right corner.
  Point place;
};

}  // namespace pelloram
