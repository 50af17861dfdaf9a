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
// A start pressed while a run is still executing: taken as soon as a paused run has ended
// (said in a tip), or refused with a tip while a run goes unpaused. Never silent.
void AskToStartWhenEnded(Tool& tool, Job job);
// The start asked for while the last run wound down, now that it has ended.
void StartWhatWasAsked(Tool& tool);

}  // namespace pelloram
