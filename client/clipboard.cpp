#include "client/clipboard.h"

#include "client/window_binding.h"

namespace pelloram {

namespace {
constexpr int kClipboardAttempts = 25;
constexpr int kClipboardRetryMs = 20;
}  // namespace

bool PutTextOnClipboard(Desktop& desktop, std::string_view text) {
  // Another program may hold the clipboard for a moment; pasting stale content would send
  // the wrong sticker, so keep trying for about half a second and then say it failed.
  for (int attempt = 0; attempt < kClipboardAttempts; ++attempt) {
    if (attempt > 0) desktop.Sleep(kClipboardRetryMs);
    if (desktop.PutClipboardText(desktop.ForegroundWindow(), text)) return true;
  }
  return false;
}

}  // namespace pelloram
