// What a run leaves behind: the windows it opened in the client and the user's clipboard.
#include <algorithm>

#include "client/clipboard.h"
#include "client/input.h"
#include "workflows/run.h"

namespace pelloram {

void Run::Opened(WindowHandle window) {
  if (window != 0 && std::find(opened_.begin(), opened_.end(), window) == opened_.end()) {
    opened_.push_back(window);
  }
}

bool Run::PutOnClipboard(const std::string& path) {
  if (clipboardTaken_) return PutTextOnClipboard(tool_.desktop, path);
  // Still the user's: what it holds is read as it is replaced.
  clipboardTaken_ = PutTextOnClipboard(tool_.desktop, path, &userClipboard_);
  return clipboardTaken_;
}

void Run::CloseWhatTheRunOpened() {
  // A window may need more than one Escape (an open dialog with its error box over it).
  // The tool may be closing, when a wait that handles messages returns at once, so the
  // client is given its moment by a short sleep: at most kEscapes × 200 ms in all.
  constexpr int kEscapes = 3;
  constexpr int kSleepMs = 20;
  constexpr int kSleepsPerEscape = 10;
  Desktop& desktop = tool_.desktop;
  for (auto it = opened_.rbegin(); it != opened_.rend(); ++it) {
    for (int escape = 0; escape < kEscapes && desktop.IsWindowShown(*it); ++escape) {
      // Only into the client's own window in front: the key must not reach another program.
      if (ClientState() != TargetFault::None ||
          desktop.ProcessOf(desktop.ForegroundWindow()) != client_.process) {
        return;
      }
      // Down and up with nothing of the tool's handled between: it may be closing.
      desktop.SendKey(vk::kEscape, false);
      desktop.SendKey(vk::kEscape, true);
      for (int i = 0; i < kSleepsPerEscape && desktop.IsWindowShown(*it); ++i) {
        desktop.Sleep(kSleepMs);
      }
    }
  }
}

void Run::PutClipboardBack() {
  if (!clipboardTaken_) return;
  // A few quick tries: this also runs while the tool closes, when no wait lasts.
  Desktop& desktop = tool_.desktop;
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (attempt > 0) desktop.Sleep(20);
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
