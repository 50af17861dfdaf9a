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

struct RunState {
  WindowHandle ChatClientWindow = 0;  // looked up once at start-up; 0 when missing
  std::int32_t running = 0;           // delete run's go-on flag (F11 pauses by clearing it)
  std::int32_t f10HotkeyId = 0;
  std::int32_t f11HotkeyId = 0;
  std::int32_t deleteDelayMs = 0;
  std::int32_t deleteCaptureStep = 0;
  std::int32_t addCaptureStep = 0;
  // Kept in step with their fields by the field rules.
  std::int32_t remainingCount = 0;
  std::int32_t ClickDelay = 0;
  std::int32_t stickerPanelX = 0, stickerPanelY = 0;
  std::int32_t collectedTabX = 0, collectedTabY = 0;
  std::int32_t firstStickerX = 0, firstStickerY = 0;
  std::int32_t deleteItemX = 0, deleteItemY = 0;
  std::vector<std::string> StickerFileList;  // full paths, UTF-8

  // The tool's own guards, beyond the plain values above.
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
