// Finding, placing and addressing other programs' windows.
#pragma once

#include <string_view>

#include "client/desktop.h"

namespace pelloram {

WindowHandle FindChatClient(Desktop& desktop);
WindowHandle FindDesktopWindow(Desktop& desktop);
WindowHandle FindOpenDialog(Desktop& desktop);
WindowHandle FindForwardWindow(Desktop& desktop);

// Moves and sizes the window (outer rectangle) without activating it; false when it is
// gone.
bool PlaceWindow(Desktop& desktop, WindowHandle window, int left, int top, int width, int height);

// Pointer position in screen pixels; (0, 0) when it cannot be read.
Point ReadCursorPoint(Desktop& desktop);
// Pointer to the window's client origin plus (x, y); window 0, or one that no longer
// exists, takes (x, y) as a screen point.
void PointCursorAt(Desktop& desktop, WindowHandle window, int x, int y);

}  // namespace pelloram
