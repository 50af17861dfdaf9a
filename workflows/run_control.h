// Hotkey dispatch and the delete page's start/pause.
#pragma once

#include "workflows/tool.h"

namespace pelloram {

void DispatchHotkey(Tool& tool, std::int64_t hotkeyId);
void DeleteStartPause(Tool& tool);

inline constexpr std::string_view kStartCaption = "F11\r\n开  始";
inline constexpr std::string_view kPauseCaption = "F11\r\n暂  停";
inline constexpr std::string_view kFinishedCaption = "给我删";

}  // namespace pelloram
