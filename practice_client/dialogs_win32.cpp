// The two windows the practice client shows beside its main window: the common file-open
// dialog and the forward window that reports an already collected sticker.
// <windows.h> first: the other Win32 headers depend on it.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include <string>

#include "practice_client/shell_win32.h"
#include "services/utf16.h"

namespace practice {
namespace {

constexpr wchar_t kForwardClass[] = L"SelectContactWnd";
constexpr wchar_t kForwardTitle[] = L"转发给";
constexpr int kForwardWidth = 550;
constexpr int kForwardHeight = 485;
// Long paths (\\?\ prefixes, deep folders) must come back whole.
constexpr DWORD kPathBufferChars = 32768;

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void FocusMain(Shell& shell) {
  if (!shell.main) return;
  SetForegroundWindow(shell.main);
  SetFocus(shell.main);
}

void PaintForward(Shell& shell, HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  HGDIOBJ oldFont = SelectObject(dc, shell.font);
  SetBkMode(dc, TRANSPARENT);
  const std::wstring text = L"选择联系人转发\n\n「" +
                            pelloram::Wide(shell.model.ForwardStickerName()) +
                            L"」已在收藏的表情中。\n\n按 Esc 关闭。";
  InflateRect(&client, -24, -24);
  DrawTextW(dc, text.c_str(), -1, &client, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

LRESULT CALLBACK ForwardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Shell* shell = ShellOf(window, message, lParam);
  switch (message) {
    case WM_KEYDOWN:
      if (shell && !(lParam & (1L << 30))) {
        shell->model.ForwardKeyDown(static_cast<int>(wParam));
        Sync(*shell);
      }
      return 0;
    case WM_CLOSE:
      if (shell) {
        shell->model.ForwardClosed();
        Sync(*shell);
      }
      return 0;
    case WM_PAINT:
      if (shell) {
        PaintForward(*shell, window);
        return 0;
      }
      break;
    case WM_DESTROY:
      if (shell && shell->forward == window) shell->forward = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterForwardWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ForwardProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kForwardClass;
  return RegisterClassExW(&windowClass) != 0;
}

void ShowOpenDialog(Shell& shell) {
  shell.dialogPosted = false;
  if (!shell.model.OpenDialogWanted()) return;
  shell.model.OpenDialogShown();
  Sync(shell);
  UpdateWindow(shell.main);

  std::wstring buffer(kPathBufferChars, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = shell.main;
  // ASCII labels: Wine's dialog font has no Chinese glyphs.
  dialog.lpstrFilter = L"All files (*.*)\0*.*\0GIF (*.gif)\0*.gif\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kPathBufferChars;
  dialog.lpstrTitle = L"打开";
  // No OFN_FILEMUSTEXIST / OFN_PATHMUSTEXIST: whatever path comes back is journaled as is.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;

  if (GetOpenFileNameW(&dialog)) {
    const std::wstring path(buffer.c_str());
    shell.model.OpenDialogConfirmed(pelloram::Narrow(path), FileExists(path));
  } else if (const DWORD error = CommDlgExtendedError(); error != 0) {
    shell.model.OpenDialogCancelled(error);
  } else {
    shell.model.OpenDialogCancelled();
  }
  // The next Enter of the tool sends the file: it must reach the main window.
  FocusMain(shell);
  Sync(shell);
}

void ShowForwardWindow(Shell& shell) {
  if (shell.forward) return;
  RECT mainRect{};
  GetWindowRect(shell.main, &mainRect);
  shell.forward =
      CreateWindowExW(0, kForwardClass, kForwardTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                      mainRect.left + 180, mainRect.top + 80, kForwardWidth, kForwardHeight,
                      shell.main, nullptr, shell.instance, &shell);
  if (!shell.forward) return;
  ShowWindow(shell.forward, SW_SHOW);
  UpdateWindow(shell.forward);
  // The tool closes this window with Escape, so it must hold the keyboard focus.
  SetForegroundWindow(shell.forward);
  SetFocus(shell.forward);
}

void CloseForwardWindow(Shell& shell) {
  if (!shell.forward) return;
  HWND window = shell.forward;
  shell.forward = nullptr;
  DestroyWindow(window);
  FocusMain(shell);
}

}  // namespace practice
