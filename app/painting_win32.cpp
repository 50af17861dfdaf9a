// How the main window's controls look: the colours of the classic controls and the
// owner-drawn labels, their lines as thick as the window's scale makes them.
#include "app/window_win32.h"

namespace pelloram {

LRESULT MainWindow::OnControlColour(UINT message, HDC dc, HWND child) {
  const auto control = ui_.ControlOf(child);
  if (!control) {
    return DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(child));
  }
  // Classic controls take their text colour from here: the radios flash through it.
  SetTextColor(dc, ui_.Item(*control).colour);
  const int background = message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE;
  SetBkColor(dc, GetSysColor(background));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

void MainWindow::Draw(const DRAWITEMSTRUCT& item) {
  const auto control = ui_.ControlOf(item.hwndItem);
  if (!control) return;
  const Win32Control& drawn = ui_.Item(*control);
  if (drawn.kind == Win32Kind::Label) DrawLabel(item, drawn, FormOf(*control).border);
  if (drawn.kind == Win32Kind::Picture) DrawPicture(item, FormOf(*control).picture);
}

void MainWindow::DrawLabel(const DRAWITEMSTRUCT& item, const Win32Control& label, bool bordered) {
  RECT area = item.rcItem;
  FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
  if (bordered) {
    // The border style draws one pixel outside the label's area; a thicker line at a larger
    // scale goes on inside it.
    for (int line = 1; line < FormAt(ui_.Dpi()).borderLinePx; ++line) {
      FrameRect(item.hDC, &area, GetSysColorBrush(COLOR_WINDOWFRAME));
      InflateRect(&area, -1, -1);
    }
  }
  std::wstring text = WindowText(item.hwndItem);
  if (text.empty()) return;
  const HGDIOBJ oldFont = SelectObject(item.hDC, label.font ? static_cast<HGDIOBJ>(label.font.get())
                                                            : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(item.hDC, label.colour);
  SetBkMode(item.hDC, TRANSPARENT);
  UINT flags = DT_NOPREFIX | (label.centred ? DT_CENTER : DT_LEFT);
  const int length = static_cast<int>(text.size());
  if (label.wordWrap) {
    // DrawText centres only single lines vertically: measure the wrapped block first.
    flags |= DT_WORDBREAK;
    RECT block = area;
    DrawTextW(item.hDC, text.data(), length, &block, flags | DT_CALCRECT);
    const int blockHeight = block.bottom - block.top;
    RECT target = area;
    target.top += (area.bottom - area.top - blockHeight) / 2;
    target.bottom = target.top + blockHeight;
    DrawTextW(item.hDC, text.data(), length, &target, flags);
  } else {
    RECT target = area;
    DrawTextW(item.hDC, text.data(), length, &target, flags | DT_SINGLELINE | DT_VCENTER);
  }
  SelectObject(item.hDC, oldFont);
}

}  // namespace pelloram
