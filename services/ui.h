// The Ui seam: everything the tool does to its own window. Implemented over Win32 in
// ui_win32.cpp and by a fake in the unit tests.
#pragma once

#include <string>
#include <string_view>

#include "services/controls.h"
#include "services/types.h"

namespace pelloram {

// Numeric control properties. Texts (edit content, captions) go through the text calls.
// Sizes are the form's pixels at 100 % (96 dpi) and fonts are points, whatever the display's
// scale: the window draws them at its own (app/form.h, "The form on a scaled display").
enum class Property : int {
  Width,        // any control, pixels at 100 %
  Height,       // any control, pixels at 100 %
  FontSize,     // label, points
  WordWrap,     // label, 0 or 1
  TextColour,   // radio button, Colour
  Checked,      // radio button, 0 or 1
  CurrentPage,  // tab control, 0 or 1
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Content of an edit box, caption of anything else. UTF-8.
  virtual std::string ReadControlText(Control control) = 0;
  // Writing an edit box's content raises its ContentChanged event exactly once, before
  // returning, also when the text is unchanged; the native change notification of the
  // write itself is suppressed.
  virtual void WriteControlText(Control control, std::string_view text) = 0;
  // Writes an edit box's content and raises nothing: the tool showing a value it owns (a
  // point it found or was taught), which no field rule is to hear of as an edit.
  virtual void ShowControlText(Control control, std::string_view text) = 0;
  virtual int ReadControlProperty(Control control, Property property) = 0;
  virtual void WriteControlProperty(Control control, Property property, int value) = 0;

  virtual void SetControlFocus(Control control) = 0;
  // The Win32 handle of a control or of the main window; 0 when it has none.
  virtual WindowHandle GetControlHandle(Control control) = 0;

  // Pops up a balloon tip (WarningTip or NoteTip) at a screen point, no icon. It hides
  // after its display time (with hideBySelf false, a warning, a little longer), at the
  // user's first key or click in the tool, or when replaced. It never takes a click: the
  // click reaches the control under it.
  virtual void ShowBalloonTip(Control tip, Point at, std::string_view text, bool hideBySelf) = 0;
  // Task-modal message box with one OK button; returns when dismissed. The tool's own
  // messages keep being handled meanwhile.
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
  // System folder picker rooted at the desktop; empty text when cancelled.
  virtual std::string BrowseForFolder(std::string_view title) = 0;
  // The screen point at the middle of a control (or of the window), where a tip about it
  // points.
  virtual Point ControlCentre(Control control) = 0;

  // RegisterHotKey / UnregisterHotKey for `window`; modifiers are MOD_* flags.
  virtual bool RegisterHotkey(WindowHandle window, int id, unsigned modifiers, int virtualKey) = 0;
  virtual bool UnregisterHotkey(WindowHandle window, int id) = 0;
};

inline constexpr std::string_view kDefaultMessageCaption = "信息：";

// Whether a radio button (or check box) of the tool's window is checked.
inline bool IsChecked(Ui& ui, Control radio) {
  return ui.ReadControlProperty(radio, Property::Checked) != 0;
}

}  // namespace pelloram
