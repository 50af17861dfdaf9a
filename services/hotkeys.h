// System-wide hotkeys: identifiers from a counter that starts at 33001 and is never
// reused. The window hands each press's identifier to the hotkey dispatch.
#pragma once

#include "services/types.h"
#include "services/ui.h"

namespace pelloram {

struct HotkeyBook {
  int nextId = 33001;  // next identifier to hand out
};

// Registers the key, without modifiers, for `window`. Returns the identifier, 0 on failure.
int BindHotkey(Ui& ui, HotkeyBook& book, WindowHandle window, int virtualKey);
bool UnbindHotkey(Ui& ui, HotkeyBook& book, WindowHandle window, int id);

// True for an identifier that BindHotkey handed out during this run.
bool IsBoundHotkey(const HotkeyBook& book, int id);

}  // namespace pelloram
