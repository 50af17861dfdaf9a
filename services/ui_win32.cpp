#include "services/ui_win32.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <windowsx.h>

#include <cstdint>
#include <vector>

namespace pelloram {
namespace {

constexpr wchar_t kPreviousProcProperty[] = L"Pelloram.PreviousProc";
constexpr UINT_PTR kTipToolId = 1;
constexpr UINT_PTR kTipHideTimer = 0x7A01;  // clear of the tooltip's own timer ids
constexpr int kTipDisplayMs = 3000;
// A warning (a tip that does not hide by itself) stays a little longer, to be read.
constexpr int kWarningDisplayMs = 5000;
constexpr int kTipMaxWidth = 420;  // wide enough for every note; \r\n still breaks lines

struct ItemListClose {
  void operator()(PIDLIST_ABSOLUTE list) const { CoTaskMemFree(list); }
};
using UniqueItemList = UniqueHandle<PIDLIST_ABSOLUTE, ItemListClose>;

TTTOOLINFOW TipTool(HWND tooltip) {
  TTTOOLINFOW tool{};
  // The v2 size is understood by every comctl32, with or without a manifest.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = GetWindow(tooltip, GW_OWNER);
  tool.uId = kTipToolId;
  return tool;
}

void TakeDownBubble(HWND tooltip) {
  KillTimer(tooltip, kTipHideTimer);
  TTTOOLINFOW tool = TipTool(tooltip);
  SendMessageW(tooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

// The tool's tooltips, for the input hooks. Only the window's thread touches them.
std::vector<HWND>& Bubbles() {
  static std::vector<HWND> bubbles;
  return bubbles;
}

void TakeDownEveryBubble() {
  for (const HWND tooltip : Bubbles()) {
    if (IsWindowVisible(tooltip)) TakeDownBubble(tooltip);
  }
}

// A click on a bubble takes it down and goes on to the control below, as if the bubble had
// not been there: the user aimed at the control, and must not lose the click (the cursor
// would stay in the field the warning is about, and typing would go there). Only the
// client area of the tool's own windows gets it again.
void PassClickBelow(HWND tooltip, UINT message, WPARAM wParam) {
  // Where the click was on the screen: the bubble may already be down, and a hidden
  // tooltip's client origin is no guide.
  const DWORD position = GetMessagePos();
  POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  TakeDownBubble(tooltip);
  const HWND below = WindowFromPoint(at);
  if (below == nullptr || below == tooltip) return;
  if (GetWindowThreadProcessId(below, nullptr) != GetCurrentThreadId()) return;
  if (SendMessageW(below, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)) != HTCLIENT) return;
  ScreenToClient(below, &at);
  PostMessageW(below, message, wParam, MAKELPARAM(at.x, at.y));
}

LRESULT CALLBACK BalloonTipProc(HWND tooltip, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      PassClickBelow(tooltip, message, wParam);
      return 0;
    case WM_TIMER:
      if (wParam != kTipHideTimer) break;
      TakeDownBubble(tooltip);
      return 0;
    default:
      break;
  }
  return CallPrevious(tooltip, message, wParam, lParam);
}

// The user's first key or click in the tool takes every bubble down: it has been seen, and
// the user is busy with the window. Both hooks only watch; the input goes on as it was.
LRESULT CALLBACK KeyWatch(int code, WPARAM wParam, LPARAM lParam) {
  const bool pressed = (static_cast<std::uint64_t>(lParam) & 0x80000000u) == 0;  // not a release
  if (code == HC_ACTION && pressed) TakeDownEveryBubble();
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseWatch(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    switch (wParam) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
      case WM_NCMBUTTONDOWN:
        TakeDownEveryBubble();
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The tool's top-level windows, disabled for the life of a foreign modal dialog and then
// returned to their earlier enabled state, with the earlier active and foreground windows.
class ToolWindowsDisabled {
 public:
  ToolWindowsDisabled() : active_(GetActiveWindow()), foreground_(GetForegroundWindow()) {
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&windows_));
    for (const Entry& entry : windows_) EnableWindow(entry.window, FALSE);
  }
  ~ToolWindowsDisabled() {
    for (const Entry& entry : windows_) {
      if (IsWindow(entry.window)) EnableWindow(entry.window, entry.enabled);
    }
    if (active_ != nullptr && IsWindow(active_)) SetActiveWindow(active_);
    if (foreground_ != nullptr && IsWindow(foreground_)) SetForegroundWindow(foreground_);
  }
  ToolWindowsDisabled(const ToolWindowsDisabled&) = delete;
  ToolWindowsDisabled& operator=(const ToolWindowsDisabled&) = delete;

  HWND active() const { return active_; }

 private:
  struct Entry {
    HWND window;
    BOOL enabled;
  };
  static BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<Entry>*>(list)->push_back({window, IsWindowEnabled(window)});
    return TRUE;
  }

