// Synthesised clicks and keys, the waits and message pumping.
#pragma once

#include <functional>

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

// Dispatches everything queued. A quit request it removes is posted again and ends the pump.
void PumpMessages(Desktop& desktop);
// Dispatches until the queue is empty or its next message is a quit request, which stays.
void ProcessPendingEvents(Desktop& desktop);
// Waits at least `milliseconds` while handling the tool's messages the moment they arrive;
// zero or less returns at once. Returns early when a quit request is queued, so a closing
// tool never waits out a long delay, and as soon as `stopEarly` holds after a message was
// handled (a pause pressed during the wait).
void ResponsiveDelay(Desktop& desktop, int milliseconds,
                     const std::function<bool()>& stopEarly = nullptr);

}  // namespace pelloram
