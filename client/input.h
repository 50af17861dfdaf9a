// Synthesised clicks and keys, the waits and message pumping.
#pragma once

#include "client/desktop.h"

namespace pelloram {

enum class KeyAction : int { Tap = 0, Down = 1, Up = 2 };

// The screen point of a client point of the window; window 0, or one that no longer
// exists, takes (x, y) as a screen point. Exact sums, clamped: a point never wraps around.
Point ScreenPointOf(Desktop& desktop, WindowHandle window, int x, int y);
// Pointer to the screen point, one press-and-release there, pointer back where it was.
// False when the system refused the click.
bool ClickAtScreen(Desktop& desktop, Point screen, MouseButton kind);
// The same at a client point of the window.
bool ClickAt(Desktop& desktop, WindowHandle window, int x, int y, MouseButton kind);
// m3, m2, m1, key down; m3, m2, m1 up; key up. Modifiers of 0 are left out. False when the
// system refused any of the key events.
bool PressKeyChord(Desktop& desktop, int key, int modifier1, int modifier2 = 0, int modifier3 = 0);
// Tap: down, ProcessPendingEvents, up. False when the system refused a key event.
bool PressKey(Desktop& desktop, int key, KeyAction action = KeyAction::Tap);

// Dispatches everything queued. A quit request it removes is posted again and ends the pump.
void PumpMessages(Desktop& desktop);
// Dispatches until the queue is empty or its next message is a quit request, which stays.
void ProcessPendingEvents(Desktop& desktop);
// Waits at least `milliseconds` while handling the tool's messages the moment they arrive;
// zero or less returns at once. Returns early when a quit request is queued, so a closing
// tool never waits out a long delay.
void ResponsiveDelay(Desktop& desktop, int milliseconds);
// Sleeps without handling anything; negative counts as 0.
void BlockingDelay(Desktop& desktop, int milliseconds);

}  // namespace pelloram
