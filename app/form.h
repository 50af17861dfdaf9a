// The main window's form: every control with its kind, container, geometry, texts,
// fonts and colours, in declaration order. The Win32 window is built from this alone.
#pragma once

#include <array>
#include <string_view>

#include "services/controls.h"
#include "services/scale.h"
#include "services/types.h"

namespace pelloram {

enum class ControlKind : int {
  Button,
  GroupBox,
  RadioButton,
  Label,
  EditBox,
  IntegerEditBox,
  PictureBox,
  TabControl,
  Timer,
  BalloonTip,
};

enum class TextAlign : int { Left, Centre };

enum class Picture : int { None, SmilingFace, Heart, Folder };

struct ControlForm {
  Control id;
  std::string_view designerName;  // the form designer's name ("编辑框7"), to trace the form
  ControlKind kind;
  Control container;        // MainWindow, JobPages (with page), or a group box
  int page;                 // tab page for controls placed directly on the tab control; else -1
  int x, y, width, height;  // relative to the container (tab control: its own top-left)
  std::string_view text;    // caption or initial content, UTF-8
  int fontPx;               // bold GB2312 font height in pixels; 0: the system's default
  Colour colour;            // text colour
  TextAlign align;
  bool border;    // labels: thin single line (FolderCountLabel only)
  bool wordWrap;  // labels
  bool checked;   // radio buttons
  Picture picture;
  std::string_view role;  // what the control is for, in a few words
};

inline constexpr int kMainWindowWidth = 338;
inline constexpr int kMainWindowHeight = 370;
inline constexpr std::string_view kMainWindowCaption = "Pelloram  By:Tovrin";
inline constexpr int kTimerIntervalMs = 500;
// Tab captions of JobPages, in page order (0: delete page, 1: add page).
inline constexpr std::array<std::string_view, 2> kTabPageCaptions = {"自动删表情", "自动添加表情"};

// Indexed by static_cast<int>(Control); MainWindow has no entry.
const std::array<ControlForm, kChildControlCount>& Form();
const ControlForm& FormOf(Control control);

// ---- The form on a scaled display

// The form is measured in pixels at 100 % (96 dpi). On a monitor of another scale the window
// draws it larger: each edge of a control's rectangle in its container scaled on its own and
// rounded one way (ScaledEdges), so controls that touch or line up at 100 % still do and one
// inside another stays inside; the window's outer size, the fonts and the lines scaled alike
// (Scaled). At 96 dpi it is the form, pixel for pixel.

// The thin single line around a bordered label, at 100 %.
inline constexpr int kBorderLinePx = 1;

struct PlacedControl {
  Rect rect;   // relative to the container (tab control: its own top-left), pixels at the dpi
  int fontPx;  // font height at the dpi; 0: the system's default
};

struct ScaledForm {
  int dpi;
  int windowWidth, windowHeight;  // the main window's outer size
  int borderLinePx;               // the bordered label's line, never thinner than 1
  std::array<PlacedControl, kChildControlCount> controls;  // indexed like Form()
};

// A dpi as the system gave it, or 100 % when it gave none.
constexpr int UsableDpi(int dpi) { return dpi > 0 ? dpi : kBaseDpi; }

// A control's rectangle in its container as the form has it, at 100 %.
constexpr Rect FormRect(const ControlForm& form) {
  return Rect{form.x, form.y, form.x + form.width, form.y + form.height};
}

// Any rectangle of the form at 100 % (a control's, or a help label's as its mode sizes it),
// drawn at `dpi`.
constexpr Rect PlacedAt(const Rect& formRect, int dpi) {
  return ScaledEdges(formRect, UsableDpi(dpi));
}
PlacedControl PlacedAt(const ControlForm& form, int dpi);

// The whole form at `dpi`: what the window is built from, and laid out again from when it
// comes to a monitor of another scale.
ScaledForm FormAt(int dpi);

// The main window's outer rectangle once it has come to a monitor of `dpi`: at the top-left
// Windows suggests, at the window's own size there. The size comes from the form, never from
// the size the window had, so that going back and forth between monitors never creeps.
Rect WindowRectAt(const Rect& suggested, int dpi);

}  // namespace pelloram
