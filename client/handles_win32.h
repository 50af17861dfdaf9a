// Conversions every part of the Win32 desktop shares: window handles as the seam passes
// them, and UTF-16 text as the wide API takes it.
#pragma once

#include <windows.h>

#include <string>

#include "services/types.h"

namespace pelloram {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API takes UTF-16");

inline HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline WindowHandle ToHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

inline const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace pelloram
