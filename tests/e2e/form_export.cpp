// form_export.exe: the main window's form and its four modes as the tool is built with them,
// one JSON object a line on stdout (UTF-8), so the end-to-end tests compare the real window
// with what this build means it to show rather than with a copy of their own.
//
//   {"kind": "window", "dpi": .., "width": .., "height": .., "border_line_px": ..,
//    "caption": .., "pages": [..]}
//   {"kind": "control", "index": .., "control": "edit", "container": .., "page": ..,
//    "rect": {"x", "y", "w", "h"}, "font_px": .., "text": .., "align": "left" | "centre",
//    "word_wrap": .., "checked": .., "border": ..}
//      one per control in declaration order; container is a control index, -1 the window;
//      font_px 0 is the system's font
//   {"kind": "mode", "radio": .., "group": .., "caption": .., "help": .., "help_height": ..,
//    "help_text": .., "help_font_pt": .., "word_wrap": .., "clears_fields": .., "delay": ..,
//    "resets_count": ..}
//
// form_export.exe --dpi N gives the form as the window draws it at that scale (FormAt): the
// window's size, the rectangles, fonts and line in pixels at N dpi. The modes' sizes stay at
// 100 %, as the tool writes them.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "app/form.h"
#include "app/mode_switching.h"
#include "services/json_quote.h"

namespace pelloram {
namespace {

std::string_view KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
      return "button";
    case ControlKind::GroupBox:
      return "group";
    case ControlKind::RadioButton:
      return "radio";
    case ControlKind::Label:
      return "label";
    case ControlKind::EditBox:
      return "edit";
    case ControlKind::IntegerEditBox:
      return "integer_edit";
    case ControlKind::PictureBox:
      return "picture";
    case ControlKind::TabControl:
      return "tab";
    case ControlKind::Timer:
      return "timer";
    case ControlKind::BalloonTip:
      return "balloon_tip";
  }
  return "unknown";
}

int IndexOf(Control control) {
  return control == Control::MainWindow ? -1 : static_cast<int>(control);
}

std::string Bool(bool value) { return value ? "true" : "false"; }

void PrintWindow(const ScaledForm& scaled) {
  std::string pages;
  for (const std::string_view caption : kTabPageCaptions) {
    pages += (pages.empty() ? "" : ", ") + JsonQuote(caption);
  }
  std::printf(
      "{\"kind\": \"window\", \"dpi\": %d, \"width\": %d, \"height\": %d, "
      "\"border_line_px\": %d, \"caption\": %s, \"pages\": [%s]}\n",
      scaled.dpi, scaled.windowWidth, scaled.windowHeight, scaled.borderLinePx,
      JsonQuote(kMainWindowCaption).c_str(), pages.c_str());
}

void PrintControl(const ControlForm& form, const PlacedControl& placed) {
  const Rect& r = placed.rect;
  std::printf(
      "{\"kind\": \"control\", \"index\": %d, \"control\": \"%s\", \"container\": %d, "
      "\"page\": %d, \"rect\": {\"x\": %d, \"y\": %d, \"w\": %d, \"h\": %d}, "
      "\"font_px\": %d, \"text\": %s, \"align\": \"%s\", \"word_wrap\": %s, "
      "\"checked\": %s, \"border\": %s}\n",
      IndexOf(form.id), std::string(KindName(form.kind)).c_str(), IndexOf(form.container),
      form.page, r.left, r.top, r.right - r.left, r.bottom - r.top, placed.fontPx,
      JsonQuote(form.text).c_str(), form.align == TextAlign::Centre ? "centre" : "left",
      Bool(form.wordWrap).c_str(), Bool(form.checked).c_str(), Bool(form.border).c_str());
}

void PrintMode(const ModeLayout& mode) {
  std::printf(
      "{\"kind\": \"mode\", \"radio\": %d, \"group\": %d, \"caption\": %s, \"help\": %d, "
      "\"help_height\": %d, \"help_text\": %s, \"help_font_pt\": %d, \"word_wrap\": %s, "
      "\"clears_fields\": %s, \"delay\": %d, \"resets_count\": %s}\n",
      IndexOf(mode.radio), IndexOf(mode.groupBox), JsonQuote(mode.groupCaption).c_str(),
      IndexOf(mode.helpLabel), mode.helpHeight, JsonQuote(mode.helpText).c_str(), mode.helpFontPt,
      Bool(mode.wordWrap).c_str(), Bool(mode.clearFields).c_str(), IndexOf(mode.delayBox),
      Bool(mode.resetCount).c_str());
}

}  // namespace
}  // namespace pelloram

int main(int argc, char** argv) {
  using namespace pelloram;
  int dpi = kBaseDpi;
  if (argc == 3 && std::strcmp(argv[1], "--dpi") == 0) {
    dpi = std::atoi(argv[2]);
  } else if (argc != 1) {
    std::fputs("usage: form_export [--dpi N]\n", stderr);
    return 64;
  }
  const ScaledForm scaled = FormAt(dpi);
  PrintWindow(scaled);
  for (const ControlForm& form : Form()) {
    PrintControl(form, scaled.controls[static_cast<std::size_t>(form.id)]);
  }
  for (const ControlForm& form : Form()) {
    if (form.kind == ControlKind::RadioButton) PrintMode(LayoutOf(form.id));
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
