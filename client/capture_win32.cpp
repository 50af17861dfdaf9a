// The Desktop seam over Win32, a picture of the screen.
#include <windows.h>

#include <cstdint>
#include <utility>

#include "client/desktop_win32.h"
#include "services/pixels_win32.h"
#include "services/unique_handle.h"

namespace pelloram {

namespace {

// Larger than any screen, small enough that a wrong rectangle cannot ask for gigabytes.
constexpr long long kMaxCaptureSide = 16384;

// The whole screen's device context, given back with ReleaseDC (not DeleteDC).
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

struct DeleteDcCall {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDcCall>;

struct DeleteObjectCall {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteObjectCall>;

}  // namespace

bool Win32Desktop::CaptureScreen(const Rect& area, Image& picture) {
  const long long width = static_cast<long long>(area.right) - area.left;
  const long long height = static_cast<long long>(area.bottom) - area.top;
  if (width <= 0 || height <= 0 || width > kMaxCaptureSide || height > kMaxCaptureSide) {
    return false;
  }
  const ScreenDc screen;
  if (!screen) return false;
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  if (!memory) return false;

  const BITMAPINFO info = TopDownBitmapInfo(static_cast<LONG>(width), static_cast<LONG>(height));
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return false;

  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  if (previous == nullptr || previous == HGDI_ERROR) return false;
  // CAPTUREBLT takes layered windows too (menus and tips that fade), as the user sees them.
  const bool copied = BitBlt(memory.get(), 0, 0, static_cast<int>(width), static_cast<int>(height),
                             screen.get(), area.left, area.top, SRCCOPY | CAPTUREBLT) != FALSE;
  GdiFlush();                            // the section's bits are read directly below
  SelectObject(memory.get(), previous);  // the bitmap is deleted only once out of the DC
  if (!copied) return false;

  Image taken;
  taken.width = static_cast<int>(width);
  taken.height = static_cast<int>(height);
  const auto* from = static_cast<const std::uint8_t*>(bits);
  taken.bgra.assign(from, from + static_cast<std::size_t>(width * height * 4));
  // The screen has no alpha: the copy leaves that byte undefined (mostly 0).
  for (std::size_t at = 3; at < taken.bgra.size(); at += 4) taken.bgra[at] = 255;
  picture = std::move(taken);
  return true;
}

}  // namespace pelloram
