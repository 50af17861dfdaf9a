#include "app/form.h"

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
  return {高级选择夹1, page, x, y, width, height};
}
constexpr Place In(Control groupBox, int x, int y, int width, int height) {
  return {groupBox, kNoPage, x, y, width, height};
}

constexpr ControlForm Make(Control id, ControlKind kind, Place at, std::string_view text,
                           int fontPx, Colour colour, TextAlign align, std::string_view role) {
  return {.id = id,
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

constexpr ControlForm Button(Control id, Place at, std::string_view text, int fontPx,
                             std::string_view role) {
  return Make(id, ControlKind::Button, at, text, fontPx, kBlack, TextAlign::Centre, role);
}

constexpr ControlForm Radio(Control id, Place at, std::string_view text, bool checked,
                            std::string_view role) {
  ControlForm form =
      Make(id, ControlKind::RadioButton, at, text, kRowFont, kBlack, TextAlign::Left, role);
  form.checked = checked;
  return form;
}

constexpr ControlForm GroupBox(Control id, Place at, std::string_view text, int fontPx,
                               Colour colour, std::string_view role) {
  return Make(id, ControlKind::GroupBox, at, text, fontPx, colour, TextAlign::Centre, role);
}

// Row captions: left-aligned single lines, black unless said otherwise.
constexpr ControlForm Caption(Control id, Place at, std::string_view text,
                              std::string_view role = "row caption", Colour colour = kBlack) {
  return Make(id, ControlKind::Label, at, text, kRowFont, colour, TextAlign::Left, role);
}

constexpr ControlForm HelpLabel(Control id, Place at, std::string_view role) {
  ControlForm form =
      Make(id, ControlKind::Label, at, kHelpFormText, kRowFont, kBlue, TextAlign::Centre, role);
  form.wordWrap = true;
  return form;
}

constexpr ControlForm Edit(Control id, Place at, std::string_view role,
                           std::string_view text = "") {
  return Make(id, ControlKind::EditBox, at, text, kFieldFont, kBlack, TextAlign::Centre, role);
}

constexpr ControlForm PictureBox(Control id, Place at, Picture picture, std::string_view role) {
  ControlForm form = Make(id, ControlKind::PictureBox, at, "", 0, kBlack, TextAlign::Centre, role);
  form.picture = picture;
  return form;
}

constexpr ControlForm Invisible(Control id, ControlKind kind, Control container,
                                std::string_view role) {
  return Make(id, kind, {container, kNoPage, 0, 0, 0, 0}, "", 0, kBlack, TextAlign::Left, role);
}

constexpr ControlForm CountField() {
  return Make(编辑框7, ControlKind::IntegerEditBox, In(分组框1, 142, 188, 62, 32), "1", kFieldFont,
              kRed, TextAlign::Centre, "number of stickers to delete");
}

constexpr ControlForm FileCountLabel() {
  ControlForm form = Make(标签10, ControlKind::Label, OnTab(1, 3, 57, 205, 32), "未选择表情文件",
                          kRowFont, kOrange, TextAlign::Centre, "number of chosen sticker files");
  form.border = true;
  return form;
}

constexpr ControlForm TabControl() {
  return Make(高级选择夹1, ControlKind::TabControl, {MainWindow, kNoPage, 2, 6, 328, 336}, "", 14,
              kBlack, TextAlign::Centre, "the two job pages");
}

// Declaration order: earlier controls lie above later ones, and name searches return
// them in this order.
constexpr std::array<ControlForm, kChildControlCount> kForm = {
    Button(按钮5, OnTab(0, 214, 0, 112, 23), "打赏作者", kRowFont, "shows the thank-you message"),
    Button(按钮4, OnTab(1, 214, 0, 112, 23), "打赏作者", kRowFont, "shows the thank-you message"),
    HelpLabel(标签11, In(分组框3, 7, 19, 304, 83), "help text of the add mode"),
    Caption(标签19, In(分组框3, 10, 174, 136, 24), "添加到表情坐标X："),
    Edit(编辑框13, In(分组框3, 148, 171, 62, 32), "X of the add-to-stickers item"),
    Caption(标签20, In(分组框3, 220, 175, 24, 24), "Y："),
    Edit(编辑框14, In(分组框3, 244, 170, 62, 32), "Y of the add-to-stickers item"),
    Caption(标签14, In(分组框3, 10, 142, 136, 24), "已发送表情坐标X："),
    Edit(编辑框11, In(分组框3, 148, 138, 62, 32), "X of the sent sticker"),
    Caption(标签18, In(分组框3, 220, 143, 24, 24), "Y："),
    Edit(编辑框12, In(分组框3, 244, 138, 62, 32), "Y of the sent sticker"),
    Caption(标签12, In(分组框3, 44, 110, 101, 24), "文件夹坐标X："),
    Edit(编辑框9, In(分组框3, 148, 106, 62, 32), "X of the client's file button"),
    Caption(标签13, In(分组框3, 220, 111, 24, 24), "Y："),
    Edit(编辑框10, In(分组框3, 244, 106, 62, 32), "Y of the client's file button"),
    PictureBox(图片框3, In(分组框3, 5, 104, 40, 30), Picture::Folder, "marks the file-button row"),
    Invisible(气球提示框2, ControlKind::BalloonTip, MainWindow, "confirmations and notes"),
    Button(按钮2, OnTab(1, 219, 296, 95, 32), "F11开始", 14, "add start"),
    Caption(标签9, In(分组框3, 8, 202, 133, 32), "点击延时≥500ms"),
    Edit(编辑框8, In(分组框3, 148, 203, 62, 32), "add click delay in ms", "500"),
    GroupBox(分组框3, OnTab(1, 5, 92, 320, 238), "模式一", 16, kMagenta,
             "frame of the add fields; caption shows the mode"),
    Radio(单选框3, OnTab(1, 13, 25, 106, 32), "添加模式一", true, "add mode one"),
    Radio(单选框4, OnTab(1, 215, 25, 119, 32), "添加模式二", false, "add mode two"),
    FileCountLabel(),
    Button(按钮3, OnTab(1, 211, 56, 113, 33), "选择表情文件夹", 14, "choose the sticker folder"),
    Invisible(时钟1, ControlKind::Timer, 分组框2, "colour flash of the mode radios"),
    GroupBox(分组框2, OnTab(0, 4, 27, 320, 304), "", 0, kBlack, "frame of the delete page"),
    Radio(单选框1, In(分组框2, 9, 8, 106, 32), "删除模式一", true, "delete mode one"),
    Radio(单选框2, In(分组框2, 192, 8, 119, 32), "删除模式二", false, "delete mode two"),
    HelpLabel(标签8, In(分组框1, 6, 23, 304, 24), "help text of the delete mode"),
    Caption(标签17, In(分组框1, 9, 220, 133, 32), "点击延时≥500ms"),
    Edit(编辑框18, In(分组框1, 142, 221, 62, 32), "delete click delay in ms", "500"),
    Caption(标签15, In(分组框1, 9, 158, 133, 24), "删除按钮坐标 X："),
    Edit(编辑框16, In(分组框1, 142, 155, 62, 32), "X of the menu's delete item"),
    Caption(标签16, In(分组框1, 214, 158, 24, 24), "Y："),
    Edit(编辑框17, In(分组框1, 245, 155, 62, 32), "Y of the menu's delete item"),
    Invisible(气球提示框1, ControlKind::BalloonTip, MainWindow, "warnings"),
    PictureBox(图片框1, In(分组框1, 2, 57, 40, 30), Picture::SmilingFace,
               "marks the sticker-panel row"),
    Caption(标签1, In(分组框1, 42, 60, 94, 24), "表情坐标 X：",
            "row caption; receives the hotkey feedback"),
    Edit(编辑框1, In(分组框1, 142, 55, 62, 32), "X of the sticker-panel button"),
    Caption(标签2, In(分组框1, 214, 60, 24, 24), "Y："),
    Edit(编辑框2, In(分组框1, 245, 55, 62, 32), "Y of the sticker-panel button"),
    PictureBox(图片框2, In(分组框1, 1, 90, 40, 30), Picture::Heart, "marks the collected-tab row"),
    Caption(标签3, In(分组框1, 42, 93, 94, 24), "收藏坐标 X："),
    Edit(编辑框3, In(分组框1, 142, 88, 62, 32), "X of the collected-stickers tab"),
    Caption(标签4, In(分组框1, 214, 93, 24, 24), "Y："),
    Edit(编辑框4, In(分组框1, 245, 88, 62, 32), "Y of the collected-stickers tab"),
    Caption(标签5, In(分组框1, 9, 125, 133, 24), "首个表情坐标 X："),
    Edit(编辑框5, In(分组框1, 142, 122, 62, 32), "X of the first sticker"),
    Caption(标签6, In(分组框1, 214, 125, 24, 24), "Y："),
    Edit(编辑框6, In(分组框1, 245, 122, 62, 32), "Y of the first sticker"),
    Caption(标签7, In(分组框1, 9, 192, 133, 24), "欲删除表情数量：", "row caption", kRed),
    CountField(),
    Button(按钮1, In(分组框1, 210, 193, 97, 54), "F11\r\n开  始", kFieldFont, "delete start/pause"),
    GroupBox(分组框1, In(分组框2, 5, 43, 312, 255), "模式一", kFieldFont, kOrange,
             "frame of the delete fields; caption shows the mode"),
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
      Make(MainWindow, ControlKind::GroupBox,
           {MainWindow, kNoPage, 0, 0, kMainWindowWidth, kMainWindowHeight}, kMainWindowCaption, 0,
           kBlack, TextAlign::Left, "the main window");
  const auto index = static_cast<std::size_t>(control);
  return index < kForm.size() ? kForm[index] : kWindow;
}

}  // namespace pelloram
