// Why a run stops or skips, decided in one order: the client first, then the screen, then
// the step's own reason.
#include <algorithm>

#include "client/monitors.h"
#include "workflows/run.h"

namespace pelloram {

TargetFault Run::ClientState() {
  Desktop& desktop = tool_.desktop;
  if (client_.window == 0 || desktop.ProcessOf(client_.window) != client_.process) {
    return TargetFault::ClientGone;
  }
  if (!desktop.IsWindowShown(client_.window)) return TargetFault::ClientHidden;
  if (desktop.IsWindowMinimised(client_.window)) return TargetFault::ClientMinimised;
  return TargetFault::None;
}

TargetFault Run::ScreenAt(Point screen) {
  Desktop& desktop = tool_.desktop;
  if (!OnAnyMonitor(desktop.MonitorRects(), screen)) return TargetFault::OffScreen;
  const WindowHandle under = desktop.TopLevelWindowAt(screen);
  if (under != 0 && desktop.ProcessOf(under) == desktop.OwnProcess()) {
    return TargetFault::ToolInTheWay;
  }
  return TargetFault::None;
}

namespace {

// Reasons that are about the client, or about the user's own hand, stand as they are.
bool NeedsNoLook(TargetFault fault) {
  switch (fault) {
    case TargetFault::ClientGone:
    case TargetFault::ClientHidden:
    case TargetFault::ClientMinimised:
    case TargetFault::UserMoved:
      return true;
    default:
      return false;
  }
}

// What the screen can tell about a step that failed where it meant to click.
bool ScreenMayExplain(TargetFault fault) {
  switch (fault) {
    case TargetFault::LookNotFound:
    case TargetFault::PointOffClient:
    case TargetFault::ClickMissed:
    case TargetFault::NoMenu:
    case TargetFault::OffMenu:
      return true;
    default:
      return false;
  }
}

}  // namespace

TargetFault Run::FirstReason(TargetFault stepReason) {
  if (NeedsNoLook(stepReason)) return stepReason;
  if (const TargetFault client = ClientState(); client != TargetFault::None) return client;
  if (aimedAt_ && ScreenMayExplain(stepReason)) {
    if (const TargetFault screen = ScreenAt(*aimedAt_); screen != TargetFault::None) return screen;
  }
  return stepReason;
}

bool Run::Stop(TargetFault fault) {
  if (fault_ != TargetFault::None || fault == TargetFault::None) return false;
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
    if (fault_ == TargetFault::None) faultDetail_ = desktop.WindowTitle(w);
    return Stop(TargetFault::StrangeWindow);
  }
  return true;
}

bool Run::Forgive(TargetFault fault) {
  if (fault_ != fault || tool_.state.closing) return false;
  fault_ = TargetFault::None;
  return true;
}

bool Run::SkipNotFound() {
  if (fault_ != TargetFault::LookNotFound || tool_.state.closing) return false;
  Skip(SkipReason::NotFound, faultDetail_);
  fault_ = TargetFault::None;
  faultDetail_.clear();
  return true;
}

void Run::Skip(SkipReason reason, std::string detail) {
  skipReason_ = reason;
  skipDetail_ = std::move(detail);
}

std::string Run::SkipText() const { return SkipReasonText(skipReason_, skipDetail_); }

}  // namespace pelloram
