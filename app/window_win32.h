// The main window over Win32: built from the form, translating messages into events.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "app/form.h"
#include "app/pictures.h"
#include "services/ui_win32.h"
#include "workflows/tool.h"

namespace pelloram {

class MainWindow {
 public:
  // Control events reach the event table through `ui`; hotkey presses go straight to the
  // hotkey dispatch of `tool`.
  MainWindow(HINSTANCE instance, Win32Ui& ui, Tool& tool);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The window and every control of the form, centred on the primary screen, not shown.
  bool Create();
  HWND handle() const { return window_; }
  // The main window of a copy of the tool that is already running; null when none is.
  static HWND FindRunning();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  // The display scale the window is drawn at: GetDpiForWindow where Windows has it (10,
  // version 1607 on), else the screen's.
  static int DpiOf(HWND window);
  // Every control at its form rectangle and every font at `dpi`, the icons drawn for it.
  void LayOut(int dpi);
  // The window came to a monitor of another scale; Windows suggests where it now goes.
  void OnDpiChanged(int dpi, const RECT& suggested);

  HWND Build(Control control);
  HWND CreateChild(const ControlForm& form, HWND parent);
  void CreateBalloonTip(const ControlForm& form);
  void StackInDeclarationOrder();
  void LoadPictures();

  bool OnActivate(WORD state, bool minimised);
  void OnCommand(UINT code, HWND child);
  void OnRadioClicked(Control radio);
  LRESULT OnControlColour(UINT message, HDC dc, HWND child);
  void Draw(const DRAWITEMSTRUCT& item);
  void DrawLabel(const DRAWITEMSTRUCT& item, const Win32Control& label, bool bordered);
  void DrawPicture(const DRAWITEMSTRUCT& item, Picture picture);

  HINSTANCE instance_;
  Win32Ui& ui_;
  Tool& tool_;
  HWND window_ = nullptr;
  bool ready_ = false;  // every control exists: events may flow
  HWND focusBeforeDeactivation_ = nullptr;
  std::array<std::optional<Image>, 4> decoded_;    // by Picture
  std::array<std::optional<Image>, 4> flattened_;  // over the button face
};

// GetMessageW / TranslateMessage / DispatchMessageW until the quit request, or until the
// main window is gone should a nested loop have taken that request. Returns 0.
int RunMessageLoop(HWND mainWindow);

}  // namespace pelloram
