// The practice client's layout is made in 96-dpi ("logical") units, as the chat client's
// design is; on a monitor of another scale the window, its controls and its pictures are
// that layout times the scale, in the monitor's physical pixels. Everything that crosses
// between the two goes through one ScreenScale, so the model never sees a physical pixel.
// Portable, so the mapping is tested on the host.
#pragma once

#include "practice_client/model.h"

namespace practice {

inline constexpr int kLogicalDpi = 96;

struct ScreenScale {
  int dpi = kLogicalDpi;

  // A logical length or coordinate in physical pixels, to the nearest pixel (halves away
  // from zero, as Windows scales).
  int ToPhysical(int logical) const;
  // The logical pixel that a physical pixel lies in: the largest L whose physical start is
  // at or before it. ToLogical(ToPhysical(L)) == L at any scale of 100 % or more.
  int ToLogical(int physical) const;

  Pt ToPhysical(Pt logical) const;
  Pt ToLogical(Pt physical) const;
  // Each edge on its own, not the size: boxes that touched still touch, and a box inside
  // another stays inside it.
  Rect ToPhysical(const Rect& logical) const;
};

}  // namespace practice
