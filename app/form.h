// The main window's form: every control with its kind, container, geometry, texts,
// fonts and colours, in declaration order. The Win32 window is built from this alone.
#pragma once

#include <array>
#include <string_view>

#include "services/controls.h"
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

}  // namespace pelloram
