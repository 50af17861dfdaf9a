// Readying the main window once it exists, and letting go of the hotkeys when it closes.
#pragma once

#include "workflows/tool.h"

namespace pelloram {

inline constexpr std::string_view kClientMissingMessage =
    "未获取到微信！请打开微信后重新开启程序！";

// Created event: finds the chat client, resets the run values, selects delete mode one,
// and registers F10 then F11 (or says the client is missing and registers nothing).
void InitMainWindow(Tool& tool);
// Being-destroyed event: unregisters F10, then F11, and makes any run end at once.
void ReleaseHotkeys(Tool& tool);

}  // namespace pelloram
