#include "workflows/point_capture.h"

#include <array>

#include "client/chat_client.h"
#include "client/window_binding.h"
#include "services/convert.h"
#include "workflows/run_steps.h"

namespace pelloram {
namespace {

struct CaptureStep {
  Control xBox;
  Control yBox;
  std::string_view confirmation;
};

constexpr std::array<CaptureStep, 3> kDeleteCycle{{
    {Control::编辑框1, Control::编辑框2, "表情坐标获取成功！！继续F10将获取已收藏位置"},
    {Control::编辑框3, Control::编辑框4, "收藏坐标获取成功！继续F10将获取首个表情位置"},
    {Control::编辑框5, Control::编辑框6, "首个表情坐标获取成功！继续F10将获取表情位置"},
}};

constexpr std::array<CaptureStep, 2> kAddCycle{{
    {Control::编辑框9, Control::编辑框10, "文件位置获取成功！继续F10将获取已发送表情位置"},
    {Control::编辑框11, Control::编辑框12, "表情位置获取成功！继续F10将获取文件位置"},
}};

// Writes one step of a cycle and returns the step that follows it (1-based, wrapping).
template <std::size_t N>
std::int32_t PerformStep(Tool& tool, const std::array<CaptureStep, N>& cycle, std::int32_t step,
                         Point at) {
  const std::size_t index =
      step >= 1 && static_cast<std::size_t>(step) <= N ? static_cast<std::size_t>(step - 1) : 0;
  const CaptureStep& current = cycle[index];
  tool.ui.WriteControlText(current.xBox, ToText(at.x));
  tool.ui.WriteControlText(current.yBox, ToText(at.y));
  if (current.xBox == Control::编辑框5) {
    // Only a capture derives the delete item: 30 right of and 50 below the first sticker.
    tool.ui.WriteControlText(Control::编辑框16,
                             ToText(static_cast<std::int64_t>(at.x) + chat::kDeleteItemOffset.x));
    tool.ui.WriteControlText(Control::编辑框17,
                             ToText(static_cast<std::int64_t>(at.y) + chat::kDeleteItemOffset.y));
  }
  tool.ui.ShowBalloonTip(Control::气球提示框2, PointerForTip(tool), current.confirmation, true);
  return static_cast<std::int32_t>(index + 1 == N ? 1 : index + 2);
}

}  // namespace

void CapturePoint(Tool& tool) {
  const Point at = ReadCursorPoint(tool.desktop);
  RunState& s = tool.state;
  if (IsChecked(tool, Control::单选框2)) {
    s.deleteCaptureStep = PerformStep(tool, kDeleteCycle, s.deleteCaptureStep, at);
  } else if (IsChecked(tool, Control::单选框4)) {
    s.addCaptureStep = PerformStep(tool, kAddCycle, s.addCaptureStep, at);
  }
}

}  // namespace pelloram
