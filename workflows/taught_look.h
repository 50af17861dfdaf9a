// What F10 keeps of a control besides its screen point, so that a run finds the control
// again after the client's window moved or changed size.
#pragma once

#include "services/image.h"
#include "services/scale.h"
#include "services/types.h"

namespace pelloram {

// Side of the square picture kept of a control: the control and a little around it. Larger,
// the highlight a pressed button or a selected tab shows around its icon weighs too much.
inline constexpr int kTaughtPictureSide = 32;
// The part right under the pointer, which must look as taught in full and in colour.
inline constexpr int kTaughtCoreSide = 24;

// How the point is found again is the point's own (JobPoint::foundBy); this is what F10
// kept for it.
struct TaughtLook {
  // A point found by a picture (its own, or a menu item's): the screen around the point as
  // the user pointed at it, and the point in it. Empty for a point placed from another.
  Image picture;
  Point pointInPicture;
  // The point's distance from the origin its way measures it from: the top-left corner of
  // its window (the main window; for a menu item, the menu, which opens wherever the right
  // click was), the point it hangs on, or the main window's lower right corner. For a
  // picture, where it was last found: the search looks there first.
  Point fromOrigin;
  // The scale of the monitor it was taught on (96: 100 %), in whose pixels the picture, the
  // point in it and `fromOrigin` are: the client draws itself at its monitor's scale, so on a
  // monitor of another scale all three are resized by the ratio before they are used.
  int dpi = kBaseDpi;
};

}  // namespace pelloram
