// The waits and message pumping: every wait handles the tool's own messages, so its window
// stays usable and F11, the buttons and closing are taken the moment they come.
#pragma once

#include <functional>

#include "client/desktop.h"

namespace pelloram {

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
