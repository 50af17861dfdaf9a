// form_export.exe: the main window's form and its four modes as the tool is built with them,
// one JSON object a line on stdout (UTF-8), so the end-to-end tests compare the real window
// with what this build means it to show rather than with a copy of their own.
//
//   {"kind": "window", "width": .., "height": .., "caption": .., "pages": [..]}
//   {"kind": "control", "index": .., "control": "edit", "container": .., "page": ..,
//    "rect": {"x", "y", "w", "h"}, "text": .., "checked": .., "border": ..}
//      one per control in declaration order; container is a control index, -1 the window
//   {"kind": "mode", "radio": .., "group": .., "caption": .., "help": .., "help_height": ..,
//    "help_text": .., "clears_fields": .., "delay": .., "resets_count": ..}
#include <cstdio>
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

void PrintWindow() {
  std::string pages;
  for (const std::string_view caption : kTabPageCaptions) {
    pages += (pages.empty() ? "" : ", ") + JsonQuote(caption);
  }
  std::printf(
      "{\"kind\": \"window\", \"width\": %d, \"height\": %d, \"caption\": %s, "
      "\"pages\": [%s]}\n",
      kMainWindowWidth, kMainWindowHeight, JsonQuote(kMainWindowCaption).c_str(), pages.c_str());
}

void PrintControl(const ControlForm& form) {
  std::printf(
      "{\"kind\": \"control\", \"index\": %d, \"control\": \"%s\", \"container\": %d, "
      "\"page\": %d, \"rect\": {\"x\": %d, \"y\": %d, \"w\": %d, \"h\": %d}, "
      "\"text\": %s, \"checked\": %s, \"border\": %s}\n",
      IndexOf(form.id), std::string(KindName(form.kind)).c_str(), IndexOf(form.container),
      form.page, form.x, form.y, form.width, form.height, JsonQuote(form.text).c_str(),
      Bool(form.checked).c_str(), Bool(form.border).c_str());
}

void PrintMode(const ModeLayout& mode) {
  std::printf(
      "{\"kind\": \"mode\", \"radio\": %d, \"group\": %d, \"caption\": %s, \"help\": %d, "
      "\"help_height\": %d, \"help_text\": %s, \"clears_fields\": %s, \"delay\": %d, "
      "\"resets_count\": %s}\n",
      IndexOf(mode.radio), IndexOf(mode.groupBox), JsonQuote(mode.groupCaption).c_str(),
      IndexOf(mode.helpLabel), mode.helpHeight, JsonQuote(mode.helpText).c_str(),
      Bool(mode.clearFields).c_str(), IndexOf(mode.delayBox), Bool(mode.resetCount).c_str());
}

}  // namespace
}  // namespace pelloram

int main() {
  using namespace pelloram;
  PrintWindow();
  for (const ControlForm& form : Form()) PrintControl(form);
  for (const ControlForm& form : Form()) {
    if (form.kind == ControlKind::RadioButton) PrintMode(LayoutOf(form.id));
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
