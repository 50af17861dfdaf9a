// Where a client point lies on the screen, the pointer, and synthesised keys.
#pragma once

#include "client/desktop.h"

namespace pelloram {

// The screen point of a client point of the window; window 0, or one that no longer
// exists, takes (x, y) as a screen point. Exact sums, clamped: a point never wraps around.
Point ScreenPointOf(Desktop& desktop, WindowHandle window, int x, int y);
// Pointer position in screen pixels; (0, 0) when it cannot be read.
Point ReadCursorPoint(Desktop& desktop);
// Modifier down, key down, modifier up, key up. False when the system refused any of the
// key events.
bool PressKeyChord(Desktop& desktop, int key, int modifier);
// Down, ProcessPendingEvents, up. False when the system refused a key event.
bool PressKey(Desktop& desktop, int key);

}  // namespace pelloram
