// The practice client's context menus: a small popup window of their own, as the chat
// client's menus are, so that a right click that brings one up shows from outside as a new
// window of the client. Clicks on it reach the model at the same client points as before.
// <windows.h> first: the other Win32 headers depend on it.
// clang-format off
#include <windows.h>
#include <windowsx.h>
// clang-format on

#include <vector>

#include "practice_client/shell_win32.h"

namespace practice {
namespace {

constexpr wchar_t kMenuClass[] = L"PracticeMenu";

// The menu's top-left corner in client coordinates of the main window.
POINT MenuOrigin(HWND menu, HWND main) {
  POINT origin{0, 0};
  MapWindowPoints(menu, main, &origin, 1);
  return origin;
}

LRESULT CALLBACK MenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Shell* shell = ShellOf(window, message, lParam);
  if (!shell || !shell->main) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a menu leaves the keyboard focus where it was
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      const POINT origin = MenuOrigin(window, shell->main);
      return TakeMouse(*shell, shell->menuPressed, message,
                       {origin.x + GET_X_LPARAM(lParam), origin.y + GET_Y_LPARAM(lParam)});
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const std::vector<Model::Box> boxes = shell->model.VisibleBoxes();
      PaintBoxes(*shell, window, boxes, MenuStart(boxes), boxes.size(),
                 MenuOrigin(window, shell->main));
      return 0;
    }
    case WM_DESTROY:
      if (shell->menu == window) shell->menu = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterMenuWindowClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, MenuProc, kMenuClass);
}

void SyncMenuWindow(Shell& shell) {
  const std::vector<Model::Box> boxes = shell.model.VisibleBoxes();
  const std::size_t start = MenuStart(boxes);
  if (start == boxes.size() || !shell.main) {
    CloseMenuWindow(shell);
    return;
  }
  const Model::Box& frame = boxes[start];
  POINT at{frame.left, frame.top};
  ClientToScreen(shell.main, &at);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  if (!shell.menu) {
    // Owned by the main window: above it, and gone with it.
    shell.menu = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kMenuClass,
                                 L"", WS_POPUP, at.x, at.y, width, height, shell.main, nullptr,
                                 shell.instance, &shell);
    if (!shell.menu) return;
  }
  SetWindowPos(shell.menu, HWND_TOPMOST, at.x, at.y, width, height,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(shell.menu, nullptr, FALSE);
}

void CloseMenuWindow(Shell& shell) {
  if (!shell.menu) return;
  HWND menu = shell.menu;
  shell.menu = nullptr;
  DestroyWindow(menu);
}

}  // namespace practice
