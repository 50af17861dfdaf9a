// The program-wide state and the context every operation works in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "client/desktop.h"
#include "services/convert.h"
#include "services/hotkeys.h"
#include "services/ui.h"

namespace pelloram {

// What the delete page's start/pause button offers. The caption and the meaning of the
// next press always change together (ShowDeleteButton).
enum class DeleteButton : int {
  Start,               // "开始": the next press starts a run; a run still executing winds down
  Pause,               // "暂停": a run goes on while this shows; the next press pauses it, or
                       // after a run that ended without finishing, only resets to Start
  Finished,            // "给我删": the count reached 0; the next press only resets to Start
  FinishedAfterPause,  // "给我删" after a pause let the last deletion finish: the next press
                       // starts again
};

// What outlives a run. State flows one way: the user's typing reaches it through the field
// rules; a run reads what it needs once, at its start gate, and shows what it does in the
// fields. What a run needs only while it lives is the run's own (workflows/run.h).
struct RunState {
  DeleteButton deleteButton = DeleteButton::Start;
  std::int32_t f10HotkeyId = 0;
  std::int32_t f11HotkeyId = 0;
  std::int32_t deleteCaptureStep = 0;
  std::int32_t addCaptureStep = 0;
  // Kept in step with their fields while the user types; a delete run lowers the count by
  // writing its field.
  std::int32_t remainingCount = 0;
  std::int32_t addDelayMs = 0;
  std::vector<std::string> stickerFiles;  // full paths, UTF-8
  // The client's menu that a run's right click brought up last: one left open (a run that
  // stopped before its item was clicked) must never take a click meant for the client.
  WindowHandle lastMenu = 0;

  bool runActive = false;  // a run is executing: further starts are refused
  bool listing = false;    // a folder is being listed: further folder choices are refused
  bool closing = false;    // the main window is being destroyed: every run ends at once
};

// Everything an operation needs: the two seams, the state, the generator and hotkeys.
struct Tool {
  Ui& ui;
  Desktop& desktop;
  RunState state{};
  HotkeyBook hotkeys{};
  RandomGenerator random{};
};

}  // namespace pelloram
