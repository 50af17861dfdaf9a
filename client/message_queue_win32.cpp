// The Desktop seam over Win32, the thread's time and message queue.
#include <windows.h>

#include "client/desktop_win32.h"

namespace pelloram {

std::uint32_t Win32Desktop::TickCount() { return GetTickCount(); }

void Win32Desktop::Sleep(int milliseconds) {
  ::Sleep(static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds));
}

PendingMessage Win32Desktop::PeekPending() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) return PendingMessage::None;
  return msg.message == WM_QUIT ? PendingMessage::Quit : PendingMessage::Other;
}

void Win32Desktop::DispatchNext() {
  // Removed with PeekMessageW rather than GetMessageW: should the message seen by PeekPending
  // be gone by now (a sent message handled meanwhile destroyed its window), GetMessageW would
  // block the run until some unrelated message arrived.
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return;
  if (msg.message == WM_QUIT) {
    // Only the main loop may end on a quit request: put it back.
    PostQuitMessage(static_cast<int>(msg.wParam));
    return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

PendingMessage Win32Desktop::RemoveAndDispatch(int& quitExitCode) {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return PendingMessage::None;
  if (msg.message == WM_QUIT) {
    quitExitCode = static_cast<int>(msg.wParam);
    return PendingMessage::Quit;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return PendingMessage::Other;
}

void Win32Desktop::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

void Win32Desktop::WaitForMessage(int timeoutMilliseconds) {
  // MWMO_INPUTAVAILABLE also wakes for messages already in the queue that an earlier peek
  // saw, so nothing waiting can be slept over.
  const DWORD timeout = timeoutMilliseconds < 0 ? 0 : static_cast<DWORD>(timeoutMilliseconds);
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace pelloram
