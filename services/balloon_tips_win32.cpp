// The Ui seam over Win32, its balloon tips: shown at a point, taken down by a timer or by
// the user's first key or click, and never in the way of a click.
// First: it brings <windows.h>, which the other Win32 headers depend on.
// clang-format off
#include "services/ui_win32.h"
// clang-format on

#include <commctrl.h>
#include <windowsx.h>

#include <cstdint>
#include <vector>

#include "services/dpi_win32.h"

namespace pelloram {

namespace {

constexpr UINT_PTR kTipToolId = 1;
constexpr UINT_PTR kTipHideTimer = 0x7A01;  // clear of the tooltip's own timer ids
constexpr int kTipDisplayMs = 3000;
// A warning (a tip that does not hide by itself) stays a little longer, to be read.
constexpr int kWarningDisplayMs = 5000;
// Wide enough for every note at 100 %, and as many times wider as the window's scale;
// \r\n still breaks lines.
constexpr int kTipMaxWidth = 420;

// SystemParametersInfoForDpi comes with Windows 10, version 1607.
using SystemParametersForDpiCall = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

SystemParametersForDpiCall SystemParametersForDpi() {
  static const SystemParametersForDpiCall call =
      NewerSystemCall<SystemParametersForDpiCall>(L"user32.dll", "SystemParametersInfoForDpi");
  return call;
}

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

}  // namespace

void Win32Ui::AttachBalloonTip(Control tip, HWND tooltip) {
  Attach(tip, tooltip, Win32Kind::BalloonTip, -1);
  TTTOOLINFOW tool = TipTool(tooltip);
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, kTipMaxWidth);
  SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kTipDisplayMs, 0));
  Subclass(tooltip, &BalloonTipProc);
  ScaleSystemTipFont(tip);
  Bubbles().push_back(tooltip);
  // Thread hooks: they see only this thread's input, that is the tool's own windows.
  const DWORD thread = GetCurrentThreadId();
  if (!keyWatch_) keyWatch_.reset(SetWindowsHookExW(WH_KEYBOARD, &KeyWatch, nullptr, thread));
  if (!mouseWatch_) mouseWatch_.reset(SetWindowsHookExW(WH_MOUSE, &MouseWatch, nullptr, thread));
}

void Win32Ui::ScaleSystemTipFont(Control tip) {
  // A tooltip draws in the system's tooltip font, made for the system's scale, not for the
  // monitor the tool's window is on. At 100 % it keeps its own, untouched.
  Win32Control& item = Item(tip);
  if (item.hwnd == nullptr || item.formFontPx > 0 || (dpi_ == kBaseDpi && !item.font)) return;
  const SystemParametersForDpiCall call = SystemParametersForDpi();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (call == nullptr ||
      !call(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi_))) {
    return;
  }
  UniqueFont font(CreateFontIndirectW(&metrics.lfStatusFont));
  if (!font) return;
  SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  item.font = std::move(font);  // the previous font is deleted only now
}

void Win32Ui::HideBalloonTip(HWND tooltip) {
  if (tooltip != nullptr) TakeDownBubble(tooltip);
}

void Win32Ui::ShowBalloonTip(Control tip, Point at, std::string_view text, bool hideBySelf) {
  const HWND tooltip = HandleOf(tip);
  if (tooltip == nullptr) return;
  HideBalloonTip(tooltip);  // a bubble still showing goes first
  std::wstring wide = Wide(text);
  TTTOOLINFOW tool = TipTool(tooltip);
  tool.lpszText = wide.data();  // copied by the tooltip
  SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, Scaled(kTipMaxWidth, dpi_));
  SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip, TTM_TRACKPOSITION, 0,
               MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
  SendMessageW(tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  const auto displayMs = SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0);
  const UINT hideAfter =
      hideBySelf ? static_cast<UINT>(displayMs > 0 ? displayMs : kTipDisplayMs) : kWarningDisplayMs;
  SetTimer(tooltip, kTipHideTimer, hideAfter, nullptr);
}

void Win32Ui::ForgetBalloonTips() {
  keyWatch_.reset();
  mouseWatch_.reset();
  Bubbles().clear();
}

}  // namespace pelloram
