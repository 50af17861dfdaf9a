#include "client/target_check.h"

#include "client/client_windows.h"

namespace pelloram {
namespace {

Target OwnedBy(Desktop& desktop, std::uint32_t process, WindowHandle window) {
  if (process == 0) return Target::Gone;
  return window != 0 && desktop.ProcessOf(window) == process ? Target::Client : Target::Elsewhere;
}

}  // namespace

Target CheckClickTarget(Desktop& desktop, WindowHandle client, Point screen) {
  return OwnedBy(desktop, ShownClientProcess(desktop, client), desktop.TopLevelWindowAt(screen));
}

Target CheckKeyTarget(Desktop& desktop, WindowHandle client) {
  return OwnedBy(desktop, ShownClientProcess(desktop, client), desktop.ForegroundWindow());
}

}  // namespace pelloram
