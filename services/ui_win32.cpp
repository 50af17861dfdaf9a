// The Ui seam over Win32: the tool's own controls, their text and properties, focus and
// hotkeys.
#include "services/ui_win32.h"

#include <commctrl.h>

#include <cstdint>

namespace pelloram {

namespace {

constexpr wchar_t kPreviousProcProperty[] = L"Pelloram.PreviousProc";

int PixelsToPoints(int pixels) { return MulDiv(pixels, 72, 96); }
int PointsToPixels(int points) { return MulDiv(points, 96, 72); }

}  // namespace

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void Subclass(HWND window, WNDPROC procedure) {
  const LONG_PTR previous =
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  SetPropW(window, kPreviousProcProperty, reinterpret_cast<HANDLE>(previous));
}

LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, kPreviousProcProperty));
  if (message == WM_NCDESTROY) RemovePropW(window, kPreviousProcProperty);
  if (previous == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

void Win32Ui::Attach(Control control, HWND hwnd, Win32Kind kind, int page, const Rect& formRect) {
  Win32Control& item = Item(control);
  item.hwnd = hwnd;
  item.kind = kind;
  item.page = page;
  item.formRect = formRect;
}

void Win32Ui::SetFont(Control control, int pixels, int weight) {
  Win32Control& item = Item(control);
  UniqueFont font(CreateFontW(-Scaled(pixels, dpi_), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                              GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L""));
  if (!font) return;
  if (item.hwnd != nullptr) {
    SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  item.font = std::move(font);  // the previous font is deleted only now
  item.fontPoints = PixelsToPoints(pixels);
  item.formFontPx = pixels;
  item.fontWeight = weight;
}

void Win32Ui::SetDpi(int dpi) {
  dpi_ = dpi > 0 ? dpi : kBaseDpi;
  for (int i = 0; i < kChildControlCount; ++i) {
    Win32Control& item = controls_[static_cast<std::size_t>(i)];
    if (item.kind == Win32Kind::BalloonTip && item.formFontPx <= 0) {
      ScaleSystemTipFont(static_cast<Control>(i));
      continue;
    }
    if (item.formFontPx <= 0) continue;
    const int points = item.fontPoints;  // as the seam set it, not as pixels round back to
    SetFont(static_cast<Control>(i), item.formFontPx, item.fontWeight);
    item.fontPoints = points;
  }
}

std::optional<Control> Win32Ui::ControlOf(HWND hwnd) const {
  if (hwnd == nullptr) return std::nullopt;
  const int index = GetDlgCtrlID(hwnd) - kControlIdBase;
  if (index >= 0 && index < kChildControlCount &&
      controls_[static_cast<std::size_t>(index)].hwnd == hwnd) {
    return static_cast<Control>(index);
  }
  // Tooltips are top-level windows and carry no identifier.
  for (int i = 0; i < kChildControlCount; ++i) {
    if (controls_[static_cast<std::size_t>(i)].hwnd == hwnd) return static_cast<Control>(i);
  }
  return std::nullopt;
}

void Win32Ui::ShowPage(int page) {
  // Hide first, so the two pages never paint over each other.
  for (const Win32Control& item : controls_) {
    if (item.hwnd != nullptr && item.page >= 0 && item.page != page) {
      ShowWindow(item.hwnd, SW_HIDE);
    }
  }
  for (const Win32Control& item : controls_) {
    if (item.hwnd != nullptr && item.page == page) ShowWindow(item.hwnd, SW_SHOWNA);
  }
}

void Win32Ui::DetachAll() {
  ForgetBalloonTips();
  main_ = nullptr;
  writing_ = nullptr;
  for (Win32Control& item : controls_) item.hwnd = nullptr;
}

HWND Win32Ui::HandleOf(Control control) const {
  if (control == Control::MainWindow) return main_;
  const auto index = static_cast<std::size_t>(control);
  return index < controls_.size() ? controls_[index].hwnd : nullptr;
}

std::string Win32Ui::ReadControlText(Control control) {
  const HWND hwnd = HandleOf(control);
  return hwnd != nullptr ? Narrow(WindowText(hwnd)) : std::string();
}

void Win32Ui::ShowControlText(Control control, std::string_view text) {
  const HWND hwnd = HandleOf(control);
  if (hwnd == nullptr) return;
  const HWND outer = writing_;  // the native notification of this write is not an edit
  writing_ = hwnd;
  SetWindowTextW(hwnd, Wide(text).c_str());
  writing_ = outer;
}

void Win32Ui::WriteControlText(Control control, std::string_view text) {
  const HWND hwnd = HandleOf(control);
  const std::wstring wide = Wide(text);
  const Win32Kind kind = control == Control::MainWindow ? Win32Kind::None : Item(control).kind;
  if (kind == Win32Kind::Edit || kind == Win32Kind::IntegerEdit) {
    if (hwnd != nullptr) {
      // The edit box notifies synchronously from inside SetWindowTextW; that one change
      // is announced below, exactly once, even when the text did not change.
      const HWND outer = writing_;
      writing_ = hwnd;
      SetWindowTextW(hwnd, wide.c_str());
      writing_ = outer;
    }
    RaiseEvent(control, Event::ContentChanged);
    return;
  }
  if (hwnd == nullptr) return;
  SetWindowTextW(hwnd, wide.c_str());
  // Owner-drawn labels and group-box captions must be painted afresh, background included,
  // or a shorter text leaves pieces of the longer one behind.
  if (kind == Win32Kind::Label || kind == Win32Kind::GroupBox) InvalidateRect(hwnd, nullptr, TRUE);
}

int Win32Ui::ReadControlProperty(Control control, Property property) {
  const HWND hwnd = HandleOf(control);
  if (hwnd == nullptr) return 0;
  const Win32Control* item = control == Control::MainWindow ? nullptr : &Item(control);
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  switch (property) {
    // At 100 %, as the seam sets them: the form's rectangle, or the window's size scaled back.
    case Property::Width:
      if (item != nullptr) return item->formRect.right - item->formRect.left;
      return MulDiv(rect.right - rect.left, kBaseDpi, dpi_);
    case Property::Height:
      if (item != nullptr) return item->formRect.bottom - item->formRect.top;
      return MulDiv(rect.bottom - rect.top, kBaseDpi, dpi_);
    case Property::FontSize:
      return item != nullptr ? item->fontPoints : 0;
    case Property::WordWrap:
      return item != nullptr && item->wordWrap ? 1 : 0;
    case Property::TextColour:
      return item != nullptr ? static_cast<int>(item->colour) : 0;
    case Property::Checked:
      return SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    case Property::CurrentPage:
      if (item == nullptr || item->kind != Win32Kind::Tab) return 0;
      return static_cast<int>(SendMessageW(hwnd, TCM_GETCURSEL, 0, 0));
  }
  return 0;
}

void Win32Ui::WriteControlProperty(Control control, Property property, int value) {
  const HWND hwnd = HandleOf(control);
  if (hwnd == nullptr) return;
  if (property == Property::Width || property == Property::Height) {
    Resize(control, property == Property::Width ? value : -1,
           property == Property::Height ? value : -1);
    return;
  }
  if (control == Control::MainWindow) return;
  Win32Control& item = Item(control);
  switch (property) {
    case Property::FontSize:
      if (value <= 0) return;
      SetFont(control, PointsToPixels(value));
      item.fontPoints = value;
      InvalidateRect(hwnd, nullptr, TRUE);
      return;
    case Property::WordWrap:
      item.wordWrap = value != 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return;
    case Property::TextColour:
      // Four writes every half second: repaint only what really changes colour.
      if (item.colour == static_cast<Colour>(value)) return;
      item.colour = static_cast<Colour>(value);
      InvalidateRect(hwnd, nullptr, TRUE);
      return;
    case Property::Checked:
      SendMessageW(hwnd, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
      return;
    case Property::CurrentPage:
      if (item.kind != Win32Kind::Tab) return;
      SendMessageW(hwnd, TCM_SETCURSEL, static_cast<WPARAM>(value), 0);
      ShowPage(value);
      return;
    case Property::Width:
    case Property::Height:
      return;
  }
}

void Win32Ui::Resize(Control control, int width, int height) {
  const HWND hwnd = HandleOf(control);
  if (hwnd == nullptr) return;
  if (control == Control::MainWindow) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    SetWindowPos(hwnd, nullptr, 0, 0, width >= 0 ? Scaled(width, dpi_) : rect.right - rect.left,
                 height >= 0 ? Scaled(height, dpi_) : rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  // The top-left stays; the far edges are scaled on their own, as the window places every
  // control, so a resized control still lines up with its neighbours at any scale.
  Win32Control& item = Item(control);
  if (width >= 0) item.formRect.right = item.formRect.left + width;
  if (height >= 0) item.formRect.bottom = item.formRect.top + height;
  const Rect at = ScaledEdges(item.formRect, dpi_);
  SetWindowPos(hwnd, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void Win32Ui::SetControlFocus(Control control) {
  if (const HWND hwnd = HandleOf(control)) SetFocus(hwnd);
}

WindowHandle Win32Ui::GetControlHandle(Control control) {
  return reinterpret_cast<WindowHandle>(HandleOf(control));
}

Point Win32Ui::ControlCentre(Control control) {
  RECT r{};
  const HWND window = control == Control::MainWindow ? main_ : HandleOf(control);
  if (window == nullptr || !GetWindowRect(window, &r)) return {};
  return {static_cast<std::int32_t>((r.left + r.right) / 2),
          static_cast<std::int32_t>((r.top + r.bottom) / 2)};
}

bool Win32Ui::RegisterHotkey(WindowHandle window, int id, unsigned modifiers, int virtualKey) {
  return RegisterHotKey(reinterpret_cast<HWND>(window), id, modifiers,
                        static_cast<UINT>(virtualKey)) != FALSE;
}

bool Win32Ui::UnregisterHotkey(WindowHandle window, int id) {
  return UnregisterHotKey(reinterpret_cast<HWND>(window), id) != FALSE;
}

void Win32Ui::RaiseEvent(Control control, Event event) {
  if (sink_) sink_(control, event);
}

}  // namespace pelloram
