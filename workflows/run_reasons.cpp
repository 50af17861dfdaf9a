// Why a run stops or skips, decided in one order: the client first, then the screen, then
// the step's own reason.
#include <algorithm>

#include "client/monitors.h"
#include "workflows/run.h"

namespace pelloram {

StopReason Run::ClientState() {
  Desktop& desktop = tool_.desktop;
  if (client_.window == 0 || desktop.ProcessOf(client_.window) != client_.process) {
    return StopReason::ClientGone;
  }
  if (!desktop.IsWindowShown(client_.window)) return StopReason::ClientHidden;
  if (desktop.IsWindowMinimised(client_.window)) return StopReason::ClientMinimised;
  return StopReason::None;
}

StopReason Run::ScreenAt(Point screen) {
  Desktop& desktop = tool_.desktop;
  if (!OnAnyMonitor(desktop.Monitors(), screen)) return StopReason::OffScreen;
  const WindowHandle under = desktop.TopLevelWindowAt(screen);
  if (under != 0 && desktop.ProcessOf(under) == desktop.OwnProcess()) {
    return StopReason::ToolInTheWay;
  }
  return StopReason::None;
}

namespace {

// Reasons that are about the client, or about the user's own hand, stand as they are.
bool NeedsNoLook(StopReason fault) {
  switch (fault) {
    case StopReason::ClientGone:
    case StopReason::ClientHidden:
    case StopReason::ClientMinimised:
    case StopReason::UserMoved:
      return true;
    default:
      return false;
  }
}

// What the screen can tell about a step that failed where it meant to click.
bool ScreenMayExplain(StopReason fault) {
  switch (fault) {
    case StopReason::LookNotFound:
    case StopReason::PointOffClient:
    case StopReason::ClickMissed:
    case StopReason::NoMenu:
    case StopReason::OffMenu:
      return true;
    default:
      return false;
  }
}

}  // namespace

StopReason Run::FirstReason(StopReason stepReason) {
  if (NeedsNoLook(stepReason)) return stepReason;
  if (const StopReason client = ClientState(); client != StopReason::None) return client;
  if (aimedAt_ && ScreenMayExplain(stepReason)) {
    if (const StopReason screen = ScreenAt(*aimedAt_); screen != StopReason::None) return screen;
  }
  return stepReason;
}

bool Run::Stop(StopReason fault) {
  if (fault_ != StopReason::None || fault == StopReason::None) return false;
  fault_ = FirstReason(fault);
  aimedAt_.reset();
  return false;
}

bool Run::StopAtStrangeWindow() {
  Desktop& desktop = tool_.desktop;
  const auto known = [&](WindowHandle w) {
    return std::find(windowsAtStart_.begin(), windowsAtStart_.end(), w) != windowsAtStart_.end() ||
           std::find(opened_.begin(), opened_.end(), w) != opened_.end() ||
           w == FindForwardWindow(desktop, client_.window) || w == FindOpenDialog(desktop);
  };
  for (const WindowHandle w : ClientWindows(desktop, client_.window)) {
    if (known(w)) continue;
    if (fault_ == StopReason::None) faultDetail_ = desktop.WindowTitle(w);
    return Stop(StopReason::StrangeWindow);
  }
  return true;
}

bool Run::Forgive(StopReason fault) {
  if (fault_ != fault || tool_.state.closing) return false;
  fault_ = StopReason::None;
  return true;
}

bool Run::SkipNotFound() {
  if (fault_ != StopReason::LookNotFound || tool_.state.closing) return false;
  Skip(SkipReason::NotFound, faultDetail_);
  fault_ = StopReason::None;
  faultDetail_.clear();
  return true;
}

void Run::Skip(SkipReason reason, std::string detail) {
  skipReason_ = reason;
  skipDetail_ = std::move(detail);
}

std::string Run::SkipText() const { return SkipReasonText(skipReason_, skipDetail_); }

}  // namespace pelloram
