#include "app/decorations.h"

#include <array>

#include "services/convert.h"

namespace pelloram {

const std::string_view kThanksText =
    "很荣幸您能点开打赏！\r\n您能点开打赏说明我的小作品\r\n能给您带来微小的帮助！\r\n"
    "其实作为一个菜鸟！\r\n我只是想做一些自己有用的\r\n小东西分享给Zellora的朋友们！\r\n"
    "您能点开这里就是对我最大\r\n鼓励！希望您也能秉承Zellora\r\n的分享精神！为Zellora增添色彩！\r\n"
    "再次感谢！您的支持就是对我最大的\r\n鼓励！\r\n                         By:Tovrin";

namespace {
constexpr std::array kModeRadios{Control::DeleteModeOneRadio, Control::DeleteModeTwoRadio,
                                 Control::AddModeOneRadio, Control::AddModeTwoRadio};
}  // namespace

void FlashModeRadio(Tool& tool) {
  SeedRandomFromClock(tool.random, tool.desktop.TickCount());
  Control flashing = Control::MainWindow;
  for (Control radio : kModeRadios) {
    if (IsChecked(tool.ui, radio)) {
      flashing = radio;
      break;
    }
  }
  if (flashing == Control::MainWindow) return;
  const int red = RandomInRange(tool.random, 0, 255);
  const int green = RandomInRange(tool.random, 0, 255);
  const int blue = RandomInRange(tool.random, 0, 255);
  tool.ui.WriteControlProperty(flashing, Property::TextColour,
                               static_cast<int>(ColorFromRgb(red, green, blue)));
  for (Control radio : kModeRadios) {
    if (radio != flashing) tool.ui.WriteControlProperty(radio, Property::TextColour, 0);
  }
}

void ShowThanks(Tool& tool) { tool.ui.ShowMessage(kThanksText, kThanksCaption); }

}  // namespace pelloram