  HWND active_;
  HWND foreground_;
  std::vector<Entry> windows_;
};

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

void Win32Ui::Attach(Control control, HWND hwnd, Win32Kind kind, int page) {
  Win32Control& item = Item(control);
  item.hwnd = hwnd;
  item.kind = kind;
  item.page = page;
}

void Win32Ui::AttachBalloonTip(Control tip, HWND tooltip) {
  Attach(tip, tooltip, Win32Kind::BalloonTip, -1);
  TTTOOLINFOW tool = TipTool(tooltip);
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, kTipMaxWidth);
  SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kTipDisplayMs, 0));
  Subclass(tooltip, &BalloonTipProc);
  Bubbles().push_back(tooltip);
  // Thread hooks: they see only this thread's input, that is the tool's own windows.
  const DWORD thread = GetCurrentThreadId();
  if (!keyWatch_) keyWatch_.reset(SetWindowsHookExW(WH_KEYBOARD, &KeyWatch, nullptr, thread));
  if (!mouseWatch_) mouseWatch_.reset(SetWindowsHookExW(WH_MOUSE, &MouseWatch, nullptr, thread));
}

void Win32Ui::SetFont(Control control, int pixels, int weight) {
  Win32Control& item = Item(control);
  UniqueFont font(CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, GB2312_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, L""));
  if (!font) return;
  if (item.hwnd != nullptr) {
    SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  item.font = std::move(font);  // the previous font is deleted only now
  item.fontPoints = PixelsToPoints(pixels);
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

void Win32Ui::HideBalloonTip(HWND tooltip) {
  if (tooltip != nullptr) TakeDownBubble(tooltip);
}

void Win32Ui::DetachAll() {
  keyWatch_.reset();
  mouseWatch_.reset();
  Bubbles().clear();
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
  switch (property) {
    case Property::Width:
      GetWindowRect(hwnd, &rect);
      return rect.right - rect.left;
    case Property::Height:
      GetWindowRect(hwnd, &rect);
      return rect.bottom - rect.top;
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
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  constexpr UINT kResizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (property == Property::Width || property == Property::Height) {
    SetWindowPos(hwnd, nullptr, 0, 0, property == Property::Width ? value : width,
                 property == Property::Height ? value : height, kResizeOnly);
    InvalidateRect(hwnd, nullptr, TRUE);
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

void Win32Ui::SetControlFocus(Control control) {
  if (const HWND hwnd = HandleOf(control)) SetFocus(hwnd);
}

WindowHandle Win32Ui::GetControlHandle(Control control) {
  return reinterpret_cast<WindowHandle>(HandleOf(control));
}

void Win32Ui::ShowBalloonTip(Control tip, Point at, std::string_view text, bool hideBySelf) {
  const HWND tooltip = HandleOf(tip);
  if (tooltip == nullptr) return;
  HideBalloonTip(tooltip);  // a bubble still showing goes first
  std::wstring wide = Wide(text);
  TTTOOLINFOW tool = TipTool(tooltip);
  tool.lpszText = wide.data();  // copied by the tooltip
  SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip, TTM_TRACKPOSITION, 0,
               MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
  SendMessageW(tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  const auto displayMs = SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0);
  const UINT hideAfter =
      hideBySelf ? static_cast<UINT>(displayMs > 0 ? displayMs : kTipDisplayMs) : kWarningDisplayMs;
  SetTimer(tooltip, kTipHideTimer, hideAfter, nullptr);
}

void Win32Ui::ShowMessage(std::string_view text, std::string_view caption) {
  // Task-modal without an owner: every window of the tool is disabled while the box is up,
  // and the box's own loop keeps timers and hotkeys coming.
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(), MB_OK | MB_TASKMODAL);
}

std::string Win32Ui::BrowseForFolder(std::string_view title) {
  const std::wstring wideTitle = Wide(title);
  UniqueItemList chosen;
  {
    ToolWindowsDisabled disabled;
    BROWSEINFOW info{};
    info.hwndOwner = disabled.active();
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_EDITBOX;
    chosen.reset(SHBrowseForFolderW(&info));
  }
  if (!chosen) return {};
  // Long paths fit; items without a file-system path (Control Panel...) give nothing.
  std::wstring path(32768, L'\0');
  if (!SHGetPathFromIDListEx(chosen.get(), path.data(), static_cast<DWORD>(path.size()),
                             GPFIDL_DEFAULT)) {
    return {};
  }
  path.resize(path.find(L'\0'));
  return Narrow(path);
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
