#include "services/controls.h"

#include <array>

namespace pelloram {
namespace {

constexpr std::array<std::string_view, kChildControlCount + 1> kNames = {
    "按钮5",      "按钮4",       "标签11",      "标签19",   "编辑框13", "标签20",   "编辑框14",
    "标签14",     "编辑框11",    "标签18",      "编辑框12", "标签12",   "编辑框9",  "标签13",
    "编辑框10",   "图片框3",     "气球提示框2", "按钮2",    "标签9",    "编辑框8",  "分组框3",
    "单选框3",    "单选框4",     "标签10",      "按钮3",    "时钟1",    "分组框2",  "单选框1",
    "单选框2",    "标签8",       "标签17",      "编辑框18", "标签15",   "编辑框16", "标签16",
    "编辑框17",   "气球提示框1", "图片框1",     "标签1",    "编辑框1",  "标签2",    "编辑框2",
    "图片框2",    "标签3",       "编辑框3",     "标签4",    "编辑框4",  "标签5",    "编辑框5",
    "标签6",      "编辑框6",     "标签7",       "编辑框7",  "按钮1",    "分组框1",  "高级选择夹1",
    "MainWindow",
};

}  // namespace

std::string_view ControlName(Control control) {
  const auto index = static_cast<std::size_t>(control);
  return index < kNames.size() ? kNames[index] : std::string_view{};
}

std::vector<Control> FindControlsByName(std::string_view prefix) {
  const bool whole = !prefix.empty() && prefix.front() == '@';
  if (whole) prefix.remove_prefix(1);
  std::vector<Control> found;
  for (int i = 0; i < kChildControlCount; ++i) {
    const std::string_view name = kNames[static_cast<std::size_t>(i)];
    if (whole ? name == prefix : name.starts_with(prefix)) found.push_back(static_cast<Control>(i));
  }
  return found;
}

}  // namespace pelloram
