// How the tool's pictures (32-bit BGRA, rows top to bottom) are laid out for GDI.
#pragma once

#include <windows.h>

namespace pelloram {

// A device-independent bitmap of 32 bits a pixel whose rows run top to bottom, as Image
// holds them (a negative height says so).
inline BITMAPINFO TopDownBitmapInfo(LONG width, LONG height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace pelloram
