// The scale Windows draws a window or the screen at, read the same way by every program of
// ours, and the calls of newer Windows versions that it takes.
#pragma once

#include <windows.h>

namespace pelloram {

// A function of a newer Windows version, looked up at run time, so that the program still
// starts on an older one; null where the system lacks it. `module` is a system DLL.
template <class Call>
Call NewerSystemCall(const wchar_t* module, const char* name) {
  const HMODULE loaded = LoadLibraryW(module);
  return loaded == nullptr
             ? nullptr
             : reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

// The system's scale as the screen's device context tells it: what every monitor has before
// Windows 8.1 knows monitors of their own scale. 96 (100 %) when it cannot be read.
inline int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen == nullptr ? 96 : GetDeviceCaps(screen, LOGPIXELSX);
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// The scale a window is drawn at: its monitor's for a per-monitor aware program (Windows 10,
// version 1607, tells it), else the system's.
inline int WindowDpi(HWND window) {
  using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
  static const GetDpiForWindowCall call =
      NewerSystemCall<GetDpiForWindowCall>(L"user32.dll", "GetDpiForWindow");
  if (call != nullptr) {
    if (const UINT dpi = call(window); dpi > 0) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

}  // namespace pelloram
