#include "app/mode_switching.h"

#include <array>
#include <string_view>

#include "app/form.h"

namespace pelloram {
namespace {

constexpr std::string_view kDeleteModeOneHelp =
    "模式一将设置微信窗口大小和位置\r\n使用内置的坐标参数\r\n输入欲删除表情数量即可\r\n\r\nF11 "
    "快捷启动/暂停\r\n\r\n使用过程中请勿移动使用键鼠\r\n点击位置不对或其他问题\r\n"
    "请使用模式二手动获取坐标";
constexpr std::string_view kDeleteModeTwoHelp = "F10依次获取①表情②收藏③首个表情坐标";
constexpr std::string_view kAddModeOneHelp =
    "模式一将设置微信窗口大小和位置\r\n使用内置的坐标参数\r\n添加表情文件夹即可\r\n\r\nF11 "
    "快捷启动\r\n\r\n注意\r\n使用过程中请勿移动使用键鼠\r\n点击位置不对或其他问题\r\n"
    "请使用模式二手动获取坐标";
constexpr std::string_view kAddModeTwoHelp =
    "F10依次获取①文件坐标②表情位置坐标\r\n注意：获取已发送表情坐标时尽量\r\n在表情图片中下位置\r\n"
    "避免发送小表情时鼠标点击不到\r\n添加表情坐标不准可手动更改\r\n";

constexpr ModeLayout kDeleteModeOne{.radio = Control::DeleteModeOneRadio,
                                    .groupBox = Control::DeleteModeFrame,
                                    .groupCaption = "模式一",
                                    .helpLabel = Control::DeleteModeHelp,
                                    .helpHeight = 164,
                                    .helpText = kDeleteModeOneHelp,
                                    .helpFontPt = 12,
                                    .wordWrap = true,
                                    .clearFields = true,
                                    .delayBox = Control::DeleteDelay,
                                    .resetCount = true,
                                    .focus = Control::DeleteCount};
constexpr ModeLayout kDeleteModeTwo{.radio = Control::DeleteModeTwoRadio,
                                    .groupBox = Control::DeleteModeFrame,
                                    .groupCaption = "模式二",
                                    .helpLabel = Control::DeleteModeHelp,
                                    .helpHeight = 24,
                                    .helpText = kDeleteModeTwoHelp,
                                    .helpFontPt = 11,
                                    .wordWrap = false,
                                    .clearFields = false,
                                    .delayBox = Control::DeleteDelay,
                                    .resetCount = false,
                                    .focus = Control::StickerPanelX};
constexpr ModeLayout kAddModeOne{.radio = Control::AddModeOneRadio,
                                 .groupBox = Control::AddModeFrame,
                                 .groupCaption = "模式一",
                                 .helpLabel = Control::AddModeHelp,
                                 .helpHeight = 183,
                                 .helpText = kAddModeOneHelp,
                                 .helpFontPt = 12,
                                 .wordWrap = true,
                                 .clearFields = true,
                                 .delayBox = Control::AddDelay,
                                 .resetCount = false,
                                 .focus = Control::AddDelay};
constexpr ModeLayout kAddModeTwo{.radio = Control::AddModeTwoRadio,
                                 .groupBox = Control::AddModeFrame,
                                 .groupCaption = "模式二",
                                 .helpLabel = Control::AddModeHelp,
                                 .helpHeight = 87,
                                 .helpText = kAddModeTwoHelp,
                                 .helpFontPt = 11,
                                 .wordWrap = true,
                                 .clearFields = false,
                                 .delayBox = Control::AddDelay,
                                 .resetCount = false,
                                 .focus = Control::AddDelay};

constexpr std::array<ModeLayout, 4> kModes = {kDeleteModeOne, kDeleteModeTwo, kAddModeOne,
                                              kAddModeTwo};

constexpr int kHelpLabelWidth = 304;

void ApplyMode(Tool& tool, const ModeLayout& mode) {
  // A paused add pass goes on only as it began: a mode or page change starts afresh.
  tool.state.pausedAdd.reset();
  ++tool.state.addPassResets;
  Ui& ui = tool.ui;
  ui.WriteControlText(mode.groupBox, mode.groupCaption);
  ui.WriteControlProperty(mode.helpLabel, Property::Height, mode.helpHeight);
  ui.WriteControlProperty(mode.helpLabel, Property::Width, kHelpLabelWidth);
  ui.WriteControlText(mode.helpLabel, mode.helpText);
  ui.WriteControlProperty(mode.helpLabel, Property::FontSize, mode.helpFontPt);
  ui.WriteControlProperty(mode.helpLabel, Property::WordWrap, mode.wordWrap ? 1 : 0);
  if (mode.clearFields) ClearAllEditBoxes(tool);
  ui.WriteControlText(mode.delayBox, "500");
  if (mode.resetCount) ui.WriteControlText(Control::DeleteCount, "1");
  ui.SetControlFocus(mode.focus);
}

void CheckOnly(Ui& ui, Control checked, std::initializer_list<Control> unchecked) {
  ui.WriteControlProperty(checked, Property::Checked, 1);
  for (Control radio : unchecked) ui.WriteControlProperty(radio, Property::Checked, 0);
}

}  // namespace

const ModeLayout& LayoutOf(Control modeRadio) {
  for (const ModeLayout& mode : kModes) {
    if (mode.radio == modeRadio) return mode;
  }
  return kDeleteModeOne;  // not a mode radio: the start-up mode, never a stray read
}

void SelectDeleteModeOne(Tool& tool) { ApplyMode(tool, LayoutOf(Control::DeleteModeOneRadio)); }
void SelectDeleteModeTwo(Tool& tool) { ApplyMode(tool, LayoutOf(Control::DeleteModeTwoRadio)); }
void SelectAddModeOne(Tool& tool) { ApplyMode(tool, LayoutOf(Control::AddModeOneRadio)); }
void SelectAddModeTwo(Tool& tool) { ApplyMode(tool, LayoutOf(Control::AddModeTwoRadio)); }

void SwitchTabPage(Tool& tool) {
  const int page = tool.ui.ReadControlProperty(Control::JobPages, Property::CurrentPage);
  if (page == 0) {
    CheckOnly(tool.ui, Control::DeleteModeOneRadio,
              {Control::DeleteModeTwoRadio, Control::AddModeOneRadio, Control::AddModeTwoRadio});
    SelectDeleteModeOne(tool);
  } else if (page == 1) {
    CheckOnly(tool.ui, Control::AddModeOneRadio,
              {Control::DeleteModeOneRadio, Control::DeleteModeTwoRadio, Control::AddModeTwoRadio});
    SelectAddModeOne(tool);
  }
}

void ClearAllEditBoxes(Tool& tool) {
  // Last to first in declaration order: the sent-sticker boxes are emptied before the
  // add-item boxes that follow them, so those end empty too.
  const auto& form = Form();
  for (auto it = form.rbegin(); it != form.rend(); ++it) {
    if (it->kind == ControlKind::EditBox || it->kind == ControlKind::IntegerEditBox) {
      tool.ui.WriteControlText(it->id, "");
    }
  }
}

}  // namespace pelloram
