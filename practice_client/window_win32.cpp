// The practice client's main window: draws the model's boxes (all but the open menu, which
// has a window of its own) and feeds it clicks and keys, mapped between the monitor's
// physical pixels and the model's 96-dpi units by the shell's scale.
// <windows.h> first: the other Win32 headers depend on it.
// clang-format off
#include <windows.h>
#include <windowsx.h>
// clang-format on

#include <vector>

#include "practice_client/resource.h"
#include "practice_client/shell_win32.h"
#include "services/utf16.h"

namespace practice {
namespace {

struct MainWindowKind {
  const wchar_t* className;
  const wchar_t* title;
};

// Indexed by Generation.
constexpr MainWindowKind kMainWindows[] = {
    {L"WeChatMainWndForPC", L"微信"},
    {L"Qt51514QWindowIcon", L"微信"},
    {L"Qt51514QWindowIcon", L"Weixin"},
};

const MainWindowKind& KindOf(Generation generation) {
  return kMainWindows[static_cast<int>(generation)];
}
POINT ClientPoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// The model's window size in physical pixels at the shell's scale.
SIZE PhysicalSize(const Shell& shell) {
  return {shell.scale.ToPhysical(shell.model.Width()),
          shell.scale.ToPhysical(shell.model.Height())};
}

// The window moved to a monitor of another scale (or the scale changed): the fonts and
// pictures at the new one, the rectangle Windows suggests, and the layout for it.
void ChangeDpi(Shell& shell, int dpi, const RECT& suggested) {
  AdoptDpi(shell, dpi);
  SetWindowPos(shell.main, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The physical size may not have changed while its logical one did.
  RECT client{};
  GetClientRect(shell.main, &client);
  shell.model.Resize(shell.scale.ToLogical(client.right), shell.scale.ToLogical(client.bottom));
  SyncPopups(shell);
  InvalidateRect(shell.main, nullptr, FALSE);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Shell* shell = ShellOf(window, message, lParam);
  if (!shell) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(window, &p);
      return shell->model.InDragStrip(LogicalPoint(*shell, p)) ? HTCAPTION : HTCLIENT;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      return TakeMouse(*shell, shell->pressed, message, ClientPoint(lParam));
    case WM_RBUTTONDBLCLK:
    case WM_CONTEXTMENU:
      return 0;
    case WM_KEYDOWN:
      if (!(lParam & (1L << 30))) {  // auto-repeat is not a new press
        shell->model.KeyDown(static_cast<int>(wParam));
        Sync(*shell);
      }
      return 0;
    case kShowOpenDialog:
      ShowOpenDialog(*shell);
      return 0;
    case WM_TIMER:
      if (wParam != kReactionTimer) break;
      KillTimer(window, kReactionTimer);
      shell->reactionPending = false;
      ShowReaction(*shell);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const std::vector<Model::Box> boxes = shell->model.VisibleBoxes();
      if (PanelIsPopup(*shell)) {
        PaintBoxes(*shell, window, boxes, {Model::Layer::Window}, POINT{0, 0});
      } else {
        PaintBoxes(*shell, window, boxes, {Model::Layer::Window, Model::Layer::Panel}, POINT{0, 0});
      }
      return 0;
    }
    case WM_MOVE:
      SyncPopups(*shell);  // the menu and panel stay where they opened on the window
      break;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) break;
      shell->model.Resize(shell->scale.ToLogical(LOWORD(lParam)),
                          shell->scale.ToLogical(HIWORD(lParam)));
      SyncPopups(*shell);
      InvalidateRect(window, nullptr, FALSE);
      break;
    case WM_DPICHANGED:
      ChangeDpi(*shell, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      shell->main = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

LRESULT TakeMouse(Shell& shell, Shell::Pressed& pressed, UINT message, POINT physical) {
  const Pt at = LogicalPoint(shell, physical);
  switch (message) {
    case WM_LBUTTONDOWN:
      pressed.left = true;
      break;
    case WM_RBUTTONDOWN:
      pressed.right = true;
      break;
    case WM_LBUTTONUP:
      if (pressed.left) {
        pressed.left = false;
        shell.model.Click(at, Button::Left);
        Sync(shell);
      }
      break;
    case WM_RBUTTONUP:
      if (pressed.right) {
        pressed.right = false;
        // Every right click that opens a menu opens a new one, as a real client's does.
        CloseMenuWindow(shell);
        shell.model.Click(at, Button::Right);
        Sync(shell);
      }
      break;
    default:
      break;
  }
  return 0;
}

Shell* ShellOf(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<Shell*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name, HICON icon,
                         HBRUSH background) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  return RegisterClassExW(&windowClass) != 0;
}

bool RegisterMainWindowClass(HINSTANCE instance, Generation generation) {
  return RegisterWindowClass(instance, MainProc, KindOf(generation).className,
                             LoadIconW(instance, MAKEINTRESOURCEW(IDI_PRACTICE_CLIENT)));
}

HWND CreateMainWindow(Shell& shell, int left, int top, Generation generation) {
  const MainWindowKind& kind = KindOf(generation);
  // A Qt program keeps hidden top-level windows of its main class: one, made first so a
  // search by class and title meets it before the shown one, titled like the Chinese one.
  if (generation != Generation::Classic) {
    CreateWindowExW(0, kind.className, L"微信", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                    shell.instance, nullptr);
  }
  // Frameless, so the client area is the whole window and client points equal window points.
  // Made hidden at the guessed scale; shown once it has the size for its monitor's.
  const SIZE guessed = PhysicalSize(shell);
  shell.main =
      CreateWindowExW(0, kind.className, kind.title, WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU, left,
                      top, guessed.cx, guessed.cy, nullptr, nullptr, shell.instance, &shell);
  if (!shell.main) return nullptr;
  if (const int dpi = DpiOfWindow(shell.main); dpi != shell.scale.dpi) {
    AdoptDpi(shell, dpi);
    const SIZE size = PhysicalSize(shell);
    SetWindowPos(shell.main, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(shell.main, SW_SHOW);
  return shell.main;
}

void Sync(Shell& shell) {
  if (!shell.main) return;
  // At once: a window being destroyed lingers hidden for a while under Wine without a window
  // manager, where a killed client's windows are simply gone.
  if (shell.model.EndWanted()) ExitProcess(0);
  if (shell.model.CloseWanted()) {
    DestroyWindow(shell.main);
    return;
  }
  ApplyWindowRequest(shell);
  const Options& options = shell.model.Settings();
  if (options.reactMs <= 0 && options.jitterMs <= 0) {
    ShowReaction(shell);
  } else if (!shell.reactionPending) {
    shell.seed = shell.seed * 6364136223846793005ULL + 1442695040888963407ULL;
    const auto jitter = options.jitterMs > 0 ? (shell.seed >> 33) % (options.jitterMs + 1) : 0;
    shell.reactionPending = SetTimer(shell.main, kReactionTimer,
                                     static_cast<UINT>(options.reactMs + jitter), nullptr) != 0;
  }
}

void ShowReaction(Shell& shell) {
  if (!shell.main) return;
  if (shell.model.OpenDialogWanted() && !shell.dialogPosted) {
    shell.dialogPosted = PostMessageW(shell.main, kShowOpenDialog, 0, 0) != FALSE;
  }
  if (shell.model.ForwardShowing()) {
    ShowForwardWindow(shell);
  } else {
    CloseForwardWindow(shell);
  }
  SyncPopups(shell);
  InvalidateRect(shell.main, nullptr, FALSE);
}

// At once, like --close-after: the test wants the window changed right after the event.
void ApplyWindowRequest(Shell& shell) {
  const Model::WindowRequest request = shell.model.TakeWindowRequest();
  if (!request.move && !request.resize) return;
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!request.move) flags |= SWP_NOMOVE;
  if (!request.resize) flags |= SWP_NOSIZE;
  // WM_SIZE tells the model the new size, which it journals. The corner is a screen point,
  // the size the layout's (--resize-after's W H are 96-dpi units, as --size's are).
  const Pt size = shell.scale.ToPhysical(request.size);
  SetWindowPos(shell.main, nullptr, request.to.x, request.to.y, size.x, size.y, flags);
  if (request.move) {
    RECT placed{};
    GetWindowRect(shell.main, &placed);
    shell.model.Moved(placed.left, placed.top);
  }
  InvalidateRect(shell.main, nullptr, FALSE);
}

bool PanelIsPopup(const Shell& shell) { return shell.generation != Generation::Classic; }

}  // namespace practice
