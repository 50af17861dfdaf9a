#include "app/form.h"

#include <algorithm>

namespace pelloram {
namespace {

using enum Control;

constexpr Colour kBlack = 0x000000;
constexpr Colour kRed = 0x0000FF;      // RGB(255, 0, 0)
constexpr Colour kBlue = 0xFF0000;     // RGB(0, 0, 255)
constexpr Colour kOrange = 0x0080FF;   // RGB(255, 128, 0)
constexpr Colour kMagenta = 0xFF00FF;  // RGB(255, 0, 255)

constexpr int kRowFont = 16;    // captions, radios, page buttons
constexpr int kFieldFont = 19;  // edit boxes
constexpr int kNoPage = -1;

constexpr std::string_view kHelpFormText =
    "模式一将设置微信窗口大小和位置\r\n使用内置的坐标参数\r\n添加表情包文件夹即可\r\n\r\n"
    "F11 快捷启动/暂停\r\n\r\n使用过程中请勿移动使用键鼠\r\n点击位置不对或其他问题\r\n"
    "请使用模式二手动获取坐标\r\n";

struct Place {
  Control container;
  int page;
  int x, y, width, height;
};

constexpr Place OnTab(int page, int x, int y, int width, int height) {
  return {JobPages, page, x, y, width, height};
}
constexpr Place In(Control groupBox, int x, int y, int width, int height) {
  return {groupBox, kNoPage, x, y, width, height};
}

constexpr ControlForm Make(Control id, std::string_view designer, ControlKind kind, Place at,
                           std::string_view text, int fontPx, Colour colour, TextAlign align,
                           std::string_view role) {
  return {.id = id,
          .designerName = designer,
          .kind = kind,
          .container = at.container,
          .page = at.page,
          .x = at.x,
          .y = at.y,
          .width = at.width,
          .height = at.height,
          .text = text,
          .fontPx = fontPx,
          .colour = colour,
          .align = align,
          .border = false,
          .wordWrap = false,
          .checked = false,
          .picture = Picture::None,
          .role = role};
}

constexpr ControlForm Button(Control id, std::string_view designer, Place at, std::string_view text,
                             int fontPx, std::string_view role) {
  return Make(id, designer, ControlKind::Button, at, text, fontPx, kBlack, TextAlign::Centre, role);
}

constexpr ControlForm Radio(Control id, std::string_view designer, Place at, std::string_view text,
                            bool checked, std::string_view role) {
  ControlForm form = Make(id, designer, ControlKind::RadioButton, at, text, kRowFont, kBlack,
                          TextAlign::Left, role);
  form.checked = checked;
  return form;
}

constexpr ControlForm GroupBox(Control id, std::string_view designer, Place at,
                               std::string_view text, int fontPx, Colour colour,
                               std::string_view role) {
  return Make(id, designer, ControlKind::GroupBox, at, text, fontPx, colour, TextAlign::Centre,
              role);
}

// Row captions: left-aligned single lines, black unless said otherwise.
constexpr ControlForm Caption(Control id, std::string_view designer, Place at,
                              std::string_view text, std::string_view role = "row caption",
                              Colour colour = kBlack) {
  return Make(id, designer, ControlKind::Label, at, text, kRowFont, colour, TextAlign::Left, role);
}

constexpr ControlForm HelpLabel(Control id, std::string_view designer, Place at,
                                std::string_view role) {
  ControlForm form = Make(id, designer, ControlKind::Label, at, kHelpFormText, kRowFont, kBlue,
                          TextAlign::Centre, role);
  form.wordWrap = true;
  return form;
}

constexpr ControlForm Edit(Control id, std::string_view designer, Place at, std::string_view role,
                           std::string_view text = "") {
  return Make(id, designer, ControlKind::EditBox, at, text, kFieldFont, kBlack, TextAlign::Centre,
              role);
}

constexpr ControlForm PictureBox(Control id, std::string_view designer, Place at, Picture picture,
                                 std::string_view role) {
  ControlForm form =
      Make(id, designer, ControlKind::PictureBox, at, "", 0, kBlack, TextAlign::Centre, role);
  form.picture = picture;
  return form;
}

constexpr ControlForm Invisible(Control id, std::string_view designer, ControlKind kind,
                                Control container, std::string_view role) {
  return Make(id, designer, kind, {container, kNoPage, 0, 0, 0, 0}, "", 0, kBlack, TextAlign::Left,
              role);
}

constexpr ControlForm CountField() {
  return Make(DeleteCount, "编辑框7", ControlKind::IntegerEditBox,
              In(DeleteModeFrame, 142, 188, 62, 32), "1", kFieldFont, kRed, TextAlign::Centre,
              "number of stickers to delete");
}

constexpr ControlForm FileCountLabel() {
  ControlForm form = Make(FolderCountLabel, "标签10", ControlKind::Label, OnTab(1, 3, 57, 205, 32),
                          "未选择表情文件", kRowFont, kOrange, TextAlign::Centre,
                          "number of chosen sticker files");
  form.border = true;
  return form;
}

constexpr ControlForm TabControl() {
  return Make(JobPages, "高级选择夹1", ControlKind::TabControl,
              {MainWindow, kNoPage, 2, 6, 328, 336}, "", 14, kBlack, TextAlign::Centre,
              "the two job pages");
}

// Declaration order: earlier controls lie above later ones, and name searches return
// them in this order.
constexpr std::array<ControlForm, kChildControlCount> kForm = {
    Button(DeleteThanksButton, "按钮5", OnTab(0, 214, 0, 112, 23), "打赏作者", kRowFont,
           "shows the thank-you message"),
    Button(AddThanksButton, "按钮4", OnTab(1, 214, 0, 112, 23), "打赏作者", kRowFont,
           "shows the thank-you message"),
    HelpLabel(AddModeHelp, "标签11", In(AddModeFrame, 7, 19, 304, 83), "help text of the add mode"),
    Caption(AddItemXCaption, "标签19", In(AddModeFrame, 10, 174, 136, 24), "添加到表情坐标X："),
    Edit(AddItemX, "编辑框13", In(AddModeFrame, 148, 171, 62, 32), "X of the add-to-stickers item"),
    Caption(AddItemYCaption, "标签20", In(AddModeFrame, 220, 175, 24, 24), "Y："),
    Edit(AddItemY, "编辑框14", In(AddModeFrame, 244, 170, 62, 32), "Y of the add-to-stickers item"),
    Caption(SentStickerXCaption, "标签14", In(AddModeFrame, 10, 142, 136, 24), "已发送表情坐标X："),
    Edit(SentStickerX, "编辑框11", In(AddModeFrame, 148, 138, 62, 32), "X of the sent sticker"),
    Caption(SentStickerYCaption, "标签18", In(AddModeFrame, 220, 143, 24, 24), "Y："),
    Edit(SentStickerY, "编辑框12", In(AddModeFrame, 244, 138, 62, 32), "Y of the sent sticker"),
    Caption(FileButtonXCaption, "标签12", In(AddModeFrame, 44, 110, 101, 24), "文件夹坐标X："),
    Edit(FileButtonX, "编辑框9", In(AddModeFrame, 148, 106, 62, 32),
         "X of the client's file button"),
    Caption(FileButtonYCaption, "标签13", In(AddModeFrame, 220, 111, 24, 24), "Y："),
    Edit(FileButtonY, "编辑框10", In(AddModeFrame, 244, 106, 62, 32),
         "Y of the client's file button"),
    PictureBox(FileButtonPicture, "图片框3", In(AddModeFrame, 5, 104, 40, 30), Picture::Folder,
               "marks the file-button row"),
    Invisible(NoteTip, "气球提示框2", ControlKind::BalloonTip, MainWindow,
              "confirmations and notes"),
    Button(AddStartButton, "按钮2", OnTab(1, 219, 296, 95, 32), "F11开始", 14, "add start"),
    Caption(AddDelayCaption, "标签9", In(AddModeFrame, 8, 202, 133, 32), "点击延时≥500ms"),
    Edit(AddDelay, "编辑框8", In(AddModeFrame, 148, 203, 62, 32), "add click delay in ms", "500"),
    GroupBox(AddModeFrame, "分组框3", OnTab(1, 5, 92, 320, 238), "模式一", 16, kMagenta,
             "frame of the add fields; caption shows the mode"),
    Radio(AddModeOneRadio, "单选框3", OnTab(1, 13, 25, 106, 32), "添加模式一", true,
          "add mode one"),
    Radio(AddModeTwoRadio, "单选框4", OnTab(1, 215, 25, 119, 32), "添加模式二", false,
          "add mode two"),
    FileCountLabel(),
    Button(ChooseFolderButton, "按钮3", OnTab(1, 211, 56, 113, 33), "选择表情文件夹", 14,
           "choose the sticker folder"),
    Invisible(FlashTimer, "时钟1", ControlKind::Timer, DeletePageFrame,
              "colour flash of the mode radios"),
    GroupBox(DeletePageFrame, "分组框2", OnTab(0, 4, 27, 320, 304), "", 0, kBlack,
             "frame of the delete page"),
    Radio(DeleteModeOneRadio, "单选框1", In(DeletePageFrame, 9, 8, 106, 32), "删除模式一", true,
          "delete mode one"),
    Radio(DeleteModeTwoRadio, "单选框2", In(DeletePageFrame, 192, 8, 119, 32), "删除模式二", false,
          "delete mode two"),
    HelpLabel(DeleteModeHelp, "标签8", In(DeleteModeFrame, 6, 23, 304, 24),
              "help text of the delete mode"),
    Caption(DeleteDelayCaption, "标签17", In(DeleteModeFrame, 9, 220, 133, 32), "点击延时≥500ms"),
    Edit(DeleteDelay, "编辑框18", In(DeleteModeFrame, 142, 221, 62, 32), "delete click delay in ms",
         "500"),
    Caption(DeleteItemXCaption, "标签15", In(DeleteModeFrame, 9, 158, 133, 24), "删除按钮坐标 X："),
    Edit(DeleteItemX, "编辑框16", In(DeleteModeFrame, 142, 155, 62, 32),
         "X of the menu's delete item"),
    Caption(DeleteItemYCaption, "标签16", In(DeleteModeFrame, 214, 158, 24, 24), "Y："),
    Edit(DeleteItemY, "编辑框17", In(DeleteModeFrame, 245, 155, 62, 32),
         "Y of the menu's delete item"),
    Invisible(WarningTip, "气球提示框1", ControlKind::BalloonTip, MainWindow, "warnings"),
    PictureBox(StickerPanelPicture, "图片框1", In(DeleteModeFrame, 2, 57, 40, 30),
               Picture::SmilingFace, "marks the sticker-panel row"),
    Caption(StickerPanelXCaption, "标签1", In(DeleteModeFrame, 42, 60, 94, 24), "表情坐标 X："),
    Edit(StickerPanelX, "编辑框1", In(DeleteModeFrame, 142, 55, 62, 32),
         "X of the sticker-panel button"),
    Caption(StickerPanelYCaption, "标签2", In(DeleteModeFrame, 214, 60, 24, 24), "Y："),
    Edit(StickerPanelY, "编辑框2", In(DeleteModeFrame, 245, 55, 62, 32),
         "Y of the sticker-panel button"),
    PictureBox(CollectedTabPicture, "图片框2", In(DeleteModeFrame, 1, 90, 40, 30), Picture::Heart,
               "marks the collected-tab row"),
    Caption(CollectedTabXCaption, "标签3", In(DeleteModeFrame, 42, 93, 94, 24), "收藏坐标 X："),
    Edit(CollectedTabX, "编辑框3", In(DeleteModeFrame, 142, 88, 62, 32),
         "X of the collected-stickers tab"),
    Caption(CollectedTabYCaption, "标签4", In(DeleteModeFrame, 214, 93, 24, 24), "Y："),
    Edit(CollectedTabY, "编辑框4", In(DeleteModeFrame, 245, 88, 62, 32),
         "Y of the collected-stickers tab"),
    Caption(FirstStickerXCaption, "标签5", In(DeleteModeFrame, 9, 125, 133, 24),
            "首个表情坐标 X："),
    Edit(FirstStickerX, "编辑框5", In(DeleteModeFrame, 142, 122, 62, 32), "X of the first sticker"),
    Caption(FirstStickerYCaption, "标签6", In(DeleteModeFrame, 214, 125, 24, 24), "Y："),
    Edit(FirstStickerY, "编辑框6", In(DeleteModeFrame, 245, 122, 62, 32), "Y of the first sticker"),
    Caption(DeleteCountCaption, "标签7", In(DeleteModeFrame, 9, 192, 133, 24), "欲删除表情数量：",
            "row caption", kRed),
    CountField(),
    Button(DeleteStartButton, "按钮1", In(DeleteModeFrame, 210, 193, 97, 54), "F11\r\n开  始",
           kFieldFont, "delete start/pause"),
    GroupBox(DeleteModeFrame, "分组框1", In(DeletePageFrame, 5, 43, 312, 255), "模式一", kFieldFont,
             kOrange, "frame of the delete fields; caption shows the mode"),
    TabControl(),
};

constexpr bool InDeclarationOrder() {
  for (int i = 0; i < kChildControlCount; ++i) {
    if (static_cast<int>(kForm[static_cast<std::size_t>(i)].id) != i) return false;
  }
  return true;
}
static_assert(InDeclarationOrder(), "the form must list every control in declaration order");

}  // namespace

const std::array<ControlForm, kChildControlCount>& Form() { return kForm; }

const ControlForm& FormOf(Control control) {
  // The window itself has no row; callers asking anyway get its outline, not a stray read.
  static constexpr ControlForm kWindow =
      Make(MainWindow, "", ControlKind::GroupBox,
           {MainWindow, kNoPage, 0, 0, kMainWindowWidth, kMainWindowHeight}, kMainWindowCaption, 0,
           kBlack, TextAlign::Left, "the main window");
  const auto index = static_cast<std::size_t>(control);
  return index < kForm.size() ? kForm[index] : kWindow;
}

PlacedControl PlacedAt(const ControlForm& form, int dpi) {
  return {PlacedAt(FormRect(form), dpi), Scaled(form.fontPx, UsableDpi(dpi))};
}

ScaledForm FormAt(int dpi) {
  dpi = UsableDpi(dpi);
  ScaledForm scaled{.dpi = dpi,
                    .windowWidth = Scaled(kMainWindowWidth, dpi),
                    .windowHeight = Scaled(kMainWindowHeight, dpi),
                    .borderLinePx = std::max(1, Scaled(kBorderLinePx, dpi)),
                    .controls = {}};
  for (const ControlForm& form : kForm) {
    scaled.controls[static_cast<std::size_t>(form.id)] = PlacedAt(form, dpi);
  }
  return scaled;
}

Rect WindowRectAt(const Rect& suggested, int dpi) {
  const ScaledForm scaled = FormAt(dpi);
  return Rect{suggested.left, suggested.top, suggested.left + scaled.windowWidth,
              suggested.top + scaled.windowHeight};
}

}  // namespace pelloram
