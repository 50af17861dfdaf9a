// What the tool checks right before each click and key of a run, so that nothing is ever
// clicked or typed into another program.
#pragma once

#include "client/desktop.h"

namespace pelloram {

// Whom a click at a point, or a key, would reach.
enum class Target : int {
  Client,     // a window of the client's process
  Gone,       // nobody of the client's: its main window is gone or hidden
  Elsewhere,  // a window of another program (or none)
};

// Whom the top-level window under the screen point belongs to: the client's process (its
// main window, a dialog or a menu of it), while its main window exists and shows.
Target CheckClickTarget(Desktop& desktop, WindowHandle client, Point screen);
// The same for the foreground window, which a key reaches.
Target CheckKeyTarget(Desktop& desktop, WindowHandle client);

}  // namespace pelloram
