// The one way into a run. Every start, of either job, by F11 or by a button, passes the
// same checks in the same order; a start that fails one is refused with its reason shown
// where the user looks (a tip on the field or radio at fault, or a message), and nothing
// outside the tool's window is touched.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "workflows/run.h"

namespace pelloram {

inline constexpr std::string_view kClientMissingAtStart =
    "没有找到微信窗口！请打开并登录微信后再开始。";
inline constexpr std::string_view kModeOneNeedsClassic =
    "模式一的内置坐标只适用于旧版微信，新版请使用模式二（F10 取坐标）。";
inline constexpr std::string_view kDelayWarning =
    "点击延时要填毫秒数：0 到 60000 之间的整数，例如 500。";
// A step that waits longer than a minute is a typing slip, not a setting.
inline constexpr std::int64_t kLongestDelayMs = 60000;

// The checks, in order: no run executing and the tool not closing; a mode chosen on the
// job's page; (delete) a delay of whole milliseconds; the client found afresh, so a client
// restarted since the tool started is used; mode one only with the classic client, whose
// layout its built-in points are; mode two with every checked point filled in. Then the
// run is built with the delay read once and opened: mode one places the client's window,
// and every run lets the client settle for 500 ms. A run whose opening failed comes back
// ended, for its job to report; nullptr when the start was refused.
std::unique_ptr<Run> OpenRun(Tool& tool, Job job);

}  // namespace pelloram
