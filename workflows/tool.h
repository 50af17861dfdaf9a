// The program-wide state and the context every operation works in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "client/chat_client.h"
#include "client/desktop.h"
#include "client/target_check.h"
#include "services/convert.h"
#include "services/hotkeys.h"
#include "services/ui.h"

namespace pelloram {

// State flows one way: the user's typing reaches it through the field rules, a run
// changes it and shows it in the fields. The points a run clicks in mode two are not kept
// here; they are read from their fields at the moment of each click.
struct RunState {
  WindowHandle chatClient = 0;  // looked up at start-up and at each start; 0 when missing
  chat::Generation clientGeneration = chat::Generation::Classic;
  std::int32_t running = 0;  // delete run's go-on flag (F11 pauses by clearing it)
  std::int32_t f10HotkeyId = 0;
  std::int32_t f11HotkeyId = 0;
  std::int32_t deleteDelayMs = 0;  // read from its field when a delete run starts
  std::int32_t deleteCaptureStep = 0;
  std::int32_t addCaptureStep = 0;
  // Kept in step with their fields while the user types (a count typed during a run
  // takes effect at its next deletion, a delay at the next wait).
  std::int32_t remainingCount = 0;
  std::int32_t addDelayMs = 0;
  std::vector<std::string> stickerFiles;  // full paths, UTF-8

  // Why the executing run must end without another click or key; None while it may go on.
  TargetFault stopFault = TargetFault::None;
  // Where the pointer was left after the run's last click: a pointer found elsewhere
  // means the user took the mouse.
  std::optional<Point> pointerLeftAt;
  Point lastClickAt;
  // The client's menu that the last right click brought up: one still open (a run that
  // stopped before its item was clicked) must never take a click meant for the client.
  WindowHandle lastMenu = 0;
  Rect clientWhenMenuOpened;  // a menu stays put when its owner moves; its items do not
  // Every step waits its delay instead of watching the client (for comparison only).
  bool fixedWaits = false;

  bool runActive = false;  // a delete or add run is executing: further starts are refused
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
