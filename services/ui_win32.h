// The real Ui over Win32. The window code creates the controls and attaches their
// handles here; everything the tool does to its own window then goes through this class.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "services/scale.h"
#include "services/ui.h"
#include "services/unique_handle.h"
#include "services/utf16.h"

namespace pelloram {

struct GdiObjectClose {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueFont = UniqueHandle<HFONT, GdiObjectClose>;

struct UnhookCall {
  void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using UniqueHook = UniqueHandle<HHOOK, UnhookCall>;

std::wstring WindowText(HWND window);

// Classic subclassing (comctl32's SetWindowSubclass is not exported by name by the v5
// library that a program without a visual-styles manifest gets).
void Subclass(HWND window, WNDPROC procedure);
LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// How a control answers the property calls.
enum class Win32Kind : int {
  None,
  Button,
  Radio,
  GroupBox,
  Label,
  Picture,
  Edit,
  IntegerEdit,
  Tab,
  BalloonTip,
  Timer,
};

struct Win32Control {
  HWND hwnd = nullptr;
  Win32Kind kind = Win32Kind::None;
  int page = -1;  // tab page, for controls placed directly on the tab control
  // Where the control lies in its container at 100 % (96 dpi): the form's rectangle, or the
  // size the seam last gave it. The window draws it at its own scale (PlacedAt, app/form.h).
  Rect formRect{};
  UniqueFont font;
  int fontPoints = 0;
  int formFontPx = 0;  // the font's height at 100 %; 0: none of the control's own
  int fontWeight = FW_BOLD;
  Colour colour = 0;  // text colour
  bool centred = false;
  bool wordWrap = false;
};

class Win32Ui final : public Ui {
 public:
  Win32Ui() = default;
  Win32Ui(const Win32Ui&) = delete;
  Win32Ui& operator=(const Win32Ui&) = delete;

  void SetSink(EventSink sink) { sink_ = std::move(sink); }

  // The window code's side.
  void AttachMainWindow(HWND window) { main_ = window; }
  HWND MainWindow() const { return main_; }
  // `formRect`: where the form puts the control in its container, at 100 %.
  void Attach(Control control, HWND hwnd, Win32Kind kind, int page, const Rect& formRect = {});
  // Adds the tracking tool to a balloon tooltip window; the first key or click in the tool
  // takes it down, and a click goes through it to the control below.
  void AttachBalloonTip(Control tip, HWND tooltip);
  // The display scale the window is drawn at (96: 100 %). Every control's own font is made
  // afresh at the new scale; the window places the controls itself. Sizes and fonts the seam
  // is given later are drawn at this scale.
  void SetDpi(int dpi);
  int Dpi() const { return dpi_; }
  // A new GB2312 font for the control, `pixels` high at 100 % and drawn at the window's scale
  // (the old one is released only after the control has let go of it).
  void SetFont(Control control, int pixels, int weight = FW_BOLD);
  Win32Control& Item(Control control) { return controls_[static_cast<std::size_t>(control)]; }
  std::optional<Control> ControlOf(HWND hwnd) const;
  // Shows the controls of one tab page, hides those of the other.
  void ShowPage(int page);
  // True while the program itself writes this edit box: its EN_CHANGE is not a user edit.
  bool IsBeingWritten(HWND edit) const { return edit != nullptr && edit == writing_; }
  void HideBalloonTip(HWND tooltip);
  // The window is gone: every later call becomes a no-op.
  void DetachAll();

  std::string ReadControlText(Control control) override;
  void WriteControlText(Control control, std::string_view text) override;
  void ShowControlText(Control control, std::string_view text) override;
  int ReadControlProperty(Control control, Property property) override;
  void WriteControlProperty(Control control, Property property, int value) override;
  void SetControlFocus(Control control) override;
  WindowHandle GetControlHandle(Control control) override;
  void ShowBalloonTip(Control tip, Point at, std::string_view text, bool hideBySelf) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
  std::string BrowseForFolder(std::string_view title) override;
  Point ControlCentre(Control control) override;
  bool RegisterHotkey(WindowHandle window, int id, unsigned modifiers, int virtualKey) override;
  bool UnregisterHotkey(WindowHandle window, int id) override;
  // Hands a control's event to the sink, the event table behind it.
  void RaiseEvent(Control control, Event event);

  // Child-window identifiers: the control's declaration index plus this base.
  static constexpr int kControlIdBase = 1000;

 private:
  HWND HandleOf(Control control) const;
  // New size at 100 % (-1: unchanged), drawn at the window's scale.
  void Resize(Control control, int width, int height);
  // A tip with no font of the tool's gets the system's tooltip font at the window's scale.
  void ScaleSystemTipFont(Control tip);
  // Unhooks the input watches and forgets the bubbles they take down.
  void ForgetBalloonTips();

  EventSink sink_;
  HWND main_ = nullptr;
  std::array<Win32Control, kChildControlCount> controls_{};
  HWND writing_ = nullptr;
  int dpi_ = kBaseDpi;
  UniqueHook keyWatch_, mouseWatch_;  // take the bubbles down at the user's first input
};

}  // namespace pelloram
