// Shared parts of the practice client's Win32 shell.
#pragma once

#include <windows.h>

#include "practice_client/model.h"

namespace practice {

// Posted after the file-button click so the modal dialog runs outside the mouse handler.
inline constexpr UINT kShowOpenDialog = WM_APP + 1;

struct Shell {
  explicit Shell(Model m) : model(std::move(m)) {}
  Model model;
  HINSTANCE instance = nullptr;
  HWND main = nullptr;
  HWND forward = nullptr;
  bool dialogPosted = false;
  struct Pressed {
    bool left = false;
    bool right = false;
  } pressed;
  HFONT font = nullptr;
  HFONT smallFont = nullptr;
};

// The Shell of a window created with it as CreateWindowExW's last argument; null before
// WM_NCCREATE has delivered it.
Shell* ShellOf(HWND window, UINT message, LPARAM lParam);

bool RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(Shell& shell, int left, int top);
bool RegisterForwardWindowClass(HINSTANCE instance);

// Brings the windows in line with the model after each input it took.
void Sync(Shell& shell);
void ShowOpenDialog(Shell& shell);
void ShowForwardWindow(Shell& shell);
void CloseForwardWindow(Shell& shell);

}  // namespace practice
