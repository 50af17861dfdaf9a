// Hotkey dispatch and the delete page's start/pause.
#pragma once

#include <cstdint>

#include "workflows/tool.h"

namespace pelloram {

// A registered hotkey was pressed: F10 captures a point, F11 acts on the page shown.
void DispatchHotkey(Tool& tool, std::int64_t hotkeyId);
// The delete page's button and F11 there: starts a run, pauses the one going, or after a
// run that finished, only resets the button.
void DeleteStartPause(Tool& tool);

}  // namespace pelloram
