// The practice client's popups: its context menus, a small window of their own as the chat
// client's menus are, so that a right click that brings one up shows from outside as a new
// window of the client; and in the newer client also the sticker panel, a popup above the
// sticker button. Clicks on them reach the model at the same client points as before.
// <windows.h> first: the other Win32 headers depend on it.
// clang-format off
#include <windows.h>
#include <windowsx.h>
// clang-format on

#include <vector>

#include "practice_client/shell_win32.h"

namespace practice {
namespace {

struct PopupKind {
  const wchar_t* className;
  const wchar_t* title;
};

// The classic client's menus; the newer (Qt) client's menus and its sticker panel.
constexpr PopupKind kClassicMenu{L"PracticeMenu", L""};
constexpr PopupKind kNewerMenu{L"Qt51514QWindowToolSaveBits", L"Weixin"};
constexpr PopupKind kNewerPanel{L"Qt51514QWindowPopupDropShadowSaveBits", L"Weixin"};

const PopupKind& MenuKind(const Shell& shell) {
  return shell.generation == Generation::Classic ? kClassicMenu : kNewerMenu;
}

// The popup's top-left corner in client coordinates of the main window, physical pixels.
POINT PopupOrigin(HWND popup, HWND main) {
  POINT origin{0, 0};
  MapWindowPoints(popup, main, &origin, 1);
  return origin;
}

LRESULT CALLBACK PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Shell* shell = ShellOf(window, message, lParam);
  if (!shell || !shell->main) return DefWindowProcW(window, message, wParam, lParam);
  const bool isMenu = window == shell->menu;
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a popup leaves the keyboard focus where it was
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      const POINT origin = PopupOrigin(window, shell->main);
      return TakeMouse(*shell, isMenu ? shell->menuPressed : shell->panelPressed, message,
                       POINT{origin.x + GET_X_LPARAM(lParam), origin.y + GET_Y_LPARAM(lParam)});
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const std::vector<Model::Box> boxes = shell->model.VisibleBoxes();
      PaintBoxes(*shell, window, boxes, {isMenu ? Model::Layer::Menu : Model::Layer::Panel},
                 PopupOrigin(window, shell->main));
      return 0;
    }
    case WM_DESTROY:
      if (shell->menu == window) shell->menu = nullptr;
      if (shell->panel == window) shell->panel = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void ClosePopup(HWND& popup) {
  if (!popup) return;
  HWND closing = popup;
  popup = nullptr;
  DestroyWindow(closing);
}

// Shows `popup` over the layer's frame, made the first time; closes it when the layer is empty.
void SyncPopup(Shell& shell, HWND& popup, Model::Layer layer, const PopupKind& kind,
               HWND insertAfter, DWORD exStyle) {
  const std::vector<Model::Box> boxes = shell.model.VisibleBoxes();
  const std::size_t start = LayerStart(boxes, layer);
  if (start == boxes.size() || !shell.main) {
    ClosePopup(popup);
    return;
  }
  const RECT frame = PhysicalRect(shell, boxes[start]);
  POINT at{frame.left, frame.top};
  ClientToScreen(shell.main, &at);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  if (!popup) {
    // Owned by the main window: above it, and gone with it.
    popup = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | exStyle, kind.className,
                            kind.title, WS_POPUP, at.x, at.y, width, height, shell.main, nullptr,
                            shell.instance, &shell);
    if (!popup) return;
  }
  SetWindowPos(popup, insertAfter, at.x, at.y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(popup, nullptr, FALSE);
}

}  // namespace

bool RegisterPopupWindowClasses(HINSTANCE instance, Generation generation) {
  if (generation == Generation::Classic) {
    return RegisterWindowClass(instance, PopupProc, kClassicMenu.className);
  }
  return RegisterWindowClass(instance, PopupProc, kNewerMenu.className) &&
         RegisterWindowClass(instance, PopupProc, kNewerPanel.className);
}

void SyncPopups(Shell& shell) {
  if (PanelIsPopup(shell)) {
    SyncPopup(shell, shell.panel, Model::Layer::Panel, kNewerPanel, HWND_TOP, 0);
  }
  SyncPopup(shell, shell.menu, Model::Layer::Menu, MenuKind(shell), HWND_TOPMOST, WS_EX_TOPMOST);
}

void CloseMenuWindow(Shell& shell) { ClosePopup(shell.menu); }

}  // namespace practice
