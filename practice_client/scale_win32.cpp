// The practice client at its monitor's scale: which dpi its window is drawn at, and the fonts
// made for it. The mapping itself is ScreenScale's (screen_scale.h).
// <windows.h> first: the other Win32 headers depend on it.
// clang-format off
#include <windows.h>
// clang-format on

#include "practice_client/shell_win32.h"
#include "services/dpi_win32.h"

namespace practice {
namespace {

// Font sizes are the design's pixel heights at 96 dpi.
constexpr int kFontHeight = 14;
constexpr int kSmallFontHeight = 11;

HFONT MakeFont(const std::wstring& face, int height) {
  return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, face.c_str());
}

}  // namespace

int DpiOfWindow(HWND window) { return pelloram::WindowDpi(window); }

void DeleteFonts(Shell& shell) {
  if (shell.font) DeleteObject(shell.font);
  if (shell.smallFont) DeleteObject(shell.smallFont);
  shell.font = shell.smallFont = nullptr;
}

void AdoptDpi(Shell& shell, int dpi) {
  if (dpi == shell.scale.dpi && shell.font) return;
  shell.scale.dpi = dpi;
  DeleteFonts(shell);
  shell.font = MakeFont(shell.fontFace, shell.scale.ToPhysical(kFontHeight));
  shell.smallFont = MakeFont(shell.fontFace, shell.scale.ToPhysical(kSmallFontHeight));
}

Pt LogicalPoint(const Shell& shell, POINT physical) {
  return shell.scale.ToLogical(Pt{physical.x, physical.y});
}

RECT PhysicalRect(const Shell& shell, const Model::Box& box) {
  const Rect r = shell.scale.ToPhysical(Rect{box.left, box.top, box.right, box.bottom});
  return RECT{r.left, r.top, r.right, r.bottom};
}

}  // namespace practice
