// The two windows the practice client shows beside its main window: the common file-open
// dialog and the forward window that reports an already collected sticker.
// <windows.h> first: the other Win32 headers depend on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
// clang-format on

#include <cwchar>
#include <string>

#include "practice_client/shell_win32.h"
#include "services/utf16.h"

namespace practice {
namespace {

constexpr wchar_t kForwardClass[] = L"SelectContactWnd";
// The classic client's title, and the newer one's.
constexpr wchar_t kForwardTitle[] = L"转发给";
constexpr wchar_t kNewerForwardTitle[] = L"微信发送给";
// In 96-dpi units, as the main window's layout: its place beside the main window and size.
constexpr Pt kForwardOffset{180, 80};
constexpr Pt kForwardSize{550, 485};
// Long paths (\\?\ prefixes, deep folders) must come back whole.
constexpr DWORD kPathBufferChars = 32768;

// Paths of MAX_PATH and beyond reach the file system only with the extended-length prefix.
std::wstring ExtendedLength(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.starts_with(L"\\\\?\\")) return path;
  if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
  if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  return path;
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ExtendedLength(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The path the file name field names: as typed when absolute, else in the dialog's folder.
std::wstring TypedPath(HWND dialog) {
  HWND field = GetDlgItem(dialog, cmb13);
  if (!field) field = GetDlgItem(dialog, edt1);
  const std::wstring typed = field ? TextOf(field) : std::wstring();
  const bool absolute = typed.starts_with(L"\\\\") || (typed.size() > 2 && typed[1] == L':');
  if (typed.empty() || absolute) return typed;
  std::wstring folder(kPathBufferChars, L'\0');
  const auto length = SendMessageW(dialog, CDM_GETFOLDERPATH, folder.size(),
                                   reinterpret_cast<LPARAM>(folder.data()));
  folder.resize(length > 0 ? std::wcslen(folder.c_str()) : 0);
  return folder.empty() ? typed : folder + L"\\" + typed;
}

// Another program holds the file open and shares it with no one.
bool InUse(const std::wstring& path) {
  const HANDLE file = CreateFileW(ExtendedLength(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(file);
  return false;
}

// Ends the dialog with a path it could not take itself, as if it had.
void Choose(HWND dialog, OPENFILENAMEW& chosen, const std::wstring& path) {
  if (path.size() >= chosen.nMaxFile) return;
  path.copy(chosen.lpstrFile, path.size());
  chosen.lpstrFile[path.size()] = L'\0';
  EndDialog(dialog, TRUE);
}

// Two things Windows' dialog does that Wine's does not, done before it sees the path. A file
// another program holds gets a warning and the dialog stays open (Wine opens it without a
// word). A path of MAX_PATH or longer is taken here, the way the dialog takes a short one:
// Wine's copies it into a buffer of MAX_PATH on its stack and crashes.
LRESULT CALLBACK CheckChosenPath(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR data) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    const std::wstring path = TypedPath(dialog);
    if (FileExists(path) && InUse(path)) {
      const std::wstring text = path +
                                L"\nThis file is in use.\nEnter a new name or close the "
                                L"file that's open in another program.";
      MessageBoxW(dialog, text.c_str(), L"", MB_OK | MB_ICONWARNING);
      return 0;
    }
    if (path.size() >= MAX_PATH - 1) {
      if (FileExists(path)) {
        Choose(dialog, *reinterpret_cast<OPENFILENAMEW*>(data), path);
      } else {
        MessageBoxW(dialog, L"File does not exist", L"", MB_OK | MB_ICONERROR);
      }
      return 0;
    }
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(dialog, CheckChosenPath, id);
  return DefSubclassProc(dialog, message, wParam, lParam);
}

// The hook is the dialog's empty child; it only puts CheckChosenPath in front of the dialog.
UINT_PTR CALLBACK HookDialog(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowSubclass(GetParent(hook), CheckChosenPath, 1,
                      static_cast<DWORD_PTR>(reinterpret_cast<OPENFILENAMEW*>(lParam)->lCustData));
  }
  return 0;
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
  const int margin = shell.scale.ToPhysical(24);
  InflateRect(&client, -margin, -margin);
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
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
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
  return RegisterWindowClass(instance, ForwardProc, kForwardClass, nullptr,
                             static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void ShowOpenDialog(Shell& shell) {
  shell.dialogPosted = false;
  if (!shell.model.OpenDialogWanted()) return;
  shell.model.OpenDialogShown();
  Sync(shell);
  if (!shell.main) return;  // closed on request
  UpdateWindow(shell.main);

  std::wstring buffer(kPathBufferChars, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = shell.main;
  // The system lays the dialog out at the owner's scale itself (per-monitor aware v2).
  // ASCII labels: Wine's dialog font has no Chinese glyphs.
  dialog.lpstrFilter = L"All files (*.*)\0*.*\0GIF (*.gif)\0*.gif\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kPathBufferChars;
  dialog.lpstrTitle = L"打开";
  // A path that names no file gets the system's error box over the dialog, which stays open.
  // The hook adds what Wine's dialog lacks (CheckChosenPath).
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING |
                 OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK;
  dialog.lpfnHook = HookDialog;
  dialog.lCustData = reinterpret_cast<LPARAM>(&dialog);

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
  const Pt offset = shell.scale.ToPhysical(kForwardOffset);
  const Pt size = shell.scale.ToPhysical(kForwardSize);
  shell.forward = CreateWindowExW(
      0, kForwardClass,
      shell.generation == Generation::Classic ? kForwardTitle : kNewerForwardTitle,
      WS_POPUP | WS_CAPTION | WS_SYSMENU, mainRect.left + offset.x, mainRect.top + offset.y, size.x,
      size.y, shell.main, nullptr, shell.instance, &shell);
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
