// Program entry: builds the main window, announces it to the event table, and runs the
// message loop until the window has been closed.
#include <windows.h>
// After <windows.h>, which they build on:
#include <commctrl.h>
#include <ole2.h>

#include "app/event_table.h"
#include "app/window_win32.h"
#include "client/desktop_win32.h"
#include "services/ui_win32.h"
#include "workflows/tool.h"

namespace {

// The folder picker is a COM client, so the thread joins an apartment for its lifetime.
class OleSession {
 public:
  OleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() {
    if (initialised_) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool initialised_;
};

// One copy at a time in this logon session: two copies would fight over F10 and F11 and
// click into the same client. The name lives in the session's own namespace, so another
// user's copy is not affected.
class SingleInstance {
 public:
  SingleInstance()
      : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\Pelloram.SingleInstance")),
        first_(mutex_ != nullptr && GetLastError() != ERROR_ALREADY_EXISTS) {}
  ~SingleInstance() {
    if (mutex_ != nullptr) CloseHandle(mutex_);
  }
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;
  bool first() const { return first_; }

 private:
  HANDLE mutex_;
  bool first_;
};

// The running copy's window comes to the front instead of a second window.
void ShowRunningCopy() {
  const HWND running = pelloram::MainWindow::FindRunning();
  if (running == nullptr) return;
  if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
  SetForegroundWindow(running);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  using namespace pelloram;
  const SingleInstance single;
  if (!single.first()) {
    ShowRunningCopy();
    return 0;
  }
  const OleSession ole;
  INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&commonControls);

  Win32Desktop desktop;
  Win32Ui ui;
  Tool tool{ui, desktop};
  ui.SetSink([&tool](Control control, Event event) { HandleEvent(tool, control, event); });
  MainWindow window(instance, ui, tool);
  if (!window.Create()) return 1;  // no window: nothing ran, and the caller should know

  // Shown first, so the focus that the created event puts into a field stays there.
  ShowWindow(window.handle(), showCommand);
  ui.RaiseEvent(Control::MainWindow, Event::Created);
  return RunMessageLoop(window.handle());
}
