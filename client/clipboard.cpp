#include "client/clipboard.h"

#include "client/input.h"
#include "client/waits.h"

namespace pelloram {

namespace {
constexpr int kClipboardAttempts = 100;
constexpr int kClipboardRetryMs = 20;
}  // namespace

bool PutTextOnClipboard(Desktop& desktop, std::string_view text,
                        std::optional<std::string>* replaced,
                        const std::function<bool()>& stopEarly) {
  // Another program may hold the clipboard for a while; pasting stale content would send
  // the wrong sticker, so keep trying for about two seconds, handling the tool's messages
  // meanwhile, and then say it failed.
  for (int attempt = 0; attempt < kClipboardAttempts; ++attempt) {
    if (attempt > 0) ResponsiveDelay(desktop, kClipboardRetryMs, stopEarly);
    if (desktop.PeekPending() == PendingMessage::Quit) return false;  // the tool is closing
    if (stopEarly && stopEarly()) return false;
    if (desktop.PutClipboardText(desktop.ForegroundWindow(), text, replaced)) return true;
  }
  return false;
}

}  // namespace pelloram
