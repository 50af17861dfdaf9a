// The Desktop seam over Win32, its windows: finding, reading and moving top-level windows,
// the monitors, and which process a window belongs to.
#include "client/desktop_win32.h"

#include <windows.h>

#include <string>

#include "client/handles_win32.h"
#include "services/dpi_win32.h"
#include "services/utf16.h"

namespace pelloram {

namespace {

// A null criterion makes FindWindowExW match any window.
const wchar_t* CriterionOrNull(const std::u16string& text) {
  return text.empty() ? nullptr : Wide(text);
}

}  // namespace

std::vector<WindowHandle> Win32Desktop::FindTopLevelWindows(std::string_view className,
                                                            std::string_view title) {
  const std::u16string wideClass = Utf8ToUtf16(className);
  const std::u16string wideTitle = Utf8ToUtf16(title);
  std::vector<WindowHandle> found;
  HWND after = nullptr;
  while ((after = FindWindowExW(nullptr, after, CriterionOrNull(wideClass),
                                CriterionOrNull(wideTitle))) != nullptr) {
    found.push_back(ToHandle(after));
  }
  return found;
}

bool Win32Desktop::IsWindowShown(WindowHandle window) {
  return window != 0 && IsWindow(ToHwnd(window)) && IsWindowVisible(ToHwnd(window));
}

bool Win32Desktop::IsWindowMinimised(WindowHandle window) {
  return window != 0 && IsIconic(ToHwnd(window));
}

bool Win32Desktop::ReadWindowRect(WindowHandle window, Rect& rect) {
  RECT r;
  if (!GetWindowRect(ToHwnd(window), &r)) return false;
  rect = Rect{r.left, r.top, r.right, r.bottom};
  return true;
}

std::string Win32Desktop::WindowTitle(WindowHandle window) {
  // A top-level window's caption is read from the system's copy: another program's
  // window never has to answer for it.
  std::wstring title(512, L'\0');
  const int length = GetWindowTextW(ToHwnd(window), title.data(), static_cast<int>(title.size()));
  title.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return Narrow(title);
}

bool Win32Desktop::MoveWindowTo(WindowHandle window, int left, int top, int width, int height) {
  // MoveWindow never activates the window nor changes its place in the z-order.
  return MoveWindow(ToHwnd(window), left, top, width, height, TRUE) != FALSE;
}

bool Win32Desktop::ClientOriginToScreen(WindowHandle window, Point& origin) {
  POINT p{0, 0};
  if (!ClientToScreen(ToHwnd(window), &p)) return false;
  origin = Point{p.x, p.y};
  return true;
}

WindowHandle Win32Desktop::ForegroundWindow() { return ToHandle(GetForegroundWindow()); }

bool Win32Desktop::BringToFront(WindowHandle window) {
  return SetForegroundWindow(ToHwnd(window)) != FALSE;
}

std::uint32_t Win32Desktop::ProcessOf(WindowHandle window) {
  DWORD process = 0;
  if (window == 0 || GetWindowThreadProcessId(ToHwnd(window), &process) == 0) return 0;
  return process;
}

WindowHandle Win32Desktop::TopLevelWindowAt(Point screen) {
  const HWND under = WindowFromPoint(POINT{screen.x, screen.y});
  return under == nullptr ? 0 : ToHandle(GetAncestor(under, GA_ROOT));
}

namespace {

// GetDpiForMonitor comes with Windows 8.1 (shcore.dll); before it every monitor has the
// system's scale.
using GetDpiForMonitorCall = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

int DpiOfMonitor(HMONITOR monitor) {
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the scale the user chose
  UINT x = 0, y = 0;
  static const GetDpiForMonitorCall call =
      NewerSystemCall<GetDpiForMonitorCall>(L"shcore.dll", "GetDpiForMonitor");
  if (call != nullptr && SUCCEEDED(call(monitor, kEffectiveDpi, &x, &y)) && x > 0) {
    return static_cast<int>(x);
  }
  return ScreenDpi();
}

}  // namespace

std::vector<Monitor> Win32Desktop::Monitors() {
  std::vector<Monitor> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT r, LPARAM found) -> BOOL {
        reinterpret_cast<std::vector<Monitor>*>(found)->push_back(
            Monitor{Rect{r->left, r->top, r->right, r->bottom}, DpiOfMonitor(monitor)});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

std::uint32_t Win32Desktop::OwnProcess() { return GetCurrentProcessId(); }

std::vector<WindowHandle> Win32Desktop::ShownWindowsOf(std::uint32_t process) {
  struct Search {
    DWORD process;
    std::vector<WindowHandle> found;
  } search{process, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s.process && IsWindowVisible(window)) s.found.push_back(ToHandle(window));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace pelloram
