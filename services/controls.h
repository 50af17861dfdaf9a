// The identity of every control of the main window, in declaration order, and the
// events a control can raise. The form itself (geometry, texts, fonts) lives in app/.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace pelloram {

// Declaration order matters: it is the stacking order (earlier lies above later) and
// the order FindControlsByName returns. MainWindow is the window itself, not a child.
enum class Control : int {
  按钮5,
  按钮4,
  标签11,
  标签19,
  编辑框13,
  标签20,
  编辑框14,
  标签14,
  编辑框11,
  标签18,
  编辑框12,
  标签12,
  编辑框9,
  标签13,
  编辑框10,
  图片框3,
  气球提示框2,
  按钮2,
  标签9,
  编辑框8,
  分组框3,
  单选框3,
  单选框4,
  标签10,
  按钮3,
  时钟1,
  分组框2,
  单选框1,
  单选框2,
  标签8,
  标签17,
  编辑框18,
  标签15,
  编辑框16,
  标签16,
  编辑框17,
  气球提示框1,
  图片框1,
  标签1,
  编辑框1,
  标签2,
  编辑框2,
  图片框2,
  标签3,
  编辑框3,
  标签4,
  编辑框4,
  标签5,
  编辑框5,
  标签6,
  编辑框6,
  标签7,
  编辑框7,
  按钮1,
  分组框1,
  高级选择夹1,
  MainWindow,
};

inline constexpr int kChildControlCount = static_cast<int>(Control::MainWindow);

// The form name of a control ("编辑框7"), UTF-8; "MainWindow" for the window.
std::string_view ControlName(Control control);

// Every child control whose name starts with `prefix`, in declaration order. A prefix
// that starts with "@" must instead match the whole name, without the "@".
std::vector<Control> FindControlsByName(std::string_view prefix);

// What a control reports to the event table.
enum class Event : int {
  Created,         // main window created
  Destroying,      // main window being destroyed
  PageChanged,     // tab control's current page changed
  Clicked,         // button or radio button clicked
  ContentChanged,  // edit box text changed (typed or written)
  FocusLost,       // edit box lost the keyboard focus
  Tick,            // timer tick
  Feedback,        // label feedback: a registered hotkey was pressed (arg = identifier)
};

// Where controls deliver their events; the app's event table sits behind it.
using EventSink = std::function<void(Control, Event, std::int64_t arg)>;

}  // namespace pelloram
