// What F10 keeps of a control in mode two, and what forgets it: the picture of the screen
// around the point, its place on the client's window, or its distance from a control that
// keeps its look (workflows/taught_look.h). Finding it again is workflows/finding.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "workflows/tool.h"

namespace pelloram {

inline constexpr std::string_view kPlainPictureTip =
    "这里一片纯色或是重复的花纹，认不出是哪个按钮，没有记下。请把鼠标指在按钮本身上，再按 F10。";
// After a confirmation when only the point could be kept.
inline constexpr std::string_view kUnreadableScreenNote =
    "\r\n（没能读到屏幕，只记下了坐标：微信窗口移动后要重新取。）";

enum class Teaching : int {
  Kept,        // the look is kept: the run finds the control wherever it is
  PointOnly,   // not over the client: the bare point, as typed
  Unreadable,  // the screen could not be read: the bare point, and the user is told
  Plain,       // the picture cannot tell one place from another: refused, nothing written
};
// Keeps what the point at the screen position needs for a run to find it again. Nothing is
// written to the fields here.
Teaching TeachPoint(Tool& tool, const JobPoint& point, Point at);

// F10 over an open menu of the client's teaches the page's menu item (delete or add) by its
// picture and its place in the menu, writes its point and says so; the capture cycle is not
// moved on. False when the pointer is over no menu of the client's.
bool TeachMenuItem(Tool& tool, Job job, Point at);

}  // namespace pelloram
