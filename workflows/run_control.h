// Hotkey dispatch and the delete page's start/pause.
#pragma once

#include <cstdint>
#include <string_view>

#include "workflows/tool.h"

namespace pelloram {

// A registered hotkey was pressed: F10 captures a point, F11 acts on the page shown.
void DispatchHotkey(Tool& tool, std::int64_t hotkeyId);
void DeleteStartPause(Tool& tool);

inline constexpr std::string_view kStartCaption = "F11\r\n开  始";
inline constexpr std::string_view kPauseCaption = "F11\r\n暂  停";
inline constexpr std::string_view kFinishedCaption = "给我删";
inline constexpr std::string_view kDelayWarning = "点击延时要填毫秒数：0 或更大的整数，例如 500。";

}  // namespace pelloram
