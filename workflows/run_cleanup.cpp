// What a run leaves behind: the windows it opened in the client and the user's clipboard.
#include <algorithm>

#include "client/clipboard.h"
#include "client/input.h"
#include "client/waits.h"
#include "workflows/run.h"

namespace pelloram {

void Run::Opened(WindowHandle window) {
  if (window != 0 && std::find(opened_.begin(), opened_.end(), window) == opened_.end()) {
    opened_.push_back(window);
  }
}

bool Run::PutOnClipboard(const std::string& path) {
  const auto stopped = [this] { return StopAsked(); };
  if (clipboardTaken_) return PutTextOnClipboard(tool_.desktop, path, nullptr, stopped);
  // Still the user's: what it holds is read as it is replaced.
  clipboardTaken_ = PutTextOnClipboard(tool_.desktop, path, &userClipboard_, stopped);
  return clipboardTaken_;
}

void Run::PauseForClient(int milliseconds) {
  // While the tool closes, its window is gone and a wait that handles messages would return
  // at once on the quit request: then the thread sleeps, 20 ms at a time, the longest it
  // ever blocks. Otherwise the window's messages are handled as in every wait.
  if (tool_.state.closing) {
    tool_.desktop.Sleep(milliseconds);
  } else {
    ResponsiveDelay(tool_.desktop, milliseconds);
  }
}

void Run::CloseWhatTheRunOpened() {
  // A window may need more than one Escape (an open dialog with its error box over it); the
  // next is pressed only once the client has had a second to take the one before.
  constexpr int kEscapes = 3;
  constexpr int kPauseMs = 20;
  constexpr int kPausesPerEscape = 50;
  Desktop& desktop = tool_.desktop;
  for (auto it = opened_.rbegin(); it != opened_.rend(); ++it) {
    for (int escape = 0; escape < kEscapes && desktop.IsWindowShown(*it); ++escape) {
      if (ClientState() != StopReason::None) return;
      // The tool is in front as the user closes it: the client's window is asked to the
      // front first, and the key goes only into a window of the client's in front, never
      // into another program.
      if (desktop.ProcessOf(desktop.ForegroundWindow()) != client_.process) {
        if (!desktop.BringToFront(*it)) return;  // not granted: no key may go out
        PauseForClient(kPauseMs);
      }
      if (desktop.ProcessOf(desktop.ForegroundWindow()) != client_.process) return;
      // Down and up with nothing of the tool's handled between: it may be closing. Both go
      // out, so no key is left held; a refused one ends the clean-up.
      const bool down = desktop.SendKey(vk::kEscape, false);
      if (!desktop.SendKey(vk::kEscape, true) || !down) return;
      for (int i = 0; i < kPausesPerEscape && desktop.IsWindowShown(*it); ++i) {
        PauseForClient(kPauseMs);
      }
    }
  }
}

void Run::PutClipboardBack() {
  if (!clipboardTaken_) return;
  // A few quick tries: this also runs while the tool closes, when no wait lasts.
  Desktop& desktop = tool_.desktop;
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (attempt > 0) PauseForClient(20);
    const bool back = userClipboard_ ? desktop.PutClipboardText(desktop.ForegroundWindow(),
                                                                *userClipboard_, nullptr)
                                     : desktop.ClearClipboard(desktop.ForegroundWindow());
    if (back) return;
  }
}

void Run::LeaveAsFound() {
  if (leftAsFound_) return;
  leftAsFound_ = true;
  CloseWhatTheRunOpened();
  PutClipboardBack();
}

}  // namespace pelloram
