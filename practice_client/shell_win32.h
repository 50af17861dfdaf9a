// Shared parts of the practice client's Win32 shell.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "practice_client/command_line.h"
#include "practice_client/model.h"
#include "practice_client/screen_scale.h"

namespace practice {

// Posted after the file-button click so the modal dialog runs outside the mouse handler.
inline constexpr UINT kShowOpenDialog = WM_APP + 1;
inline constexpr UINT_PTR kReactionTimer = 1;

struct Shell {
  explicit Shell(Model m) : model(std::move(m)) {}
  Model model;
  HINSTANCE instance = nullptr;
  HWND main = nullptr;
  HWND forward = nullptr;
  HWND menu = nullptr;
  HWND panel = nullptr;  // the newer client's sticker panel, a popup of its own
  Generation generation = Generation::Classic;
  bool dialogPosted = false;
  bool reactionPending = false;  // what the model did shows when the reaction timer fires
  std::uint64_t seed = 1;
  // A click is a press and a release on the same window.
  struct Pressed {
    bool left = false;
    bool right = false;
  };
  Pressed pressed;
  Pressed menuPressed;
  Pressed panelPressed;
  // The main window's monitor's scale: the model's 96-dpi layout times this is what shows.
  ScreenScale scale;
  std::wstring fontFace;
  HFONT font = nullptr;  // both made for the scale (AdoptDpi)
  HFONT smallFont = nullptr;
};

// The dpi the window is drawn at: GetDpiForWindow where user32 has it (Windows 10 1607 and
// later, Wine), else the screen's.
int DpiOfWindow(HWND window);
// Takes the scale for drawing and input, and makes the fonts at it.
void AdoptDpi(Shell& shell, int dpi);
void DeleteFonts(Shell& shell);
// A point in physical pixels of the main window's client area, as the model sees it.
Pt LogicalPoint(const Shell& shell, POINT physical);
// A box of the model (logical) in physical pixels of the main window's client area.
RECT PhysicalRect(const Shell& shell, const Model::Box& box);

// Whether the sticker panel is drawn by a window of its own rather than the main window.
bool PanelIsPopup(const Shell& shell);

// The Shell of a window created with it as CreateWindowExW's last argument; null before
// WM_NCCREATE has delivered it.
Shell* ShellOf(HWND window, UINT message, LPARAM lParam);

// One window class of the practice client: arrow cursor, the given icon and background.
bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name,
                         HICON icon = nullptr, HBRUSH background = nullptr);
bool RegisterMainWindowClass(HINSTANCE instance, Generation generation);
HWND CreateMainWindow(Shell& shell, int left, int top, Generation generation);
// Shows what the model did, after the client's reaction time.
void ShowReaction(Shell& shell);
bool RegisterForwardWindowClass(HINSTANCE instance);
bool RegisterPopupWindowClasses(HINSTANCE instance, Generation generation);

// A mouse button message of the main window or the menu, at a client point of the main
// window in physical pixels; the release of a press on the same window is the model's click.
LRESULT TakeMouse(Shell& shell, Shell::Pressed& pressed, UINT message, POINT physical);
// The first box of a layer (a popup's frame), or boxes.size() when the layer shows nothing.
std::size_t LayerStart(const std::vector<Model::Box>& boxes, Model::Layer layer);
// Draws the boxes of the given layers into the window, whose client area starts at `origin`
// in client coordinates of the main window (physical pixels).
void PaintBoxes(Shell& shell, HWND window, const std::vector<Model::Box>& boxes,
                std::initializer_list<Model::Layer> layers, POINT origin);

// Brings the windows in line with the model after each input it took.
void Sync(Shell& shell);
void ShowOpenDialog(Shell& shell);
void ShowForwardWindow(Shell& shell);
void CloseForwardWindow(Shell& shell);
// The popups (the menu; the newer client's panel) where the model has them, or gone.
void SyncPopups(Shell& shell);
void CloseMenuWindow(Shell& shell);
// Carries out a move or resize that --move-after / --resize-after asked for.
void ApplyWindowRequest(Shell& shell);

}  // namespace practice
